#pragma once

#include <string_view>

namespace tessra::app {

// The MAC address rows of the window as the handlers see them.
class MacView {
public:
    virtual ~MacView() = default;
    // Text4 to Text12 by number (4 for Text4). Writing Text4 to Text6 raises
    // their change handlers, as the window's own text change does.
    virtual void setText(int textBox, std::string_view text) = 0;
    // VScroll1 to VScroll3 by number. A value that differs from the current
    // one raises VScrollN_Change, as a click on the spinner does.
    virtual void setSpinner(int spinner, int value) = 0;
    // Check1, "Auto Increment".
    virtual bool autoIncrementChecked() const = 0;
    virtual void setAutoIncrementEnabled(bool enabled) = 0;
};

}  // namespace tessra::app
