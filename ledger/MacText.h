#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

namespace tessra::ledger {

// A 48-bit Ethernet address, first octet in bits 47..40.
using Mac = std::uint64_t;
inline constexpr Mac kLastMac = 0xFFFF'FFFF'FFFF;

// Both ends included.
struct MacRange {
    Mac first = 0;
    Mac last = 0;
    friend bool operator==(const MacRange&, const MacRange&) = default;
};

inline bool contains(MacRange range, Mac address) {
    return address >= range.first && address <= range.last;
}

// The addresses this utility writes: 0A 5C 3E 00 00 00 to 0A 5C 3E 10 FF FF.
inline constexpr MacRange kDefaultRange{0x0A5C'3E00'0000, 0x0A5C'3E10'FFFF};

// "0A:5C:3E:00:00:01"
QString macText(Mac address);

// Six two-digit hexadecimal octets separated by colons, or twelve hexadecimal
// digits; either case, blanks around allowed.
std::optional<Mac> parseMac(QStringView text);

// "FIRST-LAST" with both addresses as parseMac reads them, FIRST <= LAST.
std::optional<MacRange> parseMacRange(QStringView text);

}  // namespace tessra::ledger
