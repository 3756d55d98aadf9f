#include "settings/SettingsExchange.h"

#include <cassert>
#include <string>

#include "link/LineSettings.h"
#include "link/Timing.h"
#include "protocol/ServiceCommands.h"
#include "settings/ReadSetting.h"
#include "settings/SettingsTexts.h"

namespace tessra {

namespace {

using protocol::ServiceCode;
using protocol::serviceFrame;

constexpr auto kReadRequest = serviceFrame(ServiceCode::SettingsRead);
constexpr auto kWriteHeader = serviceFrame(ServiceCode::SettingsWrite);

std::string withLineEnd(std::string_view text) {
    std::string line(text);
    line.append(protocol::kLineEnd.begin(), protocol::kLineEnd.end());
    return line;
}

std::string ruleLine() {
    std::string line(protocol::kLineEnd.begin(), protocol::kLineEnd.end());
    line.append(kRuleLength, '=');
    return line;
}

std::string blankLines(int count) {
    std::string lines;
    for (int i = 0; i < count; ++i)
        lines.append(protocol::kLineEnd.begin(), protocol::kLineEnd.end());
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
    bool sendReadRequest() { return link_.write(protocol::kReset) && link_.write(kReadRequest); }

    // False when the transaction has to stop (the port failed and that has
    // been shown, or the window is closing).
    bool autoRead(bool& status) {
        for (std::size_t i = 0; i < kAutoReadSpeedOrder.size(); ++i) {
            const int speedIndex = kAutoReadSpeedOrder[i];
            const auto speedText = kSpeedTexts[static_cast<std::size_t>(speedIndex)];
            for (int j = 0; j < static_cast<int>(kParities.size()); ++j) {
                const int attempt = static_cast<int>(i * kParities.size()) + j + 1;
                if (link_.stopping()) return false;  // the window is closing: no further attempt
                const std::string settings = *settingsString(speedText, j);
                if (!link_.openWith(settings)) return false;
                op_.status(tryingText(settings, attempt, kAutoReadAttempts));
                if (!sendReadRequest()) return false;
                if (link_.waitForReply(kSettingsReplySize, timing::kAutoReadAttempt)) {
                    link_.line().showDetected(speedIndex, j);
                    op_.status(std::string(kPrinterFound) + settings);
                    status = true;
                    settings::Read_Setting(status, link_.port(), op_, c_.options);
                    link_.processEvents();
                    return true;
                }
                if (attempt == kAutoReadAttempts) {
                    op_.message(kTimeoutMessage);
                    op_.status(kNoAnswerAtAnySpeed);
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
        if (!carryOn || link_.stopping()) return;  // closing: no confirmation either
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
        const bool sent = link_.write(protocol::kReset) && link_.write(protocol::kAlignCentre) &&
                          link_.write(withLineEnd(message)) && link_.write(protocol::kAlignLeft) &&
                          link_.write(ruleLine()) && link_.write(blankLines(5)) &&
                          link_.write(protocol::kPrintMode0) && link_.write(protocol::kCut) &&
                          link_.write(protocol::kReset) && link_.write(kWriteHeader) &&
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
    assert(context.link.inOperation() && "Comm_Setting runs inside runExclusive");
    if (context.link.inOperation()) Exchange(context).run(mode, message);
    context.mblnReady = true;
}

}  // namespace tessra
