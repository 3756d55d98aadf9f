#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "link/LineSettings.h"
#include "link/PortMap.h"
#include "link/SerialDevices.h"

class QComboBox;
class QLabel;

namespace tessra::app {

class Form1;

// "Ports": which device each of COM1 to COM10 opens. A choice is one of the
// serial ports the system finds, shown with description, manufacturer and
// serial number, or one of its stable names under /dev/serial (by-path: the
// USB socket; by-id: the adapter), or a typed path (a pseudo-terminal, a
// symlink); an empty one means the default. An adapter that no entry reaches
// yet is proposed, by its by-path name where it has one, for the first free
// entry when the dialog opens and at every Refresh. OK saves.
class PortsDialog final : public QDialog {
public:
    using Scan = std::function<std::vector<FoundPort>()>;
    using StableNames = std::function<std::vector<SerialDevice>()>;
    PortsDialog(
        PortMap map, Scan scan, QWidget* parent = nullptr,
        StableNames stableNames = [] { return serialDevices(); });

    // Looks for serial ports again and proposes the new ones.
    void rescan();
    // The device chosen for the port; empty for the default.
    std::string chosenDevice(int portNumber) const;
    void choose(int portNumber, const std::string& device);
    // Saves every entry's choice in the port map.
    void save() const;

    QComboBox* deviceBox(int portNumber) const { return rows_.at(index(portNumber)).device; }
    QLabel* opensLabel(int portNumber) const { return rows_.at(index(portNumber)).opens; }

private:
    struct Row {
        QComboBox* device = nullptr;
        QLabel* opens = nullptr;
        bool proposed = false;
    };
    static std::size_t index(int portNumber) { return static_cast<std::size_t>(portNumber - 1); }
    void fillChoices(Row& row);
    void showWhatOpens(int portNumber);
    std::vector<PortMapping> entries() const;
    const SerialDevice* stableNamesOf(const std::string& device) const;

    PortMap map_;
    Scan scan_;
    StableNames stableNames_;
    std::vector<FoundPort> found_;
    std::vector<SerialDevice> devices_;
    QLabel* foundLabel_ = nullptr;
    std::array<Row, kPortCount> rows_{};
};

// Adds "Ports..." to the window's "Tools" menu. After the dialog saved, the
// port list's tool tips follow. Dropped while a port operation runs.
void addPortsMenu(Form1& form, const PortMap& map);

}  // namespace tessra::app
