#pragma once

#include <cstdint>

#include "commands/ButtonTables.h"
#include "link/PrinterLink.h"

namespace tessra::commands {

// Hands each buffer of the button to Send_Data in table order, as one port
// operation. False when another operation was running and the click was dropped.
bool runButton(PrinterLink& link, const CommandButton& button);

// Sends the wireless module mode command (01 39 36 02 23 m, then its 00).
bool sendWirelessMode(PrinterLink& link, std::uint8_t mode);

}  // namespace tessra::commands
