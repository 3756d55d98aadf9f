// Cost of the traffic log. First the decorator's overhead per call, over a
// port that does nothing, on the real clock. Then, if TESSRA_COM1 names a
// running virtual printer, the Feeding button clicked in the real window
// without the log, with the log and the view hidden, and with the view shown:
// click to the first byte gone, and the pause from the close to the end of
// the click. Medians of 30 clicks, and the least.
//
//   build/sim/tessra-printer-sim --link /tmp/tessra-com1 &
//   TESSRA_COM1=/tmp/tessra-com1 QT_QPA_PLATFORM=offscreen build/bench/traffic_bench
#include <QApplication>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "app/Form1.h"
#include "app/QtOperator.h"
#include "app/TrafficDock.h"
#include "link/ForwardingPort.h"
#include "link/QtClock.h"
#include "link/QtSerialPort.h"
#include "link/TrafficLog.h"
#include "link/TrafficPort.h"

namespace {

using Steady = std::chrono::steady_clock;
using namespace tessra;

double microsecondsSince(Steady::time_point start) {
    return std::chrono::duration<double, std::micro>(Steady::now() - start).count();
}

// A port that does nothing, so that only the decorator's work is measured.
class NullPort final : public SerialPort {
public:
    bool dsrAnswer = false;
    bool open(int) override { return open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool setSettings(std::string_view) override { return true; }
    std::string settings() const override { return "9600,n,8,1"; }
    void setBinaryMode() override {}
    bool write(std::span<const std::uint8_t>) override { return true; }
    int bytesWaiting() override { return 0; }
    Bytes readAll() override { return {}; }
    bool dsr() override { return dsrAnswer; }
    void waitForInput(std::chrono::milliseconds) override {}
    std::string lastError() const override { return {}; }
    PortFailure lastFailure() const override { return PortFailure::None; }
    std::vector<FoundPort> foundPorts() const override { return {}; }
    std::string deviceName(int) const override { return "/dev/null"; }

private:
    bool open_ = false;
};

// Nanoseconds per call of one operation, bare and through the decorator.
void perCall(const char* what, const std::function<void(SerialPort&)>& call) {
    constexpr int kCalls = 200'000;
    QtClock clock;
    TrafficLog log(clock);
    NullPort bare;
    NullPort inner;
    TrafficPort logged(inner, log);
    bare.open(1);
    logged.open(1);
    double ns[2] = {};
    SerialPort* ports[2] = {&bare, &logged};
    for (int p = 0; p < 2; ++p) {
        const auto start = Steady::now();
        for (int i = 0; i < kCalls; ++i) call(*ports[p]);
        ns[p] = microsecondsSince(start) * 1000.0 / kCalls;
    }
    std::printf("%-36s bare %7.1f ns   logged %7.1f ns   overhead %7.1f ns\n", what, ns[0], ns[1],
                ns[1] - ns[0]);
}

// Times what the adapter does: the first write returning and the close.
class Stopwatch final : public ForwardingPort {
public:
    explicit Stopwatch(SerialPort& inner) : ForwardingPort(inner) {}
    Steady::time_point firstWrite{};
    Steady::time_point closed{};

    void close() override {
        ForwardingPort::close();
        closed = Steady::now();
    }
    bool write(std::span<const std::uint8_t> b) override {
        const bool ok = ForwardingPort::write(b);
        if (firstWrite == Steady::time_point{}) firstWrite = Steady::now();
        return ok;
    }
};

double least(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// What one pull of the shown view costs; it runs inside the waits' repaint passes.
void viewPulls() {
    QtClock clock;
    TrafficLog log(clock);
    app::TrafficDock dock(log);
    dock.show();
    const std::string line = "sent      " + std::string(48, ' ') + "|.|";
    for (std::size_t i = 0; i < log.limit(); ++i) log.add(line);
    auto start = Steady::now();
    dock.pull();
    std::printf("view: first pull of %zu lines           %8.2f ms\n", log.limit(),
                microsecondsSince(start) / 1000.0);
    constexpr int kPulls = 200;
    double total = 0.0;
    for (int i = 0; i < kPulls; ++i) {
        for (int j = 0; j < 5; ++j) log.add(line);
        start = Steady::now();
        dock.pull();
        QApplication::processEvents();  // the repaint that follows
        total += microsecondsSince(start);
    }
    std::printf(
        "view: pull of 5 new lines into a full view %6.2f ms (mean of %d, with the repaint)\n",
        total / 1000.0 / kPulls, kPulls);
}

enum class Setup { Bare, LogViewHidden, LogViewShown };

void clicks(const char* what, Setup setup) {
    constexpr int kClicks = 30;
    QtSerialPort device;
    Stopwatch stopwatch(device);
    QtClock clock;
    TrafficLog log(clock);
    TrafficPort logged(stopwatch, log);
    SerialPort& port = setup == Setup::Bare ? static_cast<SerialPort&>(stopwatch) : logged;
    app::QtOperator op;
    app::Form1 form(port, clock, op);
    op.setWindow(&form);
    if (setup != Setup::Bare) {
        app::TrafficDock* dock = app::addTrafficView(form, log);
        if (setup == Setup::LogViewShown) dock->show();
    }
    QApplication::processEvents();
    std::vector<double> toWire;
    std::vector<double> pause;
    for (int i = 0; i < kClicks; ++i) {
        stopwatch.firstWrite = {};
        const auto start = Steady::now();
        form.Command14->click();
        const auto end = Steady::now();
        toWire.push_back(
            std::chrono::duration<double, std::milli>(stopwatch.firstWrite - start).count());
        pause.push_back(std::chrono::duration<double, std::milli>(end - stopwatch.closed).count());
        QApplication::processEvents();
    }
    std::printf(
        "%-28s click to wire %5.2f ms (least %5.2f)   close to end of click %6.2f ms "
        "(least %6.2f)\n",
        what, median(toWire), least(toWire), median(pause), least(pause));
}

}  // namespace

int main(int argc, char** argv) {
    perCall("write, 2 bytes", [](SerialPort& p) { p.write(Bytes{0x0A, 0x00}); });
    perCall("write, 16 bytes", [](SerialPort& p) { p.write(Bytes(16, 0x41)); });
    perCall("bytesWaiting poll", [](SerialPort& p) { p.bytesWaiting(); });
    perCall("dsr poll, not asserted", [](SerialPort& p) { p.dsr(); });

    QApplication app(argc, argv);
    viewPulls();
    if (!std::getenv("TESSRA_COM1")) {
        std::printf("TESSRA_COM1 not set: no clicks against the virtual printer\n");
        return 0;
    }
    clicks("Feeding, no log", Setup::Bare);
    clicks("Feeding, log, view hidden", Setup::LogViewHidden);
    clicks("Feeding, log, view shown", Setup::LogViewShown);
    return 0;
}
