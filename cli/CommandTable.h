#pragma once

#include <array>
#include <string_view>

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
};

struct CommandEntry {
    std::string_view name;  // one or two words
    std::string_view arguments;
    int minArguments;
    int maxArguments;  // -1: no limit
    unsigned flags;
    std::string_view summary;
};

inline constexpr std::array<CommandEntry, 17> kCommands{{
    {"detect", "", 0, 0, kNoFlags, "print the line the printer answers at"},
    {"settings show", "", 0, 0, kNoFlags, "print the settings block and its groups"},
    {"settings save", "FILE", 1, 1, kNoFlags, "save the printer's settings to a file"},
    {"settings load", "FILE", 1, 1, kNoFlags, "write a settings file, then read it back"},
    {"settings set", "GROUP=MEMBER ...", 1, -1, kNoFlags,
     "change the named groups, write, read back"},
    {"run", "NAME", 1, 1, kNoFlags, "send a maintenance or wireless command"},
    {"mac show", "", 0, 0, kNoFlags, "print the printer's MAC address"},
    {"mac write", "ADDRESS", 1, 1, kTakesAgain, "write a MAC address, read it back, record it"},
    {"mac next", "", 0, 0, kTakesRange, "write the ledger's next free address, read it back"},
    {"code show", "", 0, 0, kNoFlags, "print the customer code"},
    {"code write", "N", 1, 1, kNoFlags, "write the customer code (1-255), read it back"},
    {"ledger list", "", 0, 0, kTakesCsv | kTakesFilters,
     "list every address the ledger holds, with its state and note"},
    {"ledger report", "", 0, 0, kTakesCsv | kTakesFilters,
     "units done and not done per hour, recipe and station; not done by reason"},
    {"ledger factory", "[ADDRESS ...]", 0, -1, kTakesStation,
     "declare addresses printers carry from the factory, or list them"},
    {"provision", "RECIPE", 1, 1, kTakesStation,
     "apply a recipe to the printer: settings, MAC, customer code, receipt"},
    {"station", "RECIPE", 1, 1, kTakesStation | kTakesSlots,
     "provision printers on several ports at once, one slot per port"},
    {"ports", "", 0, 0, kNoFlags, "list the serial devices and which COM entry opens each"},
}};

}  // namespace tessra::cli
