#pragma once

#include <QString>
#include <optional>
#include <string>

#include "ledger/Ledger.h"
#include "printer/Printer.h"

namespace tessra::provision {

// How a MAC programming ended, each with the exit code of the tools.
enum class MacOutcome {
    Verified,            // 0: written, read back, recorded verified
    PrinterFailed,       // 1: the write or the read-back failed (recorded failed), or the
                         //    range is full, or the printer did not answer the probe
    Refused,             // 2: the address is held, outside the utility's range, or the
                         //    printer refused the write (password); nothing was sent
                         //    unless the printer refused it
    Unusable,            // 3: the port could not be opened, or the ledger could not be
                         //    used or gave up waiting; nothing was sent
    WrittenNotRecorded,  // 4: the printer was written but the ledger could not record how
                         //    it ended; the row is reconciled on the next start
};

int exitCode(MacOutcome outcome);

struct MacRequest {
    std::optional<ledger::Mac> address;  // this one (mac write), else the next free of range
    bool again = false;                  // take the address whatever the ledger holds
    ledger::MacRange range = ledger::kDefaultRange;
    ledger::Stamp stamp;   // station, port, and whatever unit details are known
    std::string password;  // the level-1 password the printer checks
    // The caller has just had an answer from this printer on this port and
    // reconciled it, so neither is done again before an address is reserved.
    bool printerAnswered = false;
};

struct ReconcileResult {
    int verified = 0;   // unfinished rows whose address the printer carries
    int abandoned = 0;  // unfinished rows whose address it does not carry
    int left = 0;       // rows left as they are: no printer answered, or their run goes on
    std::optional<ledger::Mac> printerMac;  // when the printer answered
    QString error;  // the ledger could not be read or changed (then fault is set)
    ledger::Fault fault = ledger::Fault::None;
    bool ok() const { return error.isEmpty(); }
    bool changed() const { return verified + abandoned > 0; }
};

struct MacResult {
    MacOutcome outcome = MacOutcome::Unusable;
    std::optional<ledger::Mac> address;   // the address reserved (and maybe written)
    std::optional<ledger::Mac> readBack;  // what the printer reported last
    std::optional<printer::Failure> printerFailure;
    ledger::Fault ledgerFault = ledger::Fault::None;
    ReconcileResult reconciled;  // the rows of this station and port settled first
    QString message;  // for the operator when not verified; says "written, not recorded" for 4
    int exitCode() const { return provision::exitCode(outcome); }
};

// Programs one address and keeps the ledger true at every moment:
//   reconcile the station's and port's unfinished rows
//   -> probe (read the MAC: a port that cannot be opened reserves nothing)
//   -> reserve (the address given, or the next free one, in one atomic step)
//   -> written (committed before a byte of the address goes out)
//   -> the printer's MAC write
//   -> read back (a read-back that disagrees or is missing is read once more)
//   -> verified, or failed with the reason in the note.
MacResult programMac(printer::Printer& printer, ledger::Ledger& ledger, const MacRequest& request);

// The whole 48-bit address of the printer's six octets, and back.
ledger::Mac macOf(const printer::MacAddress& octets);
printer::MacAddress octetsOf(ledger::Mac address);

// Settles the rows that runs on this device left unfinished (reserved, or
// written with no outcome) and whose run has provably ended
// (Ledger::ownerEnded), by the MAC of the printer now on the device: verified
// when it carries the address, else abandoned, the reason in the note. A row
// whose run goes on is left alone, as are all of them when the printer does
// not answer. Asks the printer nothing when there is nothing to settle. The
// place is the stamp's device, else its station and port.
ReconcileResult reconcile(printer::Printer& printer, ledger::Ledger& ledger,
                          const ledger::Stamp& place);

}  // namespace tessra::provision
