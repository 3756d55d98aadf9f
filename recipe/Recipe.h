#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "ledger/MacText.h"
#include "settings/SettingsBlock.h"

namespace tessra::recipe {

// A recipe: what every unit of a production line leaves with.
//
//   tessra-recipe 1
//   name = line-7
//   settings = line-7.tessra       # a settings file, relative to the recipe
//   mac-range = 0A:5C:3E:00:10:00-0A:5C:3E:00:1F:FF
//   customer-code = 42
//   wireless = wifi-station        # optional: the run name of a wireless mode
//   receipt = yes                  # optional, default yes
//   factory-mac = 0A:5C:3E:00:00:01  # optional: what the line's printers carry
//                                    # from the factory (a comma list, or again)
//
// One "key = value" per line, each key once but factory-mac; # starts a
// comment, also after a value; blank lines anywhere after the first. Keys
// ignore case.
inline constexpr char kRecipeVersionLine[] = "tessra-recipe 1";

struct Recipe {
    QString name;
    QString settingsPath;  // as resolved against the recipe's folder
    settings::Block block{};
    ledger::MacRange macRange;
    int customerCode = 0;  // 1..255
    QString wireless;      // empty: leave the wireless module alone
    bool receipt = true;
    QList<ledger::Mac> factoryMacs;  // in address order, each once
    // The recipe as the ledger, the events and the receipt name it: the
    // canonical text (the settings file replaced by its block) and its
    // SHA-256 in lower-case hex.
    QString canonical;
    QString hash;
    QString shortHash() const { return hash.left(8); }
};

struct RecipeResult {
    std::optional<Recipe> recipe;
    QString error;      // "FILE:LINE: message" (or "FILE: message"); empty on success
    QStringList notes;  // told to the user even on success, e.g. from the settings file
};

// Reads the recipe and its settings file; everything is checked before
// anything may be sent to a printer.
RecipeResult loadRecipe(const QString& path);

// The recipe text as read from `path` (which names it in errors and
// anchors the settings file).
RecipeResult parseRecipe(std::string_view text, const QString& path);

// The canonical text of a recipe's parts, one key a line in a fixed order.
QString canonicalRecipe(const Recipe& recipe);

}  // namespace tessra::recipe
