#pragma once

#include <optional>
#include <string>

#include "cli/CommandLine.h"
#include "cli/ConsoleOperator.h"
#include "cli/ConsoleViews.h"
#include "cli/ExitCode.h"
#include "link/PrinterLink.h"
#include "settings/SettingsBlock.h"

namespace tessra::cli {

// The printer as one run of the tool sees it: the link with the console
// seams, the line it answers at, and the settings block.
class PrinterSession {
public:
    PrinterSession(SerialPort& port, Clock& clock, ConsoleOperator& op,
                   const CommandLine& commandLine);

    // With --line nothing is sent yet; without, the printer is found as the
    // window's automatic Read finds it. Done, or the fault to exit with.
    ExitCode connect();
    bool connected() const { return connected_; }

    PrinterLink& link() { return link_; }
    // The line the port opens at: "57600,n,8,1".
    std::string line() const { return line_.settings(); }

    // The printer's block: the reply that found the printer, if not yet
    // used, else a plain settings read request at the current line. Unlike
    // the window's Read, the printer prints nothing for it. Nothing when the
    // printer did not answer or the block was rejected (the operator heard).
    std::optional<settings::Block> readBlock();

    // Writes the selections as the window's Write button does (the printer
    // prints its confirmation), then follows the printer to the speed and
    // parity written. False when the operator heard of a fault.
    bool writeSettings(const settings::Selections& selections);

private:
    bool failed() const { return op_.fault() != ExitCode::Done; }

    const CommandLine& commandLine_;
    ConsoleOperator& op_;
    ConsoleLineChoice line_;
    PrinterLink link_;
    bool connected_ = false;
    std::optional<Bytes> foundReply_;
};

}  // namespace tessra::cli
