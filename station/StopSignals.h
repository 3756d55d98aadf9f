#pragma once

#include <signal.h>

#include <atomic>
#include <functional>
#include <thread>

namespace tessra::station {

// Turns SIGINT and SIGTERM into a call of onStop on a thread of its own, so
// that a face can stop its station in an orderly way. Make it before any
// other thread: the signals are blocked in the threads started after it and
// waited for here, in the kernel. Each signal calls onStop again.
class StopSignals {
public:
    explicit StopSignals(std::function<void(int signal)> onStop);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    std::function<void(int)> onStop_;
    sigset_t watched_{};
    sigset_t previous_{};
    std::atomic<bool> leaving_{false};
    std::thread watcher_;
};

}  // namespace tessra::station
