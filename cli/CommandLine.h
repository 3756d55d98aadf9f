#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

#include "link/PortOption.h"

namespace tessra::cli {

// --line: the printer's speed and parity, as the window's combo indexes.
struct LineOption {
    int speedIndex = 0;
    int parityIndex = 0;
};

struct CommandLine {
    PortOption port;
    std::optional<LineOption> line;  // none: find the printer first
    QString ledger;                  // empty: TESSRA_LEDGER, then the default
    bool json = false;
    bool trace = false;
    bool again = false;  // mac write
    QString range;       // mac next
    bool csv = false;    // ledger list and report
    QString station;     // provision, station; a filter of ledger list and report
    QString since;       // ledger list and report
    QString until;
    QString recipe;
    std::vector<PortOption> slotPorts;   // station
    std::optional<int> count;            // station: stop after this many units
    std::string command;                 // "settings load"
    std::vector<std::string> arguments;  // after the command's words
};

struct ParsedCommandLine {
    std::optional<CommandLine> commandLine;
    bool json = false;  // known even when the rest is refused
    std::string error;  // the command line is refused
    std::string info;   // --help or --version: print it and stop
};

ParsedCommandLine parseCommandLine(const QStringList& arguments);
// The names `run` takes, from the command table: "self-test, sample-font, ...".
std::string runNames();
struct CommandEntry;
// "mac write ADDRESS [--again]": the command with the options only it takes.
std::string commandUsage(const CommandEntry& command);

// "SPEED,PARITY" or "SPEED,PARITY,8,1"; a speed the window offers, parity n, e or o;
// SPEED alone means parity n.
std::optional<LineOption> parseLineOption(const std::string& text);

}  // namespace tessra::cli
