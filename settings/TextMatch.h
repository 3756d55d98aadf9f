#pragma once

#include <algorithm>
#include <string_view>

namespace tessra::settings {

// Without the blanks around it; a line's carriage return counts as blank.
inline std::string_view trimBlanks(std::string_view s) {
    constexpr std::string_view kBlanks = " \t\r";
    const auto first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

// The captions are ASCII, so folding ASCII letters is enough.
inline bool equalIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace tessra::settings
