#pragma once

#include <QObject>
#include <QPointer>

#include "app/InputDrop.h"
#include "link/Operator.h"

class QMainWindow;

namespace tessra::app {

// The operator through Qt dialogs, the event loop and the window's status bar.
// The window is attached after it exists, since the window needs the operator
// to be built.
//
// Closing the window while an operation runs is held back: the request is
// recorded (closeRequested) and the window stays open until the operation has
// returned; then it closes.
class QtOperator final : public QObject, public Operator {
public:
    QtOperator() = default;
    explicit QtOperator(QMainWindow* window) { setWindow(window); }
    void setWindow(QMainWindow* window);

    void message(std::string_view text, std::string_view title = kApplicationTitle) override;
    std::string input(std::string_view prompt, std::string_view title) override;
    void processEvents() override;
    void repaint() override;
    void setBusy(bool busy) override;
    bool closeRequested() const override { return closeRequested_; }
    void status(std::string_view text) override;

protected:
    // Watches the window for a close while an operation runs.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QMainWindow> window_;
    InputDrop inputDrop_;
    int operations_ = 0;  // nesting of setBusy
    bool closeRequested_ = false;
};

}  // namespace tessra::app
