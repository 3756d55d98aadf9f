#include "station/StopSignals.h"

#include <pthread.h>

#include <utility>

namespace tessra::station {

StopSignals::StopSignals(std::function<void(int)> onStop) : onStop_(std::move(onStop)) {
    sigemptyset(&watched_);
    for (const int s : {SIGINT, SIGTERM, SIGUSR1}) sigaddset(&watched_, s);
    pthread_sigmask(SIG_BLOCK, &watched_, &previous_);
    watcher_ = std::thread([this] {
        for (;;) {
            int signal = 0;
            if (sigwait(&watched_, &signal) != 0) continue;
            // SIGUSR1 is how the destructor wakes the watcher; from outside it means nothing.
            if (signal == SIGUSR1) {
                if (leaving_) return;
                continue;
            }
            onStop_(signal);
        }
    });
}

StopSignals::~StopSignals() {
    leaving_ = true;
    pthread_kill(watcher_.native_handle(), SIGUSR1);
    watcher_.join();
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

}  // namespace tessra::station
