#include "ledger/SqlConnection.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

namespace tessra::ledger {

namespace {

// Waits for another process's write instead of failing at once.
constexpr auto kSqliteOptions = "QSQLITE_BUSY_TIMEOUT=10000";

void configure(QSqlDatabase& db, const LedgerLocation& location) {
    if (location.engine == Engine::Sqlite) {
        db.setDatabaseName(location.path);
        db.setConnectOptions(QLatin1StringView(kSqliteOptions));
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
    if (location.engine != Engine::Sqlite) return Status::success();
    const QString folder = QFileInfo(location.path).absolutePath();
    if (QDir().mkpath(folder)) return Status::success();
    return Status::failure(QStringLiteral("cannot open the ledger %1: cannot create the folder %2")
                               .arg(location.shown, folder));
}

// Turning a new file's journal into a write-ahead log needs the file to
// itself, and SQLite does not wait for that: a process opening the same new
// file at that moment tries again.
constexpr int kJournalAttempts = 500;
constexpr unsigned long kJournalRetryMs = 10;
constexpr auto kSqliteBusy = "5";

// A write-ahead log costs one flush per commit instead of three; every
// commit still reaches the disk before it returns.
Status setJournal(QSqlDatabase& db, const LedgerLocation& location) {
    QSqlQuery query(db);
    for (int attempt = 1; !query.exec(QStringLiteral("PRAGMA journal_mode = WAL")); ++attempt) {
        if (query.lastError().nativeErrorCode() != QLatin1StringView(kSqliteBusy) ||
            attempt == kJournalAttempts)
            return Status::failure(
                sqlFailure(QStringLiteral("cannot open the ledger %1").arg(location.shown),
                           query.lastError()));
        QThread::msleep(kJournalRetryMs);
    }
    if (!query.exec(QStringLiteral("PRAGMA synchronous = FULL")))
        return Status::failure(sqlFailure(
            QStringLiteral("cannot open the ledger %1").arg(location.shown), query.lastError()));
    return Status::success();
}

}  // namespace

Status openConnection(const LedgerLocation& location, const QString& name) {
    const bool sqlite = location.engine == Engine::Sqlite;
    const QString driver = sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL");
    if (!QSqlDatabase::isDriverAvailable(driver)) {
        return Status::failure(
            QStringLiteral("cannot open the ledger %1: the Qt SQL driver %2 is not installed (%3)")
                .arg(location.shown, driver,
                     sqlite ? QStringLiteral("libqt6sql6-sqlite")
                            : QStringLiteral("libqt6sql6-psql")));
    }
    if (Status folder = makeFolder(location); !folder.ok()) return folder;

    Status opened = Status::success();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
        configure(db, location);
        if (!db.open())
            opened = Status::failure(sqlFailure(
                QStringLiteral("cannot open the ledger %1").arg(location.shown), db.lastError()));
        else if (sqlite)
            opened = setJournal(db, location);
    }
    if (!opened.ok()) QSqlDatabase::removeDatabase(name);
    return opened;
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

}  // namespace tessra::ledger
