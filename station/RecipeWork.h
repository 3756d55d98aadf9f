#pragma once

#include <QString>
#include <string>

#include "recipe/Recipe.h"
#include "station/Station.h"
#include "station/UnitWork.h"

namespace tessra::provision {
struct UnitSummary;
}

namespace tessra::station {

// What every slot of a station provisioning from one recipe shares.
struct RecipeStation {
    recipe::Recipe recipe;
    QString ledgerLocation;  // as resolved: --ledger, TESSRA_LEDGER or the default
    QString stationName;
    std::string password;  // the level-1 password for the MAC writes
};

// A printer per port on the real serial ports: "COM3" through the port map,
// or a device path. A station stop ends a search or a removal wait at once,
// but a unit under way only between two of its steps.
PrinterFactory serialPrinters();

// Slots on threads Qt started, as its serial port wants.
ThreadStarter qtThreads();

// How a provisioned unit ended, for the slot: done only when everything was
// written, read back and recorded; with the reason and the operator's hint.
UnitResult unitResult(const provision::UnitSummary& summary);

// Provisioning the recipe, as `tessra-cli provision` does, for each slot;
// each slot opens the ledger on its own thread.
WorkFactory recipeWork(RecipeStation station);

}  // namespace tessra::station
