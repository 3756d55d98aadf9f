#include "link/TrafficFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tessra {

namespace {
constexpr std::size_t kBytesPerColumn = 16;
constexpr char kHexDigits[] = "0123456789ABCDEF";
}  // namespace

long long wholeMilliseconds(double seconds) {
    return std::llround(seconds * 1000.0);
}

std::string elapsedStamp(double seconds) {
    long long ms = wholeMilliseconds(seconds);
    if (ms < 0) ms = 0;
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03lld", ms / 3'600'000,
                  ms / 60'000 % 60, ms / 1000 % 60, ms % 1000);
    return text;
}

std::string hexWithText(std::span<const std::uint8_t> bytes) {
    const std::size_t columns = std::max(bytes.size(), kBytesPerColumn);
    std::string out;
    out.reserve(columns * 3 + bytes.size() + 4);
    for (std::size_t i = 0; i < columns; ++i) {
        if (i > 0) out += ' ';
        if (i < bytes.size()) {
            out += kHexDigits[bytes[i] >> 4];
            out += kHexDigits[bytes[i] & 0x0F];
        } else {
            out += "  ";
        }
    }
    out += "  |";
    for (const std::uint8_t b : bytes) out += (b >= 0x20 && b <= 0x7E) ? static_cast<char>(b) : '.';
    out += '|';
    return out;
}

}  // namespace tessra
