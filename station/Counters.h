#pragma once

#include <algorithm>
#include <chrono>
#include <deque>
#include <optional>

#include "station/Event.h"

namespace tessra::station {

// Finished units of a run, as every face counts them.
struct Counters {
    int done = 0;
    int failed = 0;
    // When the units of the last ten minutes finished (the events' times).
    std::deque<std::chrono::system_clock::time_point> recent;

    static constexpr std::chrono::minutes kRecent{10};

    void count(const Event& event) {
        if (event.kind == EventKind::Done) ++done;
        if (event.kind == EventKind::Failed) ++failed;
        if (event.kind != EventKind::Done && event.kind != EventKind::Failed) return;
        recent.push_back(event.time);
        while (event.time - recent.front() > kRecent) recent.pop_front();
    }
    int finished() const { return done + failed; }
    // Over the run's elapsed time; none before the first second.
    double unitsPerHour(double elapsedSeconds) const {
        return elapsedSeconds < 1.0 ? 0.0 : finished() * 3600.0 / elapsedSeconds;
    }
    // The rate the line keeps now: over the last ten minutes, or the run so
    // far when it is shorter. None before the second unit and the run's first
    // minute, when a few units read as thousands an hour.
    std::optional<double> recentUnitsPerHour(double elapsedSeconds,
                                             std::chrono::system_clock::time_point now) const {
        if (finished() < 2 || elapsedSeconds < 60.0) return std::nullopt;
        int units = 0;
        for (const auto at : recent) units += now - at <= kRecent ? 1 : 0;
        const double span = std::min(elapsedSeconds, 60.0 * kRecent.count());
        return units * 3600.0 / span;
    }
    // 0 when every finished unit was done, 1 when any failed.
    int exitStatus() const { return failed > 0 ? 1 : 0; }
};

}  // namespace tessra::station
