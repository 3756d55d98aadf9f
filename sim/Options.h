#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "link/ProgramUsage.h"
#include "sim/PrinterState.h"

namespace tessra::sim {

inline constexpr std::array<OptionUsage, 10> kSimOptions{{
    {"--link", "PATH", ValueKind::File, 0,
     "also make PATH a symlink to the terminal (removed on exit)",
     "A stale symlink is replaced, anything else is refused; removed on SIGINT, SIGTERM and "
     "SIGHUP too."},
    {"--state", "FILE", ValueKind::File, 0,
     "load the printer's flash from FILE and save it there after every change",
     "A missing or damaged file gives a message on stderr and the defaults."},
    {"--log", "FILE", ValueKind::File, 0, "write the transcript to FILE instead of stdout",
     "Truncated at start."},
    {"--speed", "N", ValueKind::Text, 0, "listen at N bps: 2400 4800 9600 19200 38400 57600 115200",
     "Stored in the settings block; default 9600."},
    {"--parity", "P", ValueKind::Text, 0,
     "none, even or odd, stored in the settings block for the record only",
     "A pseudo-terminal cannot carry parity, so only the speed is matched."},
    {"--mac", "ADDRESS", ValueKind::Text, 0,
     "the factory MAC address (0A:5C:3E:00:10:07) of a flash that starts from the defaults",
     "That is, no state file yet, or a damaged one; a stored flash keeps its own."},
    {"--no-reply", "", ValueKind::None, 0, "never answer a request", "To try time-outs."},
    {"--reply-delay", "MS", ValueKind::Text, 0, "answer MS milliseconds late (0 to 60000)",
     "To try slow printers."},
    {"--help", "", ValueKind::None, 0, "this text (also -h)", ""},
    {"--version", "", ValueKind::None, 0, "the version", ""},
}};

inline constexpr std::array<SectionUsage, 1> kSimSections{{
    {"EXAMPLE",
     "    tessra-printer-sim --link /tmp/tessra-com1 --log /tmp/tessra-printer.log &\n"
     "    TESSRA_COM1=/tmp/tessra-com1 TESSRA_PASSWORD=Kovak tessra-cli mac show"},
}};

inline constexpr ProgramUsage kSimUsage{
    "tessra-printer-sim",
    "a virtual Tessra receipt printer on a pseudo-terminal",
    "[OPTIONS]",
    "A virtual Tessra printer on a pseudo-terminal, so that the utility and tessra-cli can be "
    "tried without hardware. Prints the terminal's path on the first line of stdout; point the "
    "utility at it with TESSRA_COM1=PATH. Then one transcript line per command the printer "
    "understood. The printer's level-1 password, which a MAC address write must carry, is "
    "Kovak: type it where the utility asks for it, or give tessra-cli TESSRA_PASSWORD=Kovak.\n\n"
    "A request sent at another speed than the printer's is not understood and gets no answer. "
    "After a settings write the printer listens at the new speed.",
    kSimOptions,
    {},
    {},
    kSimSections,
};

struct SimOptions {
    std::optional<std::string> link;   // symlink to the slave
    std::optional<std::string> state;  // flash file
    std::optional<std::string> log;    // transcript file instead of stdout
    std::optional<int> speed;          // bits per second, into the block
    std::optional<char> parity;        // 'n', 'e' or 'o', into the block
    bool noReply = false;
    int replyDelayMs = 0;
    std::optional<std::array<std::uint8_t, 6>> mac;  // the factory address of a fresh flash
    bool help = false;
    bool version = false;
};

struct ParsedOptions {
    SimOptions options;
    std::string error;  // empty when the command line was understood
};

// The arguments after the program name.
ParsedOptions parseOptions(std::span<const std::string_view> args);
std::string usageText();

// Writes --speed and --parity into the block's fields.
void applyLineOptions(const SimOptions& options, PrinterState& state);
// Gives a flash that starts from the defaults (no state file yet, or a
// damaged one) the factory address of --mac, so that every unit of a bench
// of virtual printers has its own.
void applyFactoryOptions(const SimOptions& options, PrinterState& state);

}  // namespace tessra::sim
