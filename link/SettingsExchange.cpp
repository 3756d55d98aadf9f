#include "SettingsExchange.h"

#include <string>

#include "ReadSetting.h"
#include "ServiceCommands.h"

namespace tessra {

namespace {

using commands::ServiceCode;
using commands::serviceFrame;

constexpr auto kReadRequest = serviceFrame(ServiceCode::SettingsRead);
constexpr auto kWriteHeader = serviceFrame(ServiceCode::SettingsWrite);

std::string withLineEnd(std::string_view text) {
    std::string line(text);
    line.append(commands::kLineEnd.begin(), commands::kLineEnd.end());
    return line;
}

std::string ruleLine() {
    std::string line(commands::kLineEnd.begin(), commands::kLineEnd.end());
    line.append(kRuleLength, '=');
    return line;
}

std::string blankLines(int count) {
    std::string lines;
    for (int i = 0; i < count; ++i)
        lines.append(commands::kLineEnd.begin(), commands::kLineEnd.end());
    return lines;
}

class Exchange {
public:
    explicit Exchange(SettingsContext& c) : c_(c), link_(c.link), op_(c.link.op()) {}

    void run(int mode, std::string_view message) {
        if (mode == kWriteSettings) {
            write(message);
        } else if (mode == kReadSettings) {
            read(message);
        }
        c_.mblnReady = true;
    }

private:
    bool sendReadRequest() { return link_.write(commands::kReset) && link_.write(kReadRequest); }

    // False when the transaction has to stop (the port failed; already shown).
    bool autoRead(bool& status) {
        for (std::size_t i = 0; i < kAutoReadSpeedOrder.size(); ++i) {
            const int speedIndex = kAutoReadSpeedOrder[i];
            const auto speedText = kSpeedTexts[static_cast<std::size_t>(speedIndex)];
            for (int j = 0; j < static_cast<int>(kParities.size()); ++j) {
                const int attempt = static_cast<int>(i * kParities.size()) + j + 1;
                const std::string settings = *settingsString(speedText, j);
                if (!link_.openWith(settings)) return false;
                op_.status("Trying " + settings + " (" + std::to_string(attempt) + "/" +
                           std::to_string(kAutoReadAttempts) + ")");
                if (!sendReadRequest()) return false;
                if (link_.waitForReply(kSettingsReplySize, timing::kAutoReadAttempt)) {
                    link_.line().showDetected(speedIndex, j);
                    op_.status("Printer found at " + settings);
                    status = true;
                    settings::Read_Setting(status, link_.port(), op_, c_.options);
                    link_.processEvents();
                    return true;
                }
                if (attempt == kAutoReadAttempts) {
                    op_.message(kTimeoutMessage);
                    op_.status("No answer at any speed");
                    status = false;
                }
                link_.processEvents();
            }
        }
        return true;
    }

    bool manualRead(bool& status) {
        if (!link_.Open_Port()) return false;
        if (!sendReadRequest()) return false;
        status = true;
        if (link_.waitForReply(kSettingsReplySize, timing::kManualRead)) {
            settings::Read_Setting(status, link_.port(), op_, c_.options);
        } else {
            op_.message(kTimeoutMessage);
            status = false;
        }
        link_.processEvents();
        return true;
    }

    void read(std::string_view message) {
        bool status = false;
        bool carryOn = true;
        if (c_.Opt_read == kAutoReadMember) {
            carryOn = autoRead(status);
        } else if (c_.Opt_read == kManualReadMember) {
            carryOn = manualRead(status);
        }
        if (!carryOn) return;
        if (status) {
            if (!link_.port().isOpen() && !link_.Open_Port()) return;
            if (!link_.write(withLineEnd(message))) return;
            link_.waitForDsr(kCableMessage);
        }
        link_.closePort();
    }

    void write(std::string_view message) {
        if (!link_.Open_Port()) return;
        settings::Make_Setting(settings::currentSelections(c_.options), c_.Setting_Block);
        const settings::Block frame = c_.Setting_Block;
        const bool sent = link_.write(commands::kReset) && link_.write(commands::kAlignCentre) &&
                          link_.write(withLineEnd(message)) && link_.write(commands::kAlignLeft) &&
                          link_.write(ruleLine()) && link_.write(blankLines(5)) &&
                          link_.write(commands::kPrintMode0) && link_.write(commands::kCut) &&
                          link_.write(commands::kReset) && link_.write(kWriteHeader) &&
                          link_.write(frame);
        if (!sent) return;
        link_.waitForDsr();
        link_.closePort();
        link_.pause();
    }

    SettingsContext& c_;
    PrinterLink& link_;
    Operator& op_;
};

}  // namespace

void Comm_Setting(SettingsContext& context, int mode, std::string_view message) {
    if (!context.link.inOperation()) {
        if (!context.link.runExclusive([&] { Exchange(context).run(mode, message); })) {
            context.mblnReady = true;
        }
        return;
    }
    Exchange(context).run(mode, message);
}

}  // namespace tessra
