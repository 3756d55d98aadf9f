#pragma once

#include <QDateTime>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "ledger/Ledger.h"
#include "printer/Printer.h"
#include "recipe/Recipe.h"

namespace tessra::provision {

// Where and how one unit is provisioned.
struct UnitContext {
    QString station = ledger::defaultStation();
    QString port;                       // as the ledger records it, e.g. "/dev/ttyUSB0"
    QString device;                     // what the port reaches, held for the run (see Stamp)
    std::string password;               // the level-1 password for the MAC write
    std::string confirmation;           // the text the printer prints after a settings write
    std::optional<printer::Line> line;  // use this line instead of finding the printer
};

// One step as it ended: result is "written", "unchanged" or "failed"; or
// "duplicate" for the mac step when the unit arrived carrying an address the
// ledger gave to another unit (reported before the unit gets a new one).
struct StepReport {
    std::string step;  // find, reconcile, read, settings, mac, customer-code, wireless,
                       // receipt, record
    std::string result;
    qint64 ms = 0;
    std::string value;   // what the step set or found: a MAC, a block, a code, a name
    std::string detail;  // why it failed, or a note
};

class StepSink {
public:
    virtual ~StepSink() = default;
    virtual void step(const StepReport& report) = 0;
};

// How the unit ended. exitCode: 0 provisioned, 1 a printer step failed,
// 2 refused (the printer refused an argument: the password, a wireless
// name), 3 the port or the ledger could not be used (nothing was sent after
// that point), 4 the printer was written but the ledger could not record it.
struct UnitSummary {
    int exitCode = 0;
    std::optional<ledger::Mac> mac;
    std::optional<int> customerCode;
    QString recipe;
    QString hash;
    QString message;                                  // the reason when exitCode is not 0
    ledger::Fault ledgerFault = ledger::Fault::None;  // set when the ledger ended the run
};

// Applies the recipe to the printer on the context's port, writing only what
// differs, and records the unit in the ledger:
//   find the printer (or use the context's line) -> declare the recipe's
//   factory addresses and reconcile unfinished rows -> read block, MAC and
//   customer code -> who the unit is: the MAC is kept only when its row
//   describes this unit (block and customer code) for this recipe, in its
//   range, and it is no factory address; else the range must have a free
//   address, and an address the ledger gave to another unit is reported as
//   a duplicate -> settings block (then read back at the new line; an
//   unchanged block is read back at its own line) -> MAC (kept, or the next
//   free one of the range through programMac, the old one then replaced)
//   -> customer code (then read back) -> wireless mode -> unit receipt ->
//   the row verified with the unit done. A unit that ends after its MAC
//   step leaves its row verified, the unit unfinished with its steps.
// Every step is told to the sink as it ends; the first failure ends the run.
UnitSummary provisionUnit(printer::Printer& printer, const recipe::Recipe& recipe,
                          ledger::Ledger& ledger, const UnitContext& context, StepSink& sink);

// The lines of the unit receipt.
std::vector<std::string> receiptLines(const recipe::Recipe& recipe, ledger::Mac mac,
                                      const QString& station, const QDateTime& utc);

// The printer line a settings block sets (its Baudrate and Parity groups),
// when it names one.
std::optional<printer::Line> lineOfBlock(const printer::SettingsBlock& block);

}  // namespace tessra::provision
