// Units per hour of the station core for 1, 2, 4 and 8 slots, and its CPU
// share while 8 slots wait for printers, with nothing but the core: each slot
// drives an emulated printer whose verbs sleep as long as the real exchanges
// take (scaled by --scale) and an operator who swaps the unit after each one;
// so the figures show what the station itself adds. station_virtual.py runs
// the whole tool on virtual printers.
// Usage: station_bench [--seconds S] [--scale F]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "CpuTime.h"
#include "station/Station.h"

namespace {

using namespace tessra;
using std::chrono::duration;

double gScale = 0.1;  // 1 = real time

void nap(double seconds) {
    std::this_thread::sleep_for(duration<double>(seconds * gScale));
}
double now() {
    return duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// What the operator does on one slot: takes a finished unit away after
// kHandling seconds and plugs in the next one kSwap seconds later.
struct Operator {
    static constexpr double kHandling = 1.0;
    static constexpr double kSwap = 2.0;
    double absentFrom = 1e300;
    double absentUntil = 0.0;
    int finishedUnits = 0;
    bool never = false;  // no unit ever comes (the waiting measurement)
    bool present() const {
        const double t = now();
        return !never && !(t >= absentFrom && t < absentUntil);
    }
    // Which unit is on the slot: the next one once the swap is over.
    int unit() const { return now() >= absentUntil ? finishedUnits : finishedUnits - 1; }
    void finished() {
        ++finishedUnits;
        absentFrom = now() + kHandling * gScale;
        absentUntil = absentFrom + kSwap * gScale;
    }
};

// The real waits: an answer in 50 ms; silence costs the 2 s read or the
// 6.3 s search (21 tries of 0.3 s).
class EmulatedPrinter final : public printer::Printer {
public:
    explicit EmulatedPrinter(Operator& op) : op_(op) {}
    printer::Outcome<printer::Line> find() override {
        if (!answer(6.3)) return silence();
        return line_;
    }
    void useLine(printer::Line line) override { line_ = line; }
    printer::Line line() const override { return line_; }
    printer::Outcome<printer::SettingsBlock> readBlock() override {
        if (!answer(2.0)) return silence();
        return printer::SettingsBlock{};
    }
    printer::Outcome<printer::Done> writeBlock(const printer::SettingsBlock&,
                                               std::string_view) override {
        return printer::Done{};
    }
    printer::Outcome<printer::MacAddress> readMac() override {
        return peekMac(std::chrono::milliseconds(static_cast<long long>(5000 * gScale)));
    }
    // Each unit has an address of its own; the wait is the slot's, already scaled.
    printer::Outcome<printer::MacAddress> peekMac(std::chrono::milliseconds wait) override {
        const bool here = op_.present();
        if (!here) std::this_thread::sleep_for(wait);
        if (!here) return silence();
        nap(0.05);
        return printer::MacAddress{0x0A, 0x5C, 0x3E, 0, 0, static_cast<std::uint8_t>(op_.unit())};
    }
    printer::Outcome<printer::Done> writeMac(const printer::MacAddress&,
                                             std::string_view) override {
        return printer::Done{};
    }
    printer::Outcome<printer::CustomerCode> readCustomerCode() override {
        return printer::CustomerCode{1};
    }
    printer::Outcome<printer::Done> writeCustomerCode(printer::CustomerCode) override {
        return printer::Done{};
    }
    printer::Outcome<printer::Done> run(std::string_view) override { return printer::Done{}; }
    printer::Outcome<printer::Done> printLines(std::span<const std::string>) override {
        return printer::Done{};
    }

private:
    bool answer(double silentSeconds) {
        const bool here = op_.present();
        nap(here ? 0.05 : silentSeconds);
        return here;
    }
    static printer::Failure silence() {
        return {printer::FailureKind::NoReply, PortFailure::None, "", ""};
    }
    Operator& op_;
    printer::Line line_{};
};

// Four steps of 0.75 s: about what a provisioning run takes at 9600 bps.
class EmulatedWork final : public station::UnitWork {
public:
    explicit EmulatedWork(Operator& op) : op_(op) {}
    station::UnitResult provision(printer::Printer&, station::UnitProgress& progress) override {
        for (const char* step : {"settings", "mac", "customer-code", "receipt"}) {
            if (!progress.next(step)) return {};
            nap(0.75);
        }
        op_.finished();
        return {true, "0A:5C:3E:00:10:00", 42, "", "", {}};
    }

private:
    Operator& op_;
};

struct Run {
    int done = 0;
    double wall = 0.0;
    double cpu = 0.0;
};

Run runStation(int slots, double seconds, bool unitsCome) {
    // One operator per slot, reached by port name from the slot's thread only.
    std::vector<std::unique_ptr<Operator>> ops;
    station::StationSetup setup;
    for (int i = 0; i < slots; ++i) {
        ops.push_back(std::make_unique<Operator>());
        ops.back()->never = !unitsCome;
        setup.ports.push_back(std::to_string(i));
    }
    setup.printers = [&ops](const std::string& port, std::stop_token) {
        return std::make_unique<EmulatedPrinter>(*ops[std::stoul(port)]);
    };
    setup.work = [&ops](const std::string& port) {
        return std::make_unique<EmulatedWork>(*ops[std::stoul(port)]);
    };
    const station::SlotTiming real;
    setup.timing = {real.lookWait * gScale,    real.probePause * gScale,
                    real.searchEvery,          real.faultPause * gScale,
                    real.removalPoll * gScale, real.removalSilence * gScale};
    Run run;
    const double cpu0 = cpuSeconds();
    const double t0 = now();
    {
        station::Station station(std::move(setup), [&run](const station::Event& e) {
            if (e.kind == station::EventKind::Done) ++run.done;
        });
        station.start();
        std::this_thread::sleep_for(duration<double>(seconds));
        station.requestStop();
    }
    run.wall = now() - t0;
    run.cpu = cpuSeconds() - cpu0;
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 10.0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view name = argv[i];
        if (name == "--seconds") seconds = std::atof(argv[i + 1]);
        if (name == "--scale") gScale = std::atof(argv[i + 1]);
    }
    std::printf("emulated printers, time scale %.2f, %.0f s per run\n", gScale, seconds);
    double single = 0.0;
    for (const int slots : {1, 2, 4, 8}) {
        const Run r = runStation(slots, seconds, true);
        // Per hour of real time on the emulated clock (time scaled back).
        const double perHour = r.done * 3600.0 / (r.wall / gScale);
        if (slots == 1) single = perHour;
        std::printf(
            "%d slot(s): %3d units in %.1f s  %7.0f units/hour  %.2fx one slot  cpu %.2f%%\n",
            slots, r.done, r.wall, perHour, single > 0 ? perHour / single : 0.0,
            100.0 * r.cpu / r.wall);
    }
    const double saved = gScale;
    gScale = 1.0;  // waiting at the real pace of the searches
    const Run idle = runStation(8, seconds, false);
    gScale = saved;
    std::printf("8 slots waiting: cpu %.3f s in %.1f s = %.3f%% of one core\n", idle.cpu, idle.wall,
                100.0 * idle.cpu / idle.wall);
    return 0;
}
