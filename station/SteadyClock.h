#pragma once

#include <chrono>
#include <thread>

#include "link/Clock.h"

namespace tessra::station {

// The station's clock without Qt: each slot thread sleeps in the kernel.
class SteadyClock final : public Clock {
public:
    double nowSeconds() override {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }
    void sleep(std::chrono::milliseconds duration) override {
        std::this_thread::sleep_for(duration);
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace tessra::station
