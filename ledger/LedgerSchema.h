#pragma once

#include <QSqlDatabase>
#include <QString>

#include "ledger/LedgerLocation.h"
#include "ledger/LedgerResult.h"

namespace tessra::ledger {

// The layout this program writes. A ledger with a higher number was made by
// a newer program and is left alone (Fault::NewerSchema); a lower one is
// moved up in place when the ledger is opened for writing.
//   1: address, state, time, station, port, customer code
//   2: adds the abandoned state, the reserve and write times, recipe, recipe
//      hash, settings block and a note
//   3: adds the replaced and factory states, a unit's state and steps, the
//      factory mark, the device a row's unit ran on and the run that owns the row
inline constexpr int kSchemaVersion = 3;

// Creates the tables on first use or moves an older layout up (safe when
// several processes open the ledger at once); gives the version now in use.
Result<int> prepareSchema(QSqlDatabase& db, const LedgerLocation& location);

// The version of an existing ledger, for reading only: nothing is created or
// moved, a newer version is refused. 0 when nothing was ever recorded there
// (a new PostgreSQL database, an empty SQLite file): it reads as empty.
Result<int> readableSchema(QSqlDatabase& db, const LedgerLocation& location);

// The columns the ledger reads, in MacRecord order, for a ledger of that
// version ("SELECT ... FROM mac_ledger").
QString selectRecords(int version);

}  // namespace tessra::ledger
