#pragma once

#include "cli/CommandLine.h"
#include "cli/ExitCode.h"
#include "cli/PrinterSession.h"
#include "cli/Report.h"
#include "cli/Tool.h"

namespace tessra::cli {

// Everything a command's handler works with.
struct ToolContext {
    const CommandLine& commandLine;
    ToolEnvironment& env;
    Report& report;
    PrinterSession& printer;
};

using CommandHandler = ExitCode (*)(ToolContext&);

ExitCode detect(ToolContext& c);
ExitCode settingsShow(ToolContext& c);
ExitCode settingsSave(ToolContext& c);
ExitCode settingsLoad(ToolContext& c);
ExitCode settingsSet(ToolContext& c);
ExitCode runCommand(ToolContext& c);
ExitCode codeShow(ToolContext& c);
ExitCode codeWrite(ToolContext& c);
ExitCode macShow(ToolContext& c);
ExitCode macWrite(ToolContext& c);
ExitCode macNext(ToolContext& c);
ExitCode ledgerList(ToolContext& c);
ExitCode ledgerReport(ToolContext& c);
ExitCode ledgerFactory(ToolContext& c);
ExitCode provision(ToolContext& c);
ExitCode runStation(ToolContext& c);

}  // namespace tessra::cli
