#pragma once

#include <functional>
#include <string>

#include "link/Clock.h"
#include "link/SerialPort.h"

namespace tessra::cli {

// Passes everything to the real port and tells every byte sent and
// received, with the milliseconds since the start and the line settings:
//   "  412 ms 9600,n,8,1 > 1B 40"   "  431 ms 9600,n,8,1 < 00 02 01 00"
class TracePort final : public SerialPort {
public:
    using Sink = std::function<void(const std::string& line)>;
    TracePort(SerialPort& port, Clock& clock, Sink sink);

    bool open(int portNumber) override;
    void close() override;
    bool isOpen() const override { return port_.isOpen(); }
    bool setSettings(std::string_view settings) override { return port_.setSettings(settings); }
    std::string settings() const override { return port_.settings(); }
    void setBinaryMode() override { port_.setBinaryMode(); }
    bool write(std::span<const std::uint8_t> bytes) override;
    int bytesWaiting() override { return port_.bytesWaiting(); }
    Bytes readAll() override;
    bool dsr() override { return port_.dsr(); }
    void waitForInput(std::chrono::milliseconds limit) override { port_.waitForInput(limit); }
    std::string lastError() const override { return port_.lastError(); }
    PortFailure lastFailure() const override { return port_.lastFailure(); }
    std::vector<FoundPort> foundPorts() const override { return port_.foundPorts(); }
    std::string deviceName(int portNumber) const override { return port_.deviceName(portNumber); }

private:
    void tell(std::string_view what);

    SerialPort& port_;
    Clock& clock_;
    Sink sink_;
    double start_;
};

}  // namespace tessra::cli
