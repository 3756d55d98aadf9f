#include "link/SerialDevices.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace tessra {

namespace {

namespace fs = std::filesystem;

// The first line of a sysfs attribute; empty when it is missing.
std::string attribute(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// The USB device (the folder with idVendor) above the tty's interface.
fs::path usbDeviceOf(fs::path folder) {
    for (; folder.has_relative_path(); folder = folder.parent_path()) {
        std::error_code error;
        if (fs::exists(folder / "idVendor", error)) return folder;
    }
    return {};
}

// The symlinks of a dev/serial folder that lead to the node, by absolute
// name as the running system sees them.
std::vector<std::string> linksTo(const fs::path& root, const std::string& folder,
                                 const fs::path& node) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(root / "dev/serial" / folder, error)) {
        std::error_code ignored;
        if (fs::equivalent(entry.path(), node, ignored))
            names.push_back("/dev/serial/" + folder + "/" + entry.path().filename().string());
    }
    std::ranges::sort(names);
    return names;
}

fs::path underRoot(const fs::path& root, const std::string& absolute) {
    return root / fs::path(absolute).relative_path();
}

}  // namespace

std::vector<SerialDevice> serialDevices(const std::string& rootText) {
    const fs::path root(rootText);
    std::vector<SerialDevice> devices;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(root / "sys/class/tty", error)) {
        const fs::path tty = entry.path();
        std::error_code noDevice;
        const fs::path device = fs::canonical(tty / "device", noDevice);
        if (noDevice) continue;                        // a virtual terminal, the console, ptmx
        if (attribute(tty / "type") == "0") continue;  // an empty UART slot
        SerialDevice d;
        const std::string name = tty.filename().string();
        d.port.device = "/dev/" + name;
        std::error_code noDriver;
        d.driver = fs::read_symlink(device / "driver", noDriver).filename().string();
        if (d.driver == "port")  // the serial core's port device; the chip's driver is above
            d.driver =
                fs::read_symlink(device.parent_path() / "driver", noDriver).filename().string();
        if (const fs::path usb = usbDeviceOf(device); !usb.empty()) {
            d.usbId = attribute(usb / "idVendor") + ":" + attribute(usb / "idProduct");
            d.port.description = attribute(usb / "product");
            d.port.manufacturer = attribute(usb / "manufacturer");
            d.port.serialNumber = attribute(usb / "serial");
        }
        const fs::path node = root / "dev" / name;
        d.byId = linksTo(root, "by-id", node);
        d.byPath = linksTo(root, "by-path", node);
        devices.push_back(std::move(d));
    }
    std::ranges::sort(devices, {}, [](const SerialDevice& d) { return d.port.device; });
    return devices;
}

bool reaches(const std::string& name, const SerialDevice& device, const std::string& root) {
    if (name == device.port.device || std::ranges::find(device.byId, name) != device.byId.end() ||
        std::ranges::find(device.byPath, name) != device.byPath.end())
        return true;
    std::error_code error;
    return fs::equivalent(underRoot(root, name), underRoot(root, device.port.device), error);
}

}  // namespace tessra
