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
// No check on the state: a reader must still list a row a newer program wrote.
constexpr QLatin1StringView kRecordColumns(
    " (address BIGINT PRIMARY KEY CHECK (address BETWEEN 0 AND 281474976710655),"
    " state TEXT NOT NULL,"
    " time_utc TEXT NOT NULL,"
    " station TEXT NOT NULL,"
    " port TEXT NOT NULL,"
    " customer_code INTEGER,"
    " reserved_utc TEXT NOT NULL DEFAULT '',"
    " written_utc TEXT NOT NULL DEFAULT '',"
    " recipe TEXT NOT NULL DEFAULT '',"
    " recipe_hash TEXT NOT NULL DEFAULT '',"
    " settings_block TEXT NOT NULL DEFAULT '',"
    " note TEXT NOT NULL DEFAULT '')");
constexpr QLatin1StringView kUnfinishedIndex(
    "CREATE INDEX IF NOT EXISTS mac_ledger_by_port ON mac_ledger (station, port, state)");
// Version 3: the device a row's unit ran on and the run that owns it (see
// Owner.h), how far a provisioned unit got, and the mark of an address
// printers carry from the factory. Rows from before stay without an owner.
const QStringList kToVersion3{
    QStringLiteral("ALTER TABLE mac_ledger ADD COLUMN unit TEXT NOT NULL DEFAULT ''"),
    QStringLiteral("ALTER TABLE mac_ledger ADD COLUMN unit_steps TEXT NOT NULL DEFAULT ''"),
    QStringLiteral("ALTER TABLE mac_ledger ADD COLUMN factory INTEGER NOT NULL DEFAULT 0"),
    QStringLiteral("ALTER TABLE mac_ledger ADD COLUMN device TEXT NOT NULL DEFAULT ''"),
    QStringLiteral("ALTER TABLE mac_ledger ADD COLUMN owner_host TEXT NOT NULL DEFAULT ''"),
    QStringLiteral("ALTER TABLE mac_ledger ADD COLUMN owner_machine TEXT NOT NULL DEFAULT ''"),
    QStringLiteral("ALTER TABLE mac_ledger ADD COLUMN owner_boot TEXT NOT NULL DEFAULT ''"),
    QStringLiteral("ALTER TABLE mac_ledger ADD COLUMN owner_pid BIGINT NOT NULL DEFAULT 0"),
    QStringLiteral("ALTER TABLE mac_ledger ADD COLUMN owner_start BIGINT NOT NULL DEFAULT 0"),
    QStringLiteral("CREATE INDEX IF NOT EXISTS mac_ledger_by_device"
                   " ON mac_ledger (owner_machine, device, state)"),
};
// Every address from range_first up to held_below - 1 is held (see LowestFree.h).
constexpr QLatin1StringView kCreateFloors(
    "CREATE TABLE IF NOT EXISTS reserve_floor"
    " (range_first BIGINT PRIMARY KEY, held_below BIGINT NOT NULL)");

// Version 1 checked the state against its four names; the table is rebuilt,
// which both engines do inside the transaction.
const QStringList kFromVersion1{
    QStringLiteral("CREATE TABLE mac_ledger_2") + kRecordColumns,
    QStringLiteral("INSERT INTO mac_ledger_2 (address, state, time_utc, station, port,"
                   " customer_code, reserved_utc) SELECT address, state, time_utc, station,"
                   " port, customer_code, time_utc FROM mac_ledger"),
    QStringLiteral("DROP TABLE mac_ledger"),
    QStringLiteral("ALTER TABLE mac_ledger_2 RENAME TO mac_ledger"),
};

Status run(QSqlDatabase& db, const QString& statement, const LedgerLocation& location) {
    QSqlQuery query(db);
    if (query.exec(statement)) return Status::success();
    return sqlStatus(QStringLiteral("cannot set up the ledger %1").arg(location.shown),
                     query.lastError());
}

Result<int> readVersion(QSqlDatabase& db, const LedgerLocation& location) {
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT value FROM ledger_meta WHERE key = 'schema_version'")))
        return Result<int>::failure(sqlStatus(
            QStringLiteral("cannot read the ledger %1").arg(location.shown), query.lastError()));
    if (!query.next())
        return Result<int>::failure(
            QStringLiteral("the ledger %1 has no schema version").arg(location.shown));
    const QString text = query.value(0).toString();
    bool ok = false;
    const int version = text.toInt(&ok);
    if (!ok || version < 1)
        return Result<int>::failure(QStringLiteral("the ledger %1 has an unreadable schema "
                                                   "version \"%2\"")
                                        .arg(location.shown, text));
    if (version > kSchemaVersion)
        return Result<int>::failure(
            QStringLiteral("the ledger %1 has schema version %2, newer than this program knows "
                           "(%3): use a newer program")
                .arg(location.shown)
                .arg(version)
                .arg(kSchemaVersion),
            Fault::NewerSchema);
    return Result<int>::success(version);
}

