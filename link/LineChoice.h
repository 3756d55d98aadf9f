#pragma once

#include <string>

namespace tessra {

// Interface frame of the window as the link sees it.
class LineChoice {
public:
    virtual ~LineChoice() = default;
    virtual int portIndex() const = 0;  // index in the port list, -1 for none
    virtual std::string speedText() const = 0;
    virtual int parityIndex() const = 0;  // index in the parity list, -1 for none
    // The automatic read shows the speed and parity the printer answered at.
    virtual void showDetected(int speedIndex, int parityIndex) = 0;
};

}  // namespace tessra
