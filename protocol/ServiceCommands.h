#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>

namespace tessra::protocol {

// Every vendor command starts with SOH "9" "6" STX, then its service code.
inline constexpr std::array<std::uint8_t, 4> kServiceHeader{0x01, 0x39, 0x36, 0x02};

enum class ServiceCode : std::uint8_t {
    FirmwareRecovery = 0x21,   // "!"
    WirelessMode = 0x23,       // "#", mode 00-03
    CustomerCodeRead = 0x24,   // "$", reply one byte
    CustomerCodeWrite = 0x25,  // "%", the code
    SettingsRead = 0x30,       // "0", reply four bytes
    SettingsWrite = 0x31,      // "1", the four block bytes
    MacRead = 0x36,            // "6", reply six bytes
    MacWrite = 0x37,           // "7", password and address follow
    TestPattern = 0x38,        // "8", pattern 00-03
};

// The header followed by the service code.
constexpr std::array<std::uint8_t, 5> serviceFrame(ServiceCode code) {
    return {kServiceHeader[0], kServiceHeader[1], kServiceHeader[2], kServiceHeader[3],
            static_cast<std::uint8_t>(code)};
}

// A service frame followed by the given parameter bytes and trailing zeros.
template <std::size_t N>
constexpr std::array<std::uint8_t, N> serviceBuffer(
    ServiceCode code, std::initializer_list<std::uint8_t> params = {}) {
    static_assert(N >= 5);
    std::array<std::uint8_t, N> buffer{};
    const auto frame = serviceFrame(code);
    std::copy(frame.begin(), frame.end(), buffer.begin());
    std::copy(params.begin(), params.end(), buffer.begin() + frame.size());
    return buffer;
}

// The parts one after another, then one spare 00: a command of n bytes is
// kept in n + 1 elements and sent with count n, so that 00 follows it.
template <std::size_t... N>
constexpr std::array<std::uint8_t, (N + ... + 1)> commandBuffer(
    const std::array<std::uint8_t, N>&... parts) {
    std::array<std::uint8_t, (N + ... + 1)> buffer{};
    std::size_t at = 0;
    ((std::copy(parts.begin(), parts.end(), buffer.begin() + static_cast<std::ptrdiff_t>(at)),
      at += N),
     ...);
    return buffer;
}

// Standard escape sequences.
inline constexpr std::array<std::uint8_t, 2> kReset{0x1B, 0x40};    // ESC @
inline constexpr std::array<std::uint8_t, 2> kCut{0x1B, 0x69};      // ESC i
inline constexpr std::array<std::uint8_t, 1> kLineFeed{0x0A};       // LF
inline constexpr std::array<std::uint8_t, 2> kLineEnd{0x0D, 0x0A};  // CR LF
inline constexpr std::array<std::uint8_t, 3> kAlignCentre{0x1B, 0x61, 0x01};
inline constexpr std::array<std::uint8_t, 3> kAlignLeft{0x1B, 0x61, 0x00};
inline constexpr std::array<std::uint8_t, 3> kPrintMode0{0x1B, 0x21, 0x00};
// GS ( A test print; the byte after this prefix selects what is printed.
inline constexpr std::array<std::uint8_t, 6> kTestPrintPrefix{0x1D, 0x28, 0x41, 0x30, 0x30, 0x02};
enum class TestPrint : std::uint8_t { HexDump = 0x01, SelfTest = 0x02, SampleFont = 0x03 };

constexpr std::array<std::uint8_t, 7> testPrint(TestPrint what) {
    std::array<std::uint8_t, 7> sequence{};
    std::copy(kTestPrintPrefix.begin(), kTestPrintPrefix.end(), sequence.begin());
    sequence[6] = static_cast<std::uint8_t>(what);
    return sequence;
}

}  // namespace tessra::protocol
