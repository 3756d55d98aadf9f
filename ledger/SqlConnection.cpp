#include "ledger/SqlConnection.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUrl>

namespace tessra::ledger {

namespace {

constexpr int kSqliteBusy = 5, kSqliteLocked = 6;
// lock_not_available, query_canceled (what statement_timeout raises)
constexpr QLatin1StringView kPostgresTimeouts[] = {QLatin1StringView("55P03"),
                                                   QLatin1StringView("57014")};

bool timedOut(const QSqlError& error) {
    const QString code = error.nativeErrorCode();
    for (QLatin1StringView state : kPostgresTimeouts) {
        if (code == state) return true;
    }
    bool number = false;
    const int primary = code.toInt(&number) & 0xFF;  // SQLite's extended codes keep it low
    return number && (primary == kSqliteBusy || primary == kSqliteLocked);
}

void configure(QSqlDatabase& db, const LedgerLocation& location, ConnectionMode mode,
               bool immutable) {
    if (location.engine == Engine::Sqlite) {
        QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(mode.waitMs);
        if (mode.readOnly) options += QStringLiteral(";QSQLITE_OPEN_READONLY");
        db.setDatabaseName(location.path);
        // A write-ahead-log file on a read-only mount can only be read as a
        // file nobody changes.
        if (immutable) {
            options += QStringLiteral(";QSQLITE_OPEN_URI");
            db.setDatabaseName(QStringLiteral("file:%1?immutable=1")
                                   .arg(QString::fromUtf8(QUrl::toPercentEncoding(
                                       QFileInfo(location.path).absoluteFilePath(), "/"))));
        }
        db.setConnectOptions(options);
        return;
    }
    db.setHostName(location.host);
    if (location.port >= 0) db.setPort(location.port);
    db.setUserName(location.user);
    db.setPassword(location.password);
    db.setDatabaseName(location.database);
    db.setConnectOptions(location.options.join(u';'));
}

Status makeFolder(const LedgerLocation& location) {
    const QString folder = QFileInfo(location.path).absolutePath();
    if (QDir().mkpath(folder)) return Status::success();
    return Status::failure(QStringLiteral("cannot open the ledger %1: cannot create the folder %2")
                               .arg(location.shown, folder));
}

Status exec(QSqlDatabase& db, const QString& statement, const LedgerLocation& location) {
    QSqlQuery query(db);
    if (query.exec(statement)) return Status::success();
    return sqlStatus(QStringLiteral("cannot open the ledger %1").arg(location.shown),
                     query.lastError());
}

// Turning a new file's journal into a write-ahead log needs the file to
// itself, and SQLite does not wait for that: the attempt is repeated, all of
// them together within the wait limit. A write-ahead log costs one flush
// per commit instead of three; every commit still reaches the disk before
// it returns.
Status setJournal(QSqlDatabase& db, const LedgerLocation& location, int waitMs) {
    constexpr unsigned long kRetryMs = 10;
    QElapsedTimer waited;
    waited.start();
    QSqlQuery query(db);
    while (!query.exec(QStringLiteral("PRAGMA journal_mode = WAL"))) {
        const qint64 left = waitMs - waited.elapsed();
        if (!timedOut(query.lastError()) || left <= 0)
            return sqlStatus(QStringLiteral("cannot open the ledger %1").arg(location.shown),
                             query.lastError());
        exec(db, QStringLiteral("PRAGMA busy_timeout = %1").arg(left), location);
        QThread::msleep(kRetryMs);
    }
    for (const QString& statement : {QStringLiteral("PRAGMA busy_timeout = %1").arg(waitMs),
                                     QStringLiteral("PRAGMA synchronous = FULL")}) {
        if (Status done = exec(db, statement, location); !done.ok()) return done;
    }
    return Status::success();
}

Status prepare(QSqlDatabase& db, const LedgerLocation& location, ConnectionMode mode) {
    if (location.engine == Engine::Sqlite) {
        if (mode.readOnly)
            return exec(db, QStringLiteral("SELECT count(*) FROM sqlite_master"), location);
        return setJournal(db, location, mode.waitMs);
    }
    QStringList statements{QStringLiteral("SET lock_timeout = %1").arg(mode.waitMs),
                           QStringLiteral("SET statement_timeout = %1").arg(mode.waitMs)};
    if (mode.readOnly) statements << QStringLiteral("SET default_transaction_read_only = on");
    for (const QString& statement : statements) {
        if (Status done = exec(db, statement, location); !done.ok()) return done;
    }
    return Status::success();
}

Status openOnce(const LedgerLocation& location, const QString& name, const QString& driver,
                ConnectionMode mode, bool immutable) {
    Status opened = Status::success();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
        configure(db, location, mode, immutable);
        if (!db.open())
            opened = sqlStatus(QStringLiteral("cannot open the ledger %1").arg(location.shown),
                               db.lastError());
        else
            opened = prepare(db, location, mode);
    }
    if (!opened.ok()) closeConnection(name);
    return opened;
}

}  // namespace

Status openConnection(const LedgerLocation& location, const QString& name, ConnectionMode mode) {
    const bool sqlite = location.engine == Engine::Sqlite;
    const QString driver = sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL");
    if (!QSqlDatabase::isDriverAvailable(driver)) {
        return Status::failure(
            QStringLiteral("cannot open the ledger %1: the Qt SQL driver %2 is not installed (%3)")
                .arg(location.shown, driver,
                     sqlite ? QStringLiteral("libqt6sql6-sqlite")
                            : QStringLiteral("libqt6sql6-psql")));
    }
    if (sqlite && !mode.readOnly) {
        if (Status folder = makeFolder(location); !folder.ok()) return folder;
    }
    const Status opened = openOnce(location, name, driver, mode, false);
    if (opened.ok() || !sqlite || !mode.readOnly || !QFileInfo::exists(location.path) ||
        opened.fault == Fault::TimedOut)
        return opened;
    return openOnce(location, name, driver, mode, true);
}

void closeConnection(const QString& name) {
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
}

QString sqlFailure(const QString& what, const QSqlError& error) {
    QString reason = error.text().simplified();
    if (reason.isEmpty()) reason = QStringLiteral("unknown database error");
    return what + QStringLiteral(": ") + reason;
}

Status sqlStatus(const QString& what, const QSqlError& error) {
    if (!timedOut(error)) return Status::failure(sqlFailure(what, error));
    return Status::failure(
        sqlFailure(what, error) + QStringLiteral(" (gave up waiting for another process)"),
        Fault::TimedOut);
}

}  // namespace tessra::ledger
