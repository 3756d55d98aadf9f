#pragma once

#include <QButtonGroup>
#include <array>

#include "settings/OptionPanel.h"

namespace tessra::app {

// The thirteen settings groups as exclusive button groups whose ids are the
// member indexes.
class ButtonGroupPanel final : public settings::OptionPanel {
public:
    using Groups = std::array<QButtonGroup*, settings::kGroupCount>;
    explicit ButtonGroupPanel(const Groups& groups) : groups_(groups) {}

    std::optional<int> selected(settings::Group group) const override;
    // Checking a member raises the group's toggled signal as a click does.
    void select(settings::Group group, int memberIndex) override;

    QButtonGroup* group(settings::Group group) const { return groups_[static_cast<int>(group)]; }

private:
    Groups groups_;
};

}  // namespace tessra::app
