#include <gtest/gtest.h>

#include <QApplication>
#include <QInputDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "app/QtOperator.h"

namespace tessra::app {
namespace {

// Runs once the next modal dialog, a D, is up (until then the call under test
// does not return).
template <class D>
void whenModal(std::function<void(D*)> act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(dialog);
    });
}

class QtOperatorTest : public ::testing::Test {
protected:
    QMainWindow window;
    QtOperator op{&window};
};

// A box during a busy operation shows the arrow; the busy cursor, which
// nests, comes back after it.
TEST_F(QtOperatorTest, MessageHasOnlyAnOkButtonItsTitleAndTheArrowCursor) {
    op.setBusy(true);
    op.setBusy(true);
    whenModal<QMessageBox>([](QMessageBox* box) {
        EXPECT_EQ(box->windowTitle(), "");
        EXPECT_EQ(box->text(), "Invalid Level1 Password");
        EXPECT_EQ(box->buttons().size(), 1);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
        box->button(QMessageBox::Ok)->click();
    });
    op.message("Invalid Level1 Password", "");
    op.setBusy(false);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    op.setBusy(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(QtOperatorTest, InputReturnsTheTypedTextOrNothingWhenCancelled) {
    for (const bool accepted : {true, false}) {
        whenModal<QInputDialog>([accepted](QInputDialog* dialog) {
            EXPECT_EQ(dialog->windowTitle(), "Supervisor Password");
            EXPECT_EQ(dialog->textEchoMode(), QLineEdit::Password);
            dialog->setTextValue("Kovak");
            accepted ? dialog->accept() : dialog->reject();
        });
        EXPECT_EQ(op.input("Input level1 password : ", "Supervisor Password"),
                  accepted ? "Kovak" : "");
    }
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
    EXPECT_TRUE(timerRan);
    op.processEvents();
    EXPECT_EQ(clicks, 0) << "dropped, not held back";
    postClick();
    op.processEvents();
    EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace tessra::app
