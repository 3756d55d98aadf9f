#include "settings/ReadSetting.h"

#include "settings/SettingsBlock.h"

namespace tessra::settings {

bool selectFromReply(std::span<const std::uint8_t> reply, OptionPanel& panel) {
    const DecodedBlock decoded = decodeBlock(reply);
    if (decoded.rejected) return false;
    for (const OptionGroup& g : kOptionGroups) {
        if (const auto& index = decoded.select[static_cast<std::size_t>(g.group)]) {
            panel.select(g.group, *index);
        }
    }
    return true;
}

}  // namespace tessra::settings
