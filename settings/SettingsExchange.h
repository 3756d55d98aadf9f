#pragma once

#include <optional>
#include <string_view>

#include "link/PrinterLink.h"
#include "settings/OptionPanel.h"
#include "settings/PrinterSearch.h"
#include "settings/SettingsBlock.h"

namespace tessra {

inline constexpr int kRuleLength = 42;

// Members of the Opt_read group.
inline constexpr int kManualReadMember = 0;
inline constexpr int kAutoReadMember = 1;

// Transaction kinds.
inline constexpr int kReadSettings = 0;
inline constexpr int kWriteSettings = 1;

// What the settings exchange needs of the window.
struct SettingsContext {
    PrinterLink& link;  // port, clock, operator and the line combos
    settings::OptionPanel& options;
    settings::Block& Setting_Block;
    bool& mblnReady;
    std::optional<int> Opt_read;  // selected member, or none
};

// Reads the printer's settings into the option groups (mode 0) or writes them
// (mode 1); the printer prints the message as its confirmation. Runs only
// inside the link's runExclusive (outside it nothing is sent) and leaves
// mblnReady true on every path.
void Comm_Setting(SettingsContext& context, int mode, std::string_view message);

}  // namespace tessra
