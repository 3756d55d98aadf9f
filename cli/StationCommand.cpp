// station RECIPE: one slot per port of --slots, until --count units or a stop.
#include "cli/LedgerAccess.h"
#include "cli/ToolContext.h"
#include "ledger/LedgerLocation.h"
#include "link/PortMap.h"
#include "recipe/Recipe.h"
#include "station/ConsoleRun.h"
#include "station/RecipeWork.h"
#include "station/SlotDevices.h"

namespace tessra::cli {

ExitCode runStation(ToolContext& c) {
    std::vector<std::string> ports;
    for (const PortOption& port : c.commandLine.slotPorts) ports.push_back(port.name());
    if (const auto shared =
            station::slotsOnOneDevice(ports, [](int n) { return PortMap().device(n); })) {
        c.report.error("--slots: " + *shared + "; give each device once");
        return ExitCode::BadInput;
    }
    const auto recipe = loadRecipeFile(c);
    if (!recipe) return ExitCode::BadInput;
    const auto password = takePassword(c);
    if (!password) return ExitCode::BadInput;
    // Opened once here so that a ledger that cannot be used stops the run
    // before any slot starts; each slot then opens its own connection.
    if (!openLedger(c)) return ExitCode::Unreachable;

    station::StationSetup setup;
    setup.ports = ports;
    setup.printers = station::serialPrinters();
    setup.work = station::recipeWork({*recipe, ledgerLocation(c), stationName(c), *password});
    setup.count = c.commandLine.count;
    setup.threads = station::qtThreads();
    c.report.streamOnly();
    return static_cast<ExitCode>(
        station::runToEnd(std::move(setup), c.env.out, c.commandLine.json));
}

}  // namespace tessra::cli
