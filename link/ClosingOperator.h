#pragma once

#include "link/Operator.h"

namespace tessra {

// The window's operator as a port operation sees it: once the window has been
// asked to close, no further box appears (an input box reads as cancelled).
class ClosingOperator final : public Operator {
public:
    explicit ClosingOperator(Operator& window) : window_(window) {}

    void message(std::string_view text, std::string_view title = kApplicationTitle) override {
        if (!window_.closeRequested()) window_.message(text, title);
    }
    std::string input(std::string_view prompt, std::string_view title) override {
        return window_.closeRequested() ? std::string() : window_.input(prompt, title);
    }
    void processEvents() override { window_.processEvents(); }
    void repaint() override { window_.repaint(); }
    void setBusy(bool busy) override { window_.setBusy(busy); }
    bool closeRequested() const override { return window_.closeRequested(); }
    void status(std::string_view text) override { window_.status(text); }

private:
    Operator& window_;
};

}  // namespace tessra
