// tessra-cli: the utility's printer commands for scripts (see README.md).
#include <QCoreApplication>
#include <iostream>

#include "cli/Password.h"
#include "cli/Tool.h"
#include "identity/IdentityTexts.h"
#include "link/QtClock.h"
#include "link/QtSerialPort.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("tessra-cli");
    tessra::QtSerialPort port;
    tessra::QtClock clock;
    tessra::cli::ToolEnvironment env{
        port,
        clock,
        std::cout,
        std::cerr,
        [&port](int number, const std::string& device) { port.useDevice(number, device); },
        [] {
            return tessra::cli::passwordFromEnvironmentOrTerminal(
                tessra::identity::kPasswordPrompt);
        },
    };
    return tessra::cli::runTool(QCoreApplication::arguments(), env);
}
