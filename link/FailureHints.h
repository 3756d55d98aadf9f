#pragma once

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "link/FoundPort.h"
#include "link/PortFailure.h"

namespace tessra {

// A process that has a device open.
struct DeviceHolder {
    int pid = 0;
    std::string command;
    bool operator==(const DeviceHolder&) const = default;
};

// The processes in a /proc tree that hold the device (also when it was named
// through a symlink), by pid. Processes whose descriptors cannot be read are missed.
std::vector<DeviceHolder> holdersOf(const std::filesystem::path& procRoot,
                                    const std::string& device);

// The name of the group that owns the device; empty when unknown.
std::string deviceGroup(const std::string& device);

// Where the advice finds its facts about the system.
struct HintSources {
    std::filesystem::path procRoot = "/proc";
    std::function<std::string(const std::string& device)> groupOf = deviceGroup;
    // Where the user names another port, after "choose it" / "Choose one".
    std::string chooseIn = "in Tools > Ports...";
};

// What the user can do about a failure on the device; empty when there is no advice.
std::string failureHint(PortFailure kind, const std::string& device,
                        const std::vector<FoundPort>& found, const HintSources& sources = {});

// Passes on the first text of each kind of failure in a run, for a log such
// as the traffic view. Nothing counts as passed on while nothing is connected.
class FirstHints {
public:
    using Sink = std::function<void(const std::string&)>;
    void connect(Sink sink) { sink_ = std::move(sink); }
    void offer(PortFailure kind, const std::string& text);

private:
    Sink sink_;
    std::set<PortFailure> passedOn_;
};

}  // namespace tessra
