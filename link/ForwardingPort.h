#pragma once

#include "link/SerialPort.h"

namespace tessra {

// A serial port that hands every call to another one. Decorators (the
// traffic log, the command line's trace) derive from it and override only
// the calls they watch, so a new call of the seam is passed on in one place.
class ForwardingPort : public SerialPort {
public:
    explicit ForwardingPort(SerialPort& inner) : inner_(inner) {}

    bool open(int portNumber) override { return inner_.open(portNumber); }
    void close() override { inner_.close(); }
    bool isOpen() const override { return inner_.isOpen(); }
    bool setSettings(std::string_view settings) override { return inner_.setSettings(settings); }
    std::string settings() const override { return inner_.settings(); }
    void setBinaryMode() override { inner_.setBinaryMode(); }
    bool write(std::span<const std::uint8_t> bytes) override { return inner_.write(bytes); }
    int bytesWaiting() override { return inner_.bytesWaiting(); }
    Bytes readAll() override { return inner_.readAll(); }
    bool dsr() override { return inner_.dsr(); }
    void waitForInput(std::chrono::milliseconds limit) override { inner_.waitForInput(limit); }
    std::string lastError() const override { return inner_.lastError(); }
    PortFailure lastFailure() const override { return inner_.lastFailure(); }
    std::vector<FoundPort> foundPorts() const override { return inner_.foundPorts(); }
    std::string deviceName(int portNumber) const override { return inner_.deviceName(portNumber); }

protected:
    SerialPort& inner() { return inner_; }

private:
    SerialPort& inner_;
};

}  // namespace tessra
