#pragma once

#include <QFrame>
#include <optional>

#include "station/SlotView.h"

class QLabel;

namespace tessra::stationapp {

// One slot, large enough to read from a step away. The colour follows the
// state, which is also given in words; the tile takes keyboard focus and
// tells a screen reader its port and state.
class SlotTile final : public QFrame {
public:
    explicit SlotTile(const std::string& port, QWidget* parent = nullptr);

    void follow(const station::Event& event);
    // Brings the elapsed time up to date.
    void refresh();
    const station::SlotView& view() const { return view_; }

private:
    station::SlotView view_;
    std::optional<station::SlotState> shownState_;  // the colour on the tile
    QLabel* port_;
    QLabel* state_;
    QLabel* unit_;
    QLabel* elapsed_;
    QLabel* failure_;
};

}  // namespace tessra::stationapp
