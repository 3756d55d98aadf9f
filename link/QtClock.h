#pragma once

#include <QElapsedTimer>

#include "link/Clock.h"

namespace tessra {

class QtClock final : public Clock {
public:
    QtClock() { timer_.start(); }
    double nowSeconds() override { return static_cast<double>(timer_.nsecsElapsed()) / 1e9; }
    void sleep(std::chrono::milliseconds duration) override;

private:
    QElapsedTimer timer_;
};

}  // namespace tessra
