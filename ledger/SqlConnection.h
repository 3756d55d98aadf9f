#pragma once

#include <QString>

#include "ledger/LedgerLocation.h"
#include "ledger/LedgerResult.h"

class QSqlError;

namespace tessra::ledger {

// Adds the named Qt SQL connection for a location and opens it; on failure
// nothing is left registered. An SQLite file's folder is created first.
// Needs the driver plugin: QSQLITE (Debian libqt6sql6-sqlite) or QPSQL
// (libqt6sql6-psql). Neither needs a QCoreApplication.
Status openConnection(const LedgerLocation& location, const QString& name);

// Closes and removes the named connection. No QSqlDatabase or QSqlQuery for
// it may outlive this call.
void closeConnection(const QString& name);

// "<what>: <the database's reason>"
QString sqlFailure(const QString& what, const QSqlError& error);

}  // namespace tessra::ledger
