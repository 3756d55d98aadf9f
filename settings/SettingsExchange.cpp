#include "settings/SettingsExchange.h"

#include <string>

#include "protocol/ServiceCommands.h"
#include "settings/SettingsTexts.h"

namespace tessra {

namespace {

using protocol::ServiceCode;
using protocol::serviceFrame;

constexpr int kRuleLength = 42;
constexpr auto kWriteHeader = serviceFrame(ServiceCode::SettingsWrite);

std::string withLineEnd(std::string_view text) {
    std::string line(text);
    line.append(protocol::kLineEnd.begin(), protocol::kLineEnd.end());
    return line;
}

std::string ruleLine() {
    std::string line(protocol::kLineEnd.begin(), protocol::kLineEnd.end());
    line.append(kRuleLength, '=');
    return line;
}

std::string blankLines(int count) {
    std::string lines;
    for (int i = 0; i < count; ++i)
        lines.append(protocol::kLineEnd.begin(), protocol::kLineEnd.end());
    return lines;
}

}  // namespace

bool sendBlockOnOpenPort(PrinterLink& link, const settings::Block& block,
                         std::string_view confirmation) {
    const bool sent = link.write(protocol::kReset) && link.write(protocol::kAlignCentre) &&
                      link.write(withLineEnd(confirmation)) && link.write(protocol::kAlignLeft) &&
                      link.write(ruleLine()) && link.write(blankLines(5)) &&
                      link.write(protocol::kPrintMode0) && link.write(protocol::kCut) &&
                      link.write(protocol::kReset) && link.write(kWriteHeader) && link.write(block);
    if (!sent) return false;
    const bool answered = link.waitForDsr();
    link.closePort();
    link.pause();
    return answered;
}

bool sendReadConfirmation(PrinterLink& link, std::string_view confirmation) {
    if (!link.write(withLineEnd(confirmation))) return false;
    const bool answered = link.waitForDsr(kCableMessage);
    link.closePort();
    return answered;
}

}  // namespace tessra
