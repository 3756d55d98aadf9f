#include "ledger/SqlConnection.h"

#include <dlfcn.h>
#include <sys/socket.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUrl>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

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

// The socket of a PostgreSQL connection, or -1. libpq is already loaded by
// the driver; it is asked here rather than linked, so that the program
// needs no PostgreSQL library where nobody uses PostgreSQL.
int postgresSocket(const QString& connection) {
    const QVariant handle = QSqlDatabase::database(connection, false).driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "pg_conn*") != 0) return -1;
    using SocketOf = int (*)(const void*);
    static const SocketOf socketOf = [] {
        void* library = ::dlopen("libpq.so.5", RTLD_NOW | RTLD_NOLOAD);
        return library ? reinterpret_cast<SocketOf>(::dlsym(library, "PQsocket")) : nullptr;
    }();
    void* conn = *static_cast<void* const*>(handle.constData());
    return socketOf && conn ? socketOf(conn) : -1;
}

// One thread for every connection of the process: it sleeps until the
// nearest deadline and shuts the socket of each one that passed.
class Watchdog {
public:
    static Watchdog& instance() {
        static Watchdog* watchdog = new Watchdog;  // outlives every connection
        return *watchdog;
    }

    quint64 watch(int socket, std::chrono::steady_clock::time_point deadline) {
        const std::lock_guard lock(mutex_);
        if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
        watched_[++serial_] = {socket, deadline, false};
        changed_.notify_one();
        return serial_;
    }

    bool expired(quint64 id) {
        const std::lock_guard lock(mutex_);
        const auto it = watched_.find(id);
        return it != watched_.end() && it->second.expired;
    }

    void forget(quint64 id) {
        const std::lock_guard lock(mutex_);
        watched_.erase(id);
    }

private:
    struct Watched {
        int socket;
        std::chrono::steady_clock::time_point deadline;
        bool expired;
    };

    [[noreturn]] void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            auto nearest = std::chrono::steady_clock::time_point::max();
            const auto now = std::chrono::steady_clock::now();
            for (auto& [id, w] : watched_) {
                if (w.expired) continue;
                if (w.deadline <= now) {
                    // Under the lock, so the owner cannot have closed it meanwhile.
                    ::shutdown(w.socket, SHUT_RDWR);
                    w.expired = true;
                } else {
                    nearest = std::min(nearest, w.deadline);
                }
            }
            if (nearest == std::chrono::steady_clock::time_point::max())
                changed_.wait(lock);
            else
                changed_.wait_until(lock, nearest);
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<quint64, Watched> watched_;
    quint64 serial_ = 0;
    std::thread thread_;
};

Status openOnce(const LedgerLocation& location, const QString& name, const QString& driver,
                ConnectionMode mode, bool immutable) {
    Status opened = Status::success();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
        configure(db, location, mode, immutable);
        if (!db.open())
            opened = sqlStatus(QStringLiteral("cannot open the ledger %1").arg(location.shown),
                               db.lastError());
        else {
            const AnswerDeadline deadline(name, mode.waitMs + kAnswerMarginMs);
            opened = prepare(db, location, mode);
            if (deadline.expired())
                opened = noAnswer(QStringLiteral("cannot open the ledger %1").arg(location.shown),
                                  mode.waitMs);
        }
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

AnswerDeadline::AnswerDeadline(const QString& connection, int ms) {
    const int socket = postgresSocket(connection);
    if (socket >= 0)
        id_ = Watchdog::instance().watch(
            socket, std::chrono::steady_clock::now() + std::chrono::milliseconds(ms));
}

AnswerDeadline::~AnswerDeadline() {
    if (id_) Watchdog::instance().forget(id_);
}

bool AnswerDeadline::expired() const {
    return id_ && Watchdog::instance().expired(id_);
}

QString sqlFailure(const QString& what, const QSqlError& error) {
    QString reason = error.text().simplified();
    if (reason.isEmpty()) reason = QStringLiteral("unknown database error");
    return what + QStringLiteral(": ") + reason;
}

Status noAnswer(const QString& what, int waitMs) {
    return Status::failure(
        QStringLiteral("%1: the database did not answer in %2 ms (gave up waiting)")
            .arg(what)
            .arg(waitMs + kAnswerMarginMs),
        Fault::TimedOut);
}

Status sqlStatus(const QString& what, const QSqlError& error) {
    if (!timedOut(error)) return Status::failure(sqlFailure(what, error));
    return Status::failure(
        sqlFailure(what, error) + QStringLiteral(" (gave up waiting for another process)"),
        Fault::TimedOut);
}

}  // namespace tessra::ledger
