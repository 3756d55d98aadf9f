#include "station/SlotDevices.h"

#include "link/DeviceIdentity.h"
#include "link/PortOption.h"

namespace tessra::station {

std::optional<std::string> slotsOnOneDevice(
    const std::vector<std::string>& ports,
    const std::function<std::string(int portNumber)>& comDevice) {
    std::vector<std::pair<std::string, DeviceIdentity>> seen;
    for (const std::string& port : ports) {
        const auto option = parsePortOption(port);
        const std::string device =
            option && option->device.empty() ? comDevice(option->number) : port;
        const auto identity = identifyDevice(device);
        if (!identity) continue;
        for (const auto& [earlier, known] : seen) {
            if (sameDevice(known, *identity))
                return earlier + " and " + port + " reach one device (" + identity->path + ")";
        }
        seen.emplace_back(port, *identity);
    }
    return std::nullopt;
}

}  // namespace tessra::station
