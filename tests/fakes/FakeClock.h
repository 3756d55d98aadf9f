#pragma once

#include <functional>

#include "link/Clock.h"

namespace tessra::testing {

// Time moves only when the code under test sleeps.
class FakeClock final : public Clock {
public:
    double now = 1000.0;
    double slept = 0.0;
    std::function<void(double now)> onSleep;

    double nowSeconds() override { return now; }
    void sleep(std::chrono::milliseconds d) override {
        const double s = static_cast<double>(d.count()) / 1000.0;
        now += s;
        slept += s;
        if (onSleep) onSleep(now);
    }
};

}  // namespace tessra::testing
