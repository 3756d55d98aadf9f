// mac show, mac write and mac next: the core's MAC verbs, with the ledger.
#include "cli/ToolContext.h"
#include "identity/IdentityCommands.h"
#include "identity/IdentityTexts.h"
#include "ledger/Ledger.h"
#include "link/QuotedText.h"

namespace tessra::cli {

namespace {

using ledger::Mac;
using ledger::MacState;

constexpr Mac kPrefix = Mac{identity::kMacPrefix[0]} << 40 | Mac{identity::kMacPrefix[1]} << 32 |
                        Mac{identity::kMacPrefix[2]} << 24;
constexpr Mac kPrefixMask = 0xFFFF'FF00'0000;

bool writable(Mac address) {
    return (address & kPrefixMask) == kPrefix;
}

printer::MacAddress octetsOf(Mac address) {
    printer::MacAddress octets{};
    for (std::size_t i = 0; i < octets.size(); ++i)
        octets[i] = static_cast<std::uint8_t>(address >> (8 * (octets.size() - 1 - i)));
    return octets;
}

Mac macOf(const printer::MacAddress& octets) {
    Mac address = 0;
    for (const std::uint8_t o : octets) address = address << 8 | o;
    return address;
}

std::string text(Mac address) {
    return ledger::macText(address).toStdString();
}

// The address the printer reports.
std::optional<Mac> loadMac(ToolContext& c) {
    const auto octets = c.printer.take(c.printer.printer().readMac());
    if (!octets) return std::nullopt;
    return macOf(*octets);
}

// Nothing is sent and nothing recorded without the right password.
std::optional<std::string> takePassword(ToolContext& c) {
    auto password = c.env.password();
    if (!password) {
        c.report.error(
            "the MAC write needs the level-1 password: set TESSRA_PASSWORD or run "
            "the tool from a terminal");
        return std::nullopt;
    }
    if (!identity::isLevel1Password(*password)) {
        c.report.error(identity::kInvalidPasswordMessage);
        return std::nullopt;
    }
    return password;
}

std::unique_ptr<ledger::Ledger> openLedger(ToolContext& c) {
    auto opened = ledger::Ledger::open(ledger::resolveLedgerLocation(c.commandLine.ledger));
    if (!opened.ok()) {
        c.report.error(opened.error.toStdString() + "; nothing was written to the printer");
        return nullptr;
    }
    return std::move(*opened);
}

ledger::Stamp stampFor(ToolContext& c) {
    ledger::Stamp stamp;
    stamp.port = qs(c.commandLine.port.name());
    return stamp;
}

// Writes the address and reads it back; the ledger records it written, then
// verified or failed.
class MacWrite {
public:
    MacWrite(ToolContext& c, ledger::Ledger& ledger, std::string password)
        : c_(c), ledger_(ledger), stamp_(stampFor(c)), password_(std::move(password)) {}

    ExitCode run(Mac address) {
        c_.report.set("address", ledger::macText(address));
        if (!c_.printer.take(c_.printer.printer().writeMac(octetsOf(address), password_)))
            return failed(address, c_.printer.fault());
        record(address, MacState::Written);

        const auto back = loadMac(c_);
        if (!back) return failed(address, c_.printer.fault());
        c_.report.set("readBack", ledger::macText(*back));
        if (*back != address) {
            c_.report.error("wrote " + text(address) + " but read back " + text(*back));
            return failed(address, ExitCode::PrinterFault);
        }
        record(address, MacState::Verified);
        c_.report.set("ledger", ledger::stateText(MacState::Verified));
        c_.report.line(text(address) + " written and verified");
        return ledgerFault_ ? ExitCode::Unreachable : ExitCode::Done;
    }

private:
    ExitCode failed(Mac address, ExitCode code) {
        record(address, MacState::Failed);
        c_.report.set("ledger", ledger::stateText(MacState::Failed));
        return code;
    }

    void record(Mac address, MacState state) {
        if (const auto status = ledger_.mark(address, state, stamp_); !status.ok()) {
            c_.report.error(status.error.toStdString());
            ledgerFault_ = true;
        }
    }

    ToolContext& c_;
    ledger::Ledger& ledger_;
    ledger::Stamp stamp_;
    std::string password_;
    bool ledgerFault_ = false;
};

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
    const auto password = takePassword(c);
    if (!password) return ExitCode::BadInput;
    const auto ledger = openLedger(c);
    if (!ledger) return ExitCode::Unreachable;
    const auto held = ledger->find(*address);
    if (!held.ok()) {
        c.report.error(held.error.toStdString() + "; nothing was written to the printer");
        return ExitCode::Unreachable;
    }
    if (const auto& record = *held;
        record && ledger::onPrinter(record->state) && !c.commandLine.again) {
        c.report.error(text(*address) + " is " + ledger::stateText(record->state).toStdString() +
                       " in the ledger (" + record->time.toString(Qt::ISODateWithMs).toStdString() +
                       ", " + record->station.toStdString() + ", " + record->port.toStdString() +
                       "); --again writes it anyway");
        return ExitCode::BadInput;
    }
    if (const ExitCode code = c.printer.connect(); code != ExitCode::Done) return code;
    return MacWrite(c, *ledger, *password).run(*address);
}

ExitCode macNext(ToolContext& c) {
    ledger::MacRange range = ledger::kDefaultRange;
    if (!c.commandLine.range.isEmpty()) {
        const auto given = ledger::parseMacRange(c.commandLine.range);
        if (!given || !writable(given->first) || !writable(given->last)) {
            c.report.error("--range " + quotedInput(c.commandLine.range.toStdString()) +
                           ": expected FIRST-LAST, both 0A:5C:3E:XX:XX:XX, FIRST not above LAST");
            return ExitCode::BadInput;
        }
        range = *given;
    }
    const auto password = takePassword(c);
    if (!password) return ExitCode::BadInput;
    const auto ledger = openLedger(c);
    if (!ledger) return ExitCode::Unreachable;
    // Found first, so that a missing printer costs no address.
    if (const ExitCode code = c.printer.connect(); code != ExitCode::Done) return code;
    const auto reserved = ledger->reserve(stampFor(c), range);
    if (!reserved.ok()) {
        c.report.error(reserved.error.toStdString() + "; nothing was written to the printer");
        return ExitCode::Unreachable;
    }
    if (reserved->rangeFull()) {
        c.report.error("every address from " + text(range.first) + " to " + text(range.last) +
                       " is in the ledger already; nothing was written");
        return ExitCode::PrinterFault;
    }
    return MacWrite(c, *ledger, *password).run(*reserved->address);
}

}  // namespace tessra::cli
