#include "link/QuotedText.h"

#include <cstdint>
#include <cstdio>

namespace tessra {

namespace {

// The length of the UTF-8 sequence at the start of text and its code point,
// or 0 when the bytes there are no valid sequence.
std::size_t decodeUtf8(std::string_view text, char32_t& codePoint) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(0);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        codePoint = codePoint << 6 | (byte(i) & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < minimum || codePoint > 0x10FFFF || surrogate) return 0;
    return length;
}

// C1 controls, and the marks and overrides that reorder what a terminal shows.
bool hiddenEffect(char32_t c) {
    return (c >= 0x80 && c <= 0x9F) || c == 0x200E || c == 0x200F || (c >= 0x2028 && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF;
}

std::string escaped(char32_t c, bool rawByte) {
    switch (c) {
        case '\n':
            return "\\n";
        case '\r':
            return "\\r";
        case '\t':
            return "\\t";
        default:
            break;
    }
    char text[12];
    if (rawByte || c < 0x80) {
        std::snprintf(text, sizeof text, "\\x%02X", static_cast<unsigned>(c));
    } else {
        std::snprintf(text, sizeof text, "\\u%04X", static_cast<unsigned>(c));
    }
    return text;
}

std::string jsonEscape(unsigned c) {
    char text[8];
    std::snprintf(text, sizeof text, "\\u%04X", c);
    return text;
}

// C1 controls, written in UTF-8 as C2 80 to C2 9F.
bool c1At(std::string_view text, std::size_t i) {
    return i + 1 < text.size() && static_cast<std::uint8_t>(text[i]) == 0xC2 &&
           static_cast<std::uint8_t>(text[i + 1]) >= 0x80 &&
           static_cast<std::uint8_t>(text[i + 1]) <= 0x9F;
}

}  // namespace

std::string shownText(std::string_view text) {
    return quotedInput(text, text.size());
}

std::string csvField(std::string_view text) {
    std::string field = shownText(text);
    if (!field.empty() && std::string_view("=+-@").find(field.front()) != std::string_view::npos)
        field.insert(0, 1, '\'');
    if (field.find_first_of(",\"") == std::string::npos) return field;
    std::string quoted = "\"";
    for (const char c : field) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string jsonString(std::string_view text) {
    std::string json = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (static_cast<std::uint8_t>(c) < 0x20) {
            json += jsonEscape(static_cast<std::uint8_t>(c));
        } else {
            json += c;
        }
    }
    return jsonControlsEscaped(json + "\"");
}

std::string jsonControlsEscaped(std::string_view json) {
    std::string out;
    out.reserve(json.size());
    for (std::size_t i = 0; i < json.size(); ++i) {
        if (json[i] == '\x7F') {
            out += jsonEscape(0x7F);
        } else if (c1At(json, i)) {
            out += jsonEscape(static_cast<std::uint8_t>(json[++i]));
        } else {
            out += json[i];
        }
    }
    return out;
}

std::string quotedInput(std::string_view text, std::size_t limit) {
    std::string shown;
    std::size_t characters = 0;
    while (!text.empty()) {
        if (characters >= limit) return shown + "...";
        char32_t c = 0;
        const std::size_t length = decodeUtf8(text, c);
        if (length == 0) {
            shown += escaped(static_cast<std::uint8_t>(text[0]), true);
        } else if (c < 0x20 || c == 0x7F || hiddenEffect(c)) {
            shown += escaped(c, false);
        } else {
            shown.append(text.substr(0, length));
        }
        text.remove_prefix(length == 0 ? 1 : length);
        ++characters;
    }
    return shown;
}

}  // namespace tessra
