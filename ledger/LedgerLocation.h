#pragma once

#include <QString>
#include <QStringList>

#include "ledger/LedgerResult.h"

namespace tessra::ledger {

// Where a ledger lives, as given by --ledger, by TESSRA_LEDGER or by default.
//
// An SQLite file (one station, several processes):
//   /var/lib/tessra/ledger.sqlite, or a relative path. The file and its
//   folder are created on first use. Keep it on a local disk: its
//   write-ahead log does not work over a network share.
//
// A PostgreSQL database (several stations sharing one ledger):
//   postgresql://[user[:password]@][host][:port][/dbname][?key=value&...]
//   postgres://...  (the same)
//   host is a name, an IPv4 address or an [IPv6] address; a Unix-socket
//   directory is written percent-encoded (postgresql://%2Ftmp%2Fpg/ledger) or
//   as a query key (postgresql:///ledger?host=/tmp/pg). The query keys host,
//   port, user, password and dbname replace the parts above; sslmode,
//   connect_timeout and application_name go to libpq as connection options.
//   Any other key, a key given twice, a control character in a value or a
//   value out of its range is refused by name: the connection is built from
//   these checked parts only, so no text of the location reaches libpq as an
//   option of its own. Every part is percent-decoded. What is left out takes libpq's default
//   (socket in /var/run/postgresql, port 5432, user and database named after
//   the OS user). A connection attempt gives up after 10 s unless
//   connect_timeout says otherwise.
//
// Anything else with "://" is refused.

enum class Engine { Sqlite, Postgres };

struct LedgerLocation {
    Engine engine = Engine::Sqlite;
    QString path;  // SQLite
    // PostgreSQL; empty or -1 leaves the choice to libpq.
    QString host;  // a name, an address, or a socket directory (starts with '/')
    int port = -1;
    QString user;
    QString password;
    QString database;
    QStringList options;  // libpq "key='value'" entries
    QString shown;        // the location for messages, the password as ***
};

// A refused location is the caller's mistake (a usage error), unlike a
// ledger that cannot be reached; its reason quotes the location with the
// password as ***, cut and escaped.
Result<LedgerLocation> parseLedgerLocation(const QString& text);

// The location as given, fit for a message: a password as ***, cut and escaped.
QString shownLocation(const QString& text);

inline constexpr char kLedgerVariable[] = "TESSRA_LEDGER";

// The SQLite file used when no location is given: tessra/ledger.sqlite in the
// user's data folder (~/.local/share on Linux). The same for the window and
// the command-line tool, whatever their application names; empty when the
// system has no such folder.
QString defaultLedgerPath();

// The explicit location if not empty, else TESSRA_LEDGER if set and not
// empty, else defaultLedgerPath().
QString resolveLedgerLocation(const QString& explicitLocation = {});

}  // namespace tessra::ledger
