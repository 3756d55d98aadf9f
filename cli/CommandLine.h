#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

namespace tessra::cli {

// --port: COM1 to COM10, or a device path that takes COM1's place.
struct PortOption {
    int number = 1;
    std::string device;  // empty for COMn
    // How the port is named in messages and in the ledger: "COM3" or the path.
    std::string name() const;
};

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
    bool again = false;                  // mac write
    QString range;                       // mac next
    bool csv = false;                    // ledger list
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

// "COM1" to "COM10" in any case, else a path with a slash or backslash.
std::optional<PortOption> parsePortOption(const std::string& text);
// "SPEED,PARITY" or "SPEED,PARITY,8,1"; a speed the window offers, parity n, e or o;
// SPEED alone means parity n.
std::optional<LineOption> parseLineOption(const std::string& text);

}  // namespace tessra::cli
