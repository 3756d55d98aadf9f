#pragma once

#include <QWidget>

#include "models/ControlSurface.h"

namespace tessra::app {

// The controls under a root widget, found by object name. A caption goes to
// whatever the widget shows as its text: button text, frame title, label or
// text box content.
class WidgetSurface final : public models::ControlSurface {
public:
    explicit WidgetSurface(QWidget& root) : root_(root) {}

    void setCaption(std::string_view control, std::string_view caption) override;
    void setVisible(std::string_view control, bool visible) override;
    void setEnabled(std::string_view control, bool enabled) override;

    // The named control; nullptr when the window has none of that name.
    QWidget* find(std::string_view control) const;

private:
    QWidget& root_;
};

}  // namespace tessra::app
