#pragma once

#include <QStringList>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "link/Clock.h"
#include "link/SerialPort.h"

namespace tessra::cli {

// What the tool needs from the process it runs in; a test gives fakes.
struct ToolEnvironment {
    SerialPort& port;
    Clock& clock;
    std::ostream& out;
    std::ostream& err;
    // Makes the port number open the device (--port with a path).
    std::function<void(int portNumber, const std::string& device)> useDevice;
    // The level-1 password from the environment or a prompt; nothing when
    // neither can give one.
    std::function<std::optional<std::string>()> password;
};

// Runs one command line (arguments[0] is the program) and returns the exit code.
int runTool(const QStringList& arguments, ToolEnvironment& env);

}  // namespace tessra::cli
