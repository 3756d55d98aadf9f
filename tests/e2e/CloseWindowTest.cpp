// Closing the real window, with its real operator, while an automatic Read
// waits for a printer that never answers.
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <thread>

#include "WindowWithPrinter.h"
#include "app/QtOperator.h"
#include "app/StatusLine.h"

namespace tessra::testing {
namespace {

using namespace std::chrono_literals;

class CloseWindow : public WindowWithPrinter {
protected:
    app::QtOperator person;
};

TEST_F(CloseWindow, DuringAnAutomaticReadStopsAfterTheAttemptUnderWayThenCloses) {
    ASSERT_NO_FATAL_FAILURE(start({"--no-reply"}, &person));
    person.setWindow(form.get());
    // The close comes from inside the second attempt's wait, which only
    // repaints: the status line changes just before it begins.
    QObject::connect(&app::statusLine(*form), &app::StatusLine::shown, form.get(),
                     [this](const QString& text) {
                         if (text.startsWith("Trying 9600,e,8,1"))
                             QTimer::singleShot(0, form.get(), &QWidget::close);
                     });
    bool openAfterTheClick = false;
    QTimer::singleShot(0, form.get(), [&] {
        form->cmdSelPage[0]->click();  // returns once the read has stopped
        openAfterTheClick = form->isVisible();
        EXPECT_FALSE(port.isOpen());
    });
    // Ends a box's loop too, should one wrongly appear.
    QTimer::singleShot(10s, form.get(), [] { QCoreApplication::exit(1); });
    // As in main(): the event loop ends when the last window has closed.
    EXPECT_EQ(QApplication::exec(), 0) << "the window did not close, or a box appeared";

    EXPECT_TRUE(openAfterTheClick) << "the window stays until the click handler has returned";
    // Two attempts, not 21: a third, at 9600 bps as well, would reach the printer too.
    ASSERT_TRUE(logged("settings read"));
    std::this_thread::sleep_for(400ms);
    const auto lines = printer.linesAfterStart();
    EXPECT_EQ(std::ranges::count_if(
                  lines, [](const auto& l) { return l.find("settings read") != l.npos; }),
              2)
        << printer.transcript();
}

}  // namespace
}  // namespace tessra::testing
