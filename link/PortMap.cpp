#include "link/PortMap.h"

#include <QSettings>
#include <QtGlobal>
#include <algorithm>

#include "link/LineSettings.h"

namespace tessra {

namespace {
// Shared by every program of the utility that opens a port.
constexpr const char* kOrganization = "Tessra";
constexpr const char* kApplication = "tessra-printer-utility";

QString key(int portNumber) {
    return QStringLiteral("Ports/") + QString::fromStdString(portCaption(portNumber));
}
}  // namespace

std::unique_ptr<QSettings> PortMap::open() const {
    if (file_.empty()) return std::make_unique<QSettings>(kOrganization, kApplication);
    return std::make_unique<QSettings>(QString::fromStdString(file_), QSettings::IniFormat);
}

std::string PortMap::environmentVariable(int portNumber) {
    return "TESSRA_COM" + std::to_string(portNumber);
}

std::string PortMap::fromEnvironment(int portNumber) {
    return qgetenv(environmentVariable(portNumber).c_str()).toStdString();
}

std::string PortMap::defaultDevice(int portNumber) {
#ifdef Q_OS_WIN
    return portCaption(portNumber);
#else
    return "/dev/ttyS" + std::to_string(portNumber - 1);
#endif
}

std::string PortMap::saved(int portNumber) const {
    return open()->value(key(portNumber)).toString().toStdString();
}

void PortMap::save(int portNumber, const std::string& device) const {
    const auto settings = open();
    if (device.empty())
        settings->remove(key(portNumber));
    else
        settings->setValue(key(portNumber), QString::fromStdString(device));
    settings->sync();  // another program of the utility may start right after
}

PortMapping PortMap::resolve(int portNumber) const {
    if (std::string device = fromEnvironment(portNumber); !device.empty())
        return {device, PortSource::Environment};
    if (std::string device = saved(portNumber); !device.empty()) return {device, PortSource::Saved};
    return {defaultDevice(portNumber), PortSource::Default};
}

std::vector<std::pair<int, std::string>> proposeNewPorts(const std::vector<PortMapping>& entries,
                                                         const std::vector<FoundPort>& found) {
    const auto isFound = [&](const std::string& device) {
        return std::any_of(found.begin(), found.end(),
                           [&](const FoundPort& p) { return sameDevice(p.device, device); });
    };
    const auto isReached = [&](const std::string& device) {
        return std::any_of(entries.begin(), entries.end(),
                           [&](const PortMapping& e) { return sameDevice(e.device, device); });
    };
    // A port that some entry has by default is built in, not a plugged-in
    // adapter, even where that entry was mapped elsewhere.
    const auto isBuiltIn = [](const std::string& device) {
        for (int n = 1; n <= kPortCount; ++n) {
            if (sameDevice(PortMap::defaultDevice(n), device)) return true;
        }
        return false;
    };
    std::vector<std::pair<int, std::string>> proposals;
    std::size_t next = 0;
    for (const FoundPort& port : found) {
        if (isReached(port.device) || isBuiltIn(port.device)) continue;
        while (next < entries.size() &&
               (entries[next].source != PortSource::Default || isFound(entries[next].device)))
            ++next;
        if (next == entries.size()) break;
        proposals.emplace_back(static_cast<int>(next) + 1, port.device);
        ++next;
    }
    return proposals;
}

}  // namespace tessra
