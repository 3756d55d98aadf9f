#pragma once

#include <string>
#include <vector>

namespace tessra {

// A serial port that this machine has, as the system describes it.
struct FoundPort {
    std::string device;  // "/dev/ttyUSB0", "COM3"
    std::string description;
    std::string manufacturer;
    std::string serialNumber;
};

// Whether two names reach the same device (one may be a symlink to the other).
bool sameDevice(const std::string& a, const std::string& b);

// "device: description (manufacturer, serial number)", leaving out what is not known.
std::string describePort(const FoundPort& port);
// The found port that is this device (also through a symlink), described; else the device alone.
std::string describeDevice(const std::string& device, const std::vector<FoundPort>& found);

}  // namespace tessra
