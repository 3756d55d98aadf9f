#include "cli/LedgerAccess.h"

#include "identity/IdentityCommands.h"
#include "identity/IdentityTexts.h"
#include "ledger/LedgerLocation.h"

namespace tessra::cli {

std::optional<std::string> takePassword(ToolContext& c) {
    auto password = c.env.password();
    if (!password) {
        c.report.error(
            "this command writes a MAC address and needs the level-1 password: set "
            "TESSRA_PASSWORD or run the tool from a terminal");
        return std::nullopt;
    }
    if (!identity::isLevel1Password(*password)) {
        c.report.error(identity::kInvalidPasswordMessage);
        return std::nullopt;
    }
    return password;
}

QString ledgerLocation(ToolContext& c) {
    return ledger::resolveLedgerLocation(c.commandLine.ledger);
}

std::unique_ptr<ledger::Ledger> openLedger(ToolContext& c, ledger::ConnectionMode mode) {
    auto opened = ledger::Ledger::open(ledgerLocation(c), mode);
    if (!opened.ok()) {
        // Only a command that writes can have a printer to reassure about.
        c.report.error(opened.error.toStdString() +
                       (mode.readOnly ? "" : "; nothing was written to the printer"));
        return nullptr;
    }
    return std::move(*opened);
}

std::optional<HeldPort> holdPort(ToolContext& c) {
    const auto device = identifyDevice(c.env.port.deviceName(c.commandLine.port.number));
    if (!device) return HeldPort{};
    std::string refusal;
    HeldPort held{DeviceLock::take(*device, refusal), QString::fromStdString(device->path)};
    if (held.lock) return held;
    c.report.error(c.commandLine.port.name() + ": " + refusal + "; nothing was sent");
    return std::nullopt;
}

QString stationName(ToolContext& c) {
    return c.commandLine.station.isEmpty() ? ledger::defaultStation() : c.commandLine.station;
}

std::optional<recipe::Recipe> loadRecipeFile(ToolContext& c) {
    const recipe::RecipeResult loaded = recipe::loadRecipe(qs(c.commandLine.arguments.front()));
    for (const QString& note : loaded.notes) c.report.note(note.toStdString());
    if (!loaded.recipe) c.report.error(loaded.error.toStdString() + "; nothing was sent");
    return loaded.recipe;
}

}  // namespace tessra::cli
