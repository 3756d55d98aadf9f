#pragma once

#include <string>

#include "link/LineChoice.h"
#include "link/LineSettings.h"

namespace tessra::testing {

class FakeLineChoice final : public LineChoice {
public:
    int port = 0;
    std::string speed = "9600";
    int parity = 0;
    int detectedSpeed = -1;
    int detectedParity = -1;

    int portIndex() const override { return port; }
    std::string speedText() const override { return speed; }
    int parityIndex() const override { return parity; }
    void showDetected(int speedIndex, int parityIndex) override {
        detectedSpeed = speedIndex;
        detectedParity = parityIndex;
        speed = std::string(kSpeedTexts[static_cast<std::size_t>(speedIndex)]);
        parity = parityIndex;
    }
};

}  // namespace tessra::testing
