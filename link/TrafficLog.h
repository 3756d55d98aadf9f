#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "link/Clock.h"

namespace tessra {

inline constexpr std::size_t kTrafficLineLimit = 10'000;

// The port traffic as text lines, each stamped with the time since the log
// started. Keeps the newest lines up to a limit and counts the older ones it
// dropped, so memory stays bounded however long the program runs.
class TrafficLog {
public:
    explicit TrafficLog(Clock& clock, std::size_t limit = kTrafficLineLimit);

    // Seconds since the log started.
    double elapsedSeconds();

    // One stamped line.
    void add(std::string_view text);
    // A free-form line from elsewhere in the program, such as a hint about a
    // port failure.
    void note(std::string_view text);

    // Forgets every line and the dropped count.
    void clear();

    const std::deque<std::string>& lines() const { return lines_; }
    std::size_t dropped() const { return dropped_; }
    std::size_t limit() const { return limit_; }

    // For a reader that shows the lines as they come: the count of lines
    // ever added is its cursor. Returns the kept lines added after the
    // cursor and moves the cursor past them.
    std::vector<std::string> takeNew(std::uint64_t& cursor) const;

private:
    Clock& clock_;
    const double start_;
    const std::size_t limit_;
    std::deque<std::string> lines_;
    std::size_t dropped_ = 0;
    std::uint64_t added_ = 0;  // never reset, so cursors stay valid over a clear
};

}  // namespace tessra
