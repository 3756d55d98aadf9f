#pragma once

#include <string>

#include "station/UnitWork.h"

namespace tessra::stationapp {

// What a station needs from the rest of the utility for one recipe.
struct StationParts {
    station::PrinterFactory printers;
    station::WorkFactory work;
};

// The one place where the window meets the printer core and the recipe
// provisioning: every slot's printer and unit work come from here.
StationParts stationParts(const std::string& recipePath);

}  // namespace tessra::stationapp
