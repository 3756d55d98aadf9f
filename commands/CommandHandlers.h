#pragma once

#include <cstdint>

#include "ButtonTables.h"
#include "PrinterLink.h"

namespace tessra::commands {

// Hands each buffer of the button to Send_Data in table order, as one port
// operation. False when another operation was running and the click was dropped.
bool runButton(PrinterLink& link, const CommandButton& button);

// Sends the wireless module mode command (01 39 36 02 23 m, then its 00).
bool sendWirelessMode(PrinterLink& link, std::uint8_t mode);

// The button's table entry by control name, or nullptr.
const CommandButton* findButton(std::string_view control);

}  // namespace tessra::commands
