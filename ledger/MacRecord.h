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
// printer of its port). An address in any state is never handed out again.
// Unknown stands for a state this program does not know (a newer program's).
enum class MacState { Reserved, Written, Verified, Failed, Abandoned, Unknown };

// "reserved", "written", "verified", "failed", "abandoned": the text stored
// and shown; "unknown" for Unknown.
QString stateText(MacState state);
std::optional<MacState> parseState(QStringView text);

// A printer may carry the address: written or verified.
inline bool onPrinter(MacState state) {
    return state == MacState::Written || state == MacState::Verified;
}

// The host name, for the station of a stamp.
QString defaultStation();

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
    QString note;
    QString device;  // empty in rows written before devices were kept
    Owner owner;     // the run that reserved or last took the address
};

}  // namespace tessra::ledger
