#pragma once

#include <functional>

#include "link/PrinterLink.h"

namespace tessra {

inline constexpr int kSettingsReplySize = 4;

// ESC @, then the settings read request, on the open port. The printer
// answers with its four block bytes.
bool sendSettingsRequest(PrinterLink& link);

struct PrinterSearch {
    enum class Outcome {
        Found,     // the port is open and the reply waits there
        NoAnswer,  // every try timed out; the time-out message was shown
        Stopped,   // opening or writing failed (already shown), or the window is closing
    };
    Outcome outcome = Outcome::NoAnswer;
    int speedIndex = -1;  // kSpeedTexts index, when found
    int parityIndex = -1;
};

// Finds the printer as the automatic Read does: every speed of
// kAutoReadSpeedOrder with every parity, a settings read request at each,
// kAutoReadAttempt for the reply. The window handles events between tries.
// A find is shown through LineChoice::showDetected, so that later commands
// open the port at the printer's line.
// `beforeRequest` runs on the open port before each request (e.g. to drop
// input left over from an earlier run).
PrinterSearch findPrinter(PrinterLink& link, const std::function<void()>& beforeRequest = {});

}  // namespace tessra
