#pragma once

#include <QList>
#include <QString>
#include <memory>
#include <optional>

#include "ledger/LedgerLocation.h"
#include "ledger/LedgerResult.h"
#include "ledger/MacRecord.h"
#include "ledger/MacText.h"

namespace tessra::ledger {

// What reserve() found.
struct Reservation {
    std::optional<Mac> address;  // empty when every address of the range is held
    bool rangeFull() const { return !address; }
};

// The record of every address the tools reserve or write, one row per
// address with its latest state, in an SQLite file or a PostgreSQL database
// (see LedgerLocation.h). Several processes and stations may use one ledger
// at once: an address is handed out once, ever.
//
// A Ledger owns one Qt SQL connection with a name of its own and must be used
// on the thread that opened it. It needs no QCoreApplication.
class Ledger {
public:
    // Opens the ledger, creating it on first use. Fails on a bad location, an
    // unreachable database, an SQL error or a newer schema version.
    static Result<std::unique_ptr<Ledger>> open(const QString& location);
    ~Ledger();
    Ledger(const Ledger&) = delete;
    Ledger& operator=(const Ledger&) = delete;

    // The location as given, without a password.
    const QString& location() const;

    // Takes the lowest address of the range that the ledger has never held in
    // any state, records it as reserved and returns it. Two processes or
    // stations asking at once never get the same address. A full range is a
    // success with no address.
    Result<Reservation> reserve(const Stamp& stamp, MacRange range = kDefaultRange);

    // Records the address as written, verified or failed, whether or not it
    // was reserved. The record's time is now; its station, port and customer
    // code are the stamp's.
    Status mark(Mac address, MacState state, const Stamp& stamp);

    // The address's record; empty when the ledger never held it.
    Result<std::optional<MacRecord>> find(Mac address);

    // Every record, in address order.
    Result<QList<MacRecord>> records();

private:
    Ledger(QString connection, QString location);

    QString connection_;
    QString location_;
};

}  // namespace tessra::ledger
