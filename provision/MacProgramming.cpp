#include "provision/MacProgramming.h"

#include "provision/FailureText.h"

namespace tessra::provision {

namespace {

using ledger::Fault;
using ledger::Mac;
using ledger::MacState;

MacOutcome ofPrinter(const printer::Failure& failure) {
    switch (failure.kind) {
        case printer::FailureKind::PortUnavailable:
            return MacOutcome::Unusable;
        case printer::FailureKind::ArgumentRefused:
            return MacOutcome::Refused;
        default:
            return MacOutcome::PrinterFailed;
    }
}

class Programming {
public:
    Programming(printer::Printer& printer, ledger::Ledger& ledger, const MacRequest& request)
        : printer_(printer), ledger_(ledger), request_(request) {}

    MacResult run() {
        if (request_.address && !ledger::contains(ledger::kDefaultRange, *request_.address))
            return end(MacOutcome::Refused,
                       QStringLiteral("%1 is not an address this utility writes (%2-%3)")
                           .arg(ledger::macText(*request_.address),
                                ledger::macText(ledger::kDefaultRange.first),
                                ledger::macText(ledger::kDefaultRange.last)));
        if (!request_.printerAnswered) {
            result_.reconciled = reconcile(printer_, ledger_, request_.stamp);
            if (!result_.reconciled.ok())
                return ledgerEnd(result_.reconciled, MacOutcome::Unusable,
                                 result_.reconciled.error +
                                     QStringLiteral("; nothing was written to the printer"));
            const auto probe = printer_.readMac();
            if (!probe) return printerEnd(probe.failure(), QStringLiteral("nothing was reserved"));
            result_.readBack = macOf(*probe);
        }
        if (!reserve()) return result_;
        result_.address = address_;
        // From here on the row must say "may be on a printer" before it is.
        if (const ledger::Status written =
                ledger_.advance(address_, MacState::Written, request_.stamp);
            !written.ok())
            return ledgerEnd(
                written, MacOutcome::Unusable,
                written.error + QStringLiteral("; nothing was written to the printer"));
        if (const auto sent = printer_.writeMac(octetsOf(address_), request_.password); !sent)
            return failed(sent.failure(),
                          QStringLiteral("the MAC write failed: ") + failureText(sent.failure()));
        return verify();
    }

private:
    bool reserve() {
        if (request_.address) {
            address_ = *request_.address;
            const ledger::Status held =
                ledger_.reserveAddress(address_, request_.stamp, request_.again);
            if (held.ok()) return true;
            if (held.fault == Fault::Held)
                ledgerEnd(held, MacOutcome::Refused,
                          held.error + QStringLiteral("; nothing was written to the printer"));
            else
                ledgerEnd(held, MacOutcome::Unusable,
                          held.error + QStringLiteral("; nothing was written to the printer"));
            return false;
        }
        const auto reserved = ledger_.reserve(request_.stamp, request_.range);
        if (!reserved.ok()) {
            ledgerEnd(reserved, MacOutcome::Unusable,
                      reserved.error + QStringLiteral("; nothing was written to the printer"));
            return false;
        }
        if (reserved->rangeFull()) {
            end(MacOutcome::PrinterFailed,
                QStringLiteral("every address from %1 to %2 is in the ledger already; nothing "
                               "was written")
                    .arg(ledger::macText(request_.range.first),
                         ledger::macText(request_.range.last)));
            return false;
        }
        address_ = *reserved->address;
        return true;
    }

    // A reply that disagrees, or none, is asked for once more: it may have
    // been an answer meant for an earlier request.
    MacResult verify() {
        QString why;
        for (int attempt = 0; attempt < 2; ++attempt) {
            const auto back = printer_.readMac();
            if (!back) {
                lastFailure_ = back.failure();
                why = QStringLiteral("no read-back: ") + failureText(back.failure());
                continue;
            }
            result_.readBack = macOf(*back);
            if (*result_.readBack == address_) return record(MacState::Verified, {});
            why = QStringLiteral("read back %1").arg(ledger::macText(*result_.readBack));
        }
        // A failed read-back is the printer's fault even when the port
        // went away: the address may be on it.
        result_.printerFailure = lastFailure_;
        return record(MacState::Failed, why, MacOutcome::PrinterFailed);
    }

    MacResult failed(const printer::Failure& failure, const QString& why) {
        result_.printerFailure = failure;
        return record(MacState::Failed, why, ofPrinter(failure));
    }

