#pragma once

#include <QString>

#include "ledger/LedgerLocation.h"
#include "ledger/LedgerResult.h"

class QSqlError;

namespace tessra::ledger {

// How long any one wait on the ledger may last: another process's lock, a
// slow statement, turning a new SQLite file's journal into a write-ahead log.
inline constexpr int kDefaultWaitMs = 10'000;

struct ConnectionMode {
    bool readOnly = false;  // never writes; an SQLite file on a read-only mount still opens
    int waitMs = kDefaultWaitMs;
};
inline constexpr ConnectionMode kReadOnly{true, kDefaultWaitMs};

// Adds the named Qt SQL connection for a location and opens it; on failure
// nothing is left registered. An SQLite file's folder is created first
// unless read-only. Needs the driver plugin: QSQLITE (Debian
// libqt6sql6-sqlite) or QPSQL (libqt6sql6-psql). Neither needs a
// QCoreApplication.
Status openConnection(const LedgerLocation& location, const QString& name,
                      ConnectionMode mode = {});

// Closes and removes the named connection. No QSqlDatabase or QSqlQuery for
// it may outlive this call.
void closeConnection(const QString& name);

// "<what>: <the database's reason>"
QString sqlFailure(const QString& what, const QSqlError& error);

// The same as a failed Status, TimedOut when the database gave up waiting
// for a lock or a statement, else Database.
Status sqlStatus(const QString& what, const QSqlError& error);

}  // namespace tessra::ledger
