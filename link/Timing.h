#pragma once

#include <chrono>

namespace tessra::timing {

using namespace std::chrono_literals;

// Every wait of the printer link, in one place.
inline constexpr std::chrono::milliseconds kDsrWait = 1000ms;
// Quiet time after every command, so the printer can act before the next.
inline constexpr std::chrono::milliseconds kPause = 200ms;
// Longest sleep between two checks of a wait.
inline constexpr std::chrono::milliseconds kPollSlice = 10ms;
// Each speed and parity of the automatic read gets this long to answer.
inline constexpr std::chrono::milliseconds kAutoReadAttempt = 300ms;
inline constexpr std::chrono::milliseconds kManualRead = 2000ms;
// How long the MAC and customer code reads wait for their reply.
inline constexpr std::chrono::milliseconds kReplyWait = 5000ms;

inline double toSeconds(std::chrono::milliseconds d) {
    return static_cast<double>(d.count()) / 1000.0;
}

}  // namespace tessra::timing
