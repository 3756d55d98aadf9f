// The real window and operator: a failed port's advice stays while the user
// follows it into the menus, until the next operation.
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "WindowFixture.h"
#include "app/QtOperator.h"
#include "app/SettingsFileMenu.h"
#include "app/StatusLine.h"

namespace tessra::testing {
namespace {

TEST_F(WindowTest, APortFailureSurvivesOpeningAMenuAndGoesAtTheNextOperation) {
    app::QtOperator person;
    app::Form1 window(port, clock, person);
    person.setWindow(&window);
    QMenu* menu = (new app::SettingsFileMenu(window, window.optionPanel()))->menu();
    const auto feed = [&] {
        QTimer::singleShot(0, [] {  // the "Port Error" box
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->accept();
        });
        window.Command14->click();
        return app::statusLine(window).text();
    };
    window.show();
    port.failOpen = true;
    const QString failure = feed();
    ASSERT_TRUE(failure.startsWith("COM1 (")) << failure.toStdString();
    menu->popup(window.mapToGlobal(QPoint(0, 0)));
    menu->setActiveAction(menu->actions().first());  // shows its (empty) status tip
    menu->hide();
    EXPECT_EQ(app::statusLine(window).text(), failure);
    port.failOpen = false;
    EXPECT_NE(feed(), failure);
}

}  // namespace
}  // namespace tessra::testing
