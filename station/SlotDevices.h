#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tessra::station {

// Two slots on one device would each read the other's replies and fail both
// units. The first two ports, in the order given, that reach one device (a
// symlink and its target, COMn and the device it maps to), in words:
// "COM3 and /dev/ttyUSB0 reach one device (/dev/ttyUSB0)". A port whose
// device is missing is left out: the slot tells that itself.
std::optional<std::string> slotsOnOneDevice(
    const std::vector<std::string>& ports,
    const std::function<std::string(int portNumber)>& comDevice);

}  // namespace tessra::station
