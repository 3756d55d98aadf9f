#pragma once

#include <optional>
#include <string_view>

#include "printer/LinkPrinter.h"
#include "settings/OptionPanel.h"
#include "settings/SettingsBlock.h"

namespace tessra {

// Members of the read method group.
inline constexpr int kManualReadMember = 0;
inline constexpr int kAutoReadMember = 1;

// Transaction kinds.
inline constexpr int kReadSettings = 0;
inline constexpr int kWriteSettings = 1;

// What the settings transaction needs of the window.
struct SettingsContext {
    printer::LinkPrinter& printer;  // over the window's port, clock, boxes and line combos
    settings::OptionPanel& options;
    settings::Block& block;         // Setting_Block
    bool& ready;                    // mblnReady
    std::optional<int> readMethod;  // selected member, or none
};

// Reads the printer's settings into the option groups (mode 0) or writes them
// (mode 1); the printer prints the message as its confirmation. Runs as steps
// of the printer's inOneOperation and leaves ready true on every path.
void Comm_Setting(SettingsContext& context, int mode, std::string_view message);

}  // namespace tessra
