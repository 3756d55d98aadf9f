#pragma once

#include <string>
#include <vector>

#include "link/FoundPort.h"
#include "link/PortMap.h"

namespace tessra::stationapp {

struct PortChoice {
    std::string port;   // what the slot opens: a device path or "COMn"
    std::string label;  // what the chooser shows
};

// The serial devices by their stable names (/dev/serial/by-path and by-id)
// first, since those survive a replug into another socket; then the ports
// the system finds; then COM1 to COM10 where the port map leads to a device
// that exists.
std::vector<PortChoice> portChoices(const std::string& serialDir,
                                    const std::vector<FoundPort>& found, const PortMap& map);

}  // namespace tessra::stationapp
