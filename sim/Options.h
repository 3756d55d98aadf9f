#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "sim/PrinterState.h"

namespace tessra::sim {

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
