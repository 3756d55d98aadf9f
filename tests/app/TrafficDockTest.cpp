#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryDir>

#include "WindowFixture.h"
#include "app/TrafficDock.h"
#include "fakes/FakeClock.h"
#include "link/TrafficLog.h"

namespace tessra::testing {
namespace {

class TrafficDockTest : public ::testing::Test {
protected:
    FakeClock clock;
    TrafficLog log{clock, 3};
    QMainWindow window;
    app::TrafficDock* dock = nullptr;

    void SetUp() override {
        window.setCentralWidget(new QWidget);
        dock = app::addTrafficView(window, log);
        window.show();
    }
    QString shown() const { return dock->findChild<QPlainTextEdit*>("TrafficText")->toPlainText(); }
    QString droppedLabel() const { return dock->findChild<QLabel*>("TrafficDropped")->text(); }
    static QString fileText(const QString& path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
        return QString::fromUtf8(file.readAll());
    }
};

TEST_F(TrafficDockTest, HiddenAtStartUpAndShownAtTheBottomFromTheViewMenu) {
    log.add("COM1 opened");
    EXPECT_FALSE(dock->isVisibleTo(&window));
    auto* show = window.findChild<QAction*>("actionTraffic");
    ASSERT_NE(show, nullptr);
    show->trigger();
    EXPECT_TRUE(dock->isVisibleTo(&window));
    EXPECT_FALSE(dock->isFloating());
    EXPECT_EQ(window.dockWidgetArea(dock), Qt::BottomDockWidgetArea);
    // Showing brings the view up to date without waiting for the next pull.
    EXPECT_EQ(shown(), "00:00:00.000  COM1 opened");
}

TEST_F(TrafficDockTest, FloatsOverTheWindowsLowerPartWhenBothDoNotFitTheScreen) {
    QMainWindow tall;
    auto* body = new QWidget;
    body->setMinimumHeight(tall.screen()->availableGeometry().height() - 100);
    tall.setCentralWidget(body);
    tall.show();
    app::TrafficDock* floating = app::addTrafficView(tall, log);
    QApplication::processEvents();  // the menu bar takes its height
    const QSize before = tall.size();
    floating->toggleViewAction()->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(floating->isFloating());
    EXPECT_EQ(tall.size(), before);
    EXPECT_TRUE(tall.geometry().contains(floating->geometry()));
}

TEST_F(TrafficDockTest, SaveAsWritesWhatIsShownDroppedCountFirst) {
    for (const char* text : {"one", "two", "three"}) log.add(text);
    dock->pull();
    clock.sleep(std::chrono::milliseconds(20));
    for (const char* text : {"four", "five"}) log.add(text);  // not pulled yet

    QTemporaryDir dir;
    const QString path = dir.filePath("traffic.txt");
    ASSERT_TRUE(dock->saveAs(path));
    EXPECT_EQ(shown(), "00:00:00.000  three\n00:00:00.020  four\n00:00:00.020  five");
    EXPECT_EQ(droppedLabel(), "2 older lines dropped (the view keeps the last 3)");
    EXPECT_EQ(fileText(path), droppedLabel() + "\n" + shown() + "\n");
}

TEST_F(TrafficDockTest, ClearEmptiesTheViewAndTheDroppedCount) {
    for (const char* text : {"one", "two", "three", "four"}) log.add(text);
    dock->pull();
    dock->clear();
    EXPECT_EQ(shown(), "");
    EXPECT_EQ(droppedLabel(), "");
    log.add("five");
    dock->pull();
    EXPECT_EQ(shown(), "00:00:00.000  five");
}

TEST_F(TrafficDockTest, SaveAsReportsAPathItCannotWrite) {
    QString error;
    EXPECT_FALSE(dock->saveAs("/nonexistent-folder/traffic.txt", &error));
    EXPECT_FALSE(error.isEmpty());
}

// The menu bar takes height of its own; the hidden view takes none.
TEST_F(WindowTest, WithTheViewMenuStillFitsA1280By720ScreenWithATitleBar) {
    constexpr int kTitleBar = 30;
    FakeClock logClock;
    TrafficLog log{logClock};
    app::addTrafficView(*form, log);
    QApplication::processEvents();
    for (const QSize size : {form->sizeHint(), form->size()}) {
        EXPECT_LE(size.width(), 1280);
        EXPECT_LE(size.height(), 720 - kTitleBar);
    }
}

}  // namespace
}  // namespace tessra::testing
