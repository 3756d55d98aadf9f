#include "app/QtOperator.h"

#include <QApplication>
#include <QInputDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>

#include "app/QtText.h"
#include "app/StatusLine.h"

namespace tessra::app {

void QtOperator::setWindow(QMainWindow* window) {
    if (window_) window_->removeEventFilter(this);
    window_ = window;
    if (window_) window_->installEventFilter(this);
}

bool QtOperator::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && watched == window_ && operations_ > 0) {
        closeRequested_ = true;
        event->ignore();  // the window stays until the operation has returned
        return true;
    }
    return false;
}

void QtOperator::message(std::string_view text, std::string_view title) {
    QMessageBox box(QMessageBox::NoIcon, qstr(title), qstr(text), QMessageBox::Ok, window_);
    // The box waits for the user, not the printer: no busy cursor over it.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    QApplication::restoreOverrideCursor();
}

std::string QtOperator::input(std::string_view prompt, std::string_view title) {
    bool ok = false;
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    // The window asks only for the supervisor password: masked, so that
    // whoever stands behind the operator does not read it.
    const QString text = QInputDialog::getText(window_, qstr(title), qstr(prompt),
                                               QLineEdit::Password, QString(), &ok);
    QApplication::restoreOverrideCursor();
    return ok ? text.toStdString() : std::string();
}

void QtOperator::processEvents() {
    QCoreApplication::processEvents();
}

void QtOperator::repaint() {
    // Not ExcludeUserInputEvents: that holds a close of the window back as
    // input as well (X11 hands held-back events over only once new ones
    // arrive, so it could even outlast the wait and meet a modal box, which
    // drops it). Input is dropped instead, as a frozen window ignores it.
    QCoreApplication::instance()->installEventFilter(&inputDrop_);
    QCoreApplication::processEvents();
    QCoreApplication::instance()->removeEventFilter(&inputDrop_);
}

void QtOperator::setBusy(bool busy) {
    if (busy) {
        // A new operation: the last one's line no longer tells anything.
        if (operations_++ == 0 && window_) statusLine(*window_).showLine(QString());
        QApplication::setOverrideCursor(Qt::WaitCursor);
        return;
    }
    QApplication::restoreOverrideCursor();
    if (--operations_ > 0 || !closeRequested_) return;
    closeRequested_ = false;
    // Once the handler that ran the operation has returned.
    if (window_)
        QTimer::singleShot(0, window_.data(), [window = window_] {
            if (window) window->close();
        });
}

void QtOperator::status(std::string_view text) {
    if (window_) statusLine(*window_).showLine(qstr(text));
}

}  // namespace tessra::app
