#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

#include "ledger/LedgerLocation.h"
#include "ledger/LedgerResult.h"
#include "ledger/MacRecord.h"
#include "ledger/MacText.h"
#include "ledger/SqlConnection.h"

namespace tessra::ledger {

// What reserve() found.
struct Reservation {
    std::optional<Mac> address;  // empty when every address of the range is held
    bool rangeFull() const { return !address; }
};

// The record of every address the tools reserve or write, one row per
// address with its state (see MacState), in an SQLite file or a PostgreSQL
// database (see LedgerLocation.h). Several processes and stations may use
// one ledger at once: every change is one statement keyed on the address,
// so an address is handed out once, ever, and a row moves on only from the
// state its writer expects. No wait on the ledger lasts longer than the
// mode's limit (Fault::TimedOut), whether the database answers late or not
// at all.
//
// Every row records the run that holds it (Owner.h) and the device its unit
// is on. On PostgreSQL a writing connection also holds its run's lease, a
// shared advisory lock on leaseKey(thisProcess()) that the server lets go
// when the session ends, however the run ended; ownerEnded() tries it.
//
// A Ledger owns one Qt SQL connection with a name of its own and must be used
// on the thread that opened it. It needs no QCoreApplication.
class Ledger {
public:
    // Opens the ledger. For writing it is created on first use and an older
    // layout is moved up; read-only it must exist and is never changed (an
    // older layout is read as it is). Fails on a bad location, an unreachable
    // database, an SQL error or a newer schema version (Fault::NewerSchema).
    static Result<std::unique_ptr<Ledger>> open(const QString& location, ConnectionMode mode = {});
    ~Ledger();
    Ledger(const Ledger&) = delete;
    Ledger& operator=(const Ledger&) = delete;

    // The location as given, without a password.
    const QString& location() const;

    // Takes the lowest address of the range that the ledger has never held in
    // any state, records it as reserved with the stamp and returns it. Two
    // processes or stations asking at once never get the same address. A
    // full range is a success with no address.
    Result<Reservation> reserve(const Stamp& stamp, MacRange range = kDefaultRange);

    // Records this address as reserved. An address the ledger holds in any
    // state is refused (Fault::Held) unless again, which takes it back
    // whatever its state and says so in the note, with the state it had.
    Status reserveAddress(Mac address, const Stamp& stamp, bool again);

    // Moves the address on to written, verified, failed, abandoned or
    // replaced, only from the states that lead there (written from reserved;
    // replaced from verified; the others from reserved or written; verified
    // also from verified, to record more of the unit); otherwise Fault::Moved. The stamp's
    // non-empty parts replace the row's, its note is added to the row's.
    Status advance(Mac address, MacState state, const Stamp& stamp);

    // The address reserve() would take now, without taking it; empty when
    // the range is full.
    Result<std::optional<Mac>> freeAddress(MacRange range);

    // Marks an address that printers carry from the factory: it is never
    // handed out, and a unit that arrives with it never keeps it. An address
    // the ledger does not hold yet gets a factory row; a row it has keeps
    // its state. The stamp says where and why (its note).
    Status declareFactory(Mac address, const Stamp& stamp);

    // The window's record of a save it made without a reservation: the row
    // takes the state and stamp whatever it held. Not for reserved.
    Status mark(Mac address, MacState state, const Stamp& stamp);

    // The address's record; empty when the ledger never held it.
    Result<std::optional<MacRecord>> find(Mac address);

    // Every record, in address order; a state this program does not know is
    // listed as MacState::Unknown with its stored name.
    Result<QList<MacRecord>> records();

    // The rows runs on this device of this machine left unfinished
    // (reserved, or written with no outcome), in address order, whether or
    // not their run has ended. Rows without an owner (written by an older
    // program) and rows of an unknown device are found by station and port.
    Result<QList<MacRecord>> unfinished(const QString& device, const QString& station,
                                        const QString& port);

    // Whether the row's run has provably ended, so that its unit can be
    // settled: a row of this very process (an earlier unit of this run, as a
    // run holds its device), or one whose owner ended on this machine (see
    // endedHere) and, on PostgreSQL, whose lease is free. Never a guess from
    // the clock: a run of another machine has not ended.
    Result<bool> ownerEnded(const MacRecord& row);

    // Checks the connection with a statement and, when it fails (the server
    // restarted, or did not answer), opens it anew, with the run's lease.
    Status reconnect();

private:
    Ledger(QString connection, LedgerLocation location, ConnectionMode mode);
    Status takeLease();
    Result<Reservation> reserveNow(const Stamp& stamp, MacRange range, const QString& failed);
    // Runs one operation within the connection's answer deadline.
    template <class Operation>
    auto bounded(const QString& failed, Operation operation) -> decltype(operation());
    Result<QList<MacRecord>> select(const QString& where, const QList<QVariant>& values,
                                    const QString& failed);

    QString connection_;
    LedgerLocation where_;
    ConnectionMode mode_;
    int version_ = 0;
};

}  // namespace tessra::ledger
