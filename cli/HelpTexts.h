#pragma once

#include <array>
#include <string_view>

#include "cli/CommandTable.h"
#include "cli/ExitCode.h"
#include "link/ProgramUsage.h"

namespace tessra::cli {

// What scripts and the person at the terminal must know besides the options
// and commands.
inline constexpr std::array<ExitUsage, 5> kExitCodes{{
    {static_cast<int>(ExitCode::Done), "done", ""},
    {static_cast<int>(ExitCode::PrinterFault),
     "the printer did not answer, a read-back did not match, a MAC range is full",
     "or the printer's block has a field that names no member (`settings save` and `set`)"},
    {static_cast<int>(ExitCode::BadInput),
     "the command line, a file or the password is wrong, or mac write refuses an address the "
     "ledger holds",
     "A refused settings file names its line: `FILE:LINE: message`."},
    {static_cast<int>(ExitCode::Unreachable),
     "the port could not be opened or another run holds its device, or the ledger could not be "
     "reached",
     "The device path and the OS reason are printed. The ledger also counts as unreachable when "
     "it gave up waiting for another station's lock or for the server's answer (10 s on every "
     "engine) or has a newer schema; then nothing is written to the printer."},
    {static_cast<int>(ExitCode::WrittenNotRecorded),
     "the printer was written but the ledger could not record it",
     "Then stdout and stderr say \"written, not recorded\" with the address; the row is "
     "reconciled on the next start."},
}};
static_assert(kExitCodes.back().code == static_cast<int>(ExitCode::WrittenNotRecorded),
              "every exit code is described");

inline constexpr std::array<VariableUsage, 3> kEnvironment{{
    {"TESSRA_PASSWORD",
     "the level-1 password for mac write and mac next; never an option: without it the tool asks "
     "without echo when stdin is a terminal, else stops at exit 2"},
    {"TESSRA_LEDGER",
     "the ledger when --ledger is not given: an SQLite file or postgresql://...; default "
     "~/.local/share/tessra/ledger.sqlite"},
    {"TESSRA_COMn",
     "the device COMn opens (n = 1 to 10), e.g. TESSRA_COM3=/dev/ttyUSB0; wins over the mapping "
     "saved in the window's Tools > Ports"},
}};

inline constexpr std::array<SectionUsage, 1> kSections{{
    {"FILES",
     "`~/.config/Tessra/tessra-printer-utility.conf`: the port mapping saved by the window.\n\n"
     "`/usr/lib/udev/rules.d/70-tessra-*.rules`: settings for USB-serial adapters; see "
     "README.md."},
}};

inline constexpr ProgramUsage kToolUsage{
    "tessra-cli",
    "configure a Tessra receipt printer from a script",
    "[--port PORT] [--line SPEED,PARITY] [--ledger LOCATION] [--json] [--trace] COMMAND "
    "[ARGUMENTS]",
    "Does from a script what the window's buttons do, with the same bytes over a serial port.\n\n"
    "Without `--line` every command first finds the printer's speed and parity as the window's "
    "automatic Read does. Errors go to stderr; nothing waits for anyone. `tessra-cli ports` lists "
    "the serial devices.",
    kOptions,
    kExitCodes,
    kEnvironment,
    kSections,
};

}  // namespace tessra::cli
