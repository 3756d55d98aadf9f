#pragma once

#include "station/Event.h"

namespace tessra::station {

// Finished units of a run, as every face counts them.
struct Counters {
    int done = 0;
    int failed = 0;

    void count(const Event& event) {
        if (event.kind == EventKind::Done) ++done;
        if (event.kind == EventKind::Failed) ++failed;
    }
    int finished() const { return done + failed; }
    // Over the run's elapsed time; none before the first second.
    double unitsPerHour(double elapsedSeconds) const {
        return elapsedSeconds < 1.0 ? 0.0 : finished() * 3600.0 / elapsedSeconds;
    }
    // 0 when every finished unit was done, 1 when any failed.
    int exitStatus() const { return failed > 0 ? 1 : 0; }
};

}  // namespace tessra::station
