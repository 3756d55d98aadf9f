#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "cli/ToolContext.h"
#include "ledger/Ledger.h"
#include "link/DeviceLock.h"
#include "recipe/Recipe.h"

namespace tessra::cli {

// What the commands that write MAC addresses or provision units share.

// The level-1 password from TESSRA_PASSWORD or the terminal; nothing, after
// telling why, when there is none or it is wrong. Nothing is sent without it.
std::optional<std::string> takePassword(ToolContext& c);

// --ledger, else TESSRA_LEDGER, else the default file.
QString ledgerLocation(ToolContext& c);
// The ledger, or nothing after telling why (exit 3: nothing was sent). A
// read-only ledger serves the commands that never touch a printer.
std::unique_ptr<ledger::Ledger> openLedger(ToolContext& c, ledger::ConnectionMode mode = {});
// The device --port reaches, held for the rest of the run; device is its
// resolved path, empty when it reaches nothing (the open will say so).
struct HeldPort {
    std::unique_ptr<DeviceLock> lock;
    QString device;
};
// Nothing, after telling why (exit 3: nothing was sent), when another run
// holds the device.
std::optional<HeldPort> holdPort(ToolContext& c);

// --station, else the host name.
QString stationName(ToolContext& c);
// The recipe named by the command's argument, or nothing after telling
// where it is wrong (exit 2: nothing was sent).
std::optional<recipe::Recipe> loadRecipeFile(ToolContext& c);

}  // namespace tessra::cli
