#include "settings/PrinterSearch.h"

#include <string>

#include "link/LineSettings.h"
#include "link/Timing.h"
#include "protocol/ServiceCommands.h"
#include "settings/SettingsTexts.h"

namespace tessra {

namespace {
constexpr auto kReadRequest = protocol::serviceFrame(protocol::ServiceCode::SettingsRead);
}  // namespace

bool sendSettingsRequest(PrinterLink& link) {
    return link.write(protocol::kReset) && link.write(kReadRequest);
}

PrinterSearch findPrinter(PrinterLink& link, const std::function<void()>& beforeRequest) {
    using Outcome = PrinterSearch::Outcome;
    Operator& op = link.op();
    for (std::size_t i = 0; i < kAutoReadSpeedOrder.size(); ++i) {
        const int speedIndex = kAutoReadSpeedOrder[i];
        const auto speedText = kSpeedTexts[static_cast<std::size_t>(speedIndex)];
        for (int j = 0; j < static_cast<int>(kParities.size()); ++j) {
            const int attempt = static_cast<int>(i * kParities.size()) + j + 1;
            if (link.stopping())
                return {Outcome::Stopped};  // the window is closing: no further attempt
            const std::string settings = *settingsString(speedText, j);
            if (!link.openWith(settings)) return {Outcome::Stopped};
            op.status(tryingText(settings, attempt, kAutoReadAttempts));
            if (beforeRequest) beforeRequest();
            if (!sendSettingsRequest(link)) return {Outcome::Stopped};
            if (link.waitForReply(kSettingsReplySize, timing::kAutoReadAttempt)) {
                link.line().showDetected(speedIndex, j);
                op.status(std::string(kPrinterFound) + settings);
                return {Outcome::Found, speedIndex, j};
            }
            if (attempt == kAutoReadAttempts) {
                op.message(kTimeoutMessage);
                op.status(kNoAnswerAtAnySpeed);
                link.firstHints().offer(PortFailure::NoAnswer, std::string(kNoAnswerAtAnySpeed));
            }
            link.processEvents();
        }
    }
    return {Outcome::NoAnswer};
}

}  // namespace tessra
