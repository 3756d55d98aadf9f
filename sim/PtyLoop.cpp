#include "sim/PtyLoop.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <thread>
#include <utility>
#include <vector>

#include "sim/SessionSpeed.h"

namespace tessra::sim {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Quiet time after which held-back transcript lines are written and the line
// is tidied up for the next opener.
constexpr auto kIdle = 150ms;

struct SpeedCode {
    speed_t code;
    int bitsPerSecond;
};
constexpr std::array<SpeedCode, 9> kSpeeds{{{B1200, 1200},
                                            {B2400, 2400},
                                            {B4800, 4800},
                                            {B9600, 9600},
                                            {B19200, 19200},
                                            {B38400, 38400},
                                            {B57600, 57600},
                                            {B115200, 115200},
                                            {B230400, 230400}}};

speed_t toCode(int bitsPerSecond) {
    for (const SpeedCode& s : kSpeeds) {
        if (s.bitsPerSecond == bitsPerSecond) return s.code;
    }
    return B9600;
}

std::string systemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

std::optional<Pty> Pty::create(int bitsPerSecond, std::string* problem) {
    Pty pty;
    pty.master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (pty.master_ < 0 || ::grantpt(pty.master_) != 0 || ::unlockpt(pty.master_) != 0) {
        *problem = systemError("cannot create a pseudo-terminal");
        return std::nullopt;
    }
    termios t{};
    ::tcgetattr(pty.master_, &t);
    ::cfmakeraw(&t);
    t.c_lflag |= EXTPROC;  // with packet mode: report every change of the line settings
    ::cfsetispeed(&t, toCode(bitsPerSecond));
    ::cfsetospeed(&t, toCode(bitsPerSecond));
    int on = 1;
    if (::tcsetattr(pty.master_, TCSANOW, &t) != 0 || ::ioctl(pty.master_, TIOCPKT, &on) != 0) {
        *problem = systemError("cannot set up the pseudo-terminal");
        return std::nullopt;
    }
    const char* name = ::ptsname(pty.master_);
    if (name == nullptr) {
        *problem = systemError("cannot name the pseudo-terminal");
        return std::nullopt;
    }
    pty.path_ = name;
    pty.slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (pty.slave_ < 0) {
        *problem = systemError("cannot open the pseudo-terminal's slave");
        return std::nullopt;
    }
    return std::optional<Pty>(std::move(pty));
}

Pty::Pty(Pty&& other) noexcept
    : master_(std::exchange(other.master_, -1)),
      slave_(std::exchange(other.slave_, -1)),
      path_(std::move(other.path_)) {}

Pty::~Pty() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
}

int Pty::lineSpeed() const {
    termios t{};
    if (::tcgetattr(master_, &t) != 0) return 0;
    const speed_t code = ::cfgetospeed(&t);
    for (const SpeedCode& s : kSpeeds) {
        if (s.code == code) return s.bitsPerSecond;
    }
    return 0;
}

void Pty::setLineSpeed(int bitsPerSecond) {
    termios t{};
    if (::tcgetattr(master_, &t) != 0) return;
    ::cfsetispeed(&t, toCode(bitsPerSecond));
    ::cfsetospeed(&t, toCode(bitsPerSecond));
    ::tcsetattr(master_, TCSANOW, &t);
}

bool Pty::exclusive() const {
    int locked = 0;
    return ::ioctl(slave_, TIOCGEXCL, &locked) == 0 && locked != 0;
}

void Pty::clearExclusive() {
    ::ioctl(slave_, TIOCNXCL);
}

int runLoop(Pty& pty, Engine& engine, int replyDelayMs, const LoopHooks& hooks,
            const volatile std::sig_atomic_t* stop, const sigset_t& waitMask) {
    struct Reply {
        Clock::time_point due;
        std::vector<std::uint8_t> bytes;
    };
    std::deque<Reply> replies;
    SessionSpeed sessionSpeed;
    std::optional<Clock::time_point> idleAt;
    std::uint64_t savedRevision = engine.revision();

    auto handle = [&](const Output& out) {
        for (const std::string& line : out.lines) hooks.line(line);
        if (!out.reply.empty()) {
            replies.push_back({Clock::now() + std::chrono::milliseconds(replyDelayMs), out.reply});
        }
        if (engine.revision() != savedRevision) {
            savedRevision = engine.revision();
            hooks.stateChanged();
        }
    };

    std::array<std::uint8_t, 4096> buffer{};
    while (!*stop) {
        const auto now = Clock::now();
        std::optional<Clock::time_point> wake = idleAt;
        if (!replies.empty() && (!wake || replies.front().due < *wake)) wake = replies.front().due;
        timespec timeout{};
        if (wake) {
            const auto wait = std::max(Clock::duration::zero(), *wake - now);
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
            timeout.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
            timeout.tv_nsec = static_cast<long>(ns % 1'000'000'000);
        }
        pollfd pfd{pty.master(), POLLIN, 0};
        const int ready = ::ppoll(&pfd, 1, wake ? &timeout : nullptr, &waitMask);
        if (ready < 0 && errno != EINTR) return 1;

        if (ready > 0 && (pfd.revents & POLLIN)) {
            const ssize_t n = ::read(pty.master(), buffer.data(), buffer.size());
            if (n > 0) {
                idleAt = Clock::now() + kIdle;
                const bool held = pty.exclusive();
                const int current = pty.lineSpeed();
                if (buffer[0] != TIOCPKT_DATA) {
                    sessionSpeed.settingsChanged(held, current);
                } else if (n > 1) {
                    handle(
                        engine.feed(std::span(buffer.data() + 1, static_cast<std::size_t>(n - 1)),
                                    sessionSpeed.bytesRead(held, current)));
                }
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                std::this_thread::sleep_for(50ms);  // never spin on a broken line
            }
        } else if (ready > 0 && (pfd.revents & (POLLHUP | POLLERR))) {
            std::this_thread::sleep_for(50ms);
        }

        while (!replies.empty() && replies.front().due <= Clock::now()) {
            const auto& bytes = replies.front().bytes;
            // A full queue (nobody reading) drops the reply, as a line would.
            if (::write(pty.master(), bytes.data(), bytes.size()) < 0 && errno == EINTR) continue;
            replies.pop_front();
        }

        if (idleAt && Clock::now() >= *idleAt) {
            idleAt.reset();
            handle(engine.flush());
            if (pty.exclusive()) {
                pty.clearExclusive();
                idleAt = Clock::now() + kIdle;  // set the speed once nobody holds the line
            } else if (pty.lineSpeed() != engine.speed()) {
                // Next opener finds the printer's speed; it is what QSerialPort
                // restores on close, so late-read bytes of a right-speed command
                // are never refused.
                pty.setLineSpeed(engine.speed());
            }
        }
    }
    return 0;
}

}  // namespace tessra::sim
