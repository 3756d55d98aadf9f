#include "link/LineSettings.h"

#include <charconv>
#include <vector>

namespace tessra {

namespace {
std::vector<std::string_view> splitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        fields.push_back(text.substr(start, comma - start));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return fields;
}

std::optional<int> wholeNumber(std::string_view field) {
    int value = 0;
    const auto* end = field.data() + field.size();
    const auto [ptr, ec] = std::from_chars(field.data(), end, value);
    if (field.empty() || ec != std::errc{} || ptr != end) return std::nullopt;
    return value;
}
}  // namespace

std::optional<LineParameters> parseSettings(std::string_view text) {
    const auto fields = splitFields(text);
    if (fields.size() != 4 || fields[1].size() != 1) return std::nullopt;
    const auto baud = wholeNumber(fields[0]);
    const auto data = wholeNumber(fields[2]);
    const auto stop = wholeNumber(fields[3]);
    if (!baud || *baud <= 0 || !data || *data < 5 || *data > 8 || !stop ||
        (*stop != 1 && *stop != 2)) {
        return std::nullopt;
    }
    char parity = fields[1][0];
    if (parity >= 'A' && parity <= 'Z') parity = static_cast<char>(parity - 'A' + 'a');
    if (parity != 'n' && parity != 'e' && parity != 'o') return std::nullopt;
    return LineParameters{*baud, parity, *data, *stop};
}

}  // namespace tessra
