#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace tessra::station {

// What a slot tells its faces. A fault is a port problem while no unit is
// under way (held by another program, adapter unplugged); it is told once
// each time the problem changes, so a slot that waits on it stays quiet, and
// once more, cleared, when the port works again.
enum class EventKind { Present, Step, Done, Failed, Gone, Stopped, Fault };

struct Event {
    std::chrono::system_clock::time_point time;
    std::string slot;  // the port as the user named it
    EventKind kind = EventKind::Present;
    std::string step;                 // Step: the step that begins
    std::string mac;                  // Done; Failed when an address was written
    std::optional<int> customerCode;  // Done
    std::string reason;               // Failed, Gone, Fault
    std::string hint;                 // Failed, Fault: what the operator can do
    std::optional<double> seconds;    // Done, Failed: time since the unit was present
    bool cleared = false;             // Fault: the port works again
};

std::string_view eventName(EventKind kind);

}  // namespace tessra::station
