#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tessra::identity {

// The customer code as typed: a whole decimal number from 1 to 255, blanks
// around it allowed. Anything else (other text, 0, "000", 256, a number past
// 16 bits) gives nothing.
std::optional<std::uint8_t> customerCodeFromText(std::string_view text);

}  // namespace tessra::identity
