#include "link/DeviceIdentity.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

namespace tessra {

std::string DeviceIdentity::key() const {
    return number != 0 ? "dev:" + std::to_string(number) : path;
}

std::optional<DeviceIdentity> identifyDevice(const std::string& name) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path resolved = fs::canonical(name, ec);
    if (ec) return std::nullopt;
    DeviceIdentity id{resolved.string(), 0};
    struct stat st {};
    if (::stat(id.path.c_str(), &st) == 0 && S_ISCHR(st.st_mode)) id.number = st.st_rdev;
    return id;
}

bool sameDevice(const DeviceIdentity& a, const DeviceIdentity& b) {
    if (a.number != 0 || b.number != 0) return a.number == b.number;
    return a.path == b.path;
}

}  // namespace tessra
