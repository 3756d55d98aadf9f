// Wall time of `tessra-cli settings load` against the virtual printer, next
// to the protocol's floor: its fixed waits plus the time the bytes take on a
// real line at their speed (start, 8 data, parity, stop bits). A
// pseudo-terminal carries bytes at once, so there the floor's wire part is
// not spent; what is left over is the tool's own cost (process start, Qt,
// port opens).
//
//   cli_load_bench [RUNS]      (default 5 loads per case)

#include <QCoreApplication>
#include <cstdio>

#include "SimBench.h"
#include "link/Timing.h"

namespace {

using namespace tessra::bench;
using tessra::timing::toSeconds;

struct Case {
    const char* name;
    bool found;     // no --line: the printer is found first
    int fromSpeed;  // the printer listens at this speed before the load
    int toSpeed;    // the file's Baudrate
};

// Failed tries of the automatic read before the speed answers (parity n).
int failedTries(int speed) {
    int tries = 0;
    for (const int index : tessra::kAutoReadSpeedOrder) {
        if (tessra::kSpeedTexts[static_cast<std::size_t>(index)] == std::to_string(speed))
            return tries;
        tries += static_cast<int>(tessra::kParities.size());
    }
    return tries;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    std::vector<double> starts;
    for (int i = 0; i < runs; ++i) starts.push_back(runTool({"--help"}).seconds);
    std::printf("process start and exit (--help): median %.3f s\n\n", median(starts));

    const Case cases[] = {
        {"--line, 9600 -> 115200", false, 9600, 115200},
        {"--line, 115200 -> 9600", false, 115200, 9600},
        {"found, 9600 -> 115200", true, 9600, 115200},
        {"found, 115200 -> 9600", true, 115200, 9600},
    };
    std::printf("%-26s %9s %9s %9s %9s %9s\n", "settings load", "wall", "waits", "wire", "floor",
                "over");
    for (const Case& c : cases) {
        QTemporaryDir dir;
        Printer printer;
        if (!printer.start(dir, c.fromSpeed)) {
            std::fprintf(stderr, "the virtual printer did not start\n");
            return 1;
        }
        const QString there =
            writeSettingsFile(dir.filePath(QString("to-%1.tessra").arg(c.toSpeed)), c.toSpeed);
        const QString back =
            writeSettingsFile(dir.filePath(QString("to-%1.tessra").arg(c.fromSpeed)), c.fromSpeed);
        const auto load = [&](const QString& file, int at, bool trace) {
            QStringList arguments{"--port", printer.link};
            if (!c.found) arguments << "--line" << QString("%1,n").arg(at);
            if (trace) arguments << "--trace";
            return runTool(arguments << "settings"
                                     << "load" << file);
        };
        std::vector<double> walls;
        double wire = 0;
        for (int i = 0; i < runs; ++i) {
            const Timed t = load(there, c.fromSpeed, i == 0);
            if (t.exitCode != 0) {
                std::fprintf(stderr, "%s: exit %d\n%s", c.name, t.exitCode, qPrintable(t.err));
                return 1;
            }
            if (i == 0) {
                wire = wireSeconds(t.err);
            } else {
                walls.push_back(t.seconds);
            }
            load(back, c.toSpeed, false);  // the printer back where the case starts
        }
        if (walls.empty()) walls.push_back(0);
        // The write's pause, and each failed try of the search.
        const double waits =
            toSeconds(tessra::timing::kPause) +
            (c.found ? failedTries(c.fromSpeed) * toSeconds(tessra::timing::kAutoReadAttempt)
                     : 0.0);
        const double wall = median(walls);
        std::printf("%-26s %8.3fs %8.3fs %8.3fs %8.3fs %8.3fs\n", c.name, wall, waits, wire,
                    waits + wire, wall - waits);
    }
    std::printf(
        "\nover: wall time less the fixed waits (the pseudo-terminal spends no wire time)\n");
    return 0;
}
