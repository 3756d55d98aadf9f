#pragma once

#include <QSerialPort>
#include <map>
#include <string>

#include "link/PortMap.h"
#include "link/SerialPort.h"

namespace tessra {

// The serial ports that QSerialPortInfo finds on this machine.
std::vector<FoundPort> systemSerialPorts();

// SerialPort over QSerialPort. Port n is the device that useDevice() gave,
// else the one the port map gives (the environment, the Ports dialog's
// mapping, or the system's default).
//
// QSerialPort only fills its buffer inside an event loop or a waitFor call,
// only queues on write, drops the queue on close and keeps errors until
// cleared; every method here copes with that so that callers need not.
class QtSerialPort final : public SerialPort {
public:
    explicit QtSerialPort(PortMap map = PortMap());
    ~QtSerialPort() override;

    bool open(int portNumber) override;
    void close() override;
    bool isOpen() const override;

    bool setSettings(std::string_view settings) override;
    std::string settings() const override { return settings_; }
    void setBinaryMode() override {}  // QSerialPort is always binary

    bool write(std::span<const std::uint8_t> bytes) override;
    int bytesWaiting() override;
    void waitForInput(std::chrono::milliseconds limit) override;
    Bytes readAll() override;
    bool dsr() override;

    std::string lastError() const override { return lastError_; }
    PortFailure lastFailure() const override { return lastFailure_; }
    std::vector<FoundPort> foundPorts() const override { return systemSerialPorts(); }
    std::string deviceName(int portNumber) const override;
    const PortMap& portMap() const { return map_; }
    // The port opens this device from now on, e.g. a path from the command line.
    void useDevice(int portNumber, std::string device);

private:
    bool applySettings();
    void pullFromDevice();
    bool flush();
    void fail(const QString& what, PortFailure kind = PortFailure::Other);

    PortMap map_;
    QSerialPort port_;
    std::string settings_ = "9600,n,8,1";
    std::string lastError_;
    PortFailure lastFailure_ = PortFailure::None;
    bool pseudoTerminal_ = false;
    std::map<int, std::string> devices_;  // given by useDevice
};

}  // namespace tessra
