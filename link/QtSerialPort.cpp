#include "link/QtSerialPort.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QtGlobal>
#include <utility>

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#endif

#include "link/LineSettings.h"

namespace tessra {

namespace {
constexpr int kWriteTimeoutMs = 3000;

QSerialPort::Parity toQt(char parity) {
    switch (parity) {
        case 'e':
            return QSerialPort::EvenParity;
        case 'o':
            return QSerialPort::OddParity;
        default:
            return QSerialPort::NoParity;
    }
}

// A process killed while Qt writes a port's lock file leaves the file empty,
// and Qt then holds the port locked for half a minute. An empty lock older
// than a second is not one being written: it goes. (The folders are those
// Qt may keep serial port locks in.)
void removeEmptyStaleLock(const QString& device) {
#ifdef Q_OS_UNIX
    // Named after the path below /dev, or the whole path elsewhere, '/' as '_'.
    QString name = device;
    if (name.startsWith(QStringLiteral("/dev/"))) name.remove(0, 5);
    name.replace(u'/', u'_');
    for (const char* dir : {"/var/lock", "/etc/locks", "/var/spool/locks", "/var/spool/uucp",
                            "/tmp", "/var/tmp", "/var/lock/lockdev", "/run/lock"}) {
        const QFileInfo lock(QString::fromLatin1(dir) + QStringLiteral("/LCK..") + name);
        if (lock.isFile() && lock.size() == 0 &&
            lock.lastModified().msecsTo(QDateTime::currentDateTime()) > 1000)
            QFile::remove(lock.filePath());
    }
#else
    Q_UNUSED(device);
#endif
}

// A pseudo-terminal has no modem-status lines; a real serial port has.
bool hasNoModemLines(const QSerialPort& port) {
#ifdef Q_OS_UNIX
    int lines = 0;
    return ::ioctl(static_cast<int>(port.handle()), TIOCMGET, &lines) != 0;
#else
    Q_UNUSED(port);
    return false;
#endif
}
// What an open that failed with this error means for the user.
PortFailure failureOf(QSerialPort::SerialPortError error, const QString& device) {
    switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return PortFailure::NoSuchDevice;
        case QSerialPort::PermissionError:
#ifdef Q_OS_UNIX
            // Qt also reports a device held exclusively by another opener as a
            // permission error; with read and write access, that is what it was.
            return ::access(device.toLocal8Bit().constData(), R_OK | W_OK) == 0
                       ? PortFailure::Busy
                       : PortFailure::PermissionDenied;
#else
            Q_UNUSED(device);
            return PortFailure::Busy;  // "access denied": another program has the port
#endif
        default:
            return PortFailure::Other;
    }
}
}  // namespace

std::vector<FoundPort> systemSerialPorts() {
    std::vector<FoundPort> found;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        found.push_back({info.systemLocation().toStdString(), info.description().toStdString(),
                         info.manufacturer().toStdString(), info.serialNumber().toStdString()});
    }
    return found;
}

QtSerialPort::QtSerialPort(PortMap map) : map_(std::move(map)) {}

QtSerialPort::~QtSerialPort() {
    close();
}

void QtSerialPort::useDevice(int portNumber, std::string device) {
    devices_[portNumber] = std::move(device);
}

std::string QtSerialPort::deviceName(int portNumber) const {
    if (const auto given = devices_.find(portNumber); given != devices_.end()) return given->second;
    return map_.device(portNumber);
}

bool QtSerialPort::setSettings(std::string_view settings) {
    if (!parseSettings(settings)) {
        lastError_ = "invalid settings " + std::string(settings);
        lastFailure_ = PortFailure::Other;
        return false;
    }
    settings_ = settings;
    return true;
}

