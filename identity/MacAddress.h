#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tessra::identity {

// The first three octets of every address this utility writes.
inline constexpr std::array<std::uint8_t, 3> kMacPrefix{0x0A, 0x5C, 0x3E};
// The 4th octet of the last address of the range; past it addresses would repeat.
inline constexpr std::uint8_t kMaxFourthOctet = 0x10;

// The 4th, 5th and 6th octets.
struct MacOctets {
    std::uint8_t mac4 = 0;
    std::uint8_t mac5 = 0;
    std::uint8_t mac6 = 0;
    friend bool operator==(const MacOctets&, const MacOctets&) = default;
};

// One auto-increment step.
struct MacStep {
    MacOctets next;         // unchanged when maximum
    bool maximum = false;   // the step would leave the range; the address stays
    bool rewrite4 = false;  // the carry reached the 4th octet
    bool rewrite5 = false;  // the carry reached the 5th octet
    bool rewrite6 = false;  // the 6th octet moved
    friend bool operator==(const MacStep&, const MacStep&) = default;
};

// Adds one to the address with carries. The carry out of 10 FF FF, and out
// of FF FF FF, is refused so that no address is handed out twice.
MacStep advanceMac(MacOctets address);

// Upper-case hexadecimal without leading zeros: "0", "A", "1F", "FF".
std::string octetText(std::uint8_t octet);

}  // namespace tessra::identity
