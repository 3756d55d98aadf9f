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

// A client-side bound on everything one connection runs until it goes out
// of scope. The server's own time-outs end a statement that waits for a
// lock or runs long, but not one the server never answers (a server stopped
// or wedged with the connection open): when the time is up, the connection's
// socket is shut, the statement under way fails at once and expired() says
// why. The connection is then lost for good; Ledger::reconnect() opens a new
// one. SQLite's waits are its own busy time-out, so there it does nothing.
class AnswerDeadline {
public:
    AnswerDeadline(const QString& connection, int ms);
    ~AnswerDeadline();
    AnswerDeadline(const AnswerDeadline&) = delete;
    AnswerDeadline& operator=(const AnswerDeadline&) = delete;
    bool expired() const;

private:
    quint64 id_ = 0;  // 0: not watched
};

// How much longer than the server's own time-outs the client waits for an
// answer, so that a lock wait ends as the server's clean time-out.
inline constexpr int kAnswerMarginMs = 500;

// "<what>: <the database's reason>"
QString sqlFailure(const QString& what, const QSqlError& error);

// What a statement the deadline ended failed with: TimedOut.
Status noAnswer(const QString& what, int waitMs);

// The same as a failed Status, TimedOut when the database gave up waiting
// for a lock or a statement, else Database.
Status sqlStatus(const QString& what, const QSqlError& error);

}  // namespace tessra::ledger
