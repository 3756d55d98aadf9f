#include "link/TrafficPort.h"

#include "link/LineSettings.h"
#include "link/TrafficFormat.h"

namespace tessra {

namespace {
// Labels of the byte lines, one width so that the hex columns line up.
constexpr std::string_view kSent = "sent      ";
constexpr std::string_view kReceived = "received  ";
constexpr std::string_view kUnread = "unread    ";
}  // namespace

TrafficPort::TrafficPort(SerialPort& inner, TrafficLog& log) : ForwardingPort(inner), log_(log) {}

bool TrafficPort::open(int portNumber) {
    endWaits("before the port opened again", false);
    const bool opened = inner().open(portNumber);
    std::string line = portCaption(portNumber) + (opened ? " opened: " : " not opened: ") +
                       inner().deviceName(portNumber) + " at " + inner().settings();
    if (!opened) line += ": " + inner().lastError();
    log_.add(line);
    if (opened) portNumber_ = portNumber;
    return opened;
}

void TrafficPort::close() {
    const bool wasOpen = inner().isOpen();
    if (wasOpen) {
        endWaits("then the port closed", true);
        if (inner().bytesWaiting() > 0) {
            const Bytes unread = inner().readAll();
            log_.add(std::string(kUnread) + hexWithText(unread) + "  dropped at the close");
        }
    }
    inner().close();
    if (wasOpen) log_.add(portCaption(portNumber_) + " closed");
}

bool TrafficPort::setSettings(std::string_view settings) {
    const bool accepted = inner().setSettings(settings);
    if (!accepted) log_.add("settings refused: " + std::string(settings));
    return accepted;
}

bool TrafficPort::write(std::span<const std::uint8_t> bytes) {
    endWaits("before the next write", false);
    const bool written = inner().write(bytes);
    const std::size_t secret = secret_.count(bytes);
    const std::string shown = secret == 0
                                  ? hexWithText(bytes)
                                  : std::to_string(bytes.size()) + " bytes, " +
                                        std::to_string(secret) + " of the password: not shown";
    if (written) {
        log_.add(std::string(kSent) + shown);
    } else {
        log_.add("write failed (" + inner().lastError() + ")  " + shown);
    }
    return written;
}

int TrafficPort::bytesWaiting() {
    const int waiting = inner().bytesWaiting();
    check(replyChecks_);
    replyChecks_.waiting = waiting;
    return waiting;
}

Bytes TrafficPort::readAll() {
    Bytes bytes = inner().readAll();
    if (bytes.empty()) {
        log_.add("read with nothing received");
    } else {
        std::string line = std::string(kReceived) + hexWithText(bytes);
        if (replyChecks_.running) line += "  waited " + describe(replyChecks_);
        log_.add(line);
    }
    replyChecks_ = {};
    return bytes;
}

bool TrafficPort::dsr() {
    const bool asserted = inner().dsr();
    check(dsrChecks_);
    if (asserted) {
        log_.add("DSR asserted, waited " + describe(dsrChecks_));
        dsrChecks_ = {};
    }
    return asserted;
}

void TrafficPort::check(Checks& checks) {
    const double now = log_.elapsedSeconds();
    if (!checks.running) checks = {true, now, now, 0, 0};
    checks.last = now;
    ++checks.count;
}

std::string TrafficPort::describe(const Checks& checks) {
    return std::to_string(wholeMilliseconds(checks.last - checks.first)) + " ms, " +
           std::to_string(checks.count) + (checks.count == 1 ? " check" : " checks");
}

void TrafficPort::endWaits(std::string_view event, bool closing) {
    if (dsrChecks_.running) {
        std::string line =
            "DSR not asserted in " + describe(dsrChecks_) + ", " + std::string(event);
        if (closing) line += ": inferred a DSR time-out";
        log_.add(line);
        dsrChecks_ = {};
    }
    if (replyChecks_.running) {
        std::string line = "no reply read: " + std::to_string(replyChecks_.waiting) +
                           " bytes waiting after " + describe(replyChecks_) + ", " +
                           std::string(event);
        if (closing) line += ": inferred a reply time-out";
        log_.add(line);
        replyChecks_ = {};
    }
}

}  // namespace tessra
