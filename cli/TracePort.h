#pragma once

#include <functional>
#include <string>

#include "link/Clock.h"
#include "link/ForwardingPort.h"
#include "link/SecretBytes.h"

namespace tessra::cli {

// Passes everything to the real port and tells every byte sent and
// received, with the milliseconds since the start and the line settings:
//   "  412 ms 9600,n,8,1 > 1B 40"   "  431 ms 9600,n,8,1 < 00 02 01 00"
class TracePort final : public ForwardingPort {
public:
    using Sink = std::function<void(const std::string& line)>;
    TracePort(SerialPort& port, Clock& clock, Sink sink);

    bool open(int portNumber) override;
    void close() override;
    bool write(std::span<const std::uint8_t> bytes) override;
    Bytes readAll() override;

private:
    void tell(std::string_view what);

    Clock& clock_;
    Sink sink_;
    double start_;
    SecretBytes secret_;  // the level-1 password is never shown
};

}  // namespace tessra::cli
