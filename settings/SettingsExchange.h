#pragma once

#include <optional>
#include <string_view>

#include "link/PrinterLink.h"
#include "settings/OptionPanel.h"
#include "settings/PrinterSearch.h"
#include "settings/SettingsBlock.h"

namespace tessra {

inline constexpr int kRuleLength = 42;

// Members of the read method group.
inline constexpr int kManualReadMember = 0;
inline constexpr int kAutoReadMember = 1;

// Transaction kinds.
inline constexpr int kReadSettings = 0;
inline constexpr int kWriteSettings = 1;

// What the settings exchange needs of the window.
struct SettingsContext {
    PrinterLink& link;  // port, clock, operator and the line combos
    settings::OptionPanel& options;
    settings::Block& block;
    bool& ready;
    std::optional<int> readMethod;  // selected member, or none
};

// On the open port: the printed confirmation, then the block; waits for DSR,
// closes and pauses. False when a write failed (shown) or DSR did not come.
bool sendBlockOnOpenPort(PrinterLink& link, const settings::Block& block,
                         std::string_view confirmation);

// Reads the printer's settings into the option groups (mode 0) or writes them
// (mode 1); the printer prints the message as its confirmation. Runs only
// inside the link's runExclusive (outside it nothing is sent) and leaves
// ready true on every path.
void exchangeSettings(SettingsContext& context, int mode, std::string_view message);

}  // namespace tessra
