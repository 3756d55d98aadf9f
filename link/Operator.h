#pragma once

#include <string>
#include <string_view>

#include "link/LinkTexts.h"

namespace tessra {

// The person at the window: message boxes, input boxes, and the window's
// chance to handle events while an operation waits.
class Operator {
public:
    virtual ~Operator() = default;

    // A modal box with an OK button only.
    virtual void message(std::string_view text, std::string_view title = kApplicationTitle) = 0;
    // The typed text, or an empty text when the box was cancelled.
    virtual std::string input(std::string_view prompt, std::string_view title) = 0;

    // Lets the window handle every pending event, clicks included.
    virtual void processEvents() = 0;
    // Lets the window repaint but handles no user input. A request to close
    // the window still gets through.
    virtual void repaint() = 0;

    // Brackets an operation (calls nest) and shows the busy cursor meanwhile.
    virtual void setBusy(bool busy) = 0;
    // True once the person asked to close the window during the operation
    // that runs. The window stays open until the outermost operation ends,
    // then closes; the operation stops at its next safe point.
    virtual bool closeRequested() const = 0;
    // One line of progress or failure detail, e.g. in a status bar.
    virtual void status(std::string_view text) = 0;
};

// Busy feedback for the life of a scope.
class BusyScope {
public:
    explicit BusyScope(Operator& op) : op_(op) { op_.setBusy(true); }
    ~BusyScope() { op_.setBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    Operator& op_;
};

}  // namespace tessra
