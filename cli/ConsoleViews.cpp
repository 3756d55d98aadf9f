#include "cli/ConsoleViews.h"

#include <charconv>

namespace tessra::cli {

namespace {
constexpr int kFirstReadBackBox = 7;  // Text7 shows the first octet
}  // namespace

std::string ConsoleLineChoice::speedText() const {
    return std::string(kSpeedTexts[static_cast<std::size_t>(speed_)]);
}

void ConsoleMacView::setText(int textBox, std::string_view text) {
    const int octet = textBox - kFirstReadBackBox;
    if (octet < 0 || octet >= static_cast<int>(readBack_.size())) return;  // the save row
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    auto& slot = readBack_[static_cast<std::size_t>(octet)];
    if (ec == std::errc{} && end == text.data() + text.size() && value <= 0xFF) {
        slot = static_cast<std::uint8_t>(value);
    } else {
        slot.reset();
    }
}

std::optional<std::array<std::uint8_t, 6>> ConsoleMacView::loaded() const {
    std::array<std::uint8_t, 6> octets{};
    for (std::size_t i = 0; i < octets.size(); ++i) {
        if (!readBack_[i]) return std::nullopt;
        octets[i] = *readBack_[i];
    }
    return octets;
}

}  // namespace tessra::cli
