#pragma once

#include <csignal>
#include <functional>
#include <optional>
#include <string>

#include "sim/Engine.h"

namespace tessra::sim {

// The printer's end of a pseudo-terminal pair. The line is raw from the
// start (else the tty echoes and turns CR into LF), and the slave is held
// open by this side, never read, so that the master sees no hang-up each
// time the utility closes its port. Packet mode with EXTPROC wakes the
// master whenever the utility changes the line settings.
class Pty {
public:
    static std::optional<Pty> create(int bitsPerSecond, std::string* problem);
    Pty(Pty&& other) noexcept;
    Pty& operator=(Pty&&) = delete;
    Pty(const Pty&) = delete;
    ~Pty();

    const std::string& path() const { return path_; }
    int master() const { return master_; }

    // The speed the utility has set on its side, 0 for one the printer cannot have.
    int lineSpeed() const;
    void setLineSpeed(int bitsPerSecond);
    // QSerialPort marks the line exclusive while open; a crashed opener leaves it so.
    bool exclusive() const;
    void clearExclusive();

private:
    Pty() = default;
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

struct LoopHooks {
    std::function<void(const std::string&)> line;  // one transcript line
    std::function<void()> stateChanged;
};

// Serves the utility until *stop is set by a signal; signals must be blocked
// outside the loop and are let through only while it waits (ppoll).
// Returns 0, or 1 on a fatal error of the terminal.
int runLoop(Pty& pty, Engine& engine, int replyDelayMs, const LoopHooks& hooks,
            const volatile std::sig_atomic_t* stop, const sigset_t& waitMask);

}  // namespace tessra::sim
