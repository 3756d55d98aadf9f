#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/FoundPort.h"
#include "link/PortFailure.h"

namespace tessra {

using Bytes = std::vector<std::uint8_t>;

// The one serial port of the utility, in the shape the printer link needs:
// numbered ports (1 = COM1), a settings string such as "9600,e,8,1" that is
// kept and applied at the next open, and a DSR input line.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens the numbered port with the settings last given. On failure the
    // port stays closed and lastError() says why (with the device path).
    virtual bool open(int portNumber) = 0;
    // Closes the port after every queued byte has gone out.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Keeps the settings for the next open; false (and nothing kept) when the
    // text is not of the form speed,parity letter,data bits,stop bits.
    virtual bool setSettings(std::string_view settings) = 0;
    virtual std::string settings() const = 0;
    virtual void setBinaryMode() = 0;

    // Writes and waits until the bytes have left; false when the write failed.
    virtual bool write(std::span<const std::uint8_t> bytes) = 0;
    // Received bytes not yet read. May block for a short slice while it pulls
    // from the device, never longer than a few milliseconds.
    virtual int bytesWaiting() = 0;
    // Sleeps until further bytes arrive or the limit has passed, whichever
    // comes first; returns at once when the port is closed.
    virtual void waitForInput(std::chrono::milliseconds limit) = 0;
    virtual Bytes readAll() = 0;
    virtual bool dsr() = 0;

    virtual std::string lastError() const = 0;
    // The kind of the last failure, for advice on what to do about it.
    virtual PortFailure lastFailure() const = 0;
    // The serial ports this machine has now (a pseudo-terminal is not among them).
    virtual std::vector<FoundPort> foundPorts() const = 0;
    // The device that a port number maps to, for messages and tool tips.
    virtual std::string deviceName(int portNumber) const = 0;
};

}  // namespace tessra
