#include "settings/SettingsExchange.h"

#include <cassert>
#include <string>

#include "link/Timing.h"
#include "protocol/ServiceCommands.h"
#include "settings/ReadSetting.h"
#include "settings/SettingsTexts.h"

namespace tessra {

namespace {

using protocol::ServiceCode;
using protocol::serviceFrame;

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
    // False when the transaction has to stop (the port failed and that has
    // been shown, or the window is closing).
    bool autoRead(bool& status) {
        const PrinterSearch search = findPrinter(link_);
        if (search.outcome == PrinterSearch::Outcome::Stopped) return false;
        status = search.outcome == PrinterSearch::Outcome::Found;
        if (status) {
            settings::Read_Setting(status, link_.port(), op_, c_.options);
            link_.processEvents();
        }
        return true;
    }

    bool manualRead(bool& status) {
        if (!link_.Open_Port()) return false;
        if (!sendSettingsRequest(link_)) return false;
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
