#include "stationapp/Provisioning.h"

#include <memory>

#include "identity/IdentityCommands.h"
#include "ledger/LedgerLocation.h"
#include "ledger/MacRecord.h"
#include "recipe/Recipe.h"
#include "station/RecipeWork.h"

namespace tessra::stationapp {

namespace {

class Refusing final : public station::UnitWork {
public:
    Refusing(std::string reason, std::string hint)
        : reason_(std::move(reason)), hint_(std::move(hint)) {}
    station::UnitResult provision(printer::Printer&, station::UnitProgress&) override {
        return {false, "", {}, reason_, hint_, {}};
    }

private:
    std::string reason_;
    std::string hint_;
};

StationParts refusing(std::string reason, std::string hint) {
    return {station::serialPrinters(), [reason, hint](const std::string&) {
                return std::make_unique<Refusing>(reason, hint);
            }};
}

}  // namespace

StationParts stationParts(const std::string& recipePath, const PasswordSource& password) {
    const recipe::RecipeResult loaded = recipe::loadRecipe(QString::fromStdString(recipePath));
    if (!loaded.recipe)
        return refusing(loaded.error.toStdString(), "correct the recipe, then start again");
    const std::optional<std::string> given = password();
    if (!given || !identity::isLevel1Password(*given))
        return refusing("the level-1 password is missing or wrong; nothing was sent",
                        "start again and give the level-1 password (or set TESSRA_PASSWORD)");
    return {station::serialPrinters(),
            station::recipeWork({*loaded.recipe, ledger::resolveLedgerLocation(),
                                 ledger::defaultStation(), *given})};
}

}  // namespace tessra::stationapp
