#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>
#include <optional>

#include "ledger/MacText.h"
#include "ledger/Owner.h"

namespace tessra::ledger {

// One address's life: reserved (handed out, not yet sent) -> written (may be
// on a printer: recorded before the bytes go out) -> verified (read back from
// it) or failed (the write or the read-back did not succeed; the address may
// still be on a printer) or abandoned (found unfinished and not on the
// printer of its port). A verified address moves on to replaced once its
// unit was given another one. A factory row holds an address that printers
// carry from the factory, so that it is never handed out. An address in any
// state is never handed out again. Unknown stands for a state this program
// does not know (a newer program's).
enum class MacState { Reserved, Written, Verified, Failed, Abandoned, Replaced, Factory, Unknown };

// "reserved", "written", "verified", "failed", "abandoned", "replaced",
// "factory": the text stored and shown; "unknown" for Unknown.
QString stateText(MacState state);
std::optional<MacState> parseState(QStringView text);

// A printer may carry the address: written or verified.
inline bool onPrinter(MacState state) {
    return state == MacState::Written || state == MacState::Verified;
}

// The host name, for the station of a stamp.
QString defaultStation();

// A station name goes into every row, report, CSV file and unit receipt:
// it is 1 to kStationNameLimit printable characters, no control, no format
// mark that reorders text, no line or paragraph separator.
inline constexpr qsizetype kStationNameLimit = 64;
bool isStationName(const QString& name);

// Who records a state, where, and for what unit. An empty text (or no
// customer code) leaves what the row holds when a row moves on.
struct Stamp {
    Stamp() = default;
    Stamp(QString station_, QString port_, std::optional<int> customerCode_ = std::nullopt)
        : station(std::move(station_)), port(std::move(port_)), customerCode(customerCode_) {}

    QString station = defaultStation();
    QString port;                     // e.g. "COM1" or "/dev/ttyUSB0", as the user named it
    QString device;                   // what the port reached: "/dev/ttyUSB0"
    std::optional<int> customerCode;  // when known
    QString recipe;                   // the recipe's name
    QString recipeHash;               // its SHA-256, 64 hex digits
    QString settingsBlock;            // "00 02 01 00"
    QString unit;                     // a recipe's unit: "done" or "unfinished"
    QString steps;                    // the unit's steps applied and read back so far
    QString note;                     // why: added to the row's note
};

// The latest state of one address and what it was recorded with.
struct MacRecord {
    Mac address = 0;
    MacState state = MacState::Reserved;
    QString stateName;  // as stored, also for Unknown
    QDateTime time;     // UTC, to the millisecond: the latest change
    QDateTime reservedTime;
    QDateTime writtenTime;  // invalid when never written
    QString station;
    QString port;
    std::optional<int> customerCode;
    QString recipe;
    QString recipeHash;
    QString settingsBlock;
    // A provisioned unit: "done" once every step of its recipe was applied
    // and read back, "unfinished" while not, with the steps that were
    // ("settings mac customer-code"); empty for an address written alone.
    QString unit;
    QString steps;
    bool factory = false;  // printers may carry it from the factory: never kept, never handed out
    QString note;
    QString device;  // empty in rows written before devices were kept
    Owner owner;     // the run that reserved or last took the address
};

}  // namespace tessra::ledger
