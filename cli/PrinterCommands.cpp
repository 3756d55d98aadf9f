// run, code show and code write.
#include <algorithm>
#include <array>

#include "cli/ToolContext.h"
#include "commands/CommandHandlers.h"
#include "identity/CustomerCodeFrame.h"
#include "identity/CustomerCodeValue.h"
#include "identity/IdentityTexts.h"
#include "link/QuotedText.h"

namespace tessra::cli {

namespace {

// run's names for the window's buttons, by control name.
struct RunName {
    std::string_view name;
    std::string_view control;
};
constexpr std::array<RunName, 11> kRunNames{{
    {"self-test", "Command2"},
    {"sample-font", "Command3"},
    {"hex-dump", "Command1"},
    {"feed", "Command14"},
    {"cut", "Command15"},
    {"test-pattern", "Command16"},
    {"firmware-recovery", "Command5"},
    {"wifi-ap", "Command17"},
    {"wifi-station", "Command18"},
    {"bluetooth", "Command19"},
    {"bluetooth-ble", "Command21"},
}};

const commands::CommandButton* commandButton(std::string_view control) {
    for (const auto table : {std::span<const commands::CommandButton>(commands::kMaintenanceColumn),
                             std::span<const commands::CommandButton>(commands::kPaperButtons)}) {
        const auto at = std::ranges::find(table, control, &commands::CommandButton::control);
        if (at != table.end()) return &*at;
    }
    return nullptr;
}

const commands::WirelessButton* wirelessButton(std::string_view control) {
    const auto at =
        std::ranges::find(commands::kWirelessColumn, control, &commands::WirelessButton::control);
    return at == commands::kWirelessColumn.end() ? nullptr : &*at;
}

std::string runNames() {
    std::string text;
    for (const RunName& r : kRunNames) text += (text.empty() ? "" : ", ") + std::string(r.name);
    return text;
}

// Reads the code into the view; nothing when the printer did not answer.
std::optional<std::string> readCode(ToolContext& c, identity::CustomerCodeFrame& frame,
                                    ConsoleCustomerCodeView& view) {
    view.setCustomerCodeText("");
    frame.Command20_Click(0);
    if (c.op.fault() != ExitCode::Done || view.customerCodeText().empty()) return std::nullopt;
    return view.customerCodeText();
}

}  // namespace

ExitCode runCommand(ToolContext& c) {
    const std::string& name = c.commandLine.arguments.front();
    const auto run = std::ranges::find(kRunNames, name, &RunName::name);
    if (run == kRunNames.end()) {
        c.report.error("unknown name \"" + quotedInput(name) + "\" for run; names: " + runNames());
        return ExitCode::BadInput;
    }
    if (const ExitCode code = c.printer.connect(); code != ExitCode::Done) return code;
    if (const auto* button = commandButton(run->control)) {
        commands::runButton(c.printer.link(), *button);
    } else if (const auto* wireless = wirelessButton(run->control)) {
        commands::sendWirelessMode(c.printer.link(), wireless->mode);
    }
    if (c.op.fault() != ExitCode::Done) return c.op.fault();
    c.report.set("sent", qs(name));
    c.report.line("sent " + name);
    return ExitCode::Done;
}

ExitCode codeShow(ToolContext& c) {
    if (const ExitCode code = c.printer.connect(); code != ExitCode::Done) return code;
    ConsoleCustomerCodeView view;
    identity::CustomerCodeFrame frame(c.printer.link(), view);
    const auto code = readCode(c, frame, view);
    if (!code) return c.op.fault();
    c.report.set("code", std::stoi(*code));
    c.report.line(*code);
    return ExitCode::Done;
}

ExitCode codeWrite(ToolContext& c) {
    const std::string& text = c.commandLine.arguments.front();
    const auto wanted = identity::customerCodeFromText(text);
    if (!wanted) {
        c.report.error(identity::kCustomerCodeRangeMessage);
        return ExitCode::BadInput;
    }
    if (const ExitCode code = c.printer.connect(); code != ExitCode::Done) return code;
    ConsoleCustomerCodeView view;
    identity::CustomerCodeFrame frame(c.printer.link(), view);
    view.setCustomerCodeText(text);
    frame.Command20_Click(1);
    if (c.op.fault() != ExitCode::Done) return c.op.fault();
    const auto back = readCode(c, frame, view);
    if (!back) return c.op.fault();
    c.report.set("code", *wanted);
    c.report.set("readBack", std::stoi(*back));
    if (*back != std::to_string(*wanted)) {
        c.report.error("wrote customer code " + std::to_string(*wanted) + " but read back " +
                       *back);
        return ExitCode::PrinterFault;
    }
    c.report.line("wrote customer code " + std::to_string(*wanted) + ", read back");
    return ExitCode::Done;
}

}  // namespace tessra::cli
