#pragma once

#include <string>
#include <string_view>

namespace tessra {

// What the printer prints once a settings read or write is done.
inline constexpr std::string_view kReadConfirmation = " Read Complete";
inline constexpr std::string_view kWriteConfirmation = " Setting Complete";

// Shown when the printer's DSR does not come after a settings read's confirmation.
inline constexpr std::string_view kCableMessage = "unpluge Cable,Please check Cable!";

// Progress of the automatic read, in the status line.
inline constexpr std::string_view kPrinterFound = "Printer found at ";
// The port opened at every speed and nothing answered: the usual causes, in the
// order they are easiest to check.
inline constexpr std::string_view kNoAnswerAtAnySpeed =
    "No answer at any speed. To fix: check the cable, the port mapping (Tools > Ports...) "
    "and that the printer is switched on";

inline std::string tryingText(std::string_view settings, int attempt, int attempts) {
    return "Trying " + std::string(settings) + " (" + std::to_string(attempt) + "/" +
           std::to_string(attempts) + ")";
}

}  // namespace tessra
