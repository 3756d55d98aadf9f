#include "app/PortsDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/Form1.h"
#include "app/QtText.h"
#include "link/QtSerialPort.h"

namespace tessra::app {

namespace {
constexpr int kDeviceRole = Qt::UserRole;

QString foundText(const std::vector<FoundPort>& found) {
    if (found.empty()) return "No serial port found. Plug in the adapter, then press Refresh.";
    QString text = "Serial ports found:";
    for (const FoundPort& port : found) text += "\n    " + qstr(describePort(port));
    return text;
}

// The window's "Tools" menu, made on first use.
QMenu* toolsMenu(QMainWindow& window) {
    for (QAction* action : window.menuBar()->actions()) {
        if (action->menu() && action->text().remove('&') == "Tools") return action->menu();
    }
    return window.menuBar()->addMenu("&Tools");
}
}  // namespace

PortsDialog::PortsDialog(PortMap map, Scan scan, QWidget* parent, StableNames stableNames)
    : QDialog(parent),
      map_(std::move(map)),
      scan_(std::move(scan)),
      stableNames_(std::move(stableNames)) {
    setWindowTitle("Ports");
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        "Each entry of the port list opens the device chosen here. Choose a port the system "
        "found or type a path (a pseudo-terminal, a symlink); leave it empty for the default. "
        "A TESSRA_COMn variable in the environment wins over the choice.");
    intro->setWordWrap(true);
    layout->addWidget(intro);
    foundLabel_ = new QLabel;
    foundLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(foundLabel_);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("<b>Port</b>"), 0, 0);
    grid->addWidget(new QLabel("<b>Device</b>"), 0, 1);
    grid->addWidget(new QLabel("<b>Opens</b>"), 0, 2);
    for (int n = 1; n <= kPortCount; ++n) {
        Row& row = rows_[index(n)];
        row.device = new QComboBox;
        row.device->setObjectName(QString("device%1").arg(n));
        row.device->setEditable(true);
        row.device->setInsertPolicy(QComboBox::NoInsert);
        row.device->setMinimumContentsLength(36);
        row.device->lineEdit()->setPlaceholderText(qstr(PortMap::defaultDevice(n) + " (default)"));
        row.opens = new QLabel;
        grid->addWidget(new QLabel(qstr(portCaption(n))), n, 0);
        grid->addWidget(row.device, n, 1);
        grid->addWidget(row.opens, n, 2);
        connect(row.device, &QComboBox::editTextChanged, this, [this, n] {
            rows_[index(n)].proposed = false;
            showWhatOpens(n);
        });
    }
    grid->setColumnStretch(2, 1);
    layout->addLayout(grid);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QPushButton* refresh = buttons->addButton("Refresh", QDialogButtonBox::ActionRole);
    connect(refresh, &QPushButton::clicked, this, &PortsDialog::rescan);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        save();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    for (int n = 1; n <= kPortCount; ++n) choose(n, map_.saved(n));
    rescan();
}

void PortsDialog::fillChoices(Row& row) {
    const QSignalBlocker quiet(row.device);
    const QString text = row.device->currentText();
    row.device->clear();
    for (const FoundPort& port : found_) {
        row.device->addItem(qstr(describePort(port)), qstr(port.device));
        const SerialDevice* device = stableNamesOf(port.device);
        if (!device) continue;
        for (const std::string& name : device->byPath)
            row.device->addItem(qstr(name + "  (this USB socket: " + port.device + ")"),
                                qstr(name));
        for (const std::string& name : device->byId)
            row.device->addItem(qstr(name + "  (this adapter: " + port.device + ")"), qstr(name));
    }
    row.device->setCurrentIndex(-1);
    row.device->setEditText(text);
}

void PortsDialog::rescan() {
    found_ = scan_();
    devices_ = stableNames_();
    foundLabel_->setText(foundText(found_));
    for (int n = 1; n <= kPortCount; ++n) {
        Row& row = rows_[index(n)];
        const std::string chosen = chosenDevice(n);
        fillChoices(row);
        choose(n, chosen);
        row.proposed = false;
    }
    for (const auto& [portNumber, device] : proposeNewPorts(entries(), found_)) {
        // The socket's name, which stays when identical adapters swap ttyUSB numbers.
        const SerialDevice* names = stableNamesOf(device);
        choose(portNumber, names && !names->byPath.empty() ? names->byPath.front() : device);
        rows_[index(portNumber)].proposed = true;
    }
    for (int n = 1; n <= kPortCount; ++n) showWhatOpens(n);
}

const SerialDevice* PortsDialog::stableNamesOf(const std::string& device) const {
    const auto at =
        std::ranges::find(devices_, device, [](const SerialDevice& d) { return d.port.device; });
    return at == devices_.end() ? nullptr : &*at;
}

std::string PortsDialog::chosenDevice(int portNumber) const {
    const QComboBox* box = deviceBox(portNumber);
    const QString text = box->currentText().trimmed();
    // A found port shows with its description; what is saved is its device.
    const int item = box->findText(text);
    if (item >= 0) return box->itemData(item, kDeviceRole).toString().toStdString();
    return text.toStdString();
}

void PortsDialog::choose(int portNumber, const std::string& device) {
    QComboBox* box = deviceBox(portNumber);
    const int item = box->findData(qstr(device), kDeviceRole);
    if (item >= 0)
        box->setCurrentIndex(item);
    else
        box->setEditText(qstr(device));
}

std::vector<PortMapping> PortsDialog::entries() const {
    std::vector<PortMapping> out;
    for (int n = 1; n <= kPortCount; ++n) {
        if (std::string device = PortMap::fromEnvironment(n); !device.empty())
            out.push_back({device, PortSource::Environment});
        else if (device = chosenDevice(n); !device.empty())
            out.push_back({device, PortSource::Saved});
        else
            out.push_back({PortMap::defaultDevice(n), PortSource::Default});
    }
    return out;
}

void PortsDialog::showWhatOpens(int portNumber) {
    const Row& row = rows_[index(portNumber)];
    const PortMapping entry = entries()[index(portNumber)];
    QString text = qstr(describeDevice(entry.device, found_));
    switch (entry.source) {
        case PortSource::Environment:
            text = "<b>" + text.toHtmlEscaped() + "</b> (set by " +
                   qstr(PortMap::environmentVariable(portNumber)) + ", which wins)";
            break;
        case PortSource::Saved:
            text = text.toHtmlEscaped() + (row.proposed ? " <b>(new adapter, proposed)</b>" : "");
            break;
        case PortSource::Default:
            text = text.toHtmlEscaped() + " (default)";
            break;
    }
    row.opens->setText(text);
}

void PortsDialog::save() const {
    for (int n = 1; n <= kPortCount; ++n) map_.save(n, chosenDevice(n));
}

void addPortsMenu(Form1& form, const PortMap& map) {
    QAction* ports = toolsMenu(form)->addAction("&Ports...");
    QObject::connect(ports, &QAction::triggered, &form, [&form, map] {
        if (form.link().inOperation()) return;  // the mapping stays put during an operation
        PortsDialog dialog(map, systemSerialPorts, &form);
        if (dialog.exec() == QDialog::Accepted) form.refreshPortToolTips();
    });
}

}  // namespace tessra::app
