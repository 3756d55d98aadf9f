#include "station/ConsoleRun.h"

#include <utility>

#include "station/EventFormat.h"
#include "station/StopSignals.h"

namespace tessra::station {

int runToEnd(StationSetup setup, std::ostream& out, bool json) {
    Station station(std::move(setup), [&out, json](const Event& e) {
        out << (json ? formatJson(e) : formatText(e)) << '\n' << std::flush;
    });
    const StopSignals signals([&station](int) { station.requestStop(); });
    station.start();
    station.wait();
    const Counters counters = station.counters();
    out << formatTally(counters, station.elapsedSeconds(), json) << '\n' << std::flush;
    return counters.exitStatus();
}

}  // namespace tessra::station
