#pragma once

#include <optional>
#include <string>

#include "cli/ExitCode.h"
#include "cli/Report.h"
#include "link/Operator.h"

namespace tessra::cli {

// The operator of the window's handlers, on a console: every message box
// goes to stderr and nobody has to dismiss it; the one input box, the MAC
// save's password, is answered with the password the tool was given. The
// messages tell how an operation went, so they also decide the exit code.
class ConsoleOperator final : public Operator {
public:
    ConsoleOperator(Report& report, bool showStatus) : report_(report), showStatus_(showStatus) {}

    void setPassword(std::string password) { password_ = std::move(password); }

    void message(std::string_view text, std::string_view title) override;
    std::string input(std::string_view prompt, std::string_view title) override;
    void processEvents() override {}
    void repaint() override {}
    void setBusy(bool) override {}
    void status(std::string_view text) override;
    // Nobody closes a window here.
    bool closeRequested() const override { return false; }

    // What the messages so far mean for the run; Done while all went well.
    ExitCode fault() const { return fault_; }

private:
    void note(ExitCode code);

    Report& report_;
    bool showStatus_;
    std::optional<std::string> password_;
    std::string lastStatus_;
    ExitCode fault_ = ExitCode::Done;
};

}  // namespace tessra::cli
