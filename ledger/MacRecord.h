#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>
#include <optional>

#include "ledger/MacText.h"

namespace tessra::ledger {

// reserved: handed out, not yet on a printer; written: sent to a printer;
// verified: read back from it; failed: the write did not take. An address in
// any state is never handed out again.
enum class MacState { Reserved, Written, Verified, Failed };

// "reserved", "written", "verified", "failed": the text stored and shown.
QString stateText(MacState state);
std::optional<MacState> parseState(QStringView text);

// A printer carries the address: written or verified.
inline bool onPrinter(MacState state) {
    return state == MacState::Written || state == MacState::Verified;
}

// The host name, for the station of a stamp.
QString defaultStation();

// Who records a state, and where.
struct Stamp {
    QString station = defaultStation();
    QString port;                     // e.g. "COM1" or "/dev/ttyUSB0"
    std::optional<int> customerCode;  // when known
};

// The latest state of one address.
struct MacRecord {
    Mac address = 0;
    MacState state = MacState::Reserved;
    QDateTime time;  // UTC, to the millisecond
    QString station;
    QString port;
    std::optional<int> customerCode;
};

}  // namespace tessra::ledger
