#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tessra {

// Elapsed time as "hh:mm:ss.mmm" (hours grow past 99 if they must).
std::string elapsedStamp(double seconds);

// Whole milliseconds of a duration, rounded.
long long wholeMilliseconds(double seconds);

// Bytes as upper-case hex, one blank apart, padded to sixteen bytes so that
// the printable column lines up, then that column between bars: "0A 00 ... |..|".
// Bytes 20 to 7E show as themselves, any other as a dot.
std::string hexWithText(std::span<const std::uint8_t> bytes);

}  // namespace tessra
