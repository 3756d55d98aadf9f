#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "commands/ButtonTables.h"
#include "link/PrinterLink.h"

namespace tessra::commands {

// Hands each buffer of the button to the link in table order, as one port
// operation. False when another operation was running and the click was dropped.
bool runButton(PrinterLink& link, const CommandButton& button);

// Sends the wireless module mode command (01 39 36 02 23 m, then its 00).
bool sendWirelessMode(PrinterLink& link, std::uint8_t mode);

// Every command that sends, by name, in the window's order: the maintenance
// column, the paper buttons, the wireless column.
std::vector<std::string_view> commandNames();
// The calls of the named command; nothing for an unknown name.
std::optional<std::span<const CommandCall>> callsOf(std::string_view name);
// The name of the wireless row with this mode (0 to 3).
std::string_view wirelessCommandName(std::uint8_t mode);

}  // namespace tessra::commands
