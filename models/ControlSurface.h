#pragma once

#include <string_view>

namespace tessra::models {

// Controls of the window reached by their object names ("Command19",
// "Opt_PaperType_6", "Frame14").
class ControlSurface {
public:
    virtual ~ControlSurface() = default;
    virtual void setCaption(std::string_view control, std::string_view caption) = 0;
    virtual void setVisible(std::string_view control, bool visible) = 0;
    virtual void setEnabled(std::string_view control, bool enabled) = 0;
};

}  // namespace tessra::models
