#include "ledger/Ledger.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>

#include "ledger/LedgerSchema.h"
#include "ledger/LowestFree.h"

namespace tessra::ledger {

namespace {

// Each failed attempt means another process took the candidate, so this many
// only run out if stations keep winning every race.
constexpr int kReserveAttempts = 1000;

constexpr QLatin1StringView kInsert(
    "INSERT INTO mac_ledger (address, state, time_utc, reserved_utc, written_utc, station, port,"
    " customer_code, recipe, recipe_hash, settings_block, note, device, owner_host, owner_machine,"
    " owner_boot, owner_pid, owner_start)"
    " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT (address) DO ");
// A row taken over belongs to the run that took it, on its device.
constexpr QLatin1StringView kTakeOwner(
    ", device = excluded.device, owner_host = excluded.owner_host,"
    " owner_machine = excluded.owner_machine, owner_boot = excluded.owner_boot,"
    " owner_pid = excluded.owner_pid, owner_start = excluded.owner_start");
constexpr QLatin1StringView kKeepHeld("NOTHING");
constexpr QLatin1StringView kReplaceHeld(
    "UPDATE SET state = excluded.state, time_utc = excluded.time_utc,"
    " station = excluded.station, port = excluded.port, customer_code = excluded.customer_code");
// Taken back with again: everything of the earlier unit goes, but its state
// and where it was stay in the note. A factory address is never taken.
constexpr QLatin1StringView kTakeBack(
    "UPDATE SET state = excluded.state, time_utc = excluded.time_utc,"
    " reserved_utc = excluded.reserved_utc, written_utc = '', station = excluded.station,"
    " port = excluded.port, customer_code = excluded.customer_code, recipe = excluded.recipe,"
    " recipe_hash = excluded.recipe_hash, settings_block = excluded.settings_block,"
    " unit = '', unit_steps = '', note = excluded.note || ' (was ' || mac_ledger.state || ' since "
    "' || mac_ledger.time_utc ||"
    " ' on ' || mac_ledger.station || ' ' || mac_ledger.port || CASE WHEN mac_ledger.note = ''"
    " THEN '' ELSE ': ' || mac_ledger.note END || ')'");
constexpr QLatin1StringView kUnlessFactory(" WHERE mac_ledger.factory = 0");

// Non-empty parts of the stamp replace the row's; the note is added.
constexpr QLatin1StringView kAdvance(
    "UPDATE mac_ledger SET state = CAST(? AS TEXT), time_utc = CAST(? AS TEXT),"
    " written_utc = COALESCE(NULLIF(CAST(? AS TEXT), ''), written_utc),"
    " station = COALESCE(NULLIF(CAST(? AS TEXT), ''), station),"
    " port = COALESCE(NULLIF(CAST(? AS TEXT), ''), port),"
    " device = COALESCE(NULLIF(CAST(? AS TEXT), ''), device),"
    " customer_code = COALESCE(CAST(? AS INTEGER), customer_code),"
    " recipe = COALESCE(NULLIF(CAST(? AS TEXT), ''), recipe),"
    " recipe_hash = COALESCE(NULLIF(CAST(? AS TEXT), ''), recipe_hash),"
    " settings_block = COALESCE(NULLIF(CAST(? AS TEXT), ''), settings_block),"
    " unit = COALESCE(NULLIF(CAST(? AS TEXT), ''), unit),"
    " unit_steps = COALESCE(NULLIF(CAST(? AS TEXT), ''), unit_steps),"
    " note = CASE WHEN CAST(? AS TEXT) = '' THEN note WHEN note = '' THEN CAST(? AS TEXT)"
    " ELSE note || '; ' || CAST(? AS TEXT) END"
    " WHERE address = ? AND state IN (%1)");

// A declared address is held from then on; a row it has already keeps its
// state and only takes the mark and the reason.
constexpr QLatin1StringView kDeclareFactory(
    "INSERT INTO mac_ledger (address, state, time_utc, reserved_utc, written_utc, station, port,"
    " customer_code, recipe, recipe_hash, settings_block, note, device, owner_host, owner_machine,"
    " owner_boot, owner_pid, owner_start, factory)"
    " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1) ON CONFLICT (address) DO"
    " UPDATE SET"
    " factory = 1, note = CASE WHEN mac_ledger.factory = 1 THEN mac_ledger.note"
    " WHEN mac_ledger.note = '' THEN excluded.note ELSE mac_ledger.note || '; ' || excluded.note"
    " END");
constexpr QLatin1StringView kAgainNote("again");

QString nonNull(const QString& text) {
    return text.isNull() ? QStringLiteral("") : text;
}

QVariant code(const Stamp& stamp) {
    return stamp.customerCode ? QVariant(*stamp.customerCode)
                              : QVariant(QMetaType::fromType<int>());
}

QString now() {
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
}

void bindInsert(QSqlQuery& query, Mac address, MacState state, const Stamp& stamp,
                const QString& note) {
    const QString time = now();
    const Owner& me = thisProcess();
    for (const QVariant& value :
         {QVariant(qint64(address)), QVariant(stateText(state)), QVariant(time), QVariant(time),
          QVariant(onPrinter(state) ? time : QStringLiteral("")), QVariant(nonNull(stamp.station)),
          QVariant(nonNull(stamp.port)), code(stamp), QVariant(nonNull(stamp.recipe)),
          QVariant(nonNull(stamp.recipeHash)), QVariant(nonNull(stamp.settingsBlock)),
          QVariant(nonNull(note)), QVariant(nonNull(stamp.device)), QVariant(nonNull(me.host)),
          QVariant(nonNull(me.machine)), QVariant(nonNull(me.boot)), QVariant(me.pid),
          QVariant(me.start)})
        query.addBindValue(value);
}

QDateTime timeOf(const QVariant& value) {
    return QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
}

MacRecord readRecord(const QSqlQuery& query) {
    MacRecord record;
    record.address = Mac(query.value(0).toLongLong());
    record.stateName = query.value(1).toString();
    record.state = parseState(record.stateName).value_or(MacState::Unknown);
    record.time = timeOf(query.value(2));
    record.station = query.value(3).toString();
    record.port = query.value(4).toString();
    if (!query.value(5).isNull()) record.customerCode = query.value(5).toInt();
    record.reservedTime = timeOf(query.value(6));
    record.writtenTime = timeOf(query.value(7));
    record.recipe = query.value(8).toString();
    record.recipeHash = query.value(9).toString();
    record.settingsBlock = query.value(10).toString();
    record.note = query.value(11).toString();
    record.device = query.value(12).toString();
    record.owner = {query.value(13).toString(), query.value(14).toString(),
                    query.value(15).toString(), query.value(16).toLongLong(),
                    query.value(17).toLongLong()};
    record.unit = query.value(18).toString();
    record.steps = query.value(19).toString();
    record.factory = query.value(20).toInt() != 0;
    return record;
}

// The states a row may move on from to reach this one.
QString predecessors(MacState state) {
    switch (state) {
        case MacState::Written:
            return QStringLiteral("'reserved'");
        case MacState::Verified:
            return QStringLiteral("'reserved', 'written', 'verified'");
        case MacState::Failed:
        case MacState::Abandoned:
            return QStringLiteral("'reserved', 'written'");
        case MacState::Replaced:
            return QStringLiteral("'verified'");
        default:
            return {};
    }
}

QString whenAndWhere(const MacRecord& r) {
    return QStringLiteral("%1 in the ledger since %2 (%3, %4)%5")
        .arg(r.stateName, r.time.toString(Qt::ISODateWithMs), r.station, r.port,
             r.factory ? QStringLiteral(", a factory address") : QString());
}

}  // namespace

Ledger::Ledger(QString connection, LedgerLocation location, ConnectionMode mode)
    : connection_(std::move(connection)), where_(std::move(location)), mode_(mode) {}

Ledger::~Ledger() {
    closeConnection(connection_);
}

template <class Operation>
auto Ledger::bounded(const QString& failed, Operation operation) -> decltype(operation()) {
    const AnswerDeadline deadline(connection_, mode_.waitMs + kAnswerMarginMs);
    auto result = operation();
    if (!result.ok() && deadline.expired())
        return decltype(operation())::failure(noAnswer(failed, mode_.waitMs));
    return result;
}

Result<std::unique_ptr<Ledger>> Ledger::open(const QString& text, ConnectionMode mode) {
    using Opened = Result<std::unique_ptr<Ledger>>;
    const Result<LedgerLocation> location = parseLedgerLocation(text);
    if (!location.ok()) return Opened::failure(location);

    static std::atomic<quint64> serial{0};
    const QString name = QStringLiteral("tessra-ledger-%1").arg(++serial);
    if (Status opened = openConnection(*location, name, mode); !opened.ok())
        return Opened::failure(opened);
    std::unique_ptr<Ledger> ledger(new Ledger(name, *location, mode));
    const Result<int> version =
        ledger->bounded(QStringLiteral("cannot open the ledger %1").arg(location->shown), [&] {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            return mode.readOnly ? readableSchema(db, *location) : prepareSchema(db, *location);
        });
    if (!version.ok()) return Opened::failure(version);
    ledger->version_ = *version;
    if (Status leased = ledger->takeLease(); !leased.ok()) return Opened::failure(leased);
    return Opened::success(std::move(ledger));
}

// Held by the session for as long as it lasts; shared, so that every
// connection of one run (a station's slots) holds it at once.
Status Ledger::takeLease() {
    if (where_.engine != Engine::Postgres || mode_.readOnly) return Status::success();
    const QString failed =
        QStringLiteral("cannot take this run's lease in the ledger %1").arg(where_.shown);
    return bounded(failed, [&] {
        QSqlQuery lease(QSqlDatabase::database(connection_, false));
        lease.prepare(QStringLiteral("SELECT pg_advisory_lock_shared(?)"));
        lease.addBindValue(leaseKey(thisProcess()));
        return lease.exec() ? Status::success() : sqlStatus(failed, lease.lastError());
    });
}

Status Ledger::reconnect() {
    const QString failed = QStringLiteral("cannot reach the ledger %1").arg(where_.shown);
    const Status alive = bounded(failed, [&] {
        // The driver counts a connection it lost as closed.
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        if (!db.isOpen()) return Status::failure(failed);
        QSqlQuery ping(db);
        return ping.exec(QStringLiteral("SELECT 1")) ? Status::success()
                                                     : sqlStatus(failed, ping.lastError());
    });
    if (alive.ok()) return alive;
    closeConnection(connection_);
    if (Status opened = openConnection(where_, connection_, mode_); !opened.ok()) return opened;
    return takeLease();
}

const QString& Ledger::location() const {
    return where_.shown;
}

Result<Reservation> Ledger::reserve(const Stamp& stamp, MacRange range) {
    using Reserved = Result<Reservation>;
    if (range.first > range.last || range.last > kLastMac)
        return Reserved::failure(QStringLiteral("cannot reserve from %1 to %2: not a range")
                                     .arg(macText(range.first), macText(range.last)));
    const QString failed =
        QStringLiteral("cannot reserve an address in the ledger %1").arg(where_.shown);
    return bounded(failed, [&] { return reserveNow(stamp, range, failed); });
}

Result<Reservation> Ledger::reserveNow(const Stamp& stamp, MacRange range, const QString& failed) {
    using Reserved = Result<Reservation>;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    for (int attempt = 0; attempt < kReserveAttempts; ++attempt) {
        const Result<std::optional<Mac>> free = lowestFree(db, range, failed);
        if (!free.ok()) return Reserved::failure(free);
        if (!free->has_value()) return Reserved::success(Reservation{});
        const Mac candidate = **free;
        // Another process may take the candidate between the look and this
        // insert; the key then refuses ours and the search starts again.
        QSqlQuery insert(db);
        insert.prepare(kInsert + kKeepHeld);
        bindInsert(insert, candidate, MacState::Reserved, stamp, stamp.note);
        if (!insert.exec()) return Reserved::failure(sqlStatus(failed, insert.lastError()));
        if (insert.numRowsAffected() == 1) return Reserved::success(Reservation{candidate});
    }
    return Reserved::failure(
        QStringLiteral("%1: other processes took every candidate in %2 attempts")
            .arg(failed)
            .arg(kReserveAttempts));
}

Status Ledger::reserveAddress(Mac address, const Stamp& stamp, bool again) {
    const QString failed =
        QStringLiteral("cannot reserve %1 in the ledger %2").arg(macText(address), where_.shown);
    if (address > kLastMac)
        return Status::failure(failed + QStringLiteral(": not a 48-bit address"));
    const QString note =
        again ? (stamp.note.isEmpty() ? QString(kAgainNote)
                                      : kAgainNote + QStringLiteral(", ") + stamp.note)
              : stamp.note;
    const Status inserted = bounded(failed, [&] {
        QSqlQuery insert(QSqlDatabase::database(connection_, false));
        insert.prepare(again ? QString(kInsert + kTakeBack + kTakeOwner + kUnlessFactory)
                             : QString(kInsert + kKeepHeld));
        bindInsert(insert, address, MacState::Reserved, stamp, note);
        if (!insert.exec()) return sqlStatus(failed, insert.lastError());
        return insert.numRowsAffected() == 1
                   ? Status::success()
                   : Status::failure(failed + QStringLiteral(": held"), Fault::Held);
    });
    if (inserted.fault != Fault::Held) return inserted;
    const Result<std::optional<MacRecord>> held = find(address);
    if (!held.ok()) return Status::failure(held);
    if (!held->has_value())  // taken and given up between the two statements: never happens
        return Status::failure(failed + QStringLiteral(": the ledger changed meanwhile"));
    return Status::failure(macText(address) + QStringLiteral(" is ") + whenAndWhere(**held),
                           Fault::Held);
}

Status Ledger::advance(Mac address, MacState state, const Stamp& stamp) {
    const QString failed = QStringLiteral("cannot record %1 as %2 in the ledger %3")
                               .arg(macText(address), stateText(state), where_.shown);
    const QString from = predecessors(state);
    if (from.isEmpty()) return Status::failure(failed + QStringLiteral(": not a next state"));
    const Status updated = bounded(failed, [&] {
        QSqlQuery update(QSqlDatabase::database(connection_, false));
        update.prepare(QString(kAdvance).arg(from));
        const QString time = now();
        const QString note = nonNull(stamp.note);
        for (const QVariant& value :
             {QVariant(stateText(state)), QVariant(time),
              QVariant(state == MacState::Written ? time : QStringLiteral("")),
              QVariant(nonNull(stamp.station)), QVariant(nonNull(stamp.port)),
              QVariant(nonNull(stamp.device)), code(stamp), QVariant(nonNull(stamp.recipe)),
              QVariant(nonNull(stamp.recipeHash)), QVariant(nonNull(stamp.settingsBlock)),
              QVariant(nonNull(stamp.unit)), QVariant(nonNull(stamp.steps)), QVariant(note),
              QVariant(note), QVariant(note), QVariant(qint64(address))})
            update.addBindValue(value);
        if (!update.exec()) return sqlStatus(failed, update.lastError());
        return update.numRowsAffected() == 1 ? Status::success()
                                             : Status::failure(failed, Fault::Moved);
    });
    if (updated.fault != Fault::Moved) return updated;
    const Result<std::optional<MacRecord>> held = find(address);
    if (!held.ok()) return Status::failure(held);
    return Status::failure(
        failed + (held->has_value() ? QStringLiteral(": it is ") + whenAndWhere(**held)
                                    : QStringLiteral(": it is not in the ledger")),
        Fault::Moved);
}

Result<std::optional<Mac>> Ledger::freeAddress(MacRange range) {
    const QString failed =
        QStringLiteral("cannot look for a free address in the ledger %1").arg(where_.shown);
    return bounded(failed, [&] {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        return lowestFree(db, range, failed);
    });
}

Status Ledger::declareFactory(Mac address, const Stamp& stamp) {
    const QString failed = QStringLiteral("cannot declare %1 a factory address in the ledger %2")
                               .arg(macText(address), where_.shown);
    if (address > kLastMac)
        return Status::failure(failed + QStringLiteral(": not a 48-bit address"));
    return bounded(failed, [&] {
        QSqlQuery upsert(QSqlDatabase::database(connection_, false));
        upsert.prepare(kDeclareFactory);
        bindInsert(upsert, address, MacState::Factory, stamp, stamp.note);
        if (!upsert.exec()) return sqlStatus(failed, upsert.lastError());
        return Status::success();
    });
}

Status Ledger::mark(Mac address, MacState state, const Stamp& stamp) {
    const QString failed = QStringLiteral("cannot record %1 as %2 in the ledger %3")
                               .arg(macText(address), stateText(state), where_.shown);
    if (state == MacState::Reserved || state == MacState::Unknown || state == MacState::Factory)
        return Status::failure(failed + QStringLiteral(": not a state a save records"));
    if (address > kLastMac)
        return Status::failure(failed + QStringLiteral(": not a 48-bit address"));
    return bounded(failed, [&] {
        QSqlQuery upsert(QSqlDatabase::database(connection_, false));
        upsert.prepare(kInsert + kReplaceHeld + kTakeOwner);
        bindInsert(upsert, address, state, stamp, stamp.note);
        if (!upsert.exec()) return sqlStatus(failed, upsert.lastError());
        return Status::success();
    });
}

Result<QList<MacRecord>> Ledger::select(const QString& where, const QList<QVariant>& values,
                                        const QString& failed) {
    using Listed = Result<QList<MacRecord>>;
    if (version_ == 0) return Listed::success({});  // no table: nothing recorded yet
    return bounded(failed, [&] {
        QSqlQuery query(QSqlDatabase::database(connection_, false));
        query.setForwardOnly(true);
        if (!query.prepare(selectRecords(version_) + where + QStringLiteral(" ORDER BY address")))
            return Listed::failure(sqlStatus(failed, query.lastError()));
        for (const QVariant& value : values) query.addBindValue(value);
        if (!query.exec()) return Listed::failure(sqlStatus(failed, query.lastError()));
        QList<MacRecord> records;
        while (query.next()) records.append(readRecord(query));
        return Listed::success(std::move(records));
    });
}

Result<std::optional<MacRecord>> Ledger::find(Mac address) {
    using Found = Result<std::optional<MacRecord>>;
    const auto listed = select(
        QStringLiteral(" WHERE address = ?"), {qint64(address)},
        QStringLiteral("cannot look up %1 in the ledger %2").arg(macText(address), where_.shown));
    if (!listed.ok()) return Found::failure(listed);
    if (listed->isEmpty()) return Found::success(std::nullopt);
    return Found::success(listed->front());
}

Result<QList<MacRecord>> Ledger::records() {
    return select({}, {}, QStringLiteral("cannot list the ledger %1").arg(where_.shown));
}

Result<QList<MacRecord>> Ledger::unfinished(const QString& device, const QString& station,
                                            const QString& port) {
    return select(
        QStringLiteral(" WHERE state IN ('reserved', 'written') AND ((owner_machine = ? AND"
                       " device = ? AND (device <> '' OR (station = ? AND port = ?))) OR"
                       " (owner_machine = '' AND station = ? AND port = ?))"),
        {thisProcess().machine, nonNull(device), nonNull(station), nonNull(port), nonNull(station),
         nonNull(port)},
        QStringLiteral("cannot look for unfinished rows in the ledger %1").arg(where_.shown));
}

Result<bool> Ledger::ownerEnded(const MacRecord& row) {
    if (row.owner == thisProcess()) return Result<bool>::success(true);
    if (!endedHere(row.owner)) return Result<bool>::success(false);
    if (where_.engine != Engine::Postgres || !row.owner.known()) return Result<bool>::success(true);
    // A lease that can be taken is held by no session: the owner's is gone.
    const QString failed = QStringLiteral("cannot ask the ledger %1 whether %2 has ended")
                               .arg(where_.shown, row.owner.text());
    return bounded(failed, [&] {
        QSqlQuery lease(QSqlDatabase::database(connection_, false));
        lease.prepare(QStringLiteral(
            "SELECT CASE WHEN pg_try_advisory_lock(?) THEN pg_advisory_unlock(?) ELSE false END"));
        lease.addBindValue(leaseKey(row.owner));
        lease.addBindValue(leaseKey(row.owner));
        if (!lease.exec() || !lease.next())
            return Result<bool>::failure(sqlStatus(failed, lease.lastError()));
        return Result<bool>::success(lease.value(0).toBool());
    });
}

}  // namespace tessra::ledger
