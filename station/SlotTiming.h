#pragma once

namespace tessra::station {

// The waits of a slot, in seconds. A look is one MAC read at one line.
struct SlotTiming {
    double lookWait = 0.3;        // one look's reply wait, as long as one try of the search
    double probePause = 0.1;      // between two looks at an empty slot
    int searchEvery = 2;          // every this many silent looks, one more line of the search
    double faultPause = 1.0;      // between two tries at a port that cannot be opened
    double removalPoll = 0.2;     // between two looks at the unit on the slot
    double removalSilence = 2.0;  // no answer this long means the unit has left
};

}  // namespace tessra::station
