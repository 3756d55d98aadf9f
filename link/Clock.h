#pragma once

#include <chrono>

namespace tessra {

// Elapsed time, never time of day: deadlines survive midnight.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double nowSeconds() = 0;
    virtual void sleep(std::chrono::milliseconds duration) = 0;
};

}  // namespace tessra
