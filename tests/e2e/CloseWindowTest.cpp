// Closing the real window, with its real operator, while an automatic Read
// waits for a printer that never answers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include "app/Form1.h"
#include "app/QtOperator.h"
#include "fakes/VirtualPrinterProcess.h"
#include "link/QtClock.h"
#include "link/QtSerialPort.h"

namespace tessra::testing {
namespace {

using namespace std::chrono_literals;

class CloseWindow : public ::testing::Test {
protected:
    VirtualPrinterProcess printer;
    QtSerialPort port;
    QtClock clock;
    app::QtOperator op;
    std::unique_ptr<app::Form1> form;

    void TearDown() override {
        form.reset();
        printer.stop();
    }
};

TEST_F(CloseWindow, DuringAnAutomaticReadStopsAfterTheAttemptUnderWayThenCloses) {
    ASSERT_TRUE(printer.start({"--no-reply"}));
    ::setenv("TESSRA_COM1", printer.link().c_str(), 1);
    form = std::make_unique<app::Form1>(port, clock, op);
    op.setWindow(form.get());

    // The close comes from inside the second attempt's wait, which only
    // repaints: the status line changes just before it begins.
    QObject::connect(form->statusBar(), &QStatusBar::messageChanged, form.get(),
                     [this](const QString& text) {
                         if (text.startsWith("Trying 9600,e,8,1"))
                             QTimer::singleShot(0, form.get(), &QWidget::close);
                     });

    std::chrono::steady_clock::duration took{};
    bool openAfterTheClick = false;
    QTimer::singleShot(0, form.get(), [&] {
        const auto began = std::chrono::steady_clock::now();
        form->cmdSelPage[0]->click();  // returns once the read has stopped
        took = std::chrono::steady_clock::now() - began;
        openAfterTheClick = form->isVisible();
        EXPECT_FALSE(port.isOpen());
    });
    // Ends a box's loop too, should one wrongly appear.
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    watchdog.start(10s);
    // As in main(): the event loop ends when the last window has closed.
    EXPECT_EQ(QApplication::exec(), 0) << "the window did not close, or a box appeared";

    EXPECT_LT(took, 1500ms) << "two attempts of 0.3 s, not 21";
    EXPECT_TRUE(openAfterTheClick) << "the window stays until the click handler has returned";
    EXPECT_FALSE(form->isVisible());

    // A third attempt, at 9600 bps as well, would reach the printer too.
    ASSERT_TRUE(printer.waitForLine("settings read"));
    std::this_thread::sleep_for(400ms);
    const auto lines = printer.linesAfterStart();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.find("settings read") != l.npos; }),
              2)
        << printer.transcript();
}

}  // namespace
}  // namespace tessra::testing
