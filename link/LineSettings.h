#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tessra {

// PC-side line choices of the "Interface" frame, by combo list index.
inline constexpr std::array<std::string_view, 7> kSpeedTexts{"2400",  "4800",  "9600",  "19200",
                                                             "38400", "57600", "115200"};
inline constexpr int kStartupSpeedIndex = 2;

struct ParityChoice {
    std::string_view caption;
    char letter;
};
inline constexpr std::array<ParityChoice, 3> kParities{
    {{"None", 'n'}, {"Even", 'e'}, {"Odd", 'o'}}};

inline constexpr int kPortCount = 10;  // COM1 to COM10

// The automatic read tries these speeds (as kSpeedTexts indexes), each with
// every parity, in this order.
inline constexpr std::array<int, 7> kAutoReadSpeedOrder{2, 6, 5, 4, 3, 1, 0};
inline constexpr int kAutoReadAttempts =
    static_cast<int>(kAutoReadSpeedOrder.size() * kParities.size());

// "9600,e,8,1"; nothing when the parity index names no parity.
inline std::optional<std::string> settingsString(std::string_view speedText, int parityIndex) {
    if (parityIndex < 0 || parityIndex >= static_cast<int>(kParities.size())) return std::nullopt;
    std::string s(speedText);
    s += ',';
    s += kParities[static_cast<std::size_t>(parityIndex)].letter;
    s += ",8,1";
    return s;
}

inline std::string portCaption(int portNumber) {
    return "COM" + std::to_string(portNumber);
}

// The parsed form of a settings string.
struct LineParameters {
    int baud = 9600;
    char parity = 'n';  // n, e, o
    int dataBits = 8;
    int stopBits = 1;
    friend bool operator==(const LineParameters&, const LineParameters&) = default;
};

// Accepts "speed,parity,data,stop" with parity n/e/o (either case), data bits
// 5-8 and stop bits 1 or 2; anything else is rejected.
std::optional<LineParameters> parseSettings(std::string_view text);

}  // namespace tessra