bool QtSerialPort::open(int portNumber) {
    close();
    lastError_.clear();
    lastFailure_ = PortFailure::None;
    const QString device = QString::fromStdString(deviceName(portNumber));
    // A mapping may hold any text; the system would open the path cut at the NUL.
    if (device.contains(QChar(0))) {
        fail(QStringLiteral("the device path holds a NUL"), PortFailure::NoSuchDevice);
        return false;
    }
    port_.setPortName(device);
    removeEmptyStaleLock(device);
    // Open at no parity: QSerialPort applies on open the parity it last
    // carried, and a device that cannot carry it, such as another adapter
    // than the one a search left at odd parity, would refuse to open.
    port_.setParity(QSerialPort::NoParity);
    if (!port_.open(QIODevice::ReadWrite)) {
        fail(port_.errorString(), failureOf(port_.error(), device));
        return false;
    }
    pseudoTerminal_ = hasNoModemLines(port_);
    if (!applySettings()) {
        port_.close();
        return false;
    }
    // A real port starts empty; a pseudo-terminal keeps what arrived while
    // it was closed, such as a late reply to an earlier request.
    port_.clear(QSerialPort::Input);
    port_.clearError();
    return true;
}

bool QtSerialPort::applySettings() {
    const auto params = parseSettings(settings_).value_or(LineParameters{});
    const bool ok =
        port_.setBaudRate(params.baud) &&
        port_.setDataBits(static_cast<QSerialPort::DataBits>(params.dataBits)) &&
        port_.setStopBits(params.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop) &&
        port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!ok) {
        fail("cannot apply " + QString::fromStdString(settings_) + ": " + port_.errorString());
        return false;
    }
    if (!port_.setParity(toQt(params.parity))) {
        // The kernel clears parity on a pseudo-terminal; only the speed counts there.
        if (!pseudoTerminal_) {
            fail("cannot apply " + QString::fromStdString(settings_) + ": " + port_.errorString());
            return false;
        }
        port_.clearError();
    }
    return true;
}

void QtSerialPort::close() {
    if (!port_.isOpen()) return;
    flush();
    port_.close();
    port_.clearError();
}

bool QtSerialPort::isOpen() const {
    return port_.isOpen();
}

bool QtSerialPort::write(std::span<const std::uint8_t> bytes) {
    if (!port_.isOpen()) {
        lastError_ = "port not open";
        lastFailure_ = PortFailure::Other;
        return false;
    }
    const auto* data = reinterpret_cast<const char*>(bytes.data());
    if (port_.write(data, static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        fail(port_.errorString());
        return false;
    }
    return flush();
}

bool QtSerialPort::flush() {
    while (port_.bytesToWrite() > 0) {
        if (!port_.waitForBytesWritten(kWriteTimeoutMs)) {
            fail("write failed: " + port_.errorString());
            return false;
        }
    }
    return true;
}

void QtSerialPort::pullFromDevice() {
    // Without a running event loop the buffer fills only here. Bounded, so a
    // device that never stops sending cannot keep the caller here.
    constexpr int kMaxPulls = 64;
    for (int i = 0; i < kMaxPulls && port_.isOpen() && port_.waitForReadyRead(0); ++i) {
    }
    port_.clearError();
}

int QtSerialPort::bytesWaiting() {
    pullFromDevice();
    return static_cast<int>(port_.bytesAvailable());
}

void QtSerialPort::waitForInput(std::chrono::milliseconds limit) {
    if (!port_.isOpen()) return;
    // poll() on the device: no wake-up until a byte arrives or the time is up.
    port_.waitForReadyRead(static_cast<int>(limit.count()));
    port_.clearError();  // a time-out is no error here
}

Bytes QtSerialPort::readAll() {
    pullFromDevice();
    const QByteArray data = port_.readAll();
    return Bytes(data.begin(), data.end());
}

bool QtSerialPort::dsr() {
    if (!port_.isOpen()) return false;
    if (pseudoTerminal_) return true;  // no modem lines: nothing to wait for
    const auto signals_ = port_.pinoutSignals();
    if (port_.error() != QSerialPort::NoError) {
        port_.clearError();
        return false;
    }
    return signals_.testFlag(QSerialPort::DataSetReadySignal);
}

void QtSerialPort::fail(const QString& what, PortFailure kind) {
    lastError_ = what.toStdString();
    lastFailure_ = kind;
    port_.clearError();
}

}  // namespace tessra
