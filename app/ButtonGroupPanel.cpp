#include "app/ButtonGroupPanel.h"

#include <QAbstractButton>

namespace tessra::app {

std::optional<int> ButtonGroupPanel::selected(settings::Group g) const {
    const int id = group(g)->checkedId();
    if (id == -1) return std::nullopt;
    return id;
}

void ButtonGroupPanel::select(settings::Group g, int memberIndex) {
    if (QAbstractButton* b = group(g)->button(memberIndex)) b->setChecked(true);
}

}  // namespace tessra::app
