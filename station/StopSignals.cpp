#include "station/StopSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace tessra::station {

namespace {

// One process has one set of handlers, so one pipe serves it.
int gPipe[2] = {-1, -1};
constexpr unsigned char kLeave = 0;

void onSignal(int signal) {
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t n = ::write(gPipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

StopSignals::StopSignals(std::function<void(int)> onStop) : onStop_(std::move(onStop)) {
    if (::pipe2(gPipe, O_CLOEXEC) != 0) return;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &previousInt_);
    sigaction(SIGTERM, &action, &previousTerm_);
    watcher_ = std::thread([this] {
        unsigned char byte = 0;
        for (;;) {
            const ssize_t n = ::read(gPipe[0], &byte, 1);
            if (n < 0 && errno == EINTR) continue;
            if (n != 1 || byte == kLeave) return;
            onStop_(byte);
        }
    });
}

StopSignals::~StopSignals() {
    if (!watcher_.joinable()) return;
    sigaction(SIGINT, &previousInt_, nullptr);
    sigaction(SIGTERM, &previousTerm_, nullptr);
    [[maybe_unused]] const ssize_t n = ::write(gPipe[1], &kLeave, 1);
    watcher_.join();
    ::close(gPipe[0]);
    ::close(gPipe[1]);
    gPipe[0] = gPipe[1] = -1;
}

}  // namespace tessra::station
