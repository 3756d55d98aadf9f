// Wall time of `tessra-cli provision` for a factory-fresh unit on the virtual
// printer, next to the protocol's floor (see SimBench.h): the settings block,
// a new MAC address, the customer code and the receipt are all written, at the
// speed the printer listens at and the recipe keeps. Each run gets a fresh
// printer; the ledger (SQLite) is shared by the runs of a speed.
//
//   provision_bench [RUNS]      (default 5 timed runs per speed, after one traced)

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <fstream>
#include <map>

#include "SimBench.h"
#include "link/Timing.h"

namespace {

using namespace tessra::bench;
using tessra::timing::toSeconds;

// The quiet time after the settings write, each of the MAC write's three
// parts, the customer code write and the receipt.
constexpr int kPausesPerUnit = 6;

struct Run {
    Timed timed;
    QString out;
};

Run provision(const QTemporaryDir& ledgerDir, const QString& recipe, int speed, bool trace) {
    QTemporaryDir dir;
    Printer printer;
    if (!printer.start(dir, speed)) return {{0, -1, "the virtual printer did not start\n"}, {}};
    QStringList arguments{"--port",    printer.link,
                          "--line",    QString("%1,n").arg(speed),
                          "--ledger",  ledgerDir.filePath("ledger.sqlite"),
                          "--station", "bench",
                          "--json"};
    if (trace) arguments << "--trace";
    QProcess tool;
    QElapsedTimer timer;
    timer.start();
    tool.start(TESSRA_CLI_PROGRAM, arguments << "provision" << recipe);
    tool.waitForFinished(60000);
    return {{static_cast<double>(timer.nsecsElapsed()) / 1e9, tool.exitCode(),
             QString::fromUtf8(tool.readAllStandardError())},
            QString::fromUtf8(tool.readAllStandardOutput())};
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    qputenv("TESSRA_PASSWORD", "Kovak");

    std::vector<double> starts;
    for (int i = 0; i < runs; ++i) starts.push_back(runTool({"--help"}).seconds);
    std::printf("process start and exit (--help): median %.3f s\n\n", median(starts));

    const double waits = kPausesPerUnit * toSeconds(tessra::timing::kPause);
    std::printf("%-10s %8s %8s %8s %8s %8s %7s\n", "provision", "wall", "waits", "wire", "floor",
                "over", "over %");
    std::map<int, std::map<QString, std::vector<double>>> stepMs;
    for (const int speed : {9600, 115200}) {
        QTemporaryDir dir;
        const QString recipe = dir.filePath("unit.recipe");
        writeSettingsFile(dir.filePath("unit.tessra"), speed, 1);
        std::ofstream(recipe.toStdString())
            << "tessra-recipe 1\nname = bench\nsettings = unit.tessra\n"
               "mac-range = 0A:5C:3E:00:20:00-0A:5C:3E:00:2F:FF\ncustomer-code = 42\n";
        std::vector<double> walls;
        double wire = 0;
        for (int i = 0; i <= runs; ++i) {
            const Run r = provision(dir, recipe, speed, i == 0);
            if (r.timed.exitCode != 0) {
                std::fprintf(stderr, "%d bps: exit %d\n%s%s", speed, r.timed.exitCode,
                             qPrintable(r.out), qPrintable(r.timed.err));
                return 1;
            }
            if (i == 0) {
                wire = wireSeconds(r.timed.err);
                continue;
            }
            walls.push_back(r.timed.seconds);
            for (const QString& line : r.out.split('\n', Qt::SkipEmptyParts)) {
                const QJsonObject step = QJsonDocument::fromJson(line.toUtf8()).object();
                if (step.contains("step"))
                    stepMs[speed][step["step"].toString()].push_back(step["ms"].toDouble());
            }
        }
        const double wall = median(walls);
        const double floor = waits + wire;
        std::printf("%-10s %7.3fs %7.3fs %7.3fs %7.3fs %7.3fs %6.1f%%\n",
                    qPrintable(QString("%1 bps").arg(speed)), wall, waits, wire, floor,
                    wall - waits, 100.0 * (wall - waits) / floor);
    }
    std::printf(
        "\nover: wall time less the fixed waits (the pseudo-terminal spends no wire time),\n"
        "as a share of the floor\n\nmedian ms per step:");
    for (const auto& [speed, steps] : stepMs) {
        std::printf("\n  %6d bps:", speed);
        for (const auto& [step, ms] : steps) std::printf(" %s %.0f", qPrintable(step), median(ms));
    }
    std::printf("\n");
    return 0;
}
