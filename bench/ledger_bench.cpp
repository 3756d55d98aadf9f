// Reservations per second on each ledger engine: one process reserving, and
// several processes reserving at once, on an empty ledger and on one that
// already holds many addresses (the search for the lowest free address walks
// the held ones). SQLite goes to a file in the temporary folder, PostgreSQL to
// a throwaway server with fsync on, started by scripts/pg-cluster.sh.
//
//   ledger_bench [COUNT [PROCESSES [HELD]]]     defaults 1000 4 100000
//   ledger_bench --worker LOCATION COUNT        (what each process runs)
#include <unistd.h>

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ledger/Ledger.h"
#include "ledger/SqlConnection.h"

#ifndef TESSRA_PG_CLUSTER_SCRIPT
#error "TESSRA_PG_CLUSTER_SCRIPT must name scripts/pg-cluster.sh"
#endif

using namespace tessra::ledger;

namespace {

Stamp benchStamp() {
    Stamp stamp;
    stamp.station = QStringLiteral("bench");
    stamp.port = QStringLiteral("COM1");
    return stamp;
}
const Stamp kStamp = benchStamp();

bool reserveMany(const QString& location, int count) {
    auto ledger = Ledger::open(location);
    if (!ledger.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(ledger.error));
        return false;
    }
    for (int i = 0; i < count; ++i) {
        const auto reserved = (*ledger)->reserve(kStamp);
        if (!reserved.ok() || reserved->rangeFull()) {
            std::fprintf(stderr, "%s\n", qPrintable(reserved.ok() ? "range full" : reserved.error));
            return false;
        }
    }
    return true;
}

// Runs one statement on a location, outside the ledger's interface.
bool execute(const QString& location, const QString& sql) {
    const auto parsed = parseLedgerLocation(location);
    const QString name = QStringLiteral("bench-direct");
    if (!parsed.ok() || !openConnection(*parsed, name).ok()) return false;
    bool ok = false;
    {
        QSqlQuery query(QSqlDatabase::database(name, false));
        ok = query.exec(sql);
        if (!ok) std::fprintf(stderr, "%s\n", qPrintable(query.lastError().text()));
    }
    closeConnection(name);
    return ok;
}

// Marks the first HELD addresses of the default range written, in one statement.
bool hold(const QString& location, int held) {
    if (held == 0) return true;
    if (!Ledger::open(location).ok()) return false;  // creates the tables
    return execute(location,
                   QStringLiteral("WITH RECURSIVE s(a) AS (SELECT %1 UNION ALL SELECT a + 1 FROM s "
                                  "WHERE a < %2) INSERT INTO mac_ledger SELECT a, 'written', "
                                  "'2024-01-01T00:00:00.000Z', 'fill', 'COM1', NULL FROM s")
                       .arg(kDefaultRange.first)
                       .arg(kDefaultRange.first + held - 1));
}

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Every process opens the ledger and reserves COUNT; the time includes
// starting them.
bool race(const std::string& self, const QString& location, int processes, int count) {
    const std::string command =
        "'" + self + "' --worker '" + location.toStdString() + "' " + std::to_string(count);
    std::vector<FILE*> pipes;
    for (int i = 0; i < processes; ++i) pipes.push_back(::popen(command.c_str(), "r"));
    bool ok = true;
    for (FILE* pipe : pipes) ok = pipe && ::pclose(pipe) == 0 && ok;
    return ok;
}

void report(const char* engine, const char* how, int held, int reservations, double elapsed) {
    std::printf("%-10s %-14s %7d held  %6d reservations  %7.2f s  %8.0f /s\n", engine, how, held,
                reservations, elapsed, reservations / elapsed);
}

// fresh() gives an empty ledger's location for each measurement.
template <class Fresh>
bool measure(const char* engine, Fresh fresh, const std::string& self, int count, int processes,
             int held) {
    for (int h : {0, held}) {
        QString location = fresh();
        if (!hold(location, h)) return false;
        auto start = std::chrono::steady_clock::now();
        if (!reserveMany(location, count)) return false;
        report(engine, "1 process", h, count, seconds(start));

        location = fresh();
        if (!hold(location, h)) return false;
        const int each = count / processes;
        start = std::chrono::steady_clock::now();
        if (!race(self, location, processes, each)) return false;
        const std::string how = std::to_string(processes) + " processes";
        report(engine, how.c_str(), h, each * processes, seconds(start));
    }
    return true;
}

std::string selfPath() {
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? std::string(path, std::size_t(n)) : std::string();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--worker")
        return reserveMany(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3])) ? 0 : 1;
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int processes = argc > 2 ? std::atoi(argv[2]) : 4;
    const int held = argc > 3 ? std::atoi(argv[3]) : 100000;
    const std::string self = selfPath();

    const QString folder =
        QDir::tempPath() + QStringLiteral("/tessra-ledger-bench-%1").arg(::getpid());
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    int files = 0;
    const bool sqliteOk = measure(
        "SQLite", [&] { return folder + QStringLiteral("/ledger-%1.sqlite").arg(++files); }, self,
        count, processes, held);

    const std::string cluster = folder.toStdString() + "/pg";
    const std::string script = "bash '" TESSRA_PG_CLUSTER_SCRIPT "' ";
    bool pgOk = false;
    if (FILE* started = ::popen((script + "start '" + cluster + "' --durable").c_str(), "r")) {
        char line[1024] = {};
        const bool gotLocation = std::fgets(line, sizeof line, started) != nullptr;
        if (::pclose(started) == 0 && gotLocation) {
            const QString server = QString::fromLocal8Bit(line).trimmed();
            int databases = 0;
            pgOk = measure(
                "PostgreSQL",
                [&] {
                    // A database of its own for each measurement.
                    const QString name = QStringLiteral("bench_%1").arg(++databases);
                    execute(server, "CREATE DATABASE " + name);
                    return server + "&dbname=" + name;
                },
                self, count, processes, held);
        }
        (void)std::system((script + "stop '" + cluster + "'").c_str());
    }
    QDir(folder).removeRecursively();
    return sqliteOk && pgOk ? 0 : 1;
}
