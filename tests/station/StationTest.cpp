#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>

#include "fakes/FakeClock.h"
#include "fakes/FakePrinter.h"
#include "provision/ProvisionUnit.h"
#include "station/EventFormat.h"
#include "station/RecipeWork.h"
#include "station/Slot.h"
#include "station/SlotDevices.h"
#include "station/Station.h"

namespace tessra::station {
namespace {

using testing::FakeBench;
using testing::FakeClock;
using testing::FakePrinter;

// Each step asks the slot first; throws on the units a test names. Writes
// the unit's address; a recipe with a line of its own moves the unit there.
class FakeWork final : public UnitWork {
public:
    explicit FakeWork(int* units, bool* throwOnce = nullptr, FakeBench* bench = nullptr,
                      std::optional<printer::Line> recipeLine = {})
        : units_(*units), throwOnce_(throwOnce), bench_(bench), recipeLine_(recipeLine) {}
    UnitResult provision(printer::Printer& printer, UnitProgress& progress) override {
        ++units_;
        for (const char* step : {"settings", "mac", "customer-code"}) {
            if (!progress.next(step)) return {};
            if (throwOnce_ && *throwOnce_) {
                *throwOnce_ = false;
                throw std::runtime_error("lost the ledger");
            }
            if (!printer.readBlock()) return {false, "", {}, "no reply", "check the cable", {}};
        }
        const printer::MacAddress mac{0x0A, 0x5C, 0x3E, 0, 0x10, static_cast<std::uint8_t>(units_)};
        printer.writeMac(mac, "");
        if (bench_ && recipeLine_) {
            bench_->unitLine = *recipeLine_;
            printer.useLine(*recipeLine_);
        }
        return {true, "0A:5C:3E:00:10:0" + std::to_string(units_), 42, "", "", mac};
    }

private:
    int& units_;
    bool* throwOnce_;
    FakeBench* bench_;
    std::optional<printer::Line> recipeLine_;
};

// When each unit is on the port (by fake time) and the line it answers at,
// each with a factory address of its own; a port fault from faultFrom until
// faultUntil.
struct Unit {
    double from, to;
    printer::Line line{};
};
struct Script {
    std::vector<Unit> units;
    double faultUntil = 0.0, faultFrom = 0.0;
    PortFailure fault = PortFailure::Busy;
    void apply(FakeBench& bench, double now) const {
        const bool held = now >= faultFrom && now < faultUntil;
        bench.portFault = held ? std::optional(fault) : std::nullopt;
        bench.present = false;
        for (int i = 0; i < static_cast<int>(units.size()); ++i) {
            if (now < units[i].from || now >= units[i].to) continue;
            bench.present = true;
            if (bench.unit == i) continue;
            bench.unit = i;
            bench.mac = {0x0A, 0x5C, 0x3E, 0xF0, 0, static_cast<std::uint8_t>(i)};
            bench.unitLine = units[i].line;
        }
    }
};

std::string kinds(const std::vector<Event>& events, bool steps = true) {
    std::string out;
    for (const Event& e : events) {
        if (steps || e.kind != EventKind::Step)
            out += std::string(eventName(e.kind)) + (e.step.empty() ? " " : ":" + e.step + " ");
    }
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
    std::optional<printer::Line> recipeLine;

    void run(const Script& script, const std::function<void(const Event&)>& onEvent) {
        clock.onSleep = [&](double now) {
            script.apply(bench, now);
            if (now > stopAt) stop.request_stop();
        };
        script.apply(bench, clock.now);
        Slot slot("/dev/ttyUSB0", Slot::Seams{clock,
                                              [&](const std::string&, std::stop_token) {
                                                  return std::make_unique<FakePrinter>(bench);
                                              },
                                              [&](const std::string&) {
                                                  return std::make_unique<FakeWork>(
                                                      &units, nullptr, &bench, recipeLine);
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

TEST(SlotTest, StopLetsTheCurrentStepFinishAndStartsNoFurtherStep) {
    SlotRig rig;
    rig.run(Script{{{1001, 1e9}}}, [&](const Event& e) {
        if (e.step == "mac") rig.stop.request_stop();
    });
    EXPECT_EQ(kinds(rig.events), "present step:settings step:mac failed stopped ");
    EXPECT_EQ(rig.events[3].reason, "stopped before the unit was finished");
}

// A fresh unit put on 0.5 s after the last one left starts at once, whether
// the recipe keeps the factory line or not; one at an odd line is found too.
TEST(SlotTest, ANewUnitIsStartedAtOnceWhateverLineItAnswersAt) {
    const printer::Line factory{}, fast{6, 1}, odd{3, 1};
    const struct {
        std::optional<printer::Line> recipeLine;
        printer::Line second;
        double within;  // from the arrival to present
    } cases[] = {{{}, factory, 0.3}, {fast, factory, 0.3}, {{}, odd, 7.0}, {fast, odd, 7.0}};
    for (const auto& c : cases) {
        SlotRig rig;
        rig.recipeLine = c.recipeLine;
        rig.stopAt = 1100;
        rig.run(Script{{{1001, 1010}, {1010.5, 1e9, c.second}}}, [&](const Event& e) {
            if (e.kind == EventKind::Done && rig.units == 2) rig.stop.request_stop();
        });
        ASSERT_EQ(kinds(rig.events, false), "present done gone present done stopped ");
        EXPECT_LT(rig.times[6] - 1010.5, c.within) << c.second.speedIndex;
        EXPECT_EQ(rig.events[10].mac, "0A:5C:3E:00:10:02");
    }
}

// A unit left at the recipe's line when the station last ended is found by
// the first search, without requests at a speed it no longer listens at.
TEST(SlotTest, AUnitLeftFromTheLastRunIsFoundAtOnce) {
    SlotRig rig;
    rig.run(Script{{{1000, 1e9, {6, 1}}}}, [&](const Event& e) {
        if (e.kind == EventKind::Done) rig.stop.request_stop();
    });
    EXPECT_EQ(kinds(rig.events, false), "present done stopped ");
    EXPECT_EQ(rig.times[0], 1000.0);
}

// Silence for 2 s, or the device gone with the unit, is `gone`; a device
// missing on an empty slot is a fault; a held port hides the unit, no silence.
TEST(SlotTest, ARemovalIsGoneAndAMissingDeviceOnAnEmptySlotIsAFault) {
    const PortFailure missing = PortFailure::NoSuchDevice;
    const struct {
        Script script;
        std::string trace, reason;  // reason: of the first gone or fault
        double at;
    } cases[] = {
        {Script{{{1001, 1010}}}, "present done gone stopped ", "no answer", 1012},
        {Script{{{1001, 1010}}, 1e9, 1010, missing}, "present done gone stopped ", "device gone",
         1010},
        {Script{{{1006, 1e9}}, 1005, 0, missing}, "fault fault present done stopped ",
         "device gone", 1000},
        {Script{{{1001, 1e9}}, 1015, 1005}, "present done fault fault stopped ",
         "port held by another program", 1005},
        {Script{{{1001, 1010}}, 1e9, 1010, PortFailure::Other}, "present done gone fault stopped ",
         "no answer", 1012},
    };
    for (const auto& c : cases) {
        SlotRig rig;
        rig.stopAt = 1030;
        rig.run(c.script, [](const Event&) {});
        EXPECT_EQ(kinds(rig.events, false), c.trace);
        const auto first = std::ranges::find_if(rig.events, [](const Event& e) {
            return e.kind == EventKind::Gone || e.kind == EventKind::Fault;
        });
        ASSERT_NE(first, rig.events.end());
        EXPECT_EQ(first->reason, c.reason);
        EXPECT_NEAR(rig.times[first - rig.events.begin()], c.at, 0.25) << c.trace;
        if (first->kind == EventKind::Fault && c.reason == "device gone") {
            EXPECT_EQ(first->hint,
                      "plug in this slot's adapter; the slot goes on by itself once it is back");
        }
    }
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

    std::map<std::string, std::vector<Event>> perSlot;
    for (const Event& e : events) perSlot[e.slot].push_back(e);
    EXPECT_EQ(kinds(perSlot["busy"], false), "fault fault present done stopped ");
    EXPECT_EQ(kinds(perSlot["plain"], false), "present done gone present done stopped ");
    EXPECT_EQ(kinds(perSlot["crash"], false), "present failed gone present done stopped ");
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
    // A Windows path and an escape quoted from a reply stay one JSON string each.
    e.reason = R"(C:\temp\"x" \u0041)";
    e.hint.clear();
    EXPECT_EQ(formatJson(e).substr(formatJson(e).find("\"reason\"")),
              R"("reason":"C:\\temp\\\"x\" \\u0041"})");
}

// Refused, the ledger unusable, written but not recorded: each is a failed
// unit with the operator's hint (a failed unit fails the run: see above).
TEST(RecipeWorkTest, OnlyAUnitWrittenReadBackAndRecordedIsDone) {
    for (int code = 0; code <= 4; ++code) {
        provision::UnitSummary summary;
        summary.exitCode = code;
        summary.mac = 0x0A5C3E001007;
        summary.message = QStringLiteral("why");
        const UnitResult r = unitResult(summary);
        EXPECT_EQ(r.done, code == 0) << code;
        EXPECT_EQ(r.address.has_value(), code == 0) << code;
        EXPECT_EQ(r.hint.empty(), code == 0) << code;
    }
}

TEST(SlotDevicesTest, TwoNamesOfOneDeviceAreRefusedNamingBoth) {
    const auto dir = std::filesystem::temp_directory_path() / std::to_string(::getpid());
    std::filesystem::create_directories(dir);
    const std::string device = dir / "ttyUSB0", other = dir / "ttyUSB1", alias = dir / "by-path";
    std::ofstream(device) << '\n';
    std::ofstream(other) << '\n';
    std::filesystem::create_symlink(device, alias);
    const auto com = [&](int n) { return n == 3 ? device : std::string("/nowhere"); };
    EXPECT_EQ(slotsOnOneDevice({other, alias, device}, com),
              alias + " and " + device + " reach one device (" + device + ")");
    EXPECT_EQ(slotsOnOneDevice({"COM3", other, alias}, com),
              "COM3 and " + alias + " reach one device (" + device + ")");
    EXPECT_EQ(slotsOnOneDevice({"COM4", other, device, "/nowhere"}, com), std::nullopt);
    std::filesystem::remove_all(dir);
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
