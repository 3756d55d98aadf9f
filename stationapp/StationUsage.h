#pragma once

#include <array>

#include "link/ProgramUsage.h"

namespace tessra::stationapp {

inline constexpr std::array<VariableUsage, 3> kStationEnvironment{{
    {"TESSRA_PASSWORD", "the level-1 password; without it the window asks when a run starts"},
    {"TESSRA_LEDGER", "the ledger: an SQLite file or postgresql://..."},
    {"TESSRA_COMn", "the device COMn opens (n = 1 to 10), e.g. TESSRA_COM3=/dev/ttyUSB0"},
}};

inline constexpr std::array<SectionUsage, 1> kStationSections{{
    {"NOTES",
     "Name slots by `/dev/serial/by-path`: those names follow the USB socket, so several "
     "identical adapters keep their slots across boots."},
}};

inline constexpr ProgramUsage kStationUsage{
    "tessra-station",
    "provision many Tessra receipt printers at once, one slot per port",
    "[--help] [--version]",
    "Opens the production station's window: one slot per serial port, each provisioning the "
    "printer on it from a recipe as `tessra-cli provision` does.\n\n"
    "Once started, every slot on its own waits for a printer to answer, provisions it, shows "
    "the result, waits for the printer to leave and starts again. A fault on one slot (an "
    "unplugged adapter, a broken reply, a port held by another program) never stops the "
    "others.\n\n"
    "The window has Open Recipe..., the slots (chosen from the port map and the serial devices "
    "found, with their `/dev/serial/by-path` and by-id names), Start and Stop; one tile per slot "
    "with its port, state, the unit's MAC address and customer code, the elapsed time and the "
    "last failure with its hint; counters of units done, failed and per hour; and the event "
    "list, which Save As writes as CSV. The last recipe and slots are remembered.\n\n"
    "Stop, closing the window or SIGTERM lets every unit under way finish its current step; no "
    "new unit starts.\n\n"
    "The same station runs without a window as `tessra-cli station --slots PORT[,PORT...] "
    "RECIPE`.",
    kWindowOptions,
    {},
    kStationEnvironment,
    kStationSections,
};

}  // namespace tessra::stationapp
