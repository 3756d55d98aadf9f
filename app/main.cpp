#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "app/Form1.h"
#include "app/MacSaveLedger.h"
#include "app/PortsDialog.h"
#include "app/QtOperator.h"
#include "app/SettingsFileMenu.h"
#include "app/TrafficDock.h"
#include "identity/IdentityCommands.h"
#include "link/MainGuard.h"
#include "link/QtClock.h"
#include "link/QtSerialPort.h"
#include "link/TrafficLog.h"
#include "link/TrafficPort.h"

namespace {

constexpr const char* kHelp = R"(Usage: tessra-printer-utility [--help] [--version]

Configures Tessra thermal receipt printers over a serial port: the settings
block, maintenance commands, the wireless module, the MAC address and the
customer code. Opens the window; takes no other arguments.

Environment:
  TESSRA_COMn     device that port entry COMn opens (n = 1 to 10), e.g.
                  TESSRA_COM1=/dev/ttyUSB0; wins over Tools > Ports...
  TESSRA_LEDGER   the MAC address ledger: an SQLite file or postgresql://...

See also tessra-cli(1), tessra-printer-sim(1) and
/usr/share/doc/tessra-printer-utility/README.md.
)";

// Answered before the window exists, so they work without a display.
bool answeredInfoOption(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kHelp, stdout);
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("tessra-printer-utility " TESSRA_VERSION);
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (answeredInfoOption(argc, argv)) return 0;
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
