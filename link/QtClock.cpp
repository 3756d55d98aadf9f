#include "link/QtClock.h"

#include <thread>

namespace tessra {

void QtClock::sleep(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

}  // namespace tessra
