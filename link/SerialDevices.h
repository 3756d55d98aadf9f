#pragma once

#include <string>
#include <vector>

#include "link/FoundPort.h"

namespace tessra {

// A serial device of this machine as the kernel and udev name it.
struct SerialDevice {
    FoundPort port;                   // "/dev/ttyUSB0", product, manufacturer, serial
    std::string driver;               // "ftdi_sio", "cp210x", "serial8250"
    std::string usbId;                // "0403:6001"; empty for a built-in port
    std::vector<std::string> byId;    // /dev/serial/by-id/...: follows the adapter
    std::vector<std::string> byPath;  // /dev/serial/by-path/...: follows the USB socket
};

// The serial devices under root ("/" on a running system; a test points it
// at a fake tree): every entry of sys/class/tty backed by a device, except a
// built-in UART slot with no chip behind it (its "type" reads 0), with the
// udev names under dev/serial that lead to it. Sorted by device.
std::vector<SerialDevice> serialDevices(const std::string& root = "/");

// Whether name (as a user maps a port: a node or a symlink, absolute) reaches
// the device, looked up under root.
bool reaches(const std::string& name, const SerialDevice& device, const std::string& root = "/");

}  // namespace tessra
