#pragma once

// A fresh, empty ledger location for one test on either engine, and direct
// SQL into it for what the ledger's interface never does (planting a newer
// schema). PostgreSQL needs TESSRA_TEST_PG_LOCATION, which ctest sets after
// starting a throwaway server; each test gets a database of its own, so tests
// may run in parallel.

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include "ledger/SqlConnection.h"

namespace tessra::ledger {

class ScratchLedger {
public:
    explicit ScratchLedger(Engine engine) : engine_(engine) {
        // Flushes cost nothing on a RAM disk, which keeps the process races short.
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                       : QDir::tempPath();
        folder_ = QStringLiteral("%1/tessra-ledger-%2-%3").arg(base).arg(::getpid()).arg(++serial_);
        QDir(folder_).removeRecursively();
        QDir().mkpath(folder_);
        if (engine == Engine::Sqlite) {
            location_ = folder_ + QStringLiteral("/ledger.sqlite");
            return;
        }
        const QString server = qEnvironmentVariable("TESSRA_TEST_PG_LOCATION");
        if (server.isEmpty()) {
            problem = QStringLiteral("TESSRA_TEST_PG_LOCATION is not set (ctest sets it)");
            return;
        }
        database_ = QStringLiteral("ledger_test_%1_%2").arg(::getpid()).arg(serial_);
        location_ = server + (server.contains(u'?') ? u'&' : u'?') + "dbname=" + database_;
        adminLocation_ = server;
        const QString created = query(adminLocation_, "CREATE DATABASE " + database_);
        if (created.startsWith(kError)) problem = created;
    }
    ~ScratchLedger() {
        if (!database_.isEmpty())
            query(adminLocation_, "DROP DATABASE " + database_ + " WITH (FORCE)");
        QDir(folder_).removeRecursively();
    }
    ScratchLedger(const ScratchLedger&) = delete;
    ScratchLedger& operator=(const ScratchLedger&) = delete;

    bool postgres() const { return engine_ == Engine::Postgres; }
    const QString& location() const { return location_; }
    const QString& folder() const { return folder_; }

    // Where nothing answers: a socket folder without a server, or a path
    // through a plain file (which even root cannot make a folder of).
    QString unreachable() const {
        if (postgres())
            return "postgresql:///ledger?host=" + folder_ + "&connect_timeout=2&user=postgres";
        QFile(folder_ + "/plain").open(QIODevice::WriteOnly);
        return folder_ + "/plain/ledger.sqlite";
    }

    // The first value of the statement's first row, or "error: <reason>".
    QString query(const QString& sql) { return query(location_, sql); }

    QString problem;  // why no ledger could be made; empty when ready

private:
    static constexpr QLatin1StringView kError{"error: "};

    static QString query(const QString& location, const QString& sql) {
        const auto parsed = parseLedgerLocation(location);
        if (!parsed.ok()) return kError + parsed.error;
        const QString name = QStringLiteral("scratch-%1").arg(++serial_);
        const Status opened = openConnection(*parsed, name);
        if (!opened.ok()) return kError + opened.error;
        QString value;
        {
            QSqlQuery statement(QSqlDatabase::database(name, false));
            if (!statement.exec(sql))
                value = kError + statement.lastError().text();
            else if (statement.next())
                value = statement.value(0).toString();
        }
        closeConnection(name);
        return value;
    }

    static inline int serial_ = 0;
    Engine engine_;
    QString folder_;
    QString location_;
    QString adminLocation_;
    QString database_;
};

}  // namespace tessra::ledger