// The version is settled before the other tables are made, so a newer
// ledger is not given a table it may not expect.
Status createInTransaction(QSqlDatabase& db, const LedgerLocation& location) {
    const bool existed = db.tables().contains(QStringLiteral("mac_ledger"));
    for (const QString& statement :
         {QString(kCreateMeta),
          // A ledger without a version but with records is a version 1 one
          // whose creation stopped halfway; only version 1 ever did that.
          QStringLiteral("INSERT INTO ledger_meta (key, value) VALUES ('schema_version', '%1') "
                         "ON CONFLICT (key) DO NOTHING")
              .arg(existed ? 1 : kSchemaVersion)}) {
        if (Status done = run(db, statement, location); !done.ok()) return done;
    }
    const Result<int> version = readVersion(db, location);
    if (!version.ok()) return Status::failure(version);
    QStringList statements;
    if (!existed)
        statements << QStringLiteral("CREATE TABLE mac_ledger") + kRecordColumns;
    else if (*version == 1)
        statements << kFromVersion1;
    if (!existed || *version < 3) statements << kToVersion3;
    statements << kUnfinishedIndex << kCreateFloors
               << QStringLiteral("UPDATE ledger_meta SET value = '%1' WHERE key = 'schema_version'")
                      .arg(kSchemaVersion);
    for (const QString& statement : statements) {
        if (Status done = run(db, statement, location); !done.ok()) return done;
    }
    return Status::success();
}

// Processes opening a new or older ledger at once take turns: SQLite's
// write lock, or a PostgreSQL advisory lock held to the end of the transaction.
Status createTables(QSqlDatabase& db, const LedgerLocation& location) {
    const QStringList begin =
        location.engine == Engine::Sqlite
            ? QStringList{QStringLiteral("BEGIN IMMEDIATE")}
            : QStringList{QStringLiteral("BEGIN"), kPostgresCreateLock,
                          // "already exists, skipping" notices would reach stderr
                          QStringLiteral("SET LOCAL client_min_messages = warning")};
    // A connection lost while looking at the tables is not tried again.
    Status done = db.isOpen() ? Status::success()
                              : Status::failure(QStringLiteral("cannot set up the ledger %1: the "
                                                               "connection was lost")
                                                    .arg(location.shown));
    for (const QString& statement : begin) {
        if (done.ok()) done = run(db, statement, location);
    }
    if (done.ok()) done = createInTransaction(db, location);
    if (done.ok()) done = run(db, QStringLiteral("COMMIT"), location);
    if (!done.ok() && db.isOpen()) QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    return done;
}

}  // namespace

Result<int> prepareSchema(QSqlDatabase& db, const LedgerLocation& location) {
    const QStringList tables = db.tables();
    const bool complete = tables.contains(QStringLiteral("ledger_meta")) &&
                          tables.contains(QStringLiteral("mac_ledger")) &&
                          tables.contains(QStringLiteral("reserve_floor"));
    if (complete) {
        const Result<int> version = readVersion(db, location);
        if (!version.ok() || *version == kSchemaVersion) return version;
    }
    if (Status created = createTables(db, location); !created.ok())
        return Result<int>::failure(created);
    return readVersion(db, location);
}

Result<int> readableSchema(QSqlDatabase& db, const LedgerLocation& location) {
    if (!db.tables().contains(QStringLiteral("mac_ledger"))) return Result<int>::success(0);
    return readVersion(db, location);
}

QString selectRecords(int version) {
    const QString unit = version >= 2 ? QStringLiteral(
                                            " reserved_utc, written_utc, recipe, recipe_hash,"
                                            " settings_block, note")
                                      : QStringLiteral(" time_utc, '', '', '', '', ''");
    const QString owner = version >= 3 ? QStringLiteral(
                                             ", device, owner_host, owner_machine, owner_boot,"
                                             " owner_pid, owner_start")
                                       : QStringLiteral(", '', '', '', '', 0, 0");
    const QString units = version >= 3 ? QStringLiteral(", unit, unit_steps, factory")
                                       : QStringLiteral(", '', '', 0");
    return QStringLiteral("SELECT address, state, time_utc, station, port, customer_code,") + unit +
           owner + units + QStringLiteral(" FROM mac_ledger");
}

}  // namespace tessra::ledger
