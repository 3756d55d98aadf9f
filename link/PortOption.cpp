#include "link/PortOption.h"

#include <charconv>

#include "link/LineSettings.h"

namespace tessra {

std::string PortOption::name() const {
    return device.empty() ? portCaption(number) : device;
}

std::optional<PortOption> parsePortOption(const std::string& text) {
    if (text.size() > 3 && (text[0] | 0x20) == 'c' && (text[1] | 0x20) == 'o' &&
        (text[2] | 0x20) == 'm') {
        int number = 0;
        const char* end = text.data() + text.size();
        const auto [at, ec] = std::from_chars(text.data() + 3, end, number);
        if (ec == std::errc{} && at == end && number >= 1 && number <= kPortCount)
            return PortOption{number, {}};
    }
    if (text.find_first_of("/\\") != std::string::npos) return PortOption{1, text};
    return std::nullopt;
}

}  // namespace tessra
