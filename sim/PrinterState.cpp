#include "sim/PrinterState.h"

namespace tessra::sim {

std::optional<int> blockSpeed(const std::array<std::uint8_t, 4>& block) {
    const std::size_t field = block[1] & kBaudMask;
    if (field >= kFieldSpeeds.size()) return std::nullopt;
    return kFieldSpeeds[field];
}

std::optional<std::uint8_t> speedField(int bitsPerSecond) {
    for (std::size_t i = 0; i < kFieldSpeeds.size(); ++i) {
        if (kFieldSpeeds[i] == bitsPerSecond) return static_cast<std::uint8_t>(i);
    }
    return std::nullopt;
}

}  // namespace tessra::sim
