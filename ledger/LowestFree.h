#pragma once

#include <QSqlDatabase>
#include <QString>
#include <optional>

#include "ledger/LedgerResult.h"
#include "ledger/MacText.h"

namespace tessra::ledger {

// The lowest address of the range the ledger has never held, empty when it
// held them all; a failure's reason starts with `failed`.
//
// An address once held stays held, so "every address from F up to B - 1 is
// held" stays true forever. The search keeps that bound per range start in
// reserve_floor and begins there, instead of walking every held address on
// each reservation.
Result<std::optional<Mac>> lowestFree(QSqlDatabase& db, MacRange range, const QString& failed);

}  // namespace tessra::ledger
