#pragma once

#include <memory>
#include <string>

#include "link/DeviceIdentity.h"

namespace tessra {

// A run's hold on one device for as long as the object lives: from its first
// exchange with the printer to its last ledger record, not one port opening
// at a time. Two runs on one device, under whatever names, would otherwise
// take turns between openings and settle each other's unit. An flock on a
// file named by the device's key, so that the kernel lets go when the run
// ends, however it ends.
class DeviceLock {
public:
    ~DeviceLock();
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

    // Takes the device at once, or gives nothing and says who holds it.
    static std::unique_ptr<DeviceLock> take(const DeviceIdentity& device, std::string& refusal);

    // Where the lock files are: /run/lock when it can be written, else /tmp.
    static std::string folder();

private:
    explicit DeviceLock(int fd) : fd_(fd) {}
    int fd_;
};

}  // namespace tessra
