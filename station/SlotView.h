#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "station/Event.h"

namespace tessra::station {

enum class SlotState { Waiting, Provisioning, Done, Failed, PortFault, Stopped };

// "empty: waiting for the next printer", "done, waiting for removal"...
std::string_view stateWords(SlotState state);

// What a face shows of one slot, kept up to date from its events: the unit
// on it now, and nothing of the units before it.
struct SlotView {
    std::string port;
    SlotState state = SlotState::Waiting;
    std::string step;  // while provisioning
    std::string mac;
    std::optional<int> customerCode;
    std::chrono::system_clock::time_point unitStart;
    std::optional<double> unitSeconds;  // once the unit has finished
    // Why the unit on the slot failed, or what is wrong with the port now;
    // an earlier unit's failure stays in the event list only.
    std::string failure;
    std::string hint;
    SlotState beforeFault = SlotState::Waiting;  // shown again once the port works

    void follow(const Event& event);
    // Seconds the unit has taken so far, or took; none while no unit is there.
    std::optional<double> elapsed(std::chrono::system_clock::time_point now) const;
    // The port and the state in words, for a screen reader.
    std::string description() const;
};

}  // namespace tessra::station
