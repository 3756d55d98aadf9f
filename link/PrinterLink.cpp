#include "link/PrinterLink.h"

#include <cassert>

#include "link/LineSettings.h"
#include "link/Timing.h"

namespace tessra {

PrinterLink::PrinterLink(SerialPort& port, Clock& clock, Operator& op, LineChoice& line)
    : port_(port), clock_(clock), op_(op), line_(line) {}

bool PrinterLink::runExclusive(const std::function<void()>& operation) {
    if (busy_) return false;
    busy_ = true;
    portFault_.reset();
    struct Release {
        bool& flag;
        ~Release() { flag = false; }
    } release{busy_};
    BusyScope busy(op_);
    operation();
    closePort();  // whatever the operation did, nothing holds the port afterwards
    return true;
}

bool PrinterLink::asOneCommand(const std::function<void()>& sends) {
    if (stopping()) return false;
    ++oneCommandDepth_;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{oneCommandDepth_};
    sends();
    return true;
}

bool PrinterLink::openSelectedPort() {
    closePort();
    port_.setBinaryMode();
    const int portNumber = line_.portIndex() + 1;
    if (const auto settings = settingsString(line_.speedText(), line_.parityIndex())) {
        if (!port_.setSettings(*settings)) {
            reportPortError(portNumber, "invalid settings " + *settings, PortFailure::Other);
            return false;
        }
    }
    return openPort(portNumber);
}

bool PrinterLink::openWith(std::string_view settings) {
    closePort();
    port_.setBinaryMode();
    const int portNumber = line_.portIndex() + 1;
    if (!port_.setSettings(settings)) {
        reportPortError(portNumber, "invalid settings " + std::string(settings),
                        PortFailure::Other);
        return false;
    }
    return openPort(portNumber);
}

bool PrinterLink::openPort(int portNumber) {
    if (portNumber < 1 || portNumber > kPortCount) {
        reportPortError(portNumber, "no port selected", PortFailure::Other);
        return false;
    }
    if (!port_.open(portNumber)) {
        reportPortError(portNumber, port_.lastError(), port_.lastFailure());
        return false;
    }
    openPortNumber_ = portNumber;
    op_.status(portCaption(portNumber) + " (" + port_.deviceName(portNumber) + ") " +
               port_.settings());
    return true;
}

void PrinterLink::reportPortError(int portNumber, std::string_view reason, PortFailure kind,
                                  bool onWrite) {
    port_.close();
    std::string text = portCaption(portNumber);
    std::string hint;
    portFault_ = PortFault{kind, {}, std::string(reason), onWrite};
    if (portNumber >= 1 && portNumber <= kPortCount) {
        const std::string device = port_.deviceName(portNumber);
        portFault_->device = device;
        text += " (" + device + ")";
        hint = failureHint(kind, device, port_.foundPorts(), hintSources_);
    }
    text += ": " + std::string(reason);
    if (!hint.empty()) text += ". " + hint;
    op_.status(text);
    if (!hint.empty()) firstHints_.offer(kind, text);
    op_.message(kPortErrorMessage);
}

bool PrinterLink::sendCommand(std::span<const std::uint8_t> data, int count, int mode) {
    assert(busy_ && "sendCommand runs inside runExclusive");
    if (!busy_) return false;
    if (dispatching_) return false;  // a click handled inside another operation's wait
    if (stopping() && oneCommandDepth_ == 0) return false;  // the window is closing
    if (!openSelectedPort()) return false;
    if (mode == 1) {
        if (!write(data)) return false;
    } else {
        for (int i = 0; i <= count && i < static_cast<int>(data.size()); ++i) {
            if (!write(data.subspan(static_cast<std::size_t>(i), 1))) return false;
        }
    }
    waitForDsr();
    closePort();
    pause();
    return true;
}

bool PrinterLink::write(std::span<const std::uint8_t> bytes) {
    if (!port_.isOpen()) return false;
    if (port_.write(bytes)) return true;
    reportPortError(openPortNumber_, port_.lastError(), port_.lastFailure(), true);
    return false;
}

bool PrinterLink::write(std::string_view text) {
    const auto* begin = reinterpret_cast<const std::uint8_t*>(text.data());
    return write(std::span<const std::uint8_t>(begin, text.size()));
}

bool PrinterLink::waitForDsr(std::string_view timeoutMessage) {
    const double deadline = clock_.nowSeconds() + timing::toSeconds(timing::kDsrWait);
    while (true) {
        if (clock_.nowSeconds() > deadline) {
            op_.message(timeoutMessage);
            processEvents();
            return false;
        }
        processEvents();
        if (port_.isOpen() && port_.dsr()) return true;
        clock_.sleep(timing::kPollSlice);
    }
}

bool PrinterLink::waitForReply(int count, std::chrono::milliseconds limit) {
    const double deadline = clock_.nowSeconds() + timing::toSeconds(limit);
    while (true) {
        if (port_.isOpen() && port_.bytesWaiting() >= count) return true;
        const double now = clock_.nowSeconds();
        if (now > deadline) return false;
        op_.repaint();
        const auto slice = timing::sliceBefore(now, deadline, timing::kRepaintSlice);
        if (port_.isOpen()) {
            port_.waitForInput(slice);
        } else {
            clock_.sleep(slice);
        }
    }
}

void PrinterLink::processEvents() {
    const bool outer = dispatching_;
    dispatching_ = true;
    op_.processEvents();
    dispatching_ = outer;
}

void PrinterLink::closePort() {
    if (port_.isOpen()) port_.close();
}

void PrinterLink::pause() {
    const double end = clock_.nowSeconds() + timing::toSeconds(timing::kPause);
    for (double now = clock_.nowSeconds(); now < end; now = clock_.nowSeconds()) {
        op_.repaint();
        clock_.sleep(timing::sliceBefore(now, end, timing::kRepaintSlice));
    }
}

}  // namespace tessra
