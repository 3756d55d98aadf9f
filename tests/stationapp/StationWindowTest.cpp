#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <map>

#include "fakes/FakeClock.h"
#include "fakes/FakePrinter.h"
#include "stationapp/SlotTile.h"
#include "stationapp/StationWindow.h"

namespace tessra::stationapp {
namespace {

using station::SlotState;
using testing::FakeBench;

void widgetApplication() {
    static int argc = 1;
    static char name[] = "stationapp_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

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
        return {true, "0A:5C:3E:00:10:01", 42, "", ""};
    }
};

// A: a unit that stays; B: a port held by another program.
struct Bench {
    std::map<std::string, FakeBench> benches;
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
        s.clocks = [](const std::string&) {
            auto clock = std::make_unique<testing::FakeClock>();
            clock->onSleep = [](double) { QThread::msleep(1); };
            return clock;
        };
        return s;
    }
};

TEST(StationWindowTest, TilesFollowTheSlotsStopEndsTheRunAndTheEventsGoToCsv) {
    widgetApplication();
    Bench bench;
    StationWindow window(std::ref(bench), {{"A", "A"}, {"B", "B"}});
    window.setRecipe(QStringLiteral("line-7.recipe"));
    window.setChosenSlots({QStringLiteral("A"), QStringLiteral("B")});
    ASSERT_TRUE(window.start());
    ASSERT_TRUE(waitFor([&] {
        return window.tile("A")->view().state == SlotState::Done &&
               window.tile("B")->view().state == SlotState::PortFault;
    }));
    EXPECT_EQ(window.tile("A")->accessibleDescription().toStdString(),
              "A: done, waiting for removal, MAC 0A:5C:3E:00:10:01, customer code 42");
    EXPECT_TRUE(window.countersText().startsWith(QStringLiteral("Done 1   Failed 0")));

    window.stop();
    ASSERT_TRUE(waitFor([&] { return !window.running(); }));
    EXPECT_EQ(window.tile("A")->view().state, SlotState::Stopped);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("events.csv"));
    ASSERT_TRUE(window.saveCsv(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
    // Header, present, step, done (A), fault (B), stopped twice, and the empty rest after the last
    // CRLF.
    EXPECT_EQ(lines.size(), 8);
    EXPECT_TRUE(lines.filter(QStringLiteral(",A,done,,0A:5C:3E:00:10:01,42,")).size() == 1);

    // The next window starts on the same recipe and slots without being told.
    StationWindow next(std::ref(bench), {{"A", "A"}, {"B", "B"}});
    EXPECT_TRUE(next.start());
}

}  // namespace
}  // namespace tessra::stationapp
