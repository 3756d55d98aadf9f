#pragma once

#include <optional>
#include <string>

namespace tessra {

// What a device name reaches, read from the file system rather than guessed
// from the name: a symlink under /dev/serial/by-path and /dev/ttyUSB0 are one
// device, and COM1 on two hosts or under two mappings may be two.
struct DeviceIdentity {
    std::string path;             // the resolved path, every symlink followed
    unsigned long long number{};  // the device number (st_rdev) of a character device, else 0
    bool operator==(const DeviceIdentity&) const = default;

    // The key that names the device for as long as it stays plugged in: the
    // device number where there is one (a pseudo-terminal, a tty), else the path.
    std::string key() const;
};

// Empty when the name reaches nothing (a missing file or a dangling link).
std::optional<DeviceIdentity> identifyDevice(const std::string& name);

// True when both names reach one and the same device.
bool sameDevice(const DeviceIdentity& a, const DeviceIdentity& b);

}  // namespace tessra
