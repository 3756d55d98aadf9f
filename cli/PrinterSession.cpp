#include "cli/PrinterSession.h"

#include <algorithm>

#include "cli/Messages.h"
#include "link/LineSettings.h"
#include "settings/OptionTables.h"
#include "settings/SettingsTexts.h"

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

PrinterSession::PrinterSession(SerialPort& port, Clock& clock, Report& report,
                               const CommandLine& commandLine)
    : port_(port),
      report_(report),
      commandLine_(commandLine),
      printer_(port, clock, commandLine.port.number) {
    if (commandLine.line)
        printer_.useLine({commandLine.line->speedIndex, commandLine.line->parityIndex});
    if (commandLine.trace)
        printer_.onStatus([this](std::string_view text) { report_.trace("# " + traced(text)); });
}

std::string PrinterSession::traced(std::string_view status) const {
    std::string text(status);
    // The link names the COM entry and its device; a device given by its
    // path was never a COM entry, so the trace names it as it was given.
    const PortOption& given = commandLine_.port;
    if (given.device.empty()) return text;
    const std::string entry =
        portCaption(given.number) + " (" + port_.deviceName(given.number) + ")";
    if (text.starts_with(entry)) text.replace(0, entry.size(), given.device);
    return text;
}

ExitCode PrinterSession::connect() {
    if (!commandLine_.line) {
        if (const auto found = printer_.find(); !found) return fault_ = tell(found.failure());
    }
    connected_ = true;
    return ExitCode::Done;
}

bool PrinterSession::writeSettings(const settings::Selections& selections) {
    settings::Block block{};
    settings::buildBlock(selections, block);
    if (!take(printer_.writeBlock(block, kWriteConfirmation))) return false;
    const auto* baud = settings::findMember(
        Group::SerialBaudrate,
        selections[static_cast<std::size_t>(Group::SerialBaudrate)].value_or(-1));
    const auto* parity = settings::findMember(
        Group::SerialParityBit,
        selections[static_cast<std::size_t>(Group::SerialParityBit)].value_or(-1));
    if (baud && parity) printer_.useLine({speedIndexOf(*baud), parityIndexOf(*parity)});
    return true;
}

ExitCode PrinterSession::tell(const printer::Failure& failure) {
    std::string name = commandLine_.port.name();
    if (commandLine_.port.device.empty() && !failure.device.empty())
        name += " (" + failure.device + ")";
    const FailureScene scene{name, line(), !commandLine_.line && !connected_, port_.foundPorts()};
    report_.error(failureText(failure, scene));
    return exitCodeOf(failure.kind);
}

}  // namespace tessra::cli
