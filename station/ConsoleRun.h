#pragma once

#include <ostream>

#include "station/Station.h"

namespace tessra::station {

// The command line's run: starts the station and writes each event to out
// as it comes (a text line, or one JSON object per line), until the station
// stops by itself (the count) or SIGINT or SIGTERM asks it to stop, which
// lets every unit finish its current step; then writes the tally. Returns 0
// when every finished unit was done, 1 when any failed.
int runToEnd(StationSetup setup, std::ostream& out, bool json);

}  // namespace tessra::station
