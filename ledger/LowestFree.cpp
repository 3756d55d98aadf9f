#include "ledger/LowestFree.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <initializer_list>

#include "ledger/SqlConnection.h"

namespace tessra::ledger {

namespace {

// The bound moves once a search has walked this many held addresses, so a
// search walks at most about this many and the bound costs a write rarely.
constexpr Mac kFloorStep = 256;

constexpr QLatin1StringView kFloor("SELECT held_below FROM reserve_floor WHERE range_first = ?");
constexpr QLatin1StringView kHeld("SELECT 1 FROM mac_ledger WHERE address = ?");
// The first address after a held one that is not held itself.
constexpr QLatin1StringView kFirstGap(
    "SELECT a.address + 1 FROM mac_ledger a WHERE a.address >= ? AND a.address < ?"
    " AND NOT EXISTS (SELECT 1 FROM mac_ledger b WHERE b.address = a.address + 1)"
    " ORDER BY a.address LIMIT 1");
constexpr QLatin1StringView kRaiseFloor(
    "INSERT INTO reserve_floor (range_first, held_below) VALUES (?, ?)"
    " ON CONFLICT (range_first) DO UPDATE SET held_below = excluded.held_below"
    " WHERE reserve_floor.held_below < excluded.held_below");

bool execute(QSqlQuery& query, QLatin1StringView sql, std::initializer_list<Mac> values) {
    query.setForwardOnly(true);
    if (!query.prepare(sql)) return false;
    for (Mac value : values) query.addBindValue(qint64(value));
    return query.exec();
}

}  // namespace

Result<std::optional<Mac>> lowestFree(QSqlDatabase& db, MacRange range, const QString& failed) {
    using Found = Result<std::optional<Mac>>;
    QSqlQuery query(db);
    if (!execute(query, kFloor, {range.first}))
        return Found::failure(sqlStatus(failed, query.lastError()));
    const Mac start =
        query.next() ? std::max(range.first, Mac(query.value(0).toLongLong())) : range.first;
    if (start > range.last) return Found::success(std::nullopt);

    if (!execute(query, kHeld, {start}))
        return Found::failure(sqlStatus(failed, query.lastError()));
    if (!query.next()) return Found::success(start);

    if (!execute(query, kFirstGap, {start, range.last}))
        return Found::failure(sqlStatus(failed, query.lastError()));
    if (!query.next()) return Found::success(std::nullopt);
    const Mac gap = Mac(query.value(0).toLongLong());

    if (gap - start >= kFloorStep && !execute(query, kRaiseFloor, {range.first, gap}))
        return Found::failure(sqlStatus(failed, query.lastError()));
    return Found::success(gap);
}

}  // namespace tessra::ledger
