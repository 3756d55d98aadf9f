#pragma once

#include <string_view>

#include "link/PrinterLink.h"
#include "settings/SettingsBlock.h"

namespace tessra {

// On the open port: the printed confirmation, then the block; waits for DSR,
// closes and pauses. False when a write failed (shown) or DSR did not come.
bool sendBlockOnOpenPort(PrinterLink& link, const settings::Block& block,
                         std::string_view confirmation);

// On the open port: the confirmation of a read and a line end, then a DSR
// wait whose time-out blames the cable; closes the port. False when the
// write failed (shown) or DSR did not come.
bool sendReadConfirmation(PrinterLink& link, std::string_view confirmation);

}  // namespace tessra
