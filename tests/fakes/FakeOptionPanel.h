#pragma once

#include <utility>
#include <vector>

#include "settings/OptionPanel.h"

namespace tessra::testing {

// Option groups that remember their selection and every select call.
class FakeOptionPanel final : public settings::OptionPanel {
public:
    settings::Selections current{};
    std::vector<std::pair<settings::Group, int>> selectCalls;

    std::optional<int> selected(settings::Group group) const override {
        return current[static_cast<std::size_t>(group)];
    }
    void select(settings::Group group, int memberIndex) override {
        selectCalls.emplace_back(group, memberIndex);
        current[static_cast<std::size_t>(group)] = memberIndex;
    }
};

// The window's start-up selections: member 0 everywhere, "Actual USB" for USB.
inline settings::Selections startupSelections() {
    settings::Selections s;
    s.fill(0);
    s[static_cast<std::size_t>(settings::Group::UsbMode)] = 1;
    return s;
}

}  // namespace tessra::testing
