#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "settings/OptionPanel.h"

namespace tessra::settings {

// The printer's four-byte settings block.
using Block = std::array<std::uint8_t, 4>;
inline constexpr std::size_t kBlockSize = 4;
// Byte 0 above this is no code page: the whole reply is rejected.
inline constexpr std::uint8_t kHighestCodepage = 0x3F;

// Builds the block from the selections in table order: the first group of a
// byte stores its value, the later ones add theirs. A group without a
// selection contributes nothing, so a byte whose storing group has none
// keeps what the previous build left in it.
void buildBlock(const Selections& selections, Block& block);

// Per group the member to select, or nothing to leave the group as it is.
struct DecodedBlock {
    Selections select{};
    bool rejected = false;  // nothing may be selected
};

// Decodes the first four bytes of a reply; further bytes are ignored. A reply
// shorter than four bytes is rejected like one whose byte 0 is no code page.
DecodedBlock decodeBlock(std::span<const std::uint8_t> reply);

}  // namespace tessra::settings
