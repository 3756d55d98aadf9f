#pragma once

#include <QSerialPort>
#include <string>

#include "link/SerialPort.h"

namespace tessra {

// SerialPort over QSerialPort. Port n is "COMn" on Windows and /dev/ttyS(n-1)
// elsewhere, unless the environment variable TESSRA_COM<n> names a device.
//
// QSerialPort only fills its buffer inside an event loop or a waitFor call,
// only queues on write, drops the queue on close and keeps errors until
// cleared; every method here copes with that so that callers need not.
class QtSerialPort final : public SerialPort {
public:
    QtSerialPort();
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
    std::string deviceName(int portNumber) const override;

private:
    bool applySettings();
    void pullFromDevice();
    bool flush();
    void fail(const QString& what);

    QSerialPort port_;
    std::string settings_ = "9600,n,8,1";
    std::string lastError_;
    bool pseudoTerminal_ = false;
};

}  // namespace tessra