    // The outcome goes to the ledger; when it cannot, the row stays written
    // and is reconciled on the next start.
    MacResult record(MacState state, const QString& why,
                     MacOutcome outcome = MacOutcome::Verified) {
        ledger::Stamp stamp = request_.stamp;
        stamp.note = why;
        const ledger::Status recorded = ledger_.advance(address_, state, stamp);
        if (!recorded.ok())
            return ledgerEnd(recorded, MacOutcome::WrittenNotRecorded,
                             QStringLiteral("%1 written, not recorded: %2")
                                 .arg(ledger::macText(address_), recorded.error));
        if (state == MacState::Verified) return end(MacOutcome::Verified, {});
        return end(outcome, QStringLiteral("%1: %2").arg(ledger::macText(address_), why));
    }

    MacResult printerEnd(const printer::Failure& failure, const QString& consequence) {
        result_.printerFailure = failure;
        return end(ofPrinter(failure), failureText(failure) + QStringLiteral("; ") + consequence);
    }

    template <class Failed>
    MacResult ledgerEnd(const Failed& failed, MacOutcome outcome, const QString& why) {
        result_.ledgerFault = failed.fault;
        return end(outcome, why);
    }

    MacResult end(MacOutcome outcome, const QString& message) {
        result_.outcome = outcome;
        result_.message = message;
        return result_;
    }

    printer::Printer& printer_;
    ledger::Ledger& ledger_;
    const MacRequest& request_;
    Mac address_ = 0;
    std::optional<printer::Failure> lastFailure_;
    MacResult result_;
};

}  // namespace

int exitCode(MacOutcome outcome) {
    switch (outcome) {
        case MacOutcome::Verified:
            return 0;
        case MacOutcome::PrinterFailed:
            return 1;
        case MacOutcome::Refused:
            return 2;
        case MacOutcome::Unusable:
            return 3;
        case MacOutcome::WrittenNotRecorded:
            return 4;
    }
    return 1;
}

ledger::Mac macOf(const printer::MacAddress& octets) {
    Mac address = 0;
    for (const std::uint8_t o : octets) address = address << 8 | o;
    return address;
}

printer::MacAddress octetsOf(ledger::Mac address) {
    printer::MacAddress octets{};
    for (int i = 5; i >= 0; --i, address >>= 8)
        octets[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(address);
    return octets;
}

MacResult programMac(printer::Printer& printer, ledger::Ledger& ledger, const MacRequest& request) {
    return Programming(printer, ledger, request).run();
}

ReconcileResult reconcile(printer::Printer& printer, ledger::Ledger& ledger,
                          const ledger::Stamp& place) {
    ReconcileResult result;
    const auto fail = [&](const auto& failed) {
        result.error = failed.error;
        result.fault = failed.fault;
        return result;
    };
    const auto open = ledger.unfinished(place.device, place.station, place.port);
    if (!open.ok()) return fail(open);
    QList<ledger::MacRecord> ended;
    for (const ledger::MacRecord& row : *open) {
        const ledger::Result<bool> over = ledger.ownerEnded(row);
        if (!over.ok()) return fail(over);
        if (*over)
            ended << row;
        else
            ++result.left;
    }
    if (ended.isEmpty()) return result;
    const auto carried = printer.readMac();
    if (!carried) {
        result.left += int(ended.size());
        return result;
    }
    result.printerMac = macOf(*carried);
    const QString& port = place.port;
    for (const ledger::MacRecord& row : ended) {
        const bool onIt = row.address == *result.printerMac;
        ledger::Stamp stamp;
        stamp.station.clear();  // the row's own station and port stay
        stamp.note = onIt ? QStringLiteral("reconciled: the printer on %1 carries it").arg(port)
                          : QStringLiteral("reconciled: the printer on %1 carries %2")
                                .arg(port, ledger::macText(*result.printerMac));
        const ledger::Status moved =
            ledger.advance(row.address, onIt ? MacState::Verified : MacState::Abandoned, stamp);
        if (moved.ok()) {
            ++(onIt ? result.verified : result.abandoned);
        } else if (moved.fault != Fault::Moved) {  // Moved: another run settled it meanwhile
            result.error = moved.error;
            result.fault = moved.fault;
            return result;
        }
    }
    return result;
}

}  // namespace tessra::provision
