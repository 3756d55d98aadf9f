#include "ledger/LedgerSchema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include "ledger/SqlConnection.h"

namespace tessra::ledger {

namespace {

// Any number; it only has to differ from other programs' advisory locks.
constexpr QLatin1StringView kPostgresCreateLock("SELECT pg_advisory_xact_lock(2118492653)");

constexpr QLatin1StringView kCreateMeta(
    "CREATE TABLE IF NOT EXISTS ledger_meta (key TEXT PRIMARY KEY, value TEXT NOT NULL)");
constexpr QLatin1StringView kCreateRecords(
    "CREATE TABLE IF NOT EXISTS mac_ledger ("
    " address BIGINT PRIMARY KEY CHECK (address BETWEEN 0 AND 281474976710655),"
    " state TEXT NOT NULL CHECK (state IN ('reserved', 'written', 'verified', 'failed')),"
    " time_utc TEXT NOT NULL,"
    " station TEXT NOT NULL,"
    " port TEXT NOT NULL,"
    " customer_code INTEGER)");
// Every address from range_first up to held_below - 1 is held (see LowestFree.h).
constexpr QLatin1StringView kCreateFloors(
    "CREATE TABLE IF NOT EXISTS reserve_floor"
    " (range_first BIGINT PRIMARY KEY, held_below BIGINT NOT NULL)");

Status run(QSqlDatabase& db, const QString& statement, const LedgerLocation& location) {
    QSqlQuery query(db);
    if (query.exec(statement)) return Status::success();
    return Status::failure(sqlFailure(
        QStringLiteral("cannot set up the ledger %1").arg(location.shown), query.lastError()));
}

Result<int> readVersion(QSqlDatabase& db, const LedgerLocation& location) {
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT value FROM ledger_meta WHERE key = 'schema_version'")))
        return Result<int>::failure(sqlFailure(
            QStringLiteral("cannot read the ledger %1").arg(location.shown), query.lastError()));
    if (!query.next())
        return Result<int>::failure(
            QStringLiteral("the ledger %1 has no schema version").arg(location.shown));
    const QString text = query.value(0).toString();
    bool ok = false;
    const int version = text.toInt(&ok);
    if (!ok)
        return Result<int>::failure(QStringLiteral("the ledger %1 has an unreadable schema "
                                                   "version \"%2\"")
                                        .arg(location.shown, text));
    return Result<int>::success(version);
}

Status acceptVersion(int version, const LedgerLocation& location) {
    if (version == kSchemaVersion) return Status::success();
    if (version > kSchemaVersion)
        return Status::failure(
            QStringLiteral("the ledger %1 has schema version %2, newer than this program knows "
                           "(%3): use a newer program")
                .arg(location.shown)
                .arg(version)
                .arg(kSchemaVersion));
    return Status::failure(QStringLiteral("the ledger %1 has an unknown schema version %2")
                               .arg(location.shown)
                               .arg(version));
}

// The version is settled before the other tables are made, so a newer
// ledger is not given a table it may not expect.
Status createInTransaction(QSqlDatabase& db, const LedgerLocation& location) {
    for (const QString& statement :
         {QString(kCreateMeta),
          QStringLiteral("INSERT INTO ledger_meta (key, value) VALUES ('schema_version', '%1') "
                         "ON CONFLICT (key) DO NOTHING")
              .arg(kSchemaVersion)}) {
        if (Status done = run(db, statement, location); !done.ok()) return done;
    }
    const Result<int> version = readVersion(db, location);
    if (!version.ok()) return Status::failure(version.error);
    if (Status accepted = acceptVersion(*version, location); !accepted.ok()) return accepted;
    for (QLatin1StringView statement : {kCreateRecords, kCreateFloors}) {
        if (Status done = run(db, statement, location); !done.ok()) return done;
    }
    return Status::success();
}

// Processes opening a new ledger at once take turns: SQLite's write lock,
// or a PostgreSQL advisory lock held to the end of the transaction.
Status createTables(QSqlDatabase& db, const LedgerLocation& location) {
    const QStringList begin =
        location.engine == Engine::Sqlite
            ? QStringList{QStringLiteral("BEGIN IMMEDIATE")}
            : QStringList{QStringLiteral("BEGIN"), kPostgresCreateLock,
                          // "already exists, skipping" notices would reach stderr
                          QStringLiteral("SET LOCAL client_min_messages = warning")};
    Status done = Status::success();
    for (const QString& statement : begin) {
        if (done.ok()) done = run(db, statement, location);
    }
    if (done.ok()) done = createInTransaction(db, location);
    if (done.ok()) done = run(db, QStringLiteral("COMMIT"), location);
    if (!done.ok()) QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    return done;
}

}  // namespace

Status prepareSchema(QSqlDatabase& db, const LedgerLocation& location) {
    const QStringList tables = db.tables();
    const bool complete = tables.contains(QStringLiteral("ledger_meta")) &&
                          tables.contains(QStringLiteral("mac_ledger")) &&
                          tables.contains(QStringLiteral("reserve_floor"));
    if (!complete) {
        if (Status created = createTables(db, location); !created.ok()) return created;
    }
    const Result<int> version = readVersion(db, location);
    if (!version.ok()) return Status::failure(version.error);
    return acceptVersion(*version, location);
}

}  // namespace tessra::ledger
