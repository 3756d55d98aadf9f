#include <QApplication>
#include <QIcon>
#include <iostream>

#include "app/Form1.h"
#include "app/MacSaveLedger.h"
#include "app/PortsDialog.h"
#include "app/QtOperator.h"
#include "app/SettingsFileMenu.h"
#include "app/TrafficDock.h"
#include "app/UtilityUsage.h"
#include "identity/IdentityCommands.h"
#include "link/MainGuard.h"
#include "link/QtClock.h"
#include "link/QtSerialPort.h"
#include "link/TrafficLog.h"
#include "link/TrafficPort.h"

int main(int argc, char** argv) {
    if (tessra::answeredInfoOption(argc, argv, tessra::app::kUtilityUsage, std::cout)) return 0;
    QApplication app(argc, argv);
    // Ties the window to its desktop entry and icon (Wayland looks it up by name).
    QGuiApplication::setDesktopFileName(QStringLiteral("tessra-printer-utility"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tessra-printer-utility")));
    tessra::QtSerialPort device;
    tessra::QtClock clock;
    // Every port call passes through the traffic log on its way to the device.
    tessra::TrafficLog traffic(clock);
    tessra::TrafficPort port(device, traffic);
    port.hide({tessra::identity::kMacWriteHeader, tessra::identity::kLevel1Password.size()});
    tessra::app::QtOperator op;
    tessra::app::Form1 form(port, clock, op);
    op.setWindow(&form);
    new tessra::app::SettingsFileMenu(form, form.optionPanel());  // owned by the window
    tessra::app::MacSaveLedger macLedger(form.macFrame(), form.lineChoice(), op);
    tessra::app::addTrafficView(form, traffic);
    form.link().firstHints().connect([&traffic](const std::string& hint) { traffic.note(hint); });
    tessra::app::addPortsMenu(form, device.portMap());
    return tessra::guardMain(
        "tessra-printer-utility", [] { return QApplication::exec(); }, std::cerr);
}
