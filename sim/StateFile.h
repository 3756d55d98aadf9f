#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "sim/PrinterState.h"

namespace tessra::sim {

// The printer's flash as a small text file, one "key value" per line:
//   block 00 02 01 00
//   mac 0A 5C 3E 00 00 01
//   customer-code 1
//   wireless-mode 0
//   cuts 0
//   prints 0
// Blank lines and lines starting with '#' are ignored.
std::string formatState(const PrinterState& state);
// Every key exactly once, every value in range; otherwise nothing, and
// *problem says what is wrong.
std::optional<PrinterState> parseState(std::string_view text, std::string* problem);

struct LoadedState {
    PrinterState state;   // the defaults when the file was missing or damaged
    std::string problem;  // empty when the file was read
    bool missing = false;
};
LoadedState loadStateFile(const std::string& path);
// Writes a sibling file and renames it over the old one, so that a crash
// never leaves half a state behind.
bool saveStateFile(const std::string& path, const PrinterState& state, std::string* problem);

}  // namespace tessra::sim
