#include "ledger/MacRecord.h"

#include <QSysInfo>
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

}  // namespace tessra::ledger
