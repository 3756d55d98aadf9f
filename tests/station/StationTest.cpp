#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <map>
#include <stdexcept>

#include "fakes/FakeClock.h"
#include "fakes/FakePrinter.h"
#include "station/EventFormat.h"
#include "station/RecipeWork.h"
#include "station/Slot.h"
#include "station/Station.h"

namespace tessra::station {
namespace {

using testing::FakeBench;
using testing::FakeClock;
using testing::FakePrinter;

// Each step asks the slot first; throws on the units a test names.
class FakeWork final : public UnitWork {
public:
    explicit FakeWork(int* units, bool* throwOnce = nullptr)
        : units_(*units), throwOnce_(throwOnce) {}
    UnitResult provision(printer::Printer& printer, UnitProgress& progress) override {
        ++units_;
        for (const char* step : {"settings", "mac", "customer-code"}) {
            if (!progress.next(step)) return {};
            if (throwOnce_ && *throwOnce_) {
                *throwOnce_ = false;
                throw std::runtime_error("lost the ledger");
            }
            if (!printer.readBlock()) return {false, "", {}, "no reply", "check the cable"};
        }
        return {true, "0A:5C:3E:00:10:0" + std::to_string(units_), 42, "", ""};
    }

private:
    int& units_;
    bool* throwOnce_;
};

// When each unit is on the port, by fake time; a port fault until faultUntil.
struct Script {
    std::vector<std::pair<double, double>> units;
    double faultUntil = 0.0;
    double faultFrom = 0.0;
    void apply(FakeBench& bench, double now) const {
        const bool held = now >= faultFrom && now < faultUntil;
        bench.portFault = held ? std::optional(PortFailure::Busy) : std::nullopt;
        bench.present = false;
        for (const auto& [from, to] : units)
            bench.present = bench.present || (now >= from && now < to);
    }
};

std::string kinds(const std::vector<Event>& events) {
    std::string out;
    for (const Event& e : events)
        out += std::string(eventName(e.kind)) + (e.step.empty() ? " " : ":" + e.step + " ");
    return out;
}

struct SlotRig {
    FakeBench bench;
    FakeClock clock;
    int units = 0;
    std::vector<Event> events;
    std::vector<double> times;
    std::stop_source stop;
    double stopAt = 1e18;

