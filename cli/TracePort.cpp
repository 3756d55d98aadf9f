#include "cli/TracePort.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "identity/IdentityCommands.h"

namespace tessra::cli {

namespace {
std::string hexBytes(std::span<const std::uint8_t> bytes) {
    std::string text;
    char digits[4];
    for (const std::uint8_t b : bytes) {
        std::snprintf(digits, sizeof digits, " %02X", b);
        text += digits;
    }
    return text;
}
}  // namespace

TracePort::TracePort(SerialPort& port, Clock& clock, Sink sink)
    : ForwardingPort(port),
      clock_(clock),
      sink_(std::move(sink)),
      start_(clock.nowSeconds()),
      secret_(identity::kMacWriteHeader, identity::kLevel1Password.size()) {}

bool TracePort::open(int portNumber) {
    const bool opened = inner().open(portNumber);
    tell((opened ? "open " : "cannot open ") + inner().deviceName(portNumber) +
         (opened ? "" : ": " + inner().lastError()));
    return opened;
}

void TracePort::close() {
    if (inner().isOpen()) tell("close");
    inner().close();
}

bool TracePort::write(std::span<const std::uint8_t> bytes) {
    const std::size_t secret = secret_.count(bytes);
    tell(secret == 0 ? ">" + hexBytes(bytes)
                     : "> " + std::to_string(bytes.size()) + " bytes, " + std::to_string(secret) +
                           " of the password: not shown");
    return inner().write(bytes);
}

Bytes TracePort::readAll() {
    Bytes bytes = inner().readAll();
    if (!bytes.empty()) tell("<" + hexBytes(bytes));
    return bytes;
}

void TracePort::tell(std::string_view what) {
    const auto ms = std::lround((clock_.nowSeconds() - start_) * 1000.0);
    char stamp[24];
    std::snprintf(stamp, sizeof stamp, "%6ld ms ", ms);
    sink_(stamp + inner().settings() + " " + std::string(what));
}

}  // namespace tessra::cli
