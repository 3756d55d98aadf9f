#include "CommandHandlers.h"

#include <array>

#include "ServiceCommands.h"

namespace tessra::commands {

bool runButton(PrinterLink& link, const CommandButton& button) {
    if (button.alwaysDisabled) return false;
    return link.runExclusive([&] {
        for (const CommandCall& call : button.calls)
            link.Send_Data(call.buffer, call.count, call.mode);
    });
}

bool sendWirelessMode(PrinterLink& link, std::uint8_t mode) {
    std::array<std::uint8_t, 7> buffer{};
    const auto frame = serviceFrame(ServiceCode::WirelessMode);
    std::copy(frame.begin(), frame.end(), buffer.begin());
    buffer[5] = mode;
    return link.runExclusive([&] { link.Send_Data(buffer, 6, 0); });
}

const CommandButton* findButton(std::string_view control) {
    for (const auto table : {std::span<const CommandButton>(kMaintenanceColumn),
                             std::span<const CommandButton>(kPaperButtons)}) {
        for (const CommandButton& b : table) {
            if (b.control == control) return &b;
        }
    }
    return nullptr;
}

}  // namespace tessra::commands
