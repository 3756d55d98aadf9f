#include "cli/PrinterSession.h"

#include <algorithm>

#include "app/ReadWriteDispatch.h"
#include "link/LinkTexts.h"
#include "link/Timing.h"
#include "settings/PrinterSearch.h"
#include "settings/SettingsExchange.h"

namespace tessra::cli {

namespace {

using settings::Group;

// The combo index whose speed the selected Baudrate member names.
int speedIndexOf(const settings::Member& baud) {
    const auto at = std::ranges::find_if(kSpeedTexts, [&](std::string_view speed) {
        return baud.caption == std::string(speed) + " bps";
    });
    return static_cast<int>(at - kSpeedTexts.begin());
}

int parityIndexOf(const settings::Member& parity) {
    const auto at = std::ranges::find(kParities, parity.caption, &ParityChoice::caption);
    return static_cast<int>(at - kParities.begin());
}

}  // namespace

PrinterSession::PrinterSession(SerialPort& port, Clock& clock, ConsoleOperator& op,
                               const CommandLine& commandLine)
    : commandLine_(commandLine),
      op_(op),
      line_(commandLine.port.number,
            commandLine.line ? commandLine.line->speedIndex : kStartupSpeedIndex,
            commandLine.line ? commandLine.line->parityIndex : 0),
      link_(port, clock, op, line_) {}

ExitCode PrinterSession::connect() {
    if (!commandLine_.line) {
        link_.runExclusive([&] {
            if (findPrinter(link_).outcome == PrinterSearch::Outcome::Found)
                foundReply_ = link_.port().readAll();
        });
    }
    connected_ = !failed();
    return op_.fault();
}

std::optional<settings::Block> PrinterSession::readBlock() {
    Bytes reply;
    if (foundReply_) {
        reply = std::move(*foundReply_);
        foundReply_.reset();
    } else {
        link_.runExclusive([&] {
            if (!link_.Open_Port() || !sendSettingsRequest(link_)) return;
            if (link_.waitForReply(kSettingsReplySize, timing::kManualRead)) {
                reply = link_.port().readAll();
            } else {
                op_.message(kTimeoutMessage, kApplicationTitle);
            }
        });
        if (failed()) return std::nullopt;
    }
    // Rejected as the window's Read rejects it.
    if (settings::decodeBlock(reply).rejected) {
        op_.message(kTimeoutMessage, kApplicationTitle);
        return std::nullopt;
    }
    settings::Block block{};
    std::copy_n(reply.begin(), block.size(), block.begin());
    return block;
}

bool PrinterSession::writeSettings(const settings::Selections& selections) {
    foundReply_.reset();  // the block it holds is about to change
    ConsoleOptionPanel panel(selections);
    settings::Block Setting_Block{};
    bool mblnReady = true;
    link_.runExclusive([&] {
        SettingsContext context{link_, panel, Setting_Block, mblnReady, std::nullopt};
        Comm_Setting(context, kWriteTransaction.kind, kWriteTransaction.confirmation);
    });
    if (failed()) return false;
    const auto* baud = settings::findMember(
        Group::SerialBaudrate,
        selections[static_cast<std::size_t>(Group::SerialBaudrate)].value_or(-1));
    const auto* parity = settings::findMember(
        Group::SerialParityBit,
        selections[static_cast<std::size_t>(Group::SerialParityBit)].value_or(-1));
    if (baud && parity) line_.showDetected(speedIndexOf(*baud), parityIndexOf(*parity));
    return true;
}

}  // namespace tessra::cli
