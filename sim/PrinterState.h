#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace tessra::sim {

// What the emulated printer keeps in its flash.
struct PrinterState {
    // The start-up selections of the utility, but 9600 bps.
    std::array<std::uint8_t, 4> block{0x00, 0x02, 0x01, 0x00};
    std::array<std::uint8_t, 6> mac{0x0A, 0x5C, 0x3E, 0x00, 0x00, 0x01};
    std::uint8_t customerCode = 1;
    std::uint8_t wirelessMode = 0;
    std::uint64_t cuts = 0;
    std::uint64_t prints = 0;  // text lines, test prints and test patterns

    friend bool operator==(const PrinterState&, const PrinterState&) = default;
};

// Line speeds by the block's baud-rate field (byte 1, bits 0-2); field 7 names none.
inline constexpr std::array<int, 7> kFieldSpeeds{2400, 4800, 9600, 19200, 38400, 57600, 115200};
inline constexpr std::uint8_t kBaudMask = 0x07;
inline constexpr std::uint8_t kParityMask = 0xC0;

// Bits per second that the block's baud-rate field names, or nothing for field 7.
std::optional<int> blockSpeed(const std::array<std::uint8_t, 4>& block);
// The baud-rate field for a speed in bits per second, or nothing.
std::optional<std::uint8_t> speedField(int bitsPerSecond);

}  // namespace tessra::sim
