#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "commands/ButtonTables.h"

namespace tessra::commands {

// Every command that sends, by name, in the window's order: the maintenance
// column, the paper buttons, the wireless column.
std::vector<std::string_view> commandNames();
// The calls of the named command; nothing for an unknown name.
std::optional<std::span<const CommandCall>> callsOf(std::string_view name);
// The name of the wireless row with this mode (0 to 3).
std::string_view wirelessCommandName(std::uint8_t mode);

}  // namespace tessra::commands
