#include "cli/ConsoleOperator.h"

#include "identity/IdentityTexts.h"
#include "link/LinkTexts.h"
#include "settings/SettingsTexts.h"

namespace tessra::cli {

void ConsoleOperator::message(std::string_view text, std::string_view) {
    if (text == kPortErrorMessage) {
        // The link has just put the device and the reason in the status line.
        report_.error(std::string(text) + ": " + lastStatus_);
        note(ExitCode::Unreachable);
        return;
    }
    report_.error(text);
    if (text == kTimeoutMessage || text == kCableMessage) {
        note(ExitCode::PrinterFault);
    } else if (text == identity::kInvalidPasswordMessage ||
               text == identity::kCustomerCodeRangeMessage) {
        note(ExitCode::BadInput);
    } else {
        note(ExitCode::PrinterFault);  // any other box stops a command too
    }
}

std::string ConsoleOperator::input(std::string_view, std::string_view) {
    return password_.value_or(std::string());
}

void ConsoleOperator::status(std::string_view text) {
    lastStatus_ = text;
    if (showStatus_) report_.trace("# " + std::string(text));
}

void ConsoleOperator::note(ExitCode code) {
    // The first fault is the one to report.
    if (fault_ == ExitCode::Done) fault_ = code;
}

}  // namespace tessra::cli
