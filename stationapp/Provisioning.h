#pragma once

#include <functional>
#include <optional>
#include <string>

#include "station/UnitWork.h"

namespace tessra::stationapp {

// What a station needs from the rest of the utility for one recipe.
struct StationParts {
    station::PrinterFactory printers;
    station::WorkFactory work;
};

// The level-1 password, asked when a run starts; nothing when not given.
using PasswordSource = std::function<std::optional<std::string>()>;

// The one place where the window meets the printer core and the recipe
// provisioning: every slot's printer and unit work come from here. A recipe
// that cannot be read, or a missing or wrong password, gives work that
// refuses every unit with the reason, so that the tiles say what is wrong.
StationParts stationParts(const std::string& recipePath, const PasswordSource& password);

}  // namespace tessra::stationapp
