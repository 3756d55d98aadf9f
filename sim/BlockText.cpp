#include "sim/BlockText.h"

#include "settings/OptionTables.h"

namespace tessra::sim {

std::string hexByte(std::uint8_t byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

std::string hexBytes(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (const std::uint8_t b : bytes) {
        if (!text.empty()) text += ' ';
        text += hexByte(b);
    }
    return text;
}

std::string describeBlock(const std::array<std::uint8_t, 4>& block) {
    using settings::Group;
    // Named by its number: the captions are long and the number is what a
    // technician compares with the printer's self-test page.
    std::string text = "code page " + std::to_string(block[0]);
    for (const settings::OptionGroup& g : settings::kOptionGroups) {
        if (g.group == Group::Codepage) continue;
        const auto field =
            static_cast<std::uint8_t>(block[static_cast<std::size_t>(g.byte)] & g.mask);
        text += ", ";
        if (const settings::Member* m = settings::memberForField(g.group, field)) {
            text += m->caption;
        } else {
            text += std::string(g.frameCaption) + " unassigned " + hexByte(field);
        }
    }
    return text;
}

}  // namespace tessra::sim
