#pragma once

#include <QString>
#include <memory>

#include "app/MacAddressFrame.h"
#include "ledger/Ledger.h"
#include "link/LineChoice.h"
#include "link/Operator.h"

namespace tessra::app {

// Records the address of every "MAC Address Save" as written in the ledger
// and tells in the status line how that went: recorded, recorded though the
// ledger already held the address (when and where), or not recorded because
// the ledger could not be reached. The save never depends on the ledger.
class MacSaveLedger {
public:
    MacSaveLedger(app::MacAddressFrame& frame, LineChoice& line, Operator& op,
                  QString location = ledger::resolveLedgerLocation());

    void record(identity::MacOctets written);

private:
    // The address's record before this one, if any. The ledger is opened on
    // first use, again after a failure, and its connection anew when the
    // server lost it since the last save.
    ledger::Result<std::optional<ledger::MacRecord>> recordWritten(ledger::Mac address);

    LineChoice& line_;
    Operator& op_;
    QString location_;
    std::unique_ptr<ledger::Ledger> ledger_;
};

}  // namespace tessra::app
