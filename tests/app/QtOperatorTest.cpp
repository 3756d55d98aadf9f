#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <functional>

#include "app/QtOperator.h"

namespace tessra::app {
namespace {

// Runs once the next modal dialog is up.
void whenModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        act(w);
    });
}

class QtOperatorTest : public ::testing::Test {
protected:
    QMainWindow window;
    QtOperator op{&window};
};

TEST_F(QtOperatorTest, MessageHasOnlyAnOkButtonAndTheApplicationTitle) {
    QString title, text;
    int buttons = -1;
    whenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        buttons = static_cast<int>(box->buttons().size());
        box->button(QMessageBox::Ok)->click();
    });
    op.message("Port Error");
    EXPECT_EQ(title, "Project1");
    EXPECT_EQ(text, "Port Error");
    EXPECT_EQ(buttons, 1);
}

TEST_F(QtOperatorTest, MessageDuringABusyOperationShowsAnArrowThenTheBusyCursorAgain) {
    op.setBusy(true);
    Qt::CursorShape overBox = Qt::WaitCursor;
    whenModal([&](QWidget* w) {
        overBox = QApplication::overrideCursor()->shape();
        qobject_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
    });
    op.message("Communication Error.(5 Sec Time out)");
    EXPECT_EQ(overBox, Qt::ArrowCursor);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    op.setBusy(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(QtOperatorTest, MessageKeepsAGivenTitleEvenWhenEmpty) {
    QString title = "unset";
    whenModal([&](QWidget* w) {
        title = w->windowTitle();
        qobject_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
    });
    op.message("Invalid Level1 Password", "");
    EXPECT_EQ(title, "");
}

TEST_F(QtOperatorTest, InputReturnsTheTypedText) {
    QString title;
    whenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QInputDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        dialog->setTextValue("Kovak");
        dialog->accept();
    });
    EXPECT_EQ(op.input("Input level1 password : ", "Supervisor Password"), "Kovak");
    EXPECT_EQ(title, "Supervisor Password");
}

TEST_F(QtOperatorTest, CancelledInputIsEmpty) {
    whenModal([](QWidget* w) {
        auto* dialog = qobject_cast<QInputDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->setTextValue("typed but cancelled");
        dialog->reject();
    });
    EXPECT_EQ(op.input("Input level1 password : ", "Supervisor Password"), "");
}

TEST_F(QtOperatorTest, StatusGoesToTheStatusBar) {
    op.status("COM3 (/dev/ttyUSB0): Permission denied");
    EXPECT_EQ(window.statusBar()->currentMessage(), "COM3 (/dev/ttyUSB0): Permission denied");
}

TEST_F(QtOperatorTest, BusyCursorNests) {
    op.setBusy(true);
    op.setBusy(true);
    op.setBusy(false);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    op.setBusy(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(QtOperatorTest, ProcessEventsRunsPendingWork) {
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    op.processEvents();
    EXPECT_TRUE(ran);
}

TEST_F(QtOperatorTest, RepaintDropsInputButRunsEverythingElse) {
    QPushButton button(&window);
    window.show();
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] { ++clicks; });
    const auto postClick = [&] {
        const QPointF at = button.rect().center();
        for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(
                &button, new QMouseEvent(type, at, button.mapToGlobal(at), Qt::LeftButton,
                                         Qt::LeftButton, {}));
    };
    bool timerRan = false;
    QTimer::singleShot(0, [&] { timerRan = true; });
    postClick();
    op.repaint();
    op.processEvents();
    EXPECT_TRUE(timerRan);
    EXPECT_EQ(clicks, 0) << "dropped, not held back";
    postClick();
    op.processEvents();
    EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace tessra::app
