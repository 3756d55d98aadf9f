#include "identity/CustomerCodeValue.h"

#include <charconv>
#include <cstdint>

namespace tessra::identity {

std::optional<std::uint8_t> customerCodeFromText(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    std::int16_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    if (value < 1 || value > 255) return std::nullopt;
    return static_cast<std::uint8_t>(value);
}

}  // namespace tessra::identity
