// tessra-cli: the utility's printer commands for scripts (see README.md).
#include <QCoreApplication>
#include <algorithm>
#include <iostream>
#include <string_view>

#include "cli/Password.h"
#include "cli/Tool.h"
#include "identity/IdentityTexts.h"
#include "link/MainGuard.h"
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
    const bool json = std::find(argv + 1, argv + argc, std::string_view("--json")) != argv + argc;
    return tessra::guardMain(
        "tessra-cli", [&] { return tessra::cli::runTool(QCoreApplication::arguments(), env); },
        std::cerr, json ? &std::cout : nullptr);
}
