#include "app/QtOperator.h"

#include <QApplication>
#include <QInputDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>

#include "app/QtText.h"

namespace tessra::app {

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
    const QString text = QInputDialog::getText(window_, qstr(title), qstr(prompt),
                                               QLineEdit::Normal, QString(), &ok);
    QApplication::restoreOverrideCursor();
    return ok ? text.toStdString() : std::string();
}

void QtOperator::processEvents() {
    QCoreApplication::processEvents();
}

void QtOperator::repaint() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtOperator::setBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void QtOperator::status(std::string_view text) {
    if (window_) window_->statusBar()->showMessage(qstr(text));
}

}  // namespace tessra::app
