// run, code show and code write.
#include "cli/ToolContext.h"
#include "commands/CommandHandlers.h"
#include "identity/CustomerCodeValue.h"
#include "link/QuotedText.h"

namespace tessra::cli {

ExitCode runCommand(ToolContext& c) {
    const std::string& name = c.commandLine.arguments.front();
    if (!commands::callsOf(name)) {
        c.report.error("unknown name \"" + quotedInput(name) + "\" for run; names: " + runNames());
        return ExitCode::BadInput;
    }
    if (const ExitCode code = c.printer.connect(); code != ExitCode::Done) return code;
    if (!c.printer.take(c.printer.printer().run(name))) return c.printer.fault();
    c.report.set("sent", qs(name));
    c.report.line("sent " + name);
    return ExitCode::Done;
}

ExitCode codeShow(ToolContext& c) {
    if (const ExitCode code = c.printer.connect(); code != ExitCode::Done) return code;
    const auto code = c.printer.take(c.printer.printer().readCustomerCode());
    if (!code) return c.printer.fault();
    c.report.set("code", *code);
    c.report.line(std::to_string(*code));
    return ExitCode::Done;
}

ExitCode codeWrite(ToolContext& c) {
    const auto wanted = identity::customerCodeFromText(c.commandLine.arguments.front());
    if (!wanted) {
        c.report.error("customer code must be 1 to 255, not \"" +
                       quotedInput(c.commandLine.arguments.front()) + "\"");
        return ExitCode::BadInput;
    }
    if (const ExitCode code = c.printer.connect(); code != ExitCode::Done) return code;
    auto& printer = c.printer.printer();
    if (!c.printer.take(printer.writeCustomerCode(*wanted))) return c.printer.fault();
    const auto back = c.printer.take(printer.readCustomerCode());
    if (!back) return c.printer.fault();
    c.report.set("code", *wanted);
    c.report.set("readBack", *back);
    if (*back != *wanted) {
        c.report.error("wrote customer code " + std::to_string(*wanted) + " but read back " +
                       std::to_string(*back));
        return ExitCode::PrinterFault;
    }
    c.report.line("wrote customer code " + std::to_string(*wanted) + ", read back");
    return ExitCode::Done;
}

}  // namespace tessra::cli
