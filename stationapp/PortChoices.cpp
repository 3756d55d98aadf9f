#include "stationapp/PortChoices.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace tessra::stationapp {

namespace fs = std::filesystem;

std::vector<PortChoice> portChoices(const std::string& serialDir,
                                    const std::vector<FoundPort>& found, const PortMap& map) {
    std::vector<PortChoice> choices;
    for (const char* kind : {"by-path", "by-id"}) {
        std::error_code ec;
        std::vector<fs::path> names;
        for (const auto& entry : fs::directory_iterator(fs::path(serialDir) / kind, ec)) {
            names.push_back(entry.path());
        }
        std::sort(names.begin(), names.end());
        for (const fs::path& name : names) {
            const fs::path target = fs::weakly_canonical(name, ec);
            choices.push_back({name.string(), std::string(kind) + ": " + name.filename().string() +
                                                  " (" + target.string() + ")"});
        }
    }
    for (const FoundPort& port : found) choices.push_back({port.device, describePort(port)});
    for (int n = 1; n <= 10; ++n) {
        const std::string device = map.device(n);
        std::error_code ec;
        if (!fs::exists(device, ec)) continue;
        choices.push_back(
            {"COM" + std::to_string(n), "COM" + std::to_string(n) + " (" + device + ")"});
    }
    return choices;
}

}  // namespace tessra::stationapp
