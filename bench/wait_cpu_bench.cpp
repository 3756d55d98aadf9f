// CPU cost of the link's waits on the real clock: a reply poll against a
// pseudo-terminal that never answers, and a DSR wait on a line that never
// rises. Prints wall time, CPU time and CPU share for each.
#include <pty.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "CpuTime.h"
#include "fakes/FakeLineChoice.h"
#include "fakes/FakeOperator.h"
#include "fakes/FakePort.h"
#include "link/PrinterLink.h"
#include "link/QtClock.h"
#include "link/QtSerialPort.h"

namespace {

void measure(const char* what, const std::function<void()>& run) {
    const auto wallStart = std::chrono::steady_clock::now();
    const double cpuStart = cpuSeconds();
    run();
    const double cpu = cpuSeconds() - cpuStart;
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    std::printf("%-44s wall %.3f s  cpu %.3f s  (%.2f%%)\n", what, wall, cpu, 100.0 * cpu / wall);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    using namespace tessra;

    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    termios t{};
    ::tcgetattr(master, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(master, TCSANOW, &t);
    ::setenv("TESSRA_COM1", name, 1);

    QtClock clock;
    testing::FakeOperator op;
    testing::FakeLineChoice line;

    QtSerialPort port;
    PrinterLink link(port, clock, op, line);
    if (!link.openSelectedPort()) return 1;
    measure("reply poll, 2 s, no answer (pty)",
            [&] { link.waitForReply(4, std::chrono::seconds(2)); });
    link.closePort();

    testing::FakePort silent;
    silent.dsrAsserted = false;
    PrinterLink dsrLink(silent, clock, op, line);
    measure("sendCommand, DSR never rises (1 s + pause)", [&] {
        dsrLink.runExclusive([&] { dsrLink.sendCommand(Bytes{0x0A, 0x00}, 1, 0); });
    });
    measure("sendCommand, DSR at once (pause only)", [&] {
        silent.dsrAsserted = true;
        dsrLink.runExclusive([&] { dsrLink.sendCommand(Bytes{0x0A, 0x00}, 1, 0); });
    });

    ::close(master);
    ::close(slave);
    return 0;
}
