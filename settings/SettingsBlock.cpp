#include "settings/SettingsBlock.h"

namespace tessra::settings {

void buildBlock(const Selections& selections, Block& block) {
    int lastByte = -1;
    for (const OptionGroup& g : kOptionGroups) {
        const bool storing = g.byte != lastByte;
        lastByte = g.byte;
        const auto& index = selections[static_cast<std::size_t>(g.group)];
        if (!index) continue;
        const Member* member = findMember(g.group, *index);
        if (!member) continue;
        auto& byte = block[static_cast<std::size_t>(g.byte)];
        // Added in a wider integer; only a byte whose storing group had no
        // selection can carry over, and then it wraps instead of overflowing.
        const int value = storing ? member->value : byte + member->value;
        byte = static_cast<std::uint8_t>(value & 0xFF);
    }
}

DecodedBlock decodeBlock(std::span<const std::uint8_t> reply) {
    DecodedBlock out;
    if (reply.size() < kBlockSize || reply[0] > kHighestCodepage) {
        out.rejected = true;
        return out;
    }
    // Unassigned field values match no member and leave their group as it is.
    for (const OptionGroup& g : kOptionGroups) {
        const auto field =
            static_cast<std::uint8_t>(reply[static_cast<std::size_t>(g.byte)] & g.mask);
        if (const Member* member = memberForField(g.group, field)) {
            out.select[static_cast<std::size_t>(g.group)] = member->index;
        }
    }
    return out;
}

}  // namespace tessra::settings
