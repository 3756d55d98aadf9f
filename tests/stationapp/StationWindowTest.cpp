#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <map>

#include "fakes/FakeClock.h"
#include "fakes/FakePrinter.h"
#include "stationapp/SlotTile.h"
#include "stationapp/StationWindow.h"

namespace tessra::stationapp {
namespace {

using station::SlotState;
using testing::FakeBench;

bool waitFor(const std::function<bool()>& condition) {
    for (int i = 0; i < 500 && !condition(); ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    return condition();
}

class OneStepWork final : public station::UnitWork {
public:
    station::UnitResult provision(printer::Printer&, station::UnitProgress& progress) override {
        if (!progress.next("mac")) return {};
        return {true, "0A:5C:3E:00:10:01", 42, "", "", {}};
    }
};

// A: a unit that stays until the test unplugs it; B: a port held elsewhere.
struct Bench {
    std::map<std::string, FakeBench> benches;
    std::atomic<bool> removeA = false;
    Bench() {
        benches["A"].present = true;
        benches["B"].portFault = PortFailure::Busy;
    }
    station::StationSetup operator()(const std::string&) {
        station::StationSetup s;
        s.printers = [this](const std::string& port, std::stop_token) {
            return std::make_unique<testing::FakePrinter>(benches.at(port));
        };
        s.work = [](const std::string&) { return std::make_unique<OneStepWork>(); };
        // Fake time, with a real millisecond per sleep so that waiting slots do not spin.
        s.clocks = [this](const std::string& port) {
            auto clock = std::make_unique<testing::FakeClock>();
            clock->onSleep = [this, port](double) {
                if (port == "A" && removeA) benches.at(port).portFault = PortFailure::NoSuchDevice;
                QThread::msleep(1);
            };
            return clock;
        };
        return s;
    }
};

TEST(StationWindowTest, TilesFollowTheSlotsStopEndsTheRunAndTheEventsGoToCsv) {
    Bench bench;
    StationWindow window(std::ref(bench), {{"A", "A"}, {"B", "B"}});
    window.setRecipe(QStringLiteral("line-7.recipe"));
    window.setChosenSlots({QStringLiteral("A"), QStringLiteral("B")});
    EXPECT_EQ(window.statusBar()->currentMessage(), QStringLiteral("Press Start."));
    window.resize(1200, 800);
    window.show();
    ASSERT_TRUE(window.start());
    ASSERT_TRUE(waitFor([&] {
        return window.tile("A")->view().state == SlotState::Done &&
               window.tile("B")->view().state == SlotState::PortFault;
    }));
    EXPECT_EQ(window.tile("A")->accessibleDescription().toStdString(),
              "A: done, waiting for removal, MAC 0A:5C:3E:00:10:01, customer code 42");
    EXPECT_EQ(window.countersText(), QStringLiteral("Done 1   Failed 0"));
    // Beside the tiles the slot list keeps its names readable.
    EXPECT_GE(window.findChild<QListWidget*>()->width(), 250);

    // Taken off with its device: an empty tile, nothing left of the unit.
    bench.removeA = true;
    ASSERT_TRUE(waitFor([&] { return window.tile("A")->view().state == SlotState::Waiting; }));
    EXPECT_EQ(window.tile("A")->accessibleDescription().toStdString(),
              "A: empty: waiting for the next printer");

    window.stop();
    ASSERT_TRUE(waitFor([&] { return !window.running(); }));
    EXPECT_EQ(window.tile("A")->view().state, SlotState::Stopped);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("events.csv"));
    ASSERT_TRUE(window.saveCsv(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
    // Header, present, step, done, gone (A), fault (B), stopped twice, and "" after the last CRLF.
    EXPECT_EQ(lines.size(), 9);
    EXPECT_TRUE(lines.filter(QStringLiteral(",A,done,,0A:5C:3E:00:10:01,42,")).size() == 1);

    // The next window starts on the same recipe and slots without being told.
    StationWindow next(std::ref(bench), {{"A", "A"}, {"B", "B"}});
    EXPECT_TRUE(next.start());
}

}  // namespace
}  // namespace tessra::stationapp
