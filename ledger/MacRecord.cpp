#include "ledger/MacRecord.h"

#include <QSysInfo>
#include <algorithm>
#include <array>

namespace tessra::ledger {

namespace {

constexpr std::array kStateTexts{u"reserved",  u"written",  u"verified", u"failed",
                                 u"abandoned", u"replaced", u"factory",  u"unknown"};
constexpr std::size_t kKnownStates = kStateTexts.size() - 1;

}  // namespace

QString stateText(MacState state) {
    return QString::fromUtf16(kStateTexts[static_cast<std::size_t>(state)]);
}

std::optional<MacState> parseState(QStringView text) {
    for (std::size_t i = 0; i < kKnownStates; ++i) {
        if (text == kStateTexts[i]) return static_cast<MacState>(i);
    }
    return std::nullopt;
}

QString defaultStation() {
    return QSysInfo::machineHostName();
}

bool isStationName(const QString& name) {
    const QList<uint> characters = name.toUcs4();
    if (characters.isEmpty() || characters.size() > kStationNameLimit) return false;
    return std::ranges::all_of(characters, [](char32_t c) {
        const QChar::Category category = QChar::category(c);
        return QChar::isPrint(c) && category != QChar::Separator_Line &&
               category != QChar::Separator_Paragraph;
    });
}

}  // namespace tessra::ledger
