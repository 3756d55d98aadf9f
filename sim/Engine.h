#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

#include "sim/PrinterState.h"

namespace tessra::sim {

// What one call into the engine produced: bytes to send back to the utility
// and transcript lines, each already prefixed with the printer's speed
// ("9600: cut").
struct Output {
    std::vector<std::uint8_t> reply;
    std::vector<std::string> lines;
};

// The printer side of the protocol, byte by byte, with no I/O. Frames carry
// no lengths, so the stream is cut by the forms the printer knows; a command
// may arrive in any number of pieces. Bytes that fit no form are reported as
// unknown and skipped one at a time, so the next well-formed command is
// always understood.
class Engine {
public:
    struct Options {
        bool answer = true;  // false: log requests, never reply
    };

    Engine() : Engine(PrinterState{}, Options{}) {}
    Engine(PrinterState state, Options options);

    // Bytes that arrived while the utility's side of the line was set to
    // lineSpeed bits per second. At any other speed than the printer's own
    // they are not understood, as with a real UART.
    Output feed(std::span<const std::uint8_t> bytes, int lineSpeed);
    // The line has gone quiet: report what is held back for a later line
    // (unknown bytes, bytes not understood) and drop an incomplete command,
    // except a MAC write, which waits for its password and address.
    Output flush();

    const PrinterState& state() const { return state_; }
    // The speed the printer listens at; the state's block names it.
    int speed() const { return speed_; }
    // Grows whenever the stored state changes, to know when to save it.
    std::uint64_t revision() const { return revision_; }

private:
    enum class Mode { Commands, MacPassword, MacAddress };
    enum class Match { Done, NeedMore, NoMatch };

    void process(Output& out);
    Match matchCommand(Output& out);
    Match matchService(Output& out);
    void runService(std::uint8_t code, std::span<const std::uint8_t> params, Output& out);
    void takeMacPasswordByte(Output& out);
    void takeMacAddressByte(Output& out);
    void abandonMacWrite(Output& out);
    void settingsWrite(const std::array<std::uint8_t, 4>& block, Output& out);

    void consume(std::size_t count);
    void emit(Output& out, const std::string& text);
    void answer(Output& out, std::span<const std::uint8_t> bytes, const std::string& text);
    void flushUnknown(Output& out);
    void flushGarbled(Output& out);
    void dropPartial(Output& out);
    void endTextLine(Output& out, const char* verb);
    void changed() { ++revision_; }

    PrinterState state_;
    Options options_;
    int speed_;
    std::uint64_t revision_ = 0;

    Mode mode_ = Mode::Commands;
    std::deque<std::uint8_t> pending_;  // not yet matched to a command
    std::string text_;                  // printable text of the current line
    std::vector<std::uint8_t> unknown_;
    std::string macPassword_;
    std::vector<std::uint8_t> macAddress_;
    std::size_t garbled_ = 0;  // bytes not understood, not yet reported
    int garbledSpeed_ = 0;
};

}  // namespace tessra::sim
