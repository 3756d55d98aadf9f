#pragma once

#include <array>
#include <string_view>

#include "link/ProgramUsage.h"

namespace tessra::cli {

// Options that only some commands take.
enum CommandFlag : unsigned {
    kNoFlags = 0,
    kTakesAgain = 1,
    kTakesRange = 2,
    kTakesCsv = 4,
    kTakesStation = 8,   // --station
    kTakesFilters = 16,  // --since, --until, --recipe (and --station)
    kTakesSlots = 32,    // --slots, --count
    kNeedsSlots = 64,    // --slots is not optional
};

struct CommandEntry {
    std::string_view name;  // one or two words
    std::string_view arguments;
    ValueKind argumentKind;
    int minArguments;
    int maxArguments;  // -1: no limit
    unsigned flags;
    std::string_view summary;  // --help's line
    std::string_view details;  // what the manual page and the README add
};

// Whether the command cannot go without the option, which its usage then
// shows without brackets.
constexpr bool needsOption(const CommandEntry& command, std::string_view option) {
    return (command.flags & kNeedsSlots) != 0 && option == "--slots";
}

inline constexpr std::array<CommandEntry, 17> kCommands{{
    {"detect", "", ValueKind::None, 0, 0, kNoFlags, "print the line the printer answers at",
     "e.g. `57600,n,8,1`"},
    {"settings show", "", ValueKind::None, 0, 0, kNoFlags,
     "print the settings block and its groups",
     "in hex (`Block: 00 02 01 00`) and each of the thirteen groups as `Frame caption: member "
     "caption`"},
    {"settings save", "FILE", ValueKind::File, 1, 1, kNoFlags,
     "save the printer's settings to a file", ""},
    {"settings load", "FILE", ValueKind::File, 1, 1, kNoFlags,
     "write a settings file, then read it back",
     "as the window's Write does, at the speed the printer now listens at; a mismatch is exit 1"},
    {"settings set", "GROUP=MEMBER ...", ValueKind::Text, 1, -1, kNoFlags,
     "change the named groups, write, read back",
     "GROUP is a frame caption, MEMBER a member caption or index, both ignoring case (`\"Paper "
     "Width=58mm\"`, `baudrate=6`); an unknown name is exit 2 and the message lists the valid "
     "names"},
    {"run", "NAME", ValueKind::Text, 1, 1, kNoFlags, "send a maintenance or wireless command",
     "the window's button of that name"},
    {"mac show", "", ValueKind::None, 0, 0, kNoFlags, "print the printer's MAC address",
     "`0A:5C:3E:XX:XX:XX`"},
    {"mac write", "ADDRESS", ValueKind::Text, 1, 1, kTakesAgain,
     "write a MAC address, read it back, record it",
     "First reads the printer's MAC (a port that cannot be opened reserves nothing), reserves the "
     "address in the ledger, records it `written` before the bytes go out, does the password "
     "check and the three writes of a MAC save, reads it back (once more if the answer "
     "disagrees), then records `verified` or `failed`. An address the ledger holds in any state "
     "is refused (exit 2, nothing sent) unless `--again` is given, which the row's note records"},
    {"mac next", "", ValueKind::None, 0, 0, kTakesRange,
     "write the ledger's next free address, read it back",
     "as `mac write` with the lowest address of `--range` the ledger never held (default "
     "`0A:5C:3E:00:00:00-0A:5C:3E:10:FF:FF`). A full range is exit 1"},
    {"code show", "", ValueKind::None, 0, 0, kNoFlags, "print the customer code", ""},
    {"code write", "N", ValueKind::Text, 1, 1, kNoFlags,
     "write the customer code (1-255), read it back", ""},
    {"ledger list", "", ValueKind::None, 0, 0, kTakesCsv | kTakesFilters,
     "list every address the ledger holds, with its state and note",
     "and its time (UTC), station, port, device, recipe, customer code, settings block, unit "
     "(`done`, or `unfinished` with the steps that were), factory mark and owner (the host and "
     "process of the run that holds the row); opens the ledger read-only"},
    {"ledger report", "", ValueKind::None, 0, 0, kTakesCsv | kTakesFilters,
     "units done and not done per hour, recipe and station; not done by reason", ""},
    {"ledger factory", "[ADDRESS ...]", ValueKind::Text, 0, -1, kTakesStation,
     "declare addresses printers carry from the factory, or list them",
     "A declared address is never handed out nor kept on a unit; with no address, lists them"},
    {"provision", "RECIPE", ValueKind::File, 1, 1, kTakesStation,
     "apply a recipe to the printer: settings, MAC, customer code, receipt",
     "The printer is the one on `--port` (see \"Provisioning from a recipe\" in README.md)"},
    {"station", "RECIPE", ValueKind::File, 1, 1, kTakesStation | kTakesSlots | kNeedsSlots,
     "provision printers on several ports at once, one slot per port",
     "until `--count` units have finished, or Ctrl-C or SIGTERM (see \"Production station\" in "
     "README.md)"},
    {"ports", "", ValueKind::None, 0, 0, kNoFlags,
     "list the serial devices and which COM entry opens each",
     "with description, manufacturer, serial number, USB id and driver, their stable names under "
     "`/dev/serial/by-id` and `/dev/serial/by-path`, and why (`TESSRA_COMn`, saved mapping or "
     "default); a chosen mapping that reaches no device is named too. Opens no port"},
}};

inline constexpr std::array<OptionUsage, 16> kOptions{{
    {"--port", "PORT", ValueKind::Port, 0, "COM1 to COM10, or a device path (default COM1).",
     "COM entries are mapped as the window maps them (`TESSRA_COMn` included); a device path is "
     "e.g. `/dev/ttyUSB0`."},
    {"--line", "SPEED,PARITY", ValueKind::Line, 0,
     "The printer's speed and parity, e.g. 115200,e; without it the printer is found.",
     "Parity `n`, `e` or `o`; always 8 data bits and 1 stop bit (`115200,e,8,1` is taken too, and "
     "a speed alone, `115200`, means parity `n`). Without it every command first finds the "
     "printer as the window's automatic Read does: the same 21 tries in the same order, 0.3 s "
     "each."},
    {"--ledger", "LOCATION", ValueKind::File, 0,
     "SQLite file or postgresql:// address of the ledger.",
     "Else `TESSRA_LEDGER`, else `~/.local/share/tessra/ledger.sqlite`."},
    {"--json", "", ValueKind::None, 0, "One JSON object on stdout instead of text.",
     "The command's fields, `exitCode`, `errors` (and `notes`)."},
    {"--trace", "", ValueKind::None, 0, "Every byte sent and received on stderr.",
     "With the milliseconds since the start and the line, e.g. `   412 ms 9600,n,8,1 > 1B 40`, "
     "plus the progress lines (`Trying 9600,n,8,1 (1/21)`) after `# `."},
    {"--again", "", ValueKind::None, kTakesAgain,
     "mac write: write an address the ledger holds as written.", ""},
    {"--range", "FIRST-LAST", ValueKind::Text, kTakesRange, "mac next: the addresses to take from.",
     ""},
    {"--csv", "", ValueKind::None, kTakesCsv, "ledger list and report: comma-separated values.",
     ""},
    {"--station", "NAME", ValueKind::Text, kTakesStation | kTakesFilters,
     "provision, station: this station's name (default: the host name); ledger list and report: "
     "only this station.",
     ""},
    {"--since", "DATE", ValueKind::Text, kTakesFilters,
     "ledger list and report: from this date or time (UTC).",
     "A day, or an ISO time; UTC without a zone."},
    {"--until", "DATE", ValueKind::Text, kTakesFilters,
     "ledger list and report: up to this date or time (UTC).", ""},
    {"--recipe", "NAME", ValueKind::Text, kTakesFilters,
     "ledger list and report: only this recipe.", ""},
    {"--slots", "PORT[,PORT...]", ValueKind::PortList, kTakesSlots,
     "station: the ports, one slot each.", "Named as for `--port`."},
    {"--count", "N", ValueKind::Text, kTakesSlots, "station: stop after N units, done or failed.",
     ""},
    {"--help", "", ValueKind::None, 0, "This text.", ""},
    {"--version", "", ValueKind::None, 0, "The version.", ""},
}};

}  // namespace tessra::cli
