#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "link/Clock.h"
#include "link/ClosingOperator.h"
#include "link/FailureHints.h"
#include "link/LineChoice.h"
#include "link/LinkTexts.h"
#include "link/Operator.h"
#include "link/SerialPort.h"

namespace tessra {

// The printer link: opens the port the window names, sends commands, waits
// for DSR or a reply, and keeps one port operation at a time.
class PrinterLink {
public:
    PrinterLink(SerialPort& port, Clock& clock, Operator& op, LineChoice& line);

    // Runs one port operation (one command or a sequence of them). While it
    // runs, the window handles events in DSR waits; a second operation that a
    // click starts then is dropped: nothing is sent and nothing is queued.
    // Returns false when dropped.
    bool runExclusive(const std::function<void()>& operation);
    bool inOperation() const { return busy_; }
    // True while the window handles its events inside a wait of the running
    // operation: whatever runs then was started by a click, not by the operation.
    bool handlingEvents() const { return dispatching_; }

    // True once the window was asked to close during the running operation.
    // The operation then stops at its next safe point, which is before a
    // command (a sendCommand call, an automatic-read attempt, the read
    // confirmation), never inside one: a command under way writes all its
    // bytes and its waits run to their end. No further box appears, and the
    // guard closes the port when the operation returns.
    bool stopping() const { return busy_ && op_.closeRequested(); }
    // Runs several sendCommand calls as one command (the three parts of a MAC
    // save): a close stops the operation before them or after them, never
    // between them. False when it did not start, the operation stopping.
    bool asOneCommand(const std::function<void()>& sends);

    // (Re)opens the port from the port, speed and parity combos. On failure
    // the port stays closed, "Port Error" is shown with the reason in the
    // status line, and false is returned.
    bool openSelectedPort();
    // Same as openSelectedPort but with the given settings string (automatic read).
    bool openWith(std::string_view settings);

    // Sends data[0..count] one byte per write (mode != 1) or the whole array
    // in one write (mode 1), waits up to 1 s for DSR, closes and pauses.
    // Only inside runExclusive: outside it nothing is sent; once the operation
    // is stopping, nothing is sent either (unless inside asOneCommand).
    // True when every byte went out (whether or not DSR came).
    bool sendCommand(std::span<const std::uint8_t> data, int count, int mode);

    // Writes on the open port. A failed write closes the port, shows
    // "Port Error" once and returns false; the caller stops there.
    bool write(std::span<const std::uint8_t> bytes);
    bool write(std::string_view text);

    // Waits up to 1 s for DSR, letting the window handle events in every pass.
    // On time-out shows the message and returns false.
    bool waitForDsr(std::string_view timeoutMessage = kTimeoutMessage);
    // Waits until at least count bytes wait at the port or the time is past,
    // sleeping on the port between checks; the window repaints in every pass
    // but takes no input. True when the bytes are there.
    bool waitForReply(int count, std::chrono::milliseconds limit);
    // The window handles its pending events, clicks included; a click that
    // would start another port operation meanwhile is dropped.
    void processEvents();

    void closePort();
    void pause();

    SerialPort& port() { return port_; }
    Clock& clock() { return clock_; }
    // The window's operator; it shows no box once the operation is stopping.
    Operator& op() { return op_; }
    LineChoice& line() { return line_; }

    // A port failure's status line adds what to do about it; the first line
    // of each kind in a run also goes to whatever firstHints() is connected to.
    FirstHints& firstHints() { return firstHints_; }
    // The last port failure of the running operation (none at its start).
    struct PortFault {
        PortFailure kind = PortFailure::Other;
        std::string device;  // empty when no port was selected
        std::string reason;
        bool onWrite = false;  // the port opened, but a write failed
    };
    const std::optional<PortFault>& portFault() const { return portFault_; }
    // Forgets the last port failure, for a step that starts within an operation.
    void resetPortFault() { portFault_.reset(); }
    void setHintSources(HintSources sources) { hintSources_ = std::move(sources); }

private:
    bool openPort(int portNumber);
    void reportPortError(int portNumber, std::string_view reason, PortFailure kind,
                         bool onWrite = false);

    SerialPort& port_;
    Clock& clock_;
    ClosingOperator op_;
    LineChoice& line_;
    bool busy_ = false;
    int oneCommandDepth_ = 0;   // inside asOneCommand
    bool dispatching_ = false;  // inside processEvents of a running operation
    int openPortNumber_ = 0;
    HintSources hintSources_;
    FirstHints firstHints_;
    std::optional<PortFault> portFault_;
};

}  // namespace tessra
