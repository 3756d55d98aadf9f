#pragma once

#include <signal.h>

#include <functional>
#include <thread>

namespace tessra::station {

// Turns SIGINT and SIGTERM into a call of onStop on a thread of its own, so
// that a face can stop its station in an orderly way, whichever thread the
// signal lands on. The watcher sleeps in the kernel on a pipe that the
// handler writes. Each signal calls onStop again; the previous handlers come
// back when the object goes.
class StopSignals {
public:
    explicit StopSignals(std::function<void(int signal)> onStop);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    std::function<void(int)> onStop_;
    struct sigaction previousInt_ {};
    struct sigaction previousTerm_ {};
    std::thread watcher_;
};

}  // namespace tessra::station
