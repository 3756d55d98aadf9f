#pragma once

#include <QSqlDatabase>
#include <QString>

#include "ledger/LedgerLocation.h"
#include "ledger/LedgerResult.h"

namespace tessra::ledger {

// The layout this program reads and writes. A ledger with a higher number
// was made by a newer program and is left alone.
inline constexpr int kSchemaVersion = 1;

// Creates the tables on first use (safe when several processes open a new
// ledger at once) and refuses a ledger of another version.
Status prepareSchema(QSqlDatabase& db, const LedgerLocation& location);

}  // namespace tessra::ledger
