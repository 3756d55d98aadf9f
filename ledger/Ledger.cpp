#include "ledger/Ledger.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>

#include "ledger/LedgerSchema.h"
#include "ledger/LowestFree.h"
#include "ledger/SqlConnection.h"

namespace tessra::ledger {

namespace {

// Each failed attempt means another process took the candidate, so this many
// only run out if stations keep winning every race.
constexpr int kReserveAttempts = 1000;

constexpr auto kSelectRecord =
    "SELECT address, state, time_utc, station, port, customer_code FROM mac_ledger";
constexpr auto kInsert =
    "INSERT INTO mac_ledger (address, state, time_utc, station, port, customer_code)"
    " VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT (address) DO ";
constexpr auto kKeepHeld = "NOTHING";
constexpr auto kReplaceHeld =
    "UPDATE SET state = excluded.state, time_utc = excluded.time_utc,"
    " station = excluded.station, port = excluded.port, customer_code = excluded.customer_code";

QString nonNull(const QString& text) {
    return text.isNull() ? QStringLiteral("") : text;
}

void bindRecord(QSqlQuery& query, Mac address, MacState state, const Stamp& stamp) {
    query.addBindValue(qint64(address));
    query.addBindValue(stateText(state));
    query.addBindValue(QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    query.addBindValue(nonNull(stamp.station));
    query.addBindValue(nonNull(stamp.port));
    query.addBindValue(stamp.customerCode ? QVariant(*stamp.customerCode)
                                          : QVariant(QMetaType::fromType<int>()));
}

std::optional<MacRecord> readRecord(const QSqlQuery& query) {
    const auto state = parseState(query.value(1).toString());
    if (!state) return std::nullopt;
    MacRecord record;
    record.address = Mac(query.value(0).toLongLong());
    record.state = *state;
    record.time = QDateTime::fromString(query.value(2).toString(), Qt::ISODateWithMs);
    record.station = query.value(3).toString();
    record.port = query.value(4).toString();
    if (!query.value(5).isNull()) record.customerCode = query.value(5).toInt();
    return record;
}

bool execute(QSqlQuery& query, const QString& sql, std::initializer_list<qint64> values) {
    query.setForwardOnly(true);
    if (!query.prepare(sql)) return false;
    for (qint64 value : values) query.addBindValue(value);
    return query.exec();
}

}  // namespace

Ledger::Ledger(QString connection, QString location)
    : connection_(std::move(connection)), location_(std::move(location)) {}

Ledger::~Ledger() {
    closeConnection(connection_);
}

Result<std::unique_ptr<Ledger>> Ledger::open(const QString& text) {
    using Opened = Result<std::unique_ptr<Ledger>>;
    const Result<LedgerLocation> location = parseLedgerLocation(text);
    if (!location.ok()) return Opened::failure(location.error);

    static std::atomic<quint64> serial{0};
    const QString name = QStringLiteral("tessra-ledger-%1").arg(++serial);
    if (Status opened = openConnection(*location, name); !opened.ok())
        return Opened::failure(opened.error);
    std::unique_ptr<Ledger> ledger(new Ledger(name, location->shown));
    QSqlDatabase db = QSqlDatabase::database(name, false);
    if (Status ready = prepareSchema(db, *location); !ready.ok())
        return Opened::failure(ready.error);
    return Opened::success(std::move(ledger));
}

const QString& Ledger::location() const {
    return location_;
}

Result<Reservation> Ledger::reserve(const Stamp& stamp, MacRange range) {
    using Reserved = Result<Reservation>;
    if (range.first > range.last || range.last > kLastMac)
        return Reserved::failure(QStringLiteral("cannot reserve from %1 to %2: not a range")
                                     .arg(macText(range.first), macText(range.last)));
    const QString failed =
        QStringLiteral("cannot reserve an address in the ledger %1").arg(location_);
    QSqlDatabase db = QSqlDatabase::database(connection_, false);

    for (int attempt = 0; attempt < kReserveAttempts; ++attempt) {
        const Result<std::optional<Mac>> free = lowestFree(db, range, failed);
        if (!free.ok()) return Reserved::failure(free.error);
        if (!free->has_value()) return Reserved::success(Reservation{});
        const Mac candidate = **free;
        // Another process may take the candidate between the look and this
        // insert; the key then refuses ours and the search starts again.
        QSqlQuery insert(db);
        insert.prepare(QLatin1StringView(kInsert) + QLatin1StringView(kKeepHeld));
        bindRecord(insert, candidate, MacState::Reserved, stamp);
        if (!insert.exec()) return Reserved::failure(sqlFailure(failed, insert.lastError()));
        if (insert.numRowsAffected() == 1) return Reserved::success(Reservation{candidate});
    }
    return Reserved::failure(
        QStringLiteral("%1: other processes took every candidate in %2 attempts")
            .arg(failed)
            .arg(kReserveAttempts));
}

Status Ledger::mark(Mac address, MacState state, const Stamp& stamp) {
    const QString failed = QStringLiteral("cannot record %1 as %2 in the ledger %3")
                               .arg(macText(address), stateText(state), location_);
    if (state == MacState::Reserved)
        return Status::failure(failed + QStringLiteral(": only reserve() reserves"));
    if (address > kLastMac)
        return Status::failure(failed + QStringLiteral(": not a 48-bit address"));
    QSqlQuery upsert(QSqlDatabase::database(connection_, false));
    upsert.prepare(QLatin1StringView(kInsert) + QLatin1StringView(kReplaceHeld));
    bindRecord(upsert, address, state, stamp);
    if (!upsert.exec()) return Status::failure(sqlFailure(failed, upsert.lastError()));
    return Status::success();
}

Result<std::optional<MacRecord>> Ledger::find(Mac address) {
    using Found = Result<std::optional<MacRecord>>;
    const QString failed =
        QStringLiteral("cannot look up %1 in the ledger %2").arg(macText(address), location_);
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    if (!execute(query, QLatin1StringView(kSelectRecord) + QStringLiteral(" WHERE address = ?"),
                 {qint64(address)}))
        return Found::failure(sqlFailure(failed, query.lastError()));
    if (!query.next()) return Found::success(std::nullopt);
    std::optional<MacRecord> record = readRecord(query);
    if (!record) return Found::failure(failed + QStringLiteral(": unknown state"));
    return Found::success(std::move(record));
}

Result<QList<MacRecord>> Ledger::records() {
    using Listed = Result<QList<MacRecord>>;
    const QString failed = QStringLiteral("cannot list the ledger %1").arg(location_);
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    if (!execute(query, QLatin1StringView(kSelectRecord) + QStringLiteral(" ORDER BY address"), {}))
        return Listed::failure(sqlFailure(failed, query.lastError()));
    QList<MacRecord> records;
    while (query.next()) {
        std::optional<MacRecord> record = readRecord(query);
        if (!record) return Listed::failure(failed + QStringLiteral(": unknown state"));
        records.append(std::move(*record));
    }
    return Listed::success(std::move(records));
}

}  // namespace tessra::ledger