    void run(const Script& script, const std::function<void(const Event&)>& onEvent) {
        clock.onSleep = [&](double now) {
            script.apply(bench, now);
            if (now > stopAt) stop.request_stop();
        };
        Slot slot("/dev/ttyUSB0", Slot::Seams{clock,
                                              [&](const std::string&, std::stop_token) {
                                                  return std::make_unique<FakePrinter>(bench);
                                              },
                                              [&](const std::string&) {
                                                  return std::make_unique<FakeWork>(&units);
                                              },
                                              [&](Event e) {
                                                  events.push_back(e);
                                                  times.push_back(clock.now);
                                                  onEvent(e);
                                              },
                                              [] { return true; }});
        slot.run(stop.get_token());
    }
};

TEST(SlotTest, ProvisionsEachUnitOnceWhileItStaysAndStartsAgainWhenItLeaves) {
    SlotRig rig;
    int done = 0;
    rig.run(Script{{{1003, 1030}, {1034, 1e9}}}, [&](const Event& e) {
        if (e.kind == EventKind::Done && ++done == 2) rig.stop.request_stop();
    });
    EXPECT_EQ(kinds(rig.events),
              "present step:settings step:mac step:customer-code done gone "
              "present step:settings step:mac step:customer-code done stopped ");
    EXPECT_EQ(rig.units, 2);
    // Gone two silent seconds after the last answer (unit left at 1030), not at the first miss.
    EXPECT_GE(rig.times[5], 1031.5);
    EXPECT_LT(rig.times[5], 1033.0);
    EXPECT_EQ(rig.events[4].mac, "0A:5C:3E:00:10:01");
}

// While another program holds the port, the finished unit cannot be seen:
// that is no silence, so the unit is not taken for a new one afterwards.
TEST(SlotTest, AUnitBehindAHeldPortIsNotProvisionedAgain) {
    SlotRig rig;
    rig.stopAt = 1040;
    rig.run(Script{{{1001, 1e9}}, 1015, 1005}, [](const Event&) {});
    EXPECT_EQ(kinds(rig.events),
              "present step:settings step:mac step:customer-code done fault fault stopped ");
    EXPECT_EQ(rig.units, 1);
}

TEST(SlotTest, StopLetsTheCurrentStepFinishAndStartsNoFurtherStep) {
    SlotRig rig;
    rig.run(Script{{{1001, 1e9}}}, [&](const Event& e) {
        if (e.step == "mac") rig.stop.request_stop();
    });
    EXPECT_EQ(kinds(rig.events), "present step:settings step:mac failed stopped ");
    EXPECT_EQ(rig.events[3].reason, "stopped before the unit was finished");
}

TEST(StationTest, AFaultInOneSlotLeavesTheOthersAloneAndTheSlotRecovers) {
    // busy: held by another program until 1010; crash: the first unit throws.
    const std::map<std::string, Script> scripts{{"busy", Script{{{1012, 1e9}}, 1010}},
                                                {"plain", Script{{{1001, 1005}, {1008, 1e9}}}},
                                                {"crash", Script{{{1002, 1008}, {1012, 1e9}}}}};
    std::map<std::string, FakeBench> benches;
    std::map<std::string, int> units;
    for (const auto& [port, script] : scripts) benches[port], units[port];
    std::vector<Event> events;
    StationSetup setup;
    setup.ports = {"busy", "plain", "crash"};
    setup.count = 5;
    setup.printers = [&](const std::string& port, std::stop_token) {
        return std::make_unique<FakePrinter>(benches.at(port));
    };
    bool crashOnce = true;
    setup.work = [&](const std::string& port) {
        return std::make_unique<FakeWork>(&units.at(port), port == "crash" ? &crashOnce : nullptr);
    };
    setup.clocks = [&](const std::string& port) {
        auto clock = std::make_unique<FakeClock>();
        clock->onSleep = [&, port](double now) { scripts.at(port).apply(benches.at(port), now); };
        scripts.at(port).apply(benches.at(port), clock->now);
        return clock;
    };
    Station station(setup, [&](const Event& e) { events.push_back(e); });
    station.start();
    station.wait();

    std::map<std::string, std::string> perSlot;
    for (const Event& e : events) {
        if (e.kind != EventKind::Step) perSlot[e.slot] += std::string(eventName(e.kind)) + " ";
    }
    EXPECT_EQ(perSlot["busy"], "fault fault present done stopped ");
    EXPECT_EQ(perSlot["plain"], "present done gone present done stopped ");
    EXPECT_EQ(perSlot["crash"], "present failed gone present done stopped ");
    EXPECT_EQ(station.counters().done, 4);
    EXPECT_EQ(station.counters().exitStatus(), 1);
}

TEST(EventFormatTest, TextJsonAndCsvCarryTheSameFields) {
    setenv("TZ", "UTC", 1);
    tzset();
    Event e;
    e.time = std::chrono::system_clock::from_time_t(1796389505);  // 2026-12-04 13:05:05 UTC
    e.slot = "/dev/ttyUSB0";
    e.kind = EventKind::Failed;
    e.mac = "0A:5C:3E:00:10:07";
    e.seconds = 12.34;
    e.reason = "reply rejected, \"mac\"";
    e.hint = "check the cable";
    EXPECT_EQ(formatText(e),
              "13:05:05 /dev/ttyUSB0 failed 0A:5C:3E:00:10:07 in 12.3 s: reply rejected, \"mac\" "
              "(check the cable)");
    EXPECT_EQ(formatJson(e),
              R"({"time":"2026-12-04T13:05:05Z","slot":"/dev/ttyUSB0","event":"failed",)"
              R"("mac":"0A:5C:3E:00:10:07","seconds":12.3,"reason":"reply rejected, \"mac\"",)"
              R"("hint":"check the cable"})");
    EXPECT_EQ(formatCsv(e),
              "2026-12-04T13:05:05Z,/dev/ttyUSB0,failed,,0A:5C:3E:00:10:07,,12.3,,"
              "\"reply rejected, \"\"mac\"\"\",check the cable");
}

// A ledger lost between units (here a file that cannot be opened, then
// can) fails the unit with a hint that names the ledger; the next unit
// after it is back is done.
TEST(RecipeWorkTest, TheNextUnitAfterTheLedgerIsBackIsDone) {
    struct : UnitProgress {
        bool next(std::string_view) override { return true; }
    } progress;
    QTemporaryDir dir;
    QFile(dir.filePath("plain")).open(QIODevice::WriteOnly);
    RecipeStation line{{}, dir.filePath("plain/ledger.sqlite"), "line-1", "Kovak"};
    line.recipe.customerCode = 42;
    const auto work = recipeWork(line)(dir.filePath("no-device").toStdString());
    FakePrinter printer;
    const UnitResult lost = work->provision(printer, progress);
    EXPECT_FALSE(lost.done);
    EXPECT_TRUE(lost.hint.starts_with("check the ledger")) << lost.hint;
    QFile::remove(dir.filePath("plain"));
    const UnitResult back = work->provision(printer, progress);
    EXPECT_TRUE(back.done) << back.reason;
}

}  // namespace
}  // namespace tessra::station
