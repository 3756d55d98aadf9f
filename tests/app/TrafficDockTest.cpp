#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

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
};

// Four lines high was too little to read; a height the user chose is kept.
TEST_F(TrafficDockTest, OpensAThirdOfTheScreenHighThenAtTheHeightItWasLeftAt) {
    QSettings("Tessra", "tessra-printer-utility").remove("TrafficView/height");
    const int third = window.screen()->availableGeometry().height() / 3;
    // The view takes its height once the window's layout has made room, a
    // few event loop passes after it shows.
    const auto showViewAt = [&](int height) {
        dock->show();
        return QTest::qWaitFor([&] { return std::abs(dock->height() - height) <= 8; }, 2000);
    };
    EXPECT_TRUE(showViewAt(third)) << dock->height();
    window.resizeDocks({dock}, {third - 60}, Qt::Vertical);
    QApplication::processEvents();
    dock->hide();
    EXPECT_TRUE(showViewAt(third - 60)) << dock->height();
}

TEST_F(TrafficDockTest, SaveAsWritesWhatIsShownDroppedCountFirstAndClearEmptiesBoth) {
    for (const char* text : {"one", "two", "three"}) log.add(text);
    dock->pull();
    clock.sleep(std::chrono::milliseconds(20));
    for (const char* text : {"four", "five"}) log.add(text);  // not pulled yet

    QTemporaryDir dir;
    ASSERT_TRUE(dock->saveAs(dir.filePath("traffic.txt")));
    EXPECT_EQ(shown(), "00:00:00.000  three\n00:00:00.020  four\n00:00:00.020  five");
    EXPECT_EQ(droppedLabel(), "2 older lines dropped (the view keeps the last 3)");
    QFile file(dir.filePath("traffic.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), droppedLabel() + "\n" + shown() + "\n");

    dock->clear();
    EXPECT_EQ(shown(), "");
    EXPECT_EQ(droppedLabel(), "");
    log.add("six");
    dock->pull();
    EXPECT_EQ(shown(), "00:00:00.020  six");
}

// The view takes no room from the controls; a screen that holds the window
// holds the view clear of it (ctest also runs this at 1600x1000, 1280x800, 1920x720).
TEST_F(WindowTest, TheTrafficViewLeavesEveryControlInPlace) {
    QSettings("Tessra", "tessra-printer-utility").remove("TrafficView/height");
    TrafficLog log{clock};
    app::TrafficDock* dock = app::addTrafficView(*form, log);
    const QRect screen = form->screen()->availableGeometry();
    form->move(screen.topLeft());
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    const auto controls = [&] {
        QList<QRect> at;
        for (const QWidget* w : form->centralWidget()->findChildren<QWidget*>())
            at << QRect(w->mapTo(form.get(), QPoint()), w->isVisible() ? w->size() : QSize());
        return at;
    };
    const auto before = controls();
    const QRect window = form->frameGeometry();
    EXPECT_TRUE(form->width() <= 1280 && form->height() <= 720 - 30) << form->height();
    log.add("COM1 opened");
    EXPECT_FALSE(dock->isVisibleTo(form.get()));
    form->findChild<QAction*>("actionTraffic")->trigger();
    // Showing brings the view up to date without waiting for the next pull.
    EXPECT_EQ(dock->shownText(), "00:00:00.000  COM1 opened\n");
    QApplication::processEvents();
    EXPECT_EQ(controls(), before);
    if (screen.contains(window)) {
        EXPECT_TRUE(screen.contains(form->frameGeometry()));
        EXPECT_TRUE(screen.contains(dock->frameGeometry())) << dock->isFloating();
        EXPECT_FALSE(dock->isFloating() && dock->frameGeometry().intersects(form->frameGeometry()));
    }
    dock->hide();
    QApplication::processEvents();
    EXPECT_EQ(form->frameGeometry(), window);
}

}  // namespace
}  // namespace tessra::testing
