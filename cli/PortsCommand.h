#pragma once

#include <string>
#include <vector>

#include "cli/ExitCode.h"
#include "cli/Report.h"
#include "link/PortMap.h"
#include "link/SerialDevices.h"

namespace tessra::cli {

struct ToolContext;

// tessra-cli ports: the serial devices of this machine, their stable udev
// names, and which of COM1 to COM10 opens each and why. Touches no port.
ExitCode listPorts(ToolContext& c);

// The listing itself, for the devices found under root and the map given.
ExitCode reportPorts(Report& report, const std::vector<SerialDevice>& devices, const PortMap& map,
                     const std::string& root = "/");

}  // namespace tessra::cli
