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
        c_.ready = true;
    }

private:
    // False when the transaction has to stop (the port failed and that has
    // been shown, or the window is closing).
    bool autoRead(bool& status) {
        const PrinterSearch search = findPrinter(link_);
        if (search.outcome == PrinterSearch::Outcome::Stopped) return false;
        status = search.outcome == PrinterSearch::Outcome::Found;
        if (status) {
            settings::selectFromReply(status, link_.port(), op_, c_.options);
            link_.processEvents();
        }
        return true;
    }

    bool manualRead(bool& status) {
        if (!link_.openSelectedPort()) return false;
        if (!sendSettingsRequest(link_)) return false;
        status = true;
        if (link_.waitForReply(kSettingsReplySize, timing::kManualRead)) {
            settings::selectFromReply(status, link_.port(), op_, c_.options);
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
        if (c_.readMethod == kAutoReadMember) {
            carryOn = autoRead(status);
        } else if (c_.readMethod == kManualReadMember) {
            carryOn = manualRead(status);
        }
        if (!carryOn || link_.stopping()) return;  // closing: no confirmation either
        if (status) {
            if (!link_.port().isOpen() && !link_.openSelectedPort()) return;
            if (!link_.write(withLineEnd(message))) return;
            link_.waitForDsr(kCableMessage);
        }
        link_.closePort();
    }

    void write(std::string_view message) {
        if (!link_.openSelectedPort()) return;
        settings::buildBlock(settings::currentSelections(c_.options), c_.block);
        const settings::Block frame = c_.block;
        sendBlockOnOpenPort(link_, frame, message);
    }

    SettingsContext& c_;
    PrinterLink& link_;
    Operator& op_;
};

}  // namespace

bool sendBlockOnOpenPort(PrinterLink& link, const settings::Block& block,
                         std::string_view confirmation) {
    const bool sent = link.write(protocol::kReset) && link.write(protocol::kAlignCentre) &&
                      link.write(withLineEnd(confirmation)) && link.write(protocol::kAlignLeft) &&
                      link.write(ruleLine()) && link.write(blankLines(5)) &&
                      link.write(protocol::kPrintMode0) && link.write(protocol::kCut) &&
                      link.write(protocol::kReset) && link.write(kWriteHeader) && link.write(block);
    if (!sent) return false;
    const bool answered = link.waitForDsr();
    link.closePort();
    link.pause();
    return answered;
}

void exchangeSettings(SettingsContext& context, int mode, std::string_view message) {
    assert(context.link.inOperation() && "exchangeSettings runs inside runExclusive");
    if (context.link.inOperation()) Exchange(context).run(mode, message);
    context.ready = true;
}

}  // namespace tessra
