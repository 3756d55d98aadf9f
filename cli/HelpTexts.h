#pragma once

#include <string_view>

namespace tessra::cli {

// The end of --help: what scripts and the person at the terminal must know
// besides the options and commands.
inline constexpr std::string_view kHelpEpilogue = R"(
Exit codes:
  0  done
  1  the printer did not answer, a read-back did not match, a MAC range is full
  2  the command line, a file or the password is wrong, or mac write refuses an
     address the ledger holds
  3  the port could not be opened, or the ledger could not be reached

Environment:
  TESSRA_PASSWORD  the level-1 password for mac write and mac next (never an
                   option; without it the tool asks when stdin is a terminal)
  TESSRA_LEDGER    the ledger when --ledger is not given: an SQLite file or
                   postgresql://...; default ~/.local/share/tessra/ledger.sqlite
  TESSRA_COMn      the device COMn opens (n = 1 to 10), e.g. TESSRA_COM3=/dev/ttyUSB0;
                   wins over the mapping saved in the window's Tools > Ports

See also: man tessra-cli, and tessra-cli ports for the serial devices.
)";

}  // namespace tessra::cli
