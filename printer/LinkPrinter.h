#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "link/Clock.h"
#include "link/LineChoice.h"
#include "link/Operator.h"
#include "link/PrinterLink.h"
#include "link/SerialPort.h"
#include "printer/Printer.h"

namespace tessra::printer {

// A printer over the utility's own link: the same bytes, openings, DSR waits,
// pauses and time-outs as the window's buttons, but nothing shown and no
// event handled while it waits. Its state is its own, so two objects on two
// ports run in two threads at once.
class LinkPrinter final : public Printer {
public:
    // True once the owner is closing: a verb then stops at its next safe
    // point (never inside a command) and ends as Stopped.
    using StopCheck = std::function<bool()>;
    // Progress and failure detail, one line at a time ("Trying 9600,n,8,1 (1/21)").
    using StatusSink = std::function<void(std::string_view)>;

    // Unattended: nothing is shown, no event is handled, the line is its own.
    LinkPrinter(SerialPort& port, Clock& clock, int portNumber, StopCheck stopping = {});
    // Attended, as the window drives it: the attendant sees every box, status
    // line and event pass of the link as it happens, and may ask to close; the
    // port, speed and parity are the attendant's line choice. As the window's
    // buttons always have, each call of a command is tried even after an
    // earlier one could not open the port, and input waiting at the port is
    // left where it is.
    LinkPrinter(SerialPort& port, Clock& clock, Operator& attendant, LineChoice& line);

    Outcome<Line> find() override;
    void useLine(Line line) override;
    Line line() const override;
    // The line as the port opens it: "57600,n,8,1".
    std::string lineSettings() const;

    // Without a settings request of its own when find() has just read the
    // block: that reply is returned once.
    Outcome<SettingsBlock> readBlock() override;
    // Prints the confirmation of a read, on the port the read left open within
    // inOneOperation() (opened anew otherwise), and waits for DSR.
    Outcome<Done> confirmRead(std::string_view text);
    Outcome<Done> writeBlock(const SettingsBlock& block, std::string_view confirmation) override;
    Outcome<MacAddress> readMac() override;
    Outcome<MacAddress> peekMac(std::chrono::milliseconds wait) override;
    Outcome<Done> writeMac(const MacAddress& address, std::string_view password) override;
    Outcome<CustomerCode> readCustomerCode() override;
    Outcome<Done> writeCustomerCode(CustomerCode code) override;
    Outcome<Done> run(std::string_view commandName) override;
    // The wireless module's mode, 0 to 3 (soft AP, station, classic, classic + BLE).
    Outcome<Done> setWireless(std::uint8_t mode);
    Outcome<Done> printLines(std::span<const std::string> lines) override;

    // Runs the steps, verbs among them, as one port operation: one busy
    // period, and a port a verb leaves open stays open for the next one until
    // the steps end. False, with nothing run, when another operation holds
    // the port (a click made while one waits).
    bool inOneOperation(const std::function<void()>& steps);

    // Whether a read first throws away input already waiting at the port, such
    // as a late answer to a run that was killed (on by default unattended).
    void setDrainBeforeRead(bool drain) { drain_ = drain; }
    void onStatus(StatusSink sink) { events_.sink = std::move(sink); }
    // What the link offers first hints to (see PrinterLink::firstHints).
    PrinterLink& link() { return link_; }

private:
    // The link's operator: keeps the first box text, and passes everything on
    // to the attendant when there is one.
    struct Events final : Operator {
        Operator* attendant = nullptr;
        StopCheck stopping;
        StatusSink sink;
        std::optional<std::string> firstMessage;
        void message(std::string_view text, std::string_view title) override;
        std::string input(std::string_view prompt, std::string_view title) override;
        void processEvents() override;
        void repaint() override;
        void setBusy(bool busy) override;
        bool closeRequested() const override;
        void status(std::string_view text) override;
    };
    struct FixedLine final : LineChoice {
        int portIndex_ = 0;
        Line current;
        int portIndex() const override { return portIndex_; }
        std::string speedText() const override;
        int parityIndex() const override { return current.parityIndex; }
        void showDetected(int speedIndex, int parityIndex) override {
            current = {speedIndex, parityIndex};
        }
    };

    LinkPrinter(SerialPort& port, Clock& clock, Operator* attendant, LineChoice* line);

    // Runs one operation on the link (within the one under way, inside
    // inOneOperation); the failure it ended with, if any. The operation
    // returns whether it got to its end, so that a stop asked for meanwhile
    // does not undo what was done.
    std::optional<Failure> exchange(const std::function<bool()>& operation);
    // Opens at the line, drains if asked, writes the request and waits for
    // `length` bytes; the reply, or why there is none.
    Outcome<Bytes> request(std::span<const std::uint8_t> bytes, int length,
                           std::chrono::milliseconds limit);
    Outcome<Done> done(const std::optional<Failure>& failure) const;
    Failure failure(FailureKind kind, std::string reason = {}) const;
    void drainInput();

    SerialPort& port_;
    Events events_;
    FixedLine fixedLine_;
    LineChoice& line_;
    PrinterLink link_;
    bool attended_ = false;
    bool drain_ = true;
    int stepsDepth_ = 0;  // inside inOneOperation
    std::optional<Bytes> foundReply_;
};

}  // namespace tessra::printer
