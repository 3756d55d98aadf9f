#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "link/PortFailure.h"

namespace tessra::printer {

// Why a verb did not complete; one kind per cause, turned into words by each
// face (the window's boxes, the command line's messages, the station's tiles).
enum class FailureKind {
    PortUnavailable,  // the port could not be opened: see port and reason
    NoReply,          // the printer did not answer in time
    ReplyRejected,    // an answer came but is not a valid one (e.g. no code page)
    ArgumentRefused,  // the caller's argument was refused before anything was sent
    Stopped,          // the owner is closing; the verb ended at a safe point
    WriteFailed,      // the port took the bytes only in part
    Busy,             // another operation of this program held the port: nothing was sent
};

struct Failure {
    FailureKind kind = FailureKind::NoReply;
    PortFailure port = PortFailure::None;  // with PortUnavailable
    std::string device;                    // the device the verb used
    std::string reason;                    // the OS's words, or why an argument was refused
};

// The data a verb returns, or why it has none.
template <class T>
class Outcome {
public:
    Outcome(T value) : state_(std::move(value)) {}            // NOLINT(google-explicit-constructor)
    Outcome(Failure failure) : state_(std::move(failure)) {}  // NOLINT(google-explicit-constructor)
    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }
    const T& value() const { return std::get<0>(state_); }
    const T& operator*() const { return value(); }
    const T* operator->() const { return &value(); }
    const Failure& failure() const { return std::get<1>(state_); }

private:
    std::variant<T, Failure> state_;
};

struct Done {};

// The PC side of the line, by the window's combo indexes (kSpeedTexts, kParities).
struct Line {
    int speedIndex = 2;
    int parityIndex = 0;
    friend bool operator==(const Line&, const Line&) = default;
};

using SettingsBlock = std::array<std::uint8_t, 4>;
using MacAddress = std::array<std::uint8_t, 6>;
using CustomerCode = std::uint8_t;

// One printer on one port, in printer terms. Each verb opens the port, does
// its exchange with the bytes, waits and pauses the printer needs, and closes
// the port again. An object holds no state shared with another one, so two
// printers on two ports may run in two threads at once.
class Printer {
public:
    virtual ~Printer() = default;

    // Tries every speed and parity in the search order until the printer
    // answers; the line found becomes the line of later verbs.
    virtual Outcome<Line> find() = 0;
    virtual void useLine(Line line) = 0;
    virtual Line line() const = 0;

    virtual Outcome<SettingsBlock> readBlock() = 0;
    // Writes the block with the printed confirmation text. A block that
    // changes the printer's speed or parity leaves line() unchanged: the
    // caller moves to the new line before reading back.
    virtual Outcome<Done> writeBlock(const SettingsBlock& block, std::string_view confirmation) = 0;

    virtual Outcome<MacAddress> readMac() = 0;
    // The MAC read with a reply wait of the caller's, for a quick look at
    // which unit is on the port; a printer without a shorter wait reads as usual.
    virtual Outcome<MacAddress> peekMac(std::chrono::milliseconds wait) {
        (void)wait;
        return readMac();
    }
    // The whole write (address and password) as one command; the three
    // fixed octets are refused unless they are the utility's prefix.
    virtual Outcome<Done> writeMac(const MacAddress& address, std::string_view password) = 0;

    virtual Outcome<CustomerCode> readCustomerCode() = 0;
    virtual Outcome<Done> writeCustomerCode(CustomerCode code) = 0;

    // A maintenance or wireless command by its stable name ("self-test",
    // "feed", "wifi-station"...); an unknown name is ArgumentRefused.
    virtual Outcome<Done> run(std::string_view commandName) = 0;
    // Prints the lines as text followed by a cut; only printable ASCII is
    // sent, whatever the lines hold.
    virtual Outcome<Done> printLines(std::span<const std::string> lines) = 0;
};

}  // namespace tessra::printer
