#include "link/FoundPort.h"

#include <filesystem>
#include <system_error>

namespace tessra {

std::string describePort(const FoundPort& port) {
    std::string text = port.device;
    if (!port.description.empty()) text += ": " + port.description;
    std::string origin = port.manufacturer;
    if (!port.serialNumber.empty())
        origin += (origin.empty() ? "serial " : ", serial ") + port.serialNumber;
    if (!origin.empty()) text += " (" + origin + ")";
    return text;
}

bool sameDevice(const std::string& a, const std::string& b) {
    if (a == b) return true;
    namespace fs = std::filesystem;
    std::error_code errorA;
    std::error_code errorB;
    const fs::path pathA = fs::weakly_canonical(a, errorA);
    const fs::path pathB = fs::weakly_canonical(b, errorB);
    return !errorA && !errorB && pathA == pathB;
}

std::string describeDevice(const std::string& device, const std::vector<FoundPort>& found) {
    for (const FoundPort& port : found) {
        if (!sameDevice(port.device, device)) continue;
        FoundPort named = port;
        named.device = device;  // as the user named it, such as a symlink under /dev/serial
        return describePort(named);
    }
    return device;
}

}  // namespace tessra
