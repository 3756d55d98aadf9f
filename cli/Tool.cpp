#include "cli/Tool.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "cli/CommandTable.h"
#include "cli/PortsCommand.h"
#include "cli/ToolContext.h"
#include "cli/TracePort.h"

namespace tessra::cli {

namespace {

struct Handler {
    std::string_view command;
    CommandHandler handler;
};

constexpr std::array<Handler, 17> kHandlers{{
    {"detect", detect},
    {"settings show", settingsShow},
    {"settings save", settingsSave},
    {"settings load", settingsLoad},
    {"settings set", settingsSet},
    {"run", runCommand},
    {"code show", codeShow},
    {"code write", codeWrite},
    {"mac show", macShow},
    {"mac write", macWrite},
    {"mac next", macNext},
    {"ledger list", ledgerList},
    {"ledger report", ledgerReport},
    {"ledger factory", ledgerFactory},
    {"provision", provision},
    {"station", runStation},
    {"ports", listPorts},
}};
static_assert(kHandlers.size() == kCommands.size(), "every command has its handler");

}  // namespace

int runTool(const QStringList& arguments, ToolEnvironment& env) {
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    if (!parsed.info.empty()) {
        env.out << parsed.info << std::flush;
        return static_cast<int>(ExitCode::Done);
    }
    Report report(env.out, env.err, parsed.json);
    if (!parsed.commandLine) {
        report.error(parsed.error + " (see tessra-cli --help)");
        return report.finish(ExitCode::BadInput);
    }
    const CommandLine& commandLine = *parsed.commandLine;
    report.set("command", qs(commandLine.command));

    if (!commandLine.port.device.empty())
        env.useDevice(commandLine.port.number, commandLine.port.device);
    std::optional<TracePort> trace;
    if (commandLine.trace)
        trace.emplace(env.port, env.clock, [&](const std::string& line) { report.trace(line); });
    SerialPort& port = trace ? static_cast<SerialPort&>(*trace) : env.port;

    PrinterSession printer(port, env.clock, report, commandLine);
    ToolContext context{commandLine, env, report, printer};
    const auto handler = std::ranges::find(kHandlers, commandLine.command, &Handler::command);
    ExitCode code = ExitCode::BadInput;
    if (handler != kHandlers.end()) {
        code = handler->handler(context);
    } else {
        report.error(commandLine.command + " is not available in this build");
    }
    if (printer.connected()) report.set("line", qs(printer.line()));
    return report.finish(code);
}

}  // namespace tessra::cli
