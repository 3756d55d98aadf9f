#pragma once

#include <cstdint>
#include <span>

#include "settings/OptionPanel.h"

namespace tessra::settings {

// Selects the members the first four bytes of a reply name. False, with no
// group changed, when the reply is rejected.
bool selectFromReply(std::span<const std::uint8_t> reply, OptionPanel& panel);

}  // namespace tessra::settings
