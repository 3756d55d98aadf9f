#pragma once

namespace tessra::sim {

// The speed the utility's bytes were sent at. After the utility's close the
// line shows the settings it found at open, not the ones it sent at, so the
// speed is sampled while the utility holds the line.
class SessionSpeed {
public:
    // The line settings changed to `current` bits per second.
    void settingsChanged(bool held, int current) {
        if (held) speed_ = current;
    }
    // The speed to judge bytes read now at. Bytes read after the close end
    // the session they were sent in.
    int bytesRead(bool held, int current) {
        const int speed = held ? current : (speed_ != 0 ? speed_ : current);
        speed_ = held ? current : 0;
        return speed;
    }

private:
    int speed_ = 0;  // last seen while the utility held the line; 0 for none
};

}  // namespace tessra::sim
