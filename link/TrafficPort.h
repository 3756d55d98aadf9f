#pragma once

#include "link/ForwardingPort.h"
#include "link/SecretBytes.h"
#include "link/TrafficLog.h"

namespace tessra {

// A serial port that hands every call to another port and writes what it
// sees into a traffic log: openings, bytes sent and received, closes.
//
// The waits are not calls of their own, so they are read off the calls:
// DSR checks after a write form a DSR wait, which ends when DSR is asserted;
// checks for waiting bytes form a reply wait, which ends with a read. A wait
// still open when the port closes is logged as an inferred time-out. Bytes
// that arrived but were never read are read here at the close, which drops
// them anyway, and logged as unread.
class TrafficPort final : public ForwardingPort {
public:
    TrafficPort(SerialPort& inner, TrafficLog& log);
    // The log leaves this secret out (the level-1 password).
    void hide(SecretBytes secret) { secret_ = std::move(secret); }

    bool open(int portNumber) override;
    void close() override;

    bool setSettings(std::string_view settings) override;

    bool write(std::span<const std::uint8_t> bytes) override;
    int bytesWaiting() override;
    Bytes readAll() override;
    bool dsr() override;

private:
    // A run of checks that has not ended yet.
    struct Checks {
        bool running = false;
        double first = 0.0;
        double last = 0.0;
        int count = 0;
        int waiting = 0;  // bytes waiting at the last check (reply checks)
    };
    void check(Checks& checks);
    static std::string describe(const Checks& checks);
    // Logs the waits the next event interrupts; at a close they are time-outs.
    void endWaits(std::string_view event, bool closing);

    TrafficLog& log_;
    int portNumber_ = 0;
    Checks dsrChecks_;
    Checks replyChecks_;
    SecretBytes secret_;
};

}  // namespace tessra
