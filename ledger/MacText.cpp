#include "ledger/MacText.h"

namespace tessra::ledger {

namespace {

int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'a' && u <= u'f') return u - u'a' + 10;
    if (u >= u'A' && u <= u'F') return u - u'A' + 10;
    return -1;
}

}  // namespace

QString macText(Mac address) {
    QString text;
    for (int shift = 40; shift >= 0; shift -= 8) {
        if (!text.isEmpty()) text += u':';
        text += QStringLiteral("%1").arg((address >> shift) & 0xFF, 2, 16, QChar(u'0')).toUpper();
    }
    return text;
}

std::optional<Mac> parseMac(QStringView text) {
    text = text.trimmed();
    const bool colons = text.size() == 17;
    if (!colons && text.size() != 12) return std::nullopt;
    Mac value = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (colons && i % 3 == 2) {
            if (text[i] != u':') return std::nullopt;
            continue;
        }
        const int digit = hexValue(text[i]);
        if (digit < 0) return std::nullopt;
        value = value << 4 | Mac(digit);
    }
    return value;
}

std::optional<MacRange> parseMacRange(QStringView text) {
    const qsizetype dash = text.indexOf(u'-');
    if (dash < 0) return std::nullopt;
    const auto first = parseMac(text.left(dash));
    const auto last = parseMac(text.mid(dash + 1));
    if (!first || !last || *first > *last) return std::nullopt;
    return MacRange{*first, *last};
}

}  // namespace tessra::ledger
