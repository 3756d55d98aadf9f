#pragma once

#include <optional>
#include <string>

#include "cli/CommandLine.h"
#include "cli/ExitCode.h"
#include "cli/Report.h"
#include "printer/LinkPrinter.h"
#include "settings/SettingsBlock.h"

namespace tessra::cli {

// The printer as one run of the tool sees it: the core's printer on the
// port of --port, at the line of --line or the line it was found at. Every
// failure is told on the report in the tool's own words.
class PrinterSession {
public:
    PrinterSession(SerialPort& port, Clock& clock, Report& report, const CommandLine& commandLine);

    // With --line nothing is sent yet; without, the printer is found as the
    // window's automatic Read finds it. Done, or the fault to exit with.
    ExitCode connect();
    bool connected() const { return connected_; }

    printer::LinkPrinter& printer() { return printer_; }
    // The line the port opens at: "57600,n,8,1".
    std::string line() const { return printer_.lineSettings(); }

    // The outcome's value, or nothing after telling its failure; `fault`
    // then holds the exit code.
    template <class T>
    std::optional<T> take(const printer::Outcome<T>& outcome) {
        if (outcome) return *outcome;
        fault_ = tell(outcome.failure());
        return std::nullopt;
    }
    ExitCode fault() const { return fault_; }

    // Writes the selections as the window's Write button does (the printer
    // prints its confirmation), then follows the printer to the speed and
    // parity written. False when the failure has been told.
    bool writeSettings(const settings::Selections& selections);

private:
    ExitCode tell(const printer::Failure& failure);
    std::string traced(std::string_view status) const;

    SerialPort& port_;
    Report& report_;
    const CommandLine& commandLine_;
    printer::LinkPrinter printer_;
    bool connected_ = false;
    ExitCode fault_ = ExitCode::Done;
};

}  // namespace tessra::cli
