#pragma once

#include <chrono>

namespace tessra::timing {

using namespace std::chrono_literals;

// Every wait of the printer link, in one place.
inline constexpr std::chrono::milliseconds kDsrWait = 1000ms;
// Quiet time after every command, so the printer can act before the next.
inline constexpr std::chrono::milliseconds kPause = 200ms;
// Longest sleep between two checks of the DSR line; the window handles its
// events in every pass.
inline constexpr std::chrono::milliseconds kPollSlice = 10ms;
// Longest pass of a wait that only repaints (reply waits, the pause): the
// window repaints at least this often. A reply wait sleeps in the kernel on
// the port, so the reply ends it as soon as it arrives, whatever this slice.
inline constexpr std::chrono::milliseconds kRepaintSlice = 50ms;
// Each speed and parity of the automatic read gets this long to answer.
inline constexpr std::chrono::milliseconds kAutoReadAttempt = 300ms;
inline constexpr std::chrono::milliseconds kManualRead = 2000ms;
// How long the MAC and customer code reads wait for their reply.
inline constexpr std::chrono::milliseconds kReplyWait = 5000ms;

inline double toSeconds(std::chrono::milliseconds d) {
    return static_cast<double>(d.count()) / 1000.0;
}

// The next pass of a wait that ends at `end`: the slice, or less when the end
// is nearer, so that the wait keeps its length. At least 1 ms, so that a pass
// always moves past an end it has reached.
inline std::chrono::milliseconds sliceBefore(double now, double end,
                                             std::chrono::milliseconds slice) {
    const double left = (end - now) * 1000.0;
    if (left >= static_cast<double>(slice.count())) return slice;
    if (left < 0.0) return 1ms;
    return std::chrono::milliseconds(static_cast<long long>(left) + 1);
}

}  // namespace tessra::timing
