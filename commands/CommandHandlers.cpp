#include "commands/CommandHandlers.h"

#include "protocol/ServiceCommands.h"

namespace tessra::commands {

bool runButton(PrinterLink& link, const CommandButton& button) {
    if (button.alwaysDisabled) return false;
    return link.runExclusive([&] {
        for (const CommandCall& call : button.calls)
            link.Send_Data(call.buffer, call.count, call.mode);
    });
}

bool sendWirelessMode(PrinterLink& link, std::uint8_t mode) {
    const auto buffer = protocol::serviceBuffer<7>(protocol::ServiceCode::WirelessMode, {mode});
    return link.runExclusive([&] { link.Send_Data(buffer, 6, 0); });
}

}  // namespace tessra::commands
