#pragma once

#include <string>
#include <vector>

#include "cli/ExitCode.h"
#include "link/FoundPort.h"
#include "printer/Printer.h"

namespace tessra::cli {

// What the tool knows when it words a failure.
struct FailureScene {
    std::string portName;          // "COM3 (/dev/ttyS2)", or the device path given
    std::string line;              // "9600,n,8,1"
    bool searched = false;         // the printer was being found at every speed
    std::vector<FoundPort> found;  // the serial ports this machine has
};

// The tool's one table of failure texts, for a console user.
std::string failureText(const printer::Failure& failure, const FailureScene& scene);
ExitCode exitCodeOf(printer::FailureKind kind);

}  // namespace tessra::cli
