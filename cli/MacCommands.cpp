// mac show, mac write and mac next: the core's MAC verbs, with the ledger.
#include "cli/LedgerAccess.h"
#include "cli/ToolContext.h"
#include "identity/MacAddress.h"
#include "ledger/Ledger.h"
#include "link/QuotedText.h"
#include "provision/MacProgramming.h"

namespace tessra::cli {

namespace {

using ledger::Mac;

constexpr Mac kPrefix = Mac{identity::kMacPrefix[0]} << 40 | Mac{identity::kMacPrefix[1]} << 32 |
                        Mac{identity::kMacPrefix[2]} << 24;
constexpr Mac kPrefixMask = 0xFFFF'FF00'0000;

bool writable(Mac address) {
    return (address & kPrefixMask) == kPrefix;
}

std::string text(Mac address) {
    return ledger::macText(address).toStdString();
}

// The address the printer reports.
std::optional<Mac> loadMac(ToolContext& c) {
    const auto octets = c.printer.take(c.printer.printer().readMac());
    if (!octets) return std::nullopt;
    return provision::macOf(*octets);
}

ledger::Stamp stampFor(ToolContext& c, const HeldPort& port) {
    ledger::Stamp stamp;
    stamp.station = stationName(c);
    stamp.port = qs(c.commandLine.port.name());
    stamp.device = port.device;
    return stamp;
}

// Reserves, writes and reads back one address with the ledger kept true at
// every step, and tells how it ended.
ExitCode program(ToolContext& c, provision::MacRequest request) {
    const auto password = takePassword(c);
    if (!password) return ExitCode::BadInput;
    const auto ledger = openLedger(c);
    if (!ledger) return ExitCode::Unreachable;
    const auto held = holdPort(c);
    if (!held) return ExitCode::Unreachable;
    // Found first, so that a missing printer costs no address.
    if (const ExitCode code = c.printer.connect(); code != ExitCode::Done) return code;
    request.stamp = stampFor(c, *held);
    request.password = *password;
    const provision::MacResult result =
        provision::programMac(c.printer.printer(), *ledger, request);
    if (result.address) c.report.set("address", ledger::macText(*result.address));
    if (result.readBack) c.report.set("readBack", ledger::macText(*result.readBack));
    const auto code = static_cast<ExitCode>(result.exitCode());
    if (code == ExitCode::Done) {
        c.report.set("ledger", ledger::stateText(ledger::MacState::Verified));
        c.report.line(text(*result.address) + " written and verified");
        return code;
    }
    c.report.error(result.message.toStdString());
    if (code == ExitCode::WrittenNotRecorded) c.report.line(result.message.toStdString());
    return code;
}

}  // namespace

ExitCode macShow(ToolContext& c) {
    if (const ExitCode code = c.printer.connect(); code != ExitCode::Done) return code;
    const auto address = loadMac(c);
    if (!address) return c.printer.fault();
    c.report.set("address", ledger::macText(*address));
    c.report.line(text(*address));
    return ExitCode::Done;
}

ExitCode macWrite(ToolContext& c) {
    const std::string& given = c.commandLine.arguments.front();
    const auto address = ledger::parseMac(qs(given));
    if (!address || !writable(*address)) {
        c.report.error("\"" + quotedInput(given) + "\": expected an address 0A:5C:3E:XX:XX:XX");
        return ExitCode::BadInput;
    }
    provision::MacRequest request;
    request.address = *address;
    request.again = c.commandLine.again;
    return program(c, request);
}

ExitCode macNext(ToolContext& c) {
    provision::MacRequest request;
    if (!c.commandLine.range.isEmpty()) {
        const auto given = ledger::parseMacRange(c.commandLine.range);
        if (!given || !writable(given->first) || !writable(given->last)) {
            c.report.error("--range " + quotedInput(c.commandLine.range.toStdString()) +
                           ": expected FIRST-LAST, both 0A:5C:3E:XX:XX:XX, FIRST not above LAST");
            return ExitCode::BadInput;
        }
        request.range = *given;
    }
    return program(c, request);
}

}  // namespace tessra::cli
