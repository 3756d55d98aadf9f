// The real window with its real operator: the advice of a failed port stays
// while the user follows it into the menus, until the next operation.
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include "WindowFixture.h"
#include "app/QtOperator.h"
#include "app/SettingsFileMenu.h"
#include "app/StatusLine.h"

namespace tessra::testing {
namespace {

class StatusLineTest : public WindowTest {
protected:
    app::QtOperator person;
    std::unique_ptr<app::Form1> window = std::make_unique<app::Form1>(port, clock, person);
    app::SettingsFileMenu* fileMenu = new app::SettingsFileMenu(*window, window->optionPanel());

    void feedDismissingAnyBox() {
        QTimer::singleShot(0, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->button(QMessageBox::Ok)->click();
        });
        window->findChild<QPushButton*>("Command14")->click();
    }
};

TEST_F(StatusLineTest, APortFailureSurvivesOpeningAMenuAndGoesAtTheNextOperation) {
    person.setWindow(window.get());
    window->show();
    port.failOpen = true;
    feedDismissingAnyBox();
    const QString failure = app::statusLine(*window).text();
    ASSERT_TRUE(failure.startsWith("COM1 (")) << failure.toStdString();

    fileMenu->menu()->popup(window->mapToGlobal(QPoint(0, 0)));
    fileMenu->menu()->setActiveAction(fileMenu->menu()->actions().first());  // its status tip
    fileMenu->menu()->hide();
    EXPECT_EQ(app::statusLine(*window).text(), failure);

    port.failOpen = false;
    feedDismissingAnyBox();
    EXPECT_NE(app::statusLine(*window).text(), failure);
}

}  // namespace
}  // namespace tessra::testing
