#pragma once

#include <QPointer>

#include "link/Operator.h"

class QMainWindow;

namespace tessra::app {

// The operator through Qt dialogs, the event loop and the window's status bar.
// The window is attached after it exists, since the window needs the operator
// to be built.
class QtOperator final : public Operator {
public:
    QtOperator() = default;
    explicit QtOperator(QMainWindow* window) : window_(window) {}
    void setWindow(QMainWindow* window) { window_ = window; }

    void message(std::string_view text, std::string_view title = kApplicationTitle) override;
    std::string input(std::string_view prompt, std::string_view title) override;
    void processEvents() override;
    void repaint() override;
    void setBusy(bool busy) override;
    void status(std::string_view text) override;

private:
    QPointer<QMainWindow> window_;
};

}  // namespace tessra::app
