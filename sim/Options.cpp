#include "sim/Options.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "link/QuotedText.h"

namespace tessra::sim {

namespace {

std::optional<int> toInt(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<char> toParity(std::string_view text) {
    std::string lower;
    for (const char c : text) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (lower == "n" || lower == "none") return 'n';
    if (lower == "e" || lower == "even") return 'e';
    if (lower == "o" || lower == "odd") return 'o';
    return std::nullopt;
}

// Six hex octets joined by ':' or '-': "0A:5C:3E:00:10:07".
std::optional<std::array<std::uint8_t, 6>> toMac(std::string_view text) {
    std::array<std::uint8_t, 6> mac{};
    for (std::size_t i = 0; i < mac.size(); ++i) {
        const std::string_view octet = text.substr(0, 2);
        const auto [end, ec] =
            std::from_chars(octet.data(), octet.data() + octet.size(), mac[i], 16);
        if (ec != std::errc{} || end != octet.data() + 2) return std::nullopt;
        text.remove_prefix(2);
        if (i + 1 < mac.size()) {
            if (text.empty() || (text[0] != ':' && text[0] != '-')) return std::nullopt;
            text.remove_prefix(1);
        }
    }
    if (!text.empty()) return std::nullopt;
    return mac;
}

}  // namespace

ParsedOptions parseOptions(std::span<const std::string_view> args) {
    ParsedOptions parsed;
    SimOptions& o = parsed.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view name = args[i];
        std::optional<std::string_view> inlineValue;
        if (const auto eq = name.find('='); name.starts_with("--") && eq != name.npos) {
            inlineValue = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        auto value = [&]() -> std::optional<std::string_view> {
            if (inlineValue) return inlineValue;
            if (i + 1 < args.size()) return args[++i];
            return std::nullopt;
        };
        auto fail = [&](const std::string& why) {
            parsed.error = why;
            return parsed;
        };
        std::vector<std::string_view> names;
        for (const OptionUsage& option : kSimOptions) names.push_back(option.name);
        if (name != "-h" && std::ranges::find(names, name) == names.end())
            return fail("unknown option " + quotedInput(args[i]) + didYouMean(name, names));
        if (name == "-h" || name == "--help") {
            o.help = true;
        } else if (name == "--version") {
            o.version = true;
        } else if (name == "--no-reply") {
            o.noReply = true;
        } else if (name == "--link" || name == "--state" || name == "--log") {
            const auto v = value();
            if (!v || v->empty()) return fail(std::string(name) + " needs a path");
            (name == "--link" ? o.link : name == "--state" ? o.state : o.log) = std::string(*v);
        } else if (name == "--speed") {
            const auto v = value();
            const auto n = v ? toInt(*v) : std::nullopt;
            if (!n || !speedField(*n)) {
                return fail("--speed needs one of 2400 4800 9600 19200 38400 57600 115200");
            }
            o.speed = n;
        } else if (name == "--parity") {
            const auto v = value();
            const auto p = v ? toParity(*v) : std::nullopt;
            if (!p) return fail("--parity needs none, even or odd");
            o.parity = p;
        } else if (name == "--reply-delay") {
            const auto v = value();
            const auto n = v ? toInt(*v) : std::nullopt;
            if (!n || *n < 0 || *n > 60000) return fail("--reply-delay needs 0 to 60000 ms");
            o.replyDelayMs = *n;
        } else if (name == "--mac") {
            const auto v = value();
            const auto mac = v ? toMac(*v) : std::nullopt;
            if (!mac) return fail("--mac needs six hex octets, such as 0A:5C:3E:00:10:07");
            o.mac = mac;
        } else {
            return fail("unknown option " + std::string(args[i]));
        }
    }
    return parsed;
}

std::string usageText() {
    return helpText(kSimUsage);
}

void applyFactoryOptions(const SimOptions& options, PrinterState& state) {
    if (options.mac) state.mac = *options.mac;
}

void applyLineOptions(const SimOptions& options, PrinterState& state) {
    if (options.speed) {
        if (const auto field = speedField(*options.speed)) {
            state.block[1] = static_cast<std::uint8_t>((state.block[1] & ~kBaudMask) | *field);
        }
    }
    if (options.parity) {
        const std::uint8_t bits = *options.parity == 'e' ? 0x40 : *options.parity == 'o' ? 0x80 : 0;
        state.block[1] = static_cast<std::uint8_t>((state.block[1] & ~kParityMask) | bits);
    }
}

}  // namespace tessra::sim
