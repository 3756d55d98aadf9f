#pragma once

#include <array>
#include <optional>

#include "settings/OptionTables.h"

namespace tessra::settings {

// One selected member index per group, or none.
using Selections = std::array<std::optional<int>, kGroupCount>;

// The thirteen option groups of the window, as the codec sees them.
class OptionPanel {
public:
    virtual ~OptionPanel() = default;
    virtual std::optional<int> selected(Group group) const = 0;
    // Selects the member with that index; selecting the selected one does nothing.
    virtual void select(Group group, int memberIndex) = 0;
};

inline Selections currentSelections(const OptionPanel& panel) {
    Selections s;
    for (const OptionGroup& g : kOptionGroups)
        s[static_cast<int>(g.group)] = panel.selected(g.group);
    return s;
}

}  // namespace tessra::settings
