#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "link/FoundPort.h"

class QSettings;

namespace tessra {

// Where the device of a numbered port comes from, strongest first.
enum class PortSource { Environment, Saved, Default };

struct PortMapping {
    std::string device;
    PortSource source = PortSource::Default;
    bool operator==(const PortMapping&) const = default;
};

// Which device each of COM1 to COM10 means. The environment variable
// TESSRA_COMn wins over the mapping saved from the Ports dialog, which wins
// over the default (/dev/ttyS(n-1) on Linux, COMn on Windows). The window and
// the command-line tool both map through this class, so that they agree.
class PortMap {
public:
    // The mapping kept in the user's settings of the utility.
    PortMap() = default;
    // A mapping kept in an INI file of its own, such as one in a test's folder.
    explicit PortMap(std::string settingsFile) : file_(std::move(settingsFile)) {}

    PortMapping resolve(int portNumber) const;
    std::string device(int portNumber) const { return resolve(portNumber).device; }

    // The saved device of the port; empty when none is saved.
    std::string saved(int portNumber) const;
    // Saves the device for the port; an empty one removes the mapping.
    void save(int portNumber, const std::string& device) const;

    static std::string environmentVariable(int portNumber);  // "TESSRA_COM3"
    static std::string fromEnvironment(int portNumber);      // empty when unset
    static std::string defaultDevice(int portNumber);

private:
    std::unique_ptr<QSettings> open() const;
    std::string file_;
};

// Plugged-in adapters (found ports that are no entry's default device) that
// no entry reaches yet, each proposed for the first entry still free to take
// one: an entry on its default device, where that device is not a port of
// this machine. entries[0] is COM1. Returns (port number, device).
std::vector<std::pair<int, std::string>> proposeNewPorts(const std::vector<PortMapping>& entries,
                                                         const std::vector<FoundPort>& found);

}  // namespace tessra
