// tessra-station: the production station's window.
#include <QApplication>
#include <QIcon>
#include <QInputDialog>
#include <QLineEdit>
#include <QMetaObject>
#include <cstdlib>
#include <iostream>

#include "identity/IdentityTexts.h"
#include "link/PortMap.h"
#include "link/QtSerialPort.h"
#include "station/RecipeWork.h"
#include "station/StopSignals.h"
#include "stationapp/PortChoices.h"
#include "stationapp/Provisioning.h"
#include "stationapp/StationUsage.h"
#include "stationapp/StationWindow.h"

namespace {

// TESSRA_PASSWORD, else asked without echo when a run starts.
std::optional<std::string> askPassword() {
    if (const char* set = std::getenv("TESSRA_PASSWORD"); set && *set) return std::string(set);
    bool ok = false;
    const QString typed = QInputDialog::getText(
        nullptr, QStringLiteral("tessra-station"),
        QString::fromUtf8(tessra::identity::kPasswordPrompt.data(),
                          static_cast<qsizetype>(tessra::identity::kPasswordPrompt.size())),
        QLineEdit::Password, {}, &ok);
    if (!ok) return std::nullopt;
    return typed.toStdString();
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tessra;
    if (answeredInfoOption(argc, argv, stationapp::kStationUsage, std::cout)) return 0;
    // SIGINT and SIGTERM close the window, which lets each unit finish its
    // current step.
    station::StopSignals stopSignals([](int) {
        if (QCoreApplication::instance() == nullptr) std::_Exit(130);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [] {
                for (QWidget* w : QApplication::topLevelWidgets()) {
                    if (auto* window = qobject_cast<QMainWindow*>(w)) window->close();
                }
            },
            Qt::QueuedConnection);
    });
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("tessra-station"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tessra-printer-utility")));
    stationapp::StationWindow window(
        [](const std::string& recipe) {
            stationapp::StationParts parts = stationapp::stationParts(recipe, askPassword);
            station::StationSetup setup;
            setup.printers = std::move(parts.printers);
            setup.work = std::move(parts.work);
            setup.threads = station::qtThreads();
            return setup;
        },
        stationapp::portChoices("/dev/serial", systemSerialPorts(), PortMap()));
    window.resize(1200, 800);
    window.show();
    return QApplication::exec();
}
