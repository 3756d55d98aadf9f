#pragma once

#include <optional>
#include <string>

namespace tessra {

// A port as a person names it: COM1 to COM10, or a device path that takes
// COM1's place (`--port`, a station's slots).
struct PortOption {
    int number = 1;
    std::string device;  // empty for COMn
    // How the port is named in messages and in the ledger: "COM3" or the path.
    std::string name() const;
};

// "COM1" to "COM10" in any case, else a path with a slash or backslash.
std::optional<PortOption> parsePortOption(const std::string& text);

}  // namespace tessra
