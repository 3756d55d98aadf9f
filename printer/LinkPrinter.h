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

    LinkPrinter(SerialPort& port, Clock& clock, int portNumber, StopCheck stopping = {});

    Outcome<Line> find() override;
    void useLine(Line line) override;
    Line line() const override { return line_.current; }
    // The line as the port opens it: "57600,n,8,1".
    std::string lineSettings() const;

    // Without a settings request of its own when find() has just read the
    // block: that reply is returned once.
    Outcome<SettingsBlock> readBlock() override;
    Outcome<Done> writeBlock(const SettingsBlock& block, std::string_view confirmation) override;
    Outcome<MacAddress> readMac() override;
    Outcome<Done> writeMac(const MacAddress& address, std::string_view password) override;
    Outcome<CustomerCode> readCustomerCode() override;
    Outcome<Done> writeCustomerCode(CustomerCode code) override;
    Outcome<Done> run(std::string_view commandName) override;
    // The wireless module's mode, 0 to 3 (soft AP, station, classic, classic + BLE).
    Outcome<Done> setWireless(std::uint8_t mode);
    Outcome<Done> printLines(std::span<const std::string> lines) override;

    // Whether a read first throws away input already waiting at the port, such
    // as a late answer to a run that was killed (on by default).
    void setDrainBeforeRead(bool drain) { drain_ = drain; }
    void onStatus(StatusSink sink) { events_.sink = std::move(sink); }
    // What the link offers first hints to (see PrinterLink::firstHints).
    PrinterLink& link() { return link_; }

private:
    // The link's operator: keeps the first box text instead of showing it.
    struct Events final : Operator {
        StopCheck stopping;
        StatusSink sink;
        std::optional<std::string> firstMessage;
        void message(std::string_view text, std::string_view) override;
        std::string input(std::string_view, std::string_view) override { return {}; }
        void processEvents() override {}
        void repaint() override {}
        void setBusy(bool) override {}
        bool closeRequested() const override { return stopping && stopping(); }
        void status(std::string_view text) override {
            if (sink) sink(text);
        }
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

    // Runs one operation on the link; the failure it ended with, if any.
    std::optional<Failure> exchange(const std::function<void()>& operation);
    // Opens at the line, drains if asked, writes the request and waits for
    // `length` bytes; the reply, or why there is none.
    Outcome<Bytes> request(std::span<const std::uint8_t> bytes, int length,
                           std::chrono::milliseconds limit);
    Outcome<Done> done(const std::optional<Failure>& failure) const;
    Failure failure(FailureKind kind, std::string reason = {}) const;
    void drainInput();

    SerialPort& port_;
    int portNumber_;
    Events events_;
    FixedLine line_;
    PrinterLink link_;
    bool drain_ = true;
    std::optional<Bytes> foundReply_;
};

}  // namespace tessra::printer
