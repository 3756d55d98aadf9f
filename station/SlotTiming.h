#pragma once

namespace tessra::station {

// The waits of a slot, in seconds.
struct SlotTiming {
    double probePause = 0.5;      // between two searches while no printer answers
    double faultPause = 1.0;      // between two tries at a port that cannot be opened
    double removalPoll = 0.5;     // between two checks that the finished unit is still there
    double removalSilence = 2.0;  // no answer this long means the unit has left
};

}  // namespace tessra::station
