// libFuzzer target: any command line is refused with a short, clean reason,
// or names a known command with arguments it takes; an accepted --line or
// --port written back out reads the same.
#include <QStringList>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "cli/CommandLine.h"
#include "cli/CommandTable.h"
#include "link/LineSettings.h"
#include "link/PortOption.h"

namespace {

using namespace tessra::cli;
using tessra::fuzz::check;

void checkLine(const std::string& text) {
    const auto line = parseLineOption(text);
    if (!line) return;
    check(line->speedIndex >= 0 && line->speedIndex < int(tessra::kSpeedTexts.size()) &&
              line->parityIndex >= 0 && line->parityIndex < int(tessra::kParities.size()),
          "a line names a speed and a parity the window offers");
    const std::string again = std::string(tessra::kSpeedTexts[std::size_t(line->speedIndex)]) +
                              "," + tessra::kParities[std::size_t(line->parityIndex)].letter;
    const auto reread = parseLineOption(again);
    check(reread && reread->speedIndex == line->speedIndex &&
              reread->parityIndex == line->parityIndex,
          "a line reads back");
}

void checkPort(const std::string& text) {
    const auto port = tessra::parsePortOption(text);
    if (!port) return;
    check(port->number >= 1 && port->number <= tessra::kPortCount, "a port is COM1 to COM10");
    const auto reread = tessra::parsePortOption(port->name());
    check(reread && reread->number == port->number && reread->device == port->device,
          "a port reads back");
}

}  // namespace

// The bytes are the arguments, parted by NUL bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    QStringList arguments{"tessra-cli"};
    for (std::size_t at = 0; at <= text.size() && arguments.size() < 16;) {
        const std::size_t end = std::min(text.find('\0', at), text.size());
        const std::string word = text.substr(at, end - at);
        arguments << QString::fromStdString(word);
        checkLine(word);
        checkPort(word);
        at = end + 1;
    }
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    const int outcomes = int(!parsed.info.empty()) + int(!parsed.error.empty()) +
                         int(parsed.commandLine.has_value());
    check(outcomes == 1, "help, a refusal or a command line, one of them");
    if (!parsed.error.empty())
        check(tessra::fuzz::fitForTerminal(parsed.error, 2000), "the reason is clean");
    if (!parsed.commandLine) return 0;
    const CommandLine& c = *parsed.commandLine;
    const auto entry = std::ranges::find(kCommands, c.command, &CommandEntry::name);
    check(entry != kCommands.end(), "a known command");
    const int count = int(c.arguments.size());
    check(count >= entry->minArguments && (entry->maxArguments < 0 || count <= entry->maxArguments),
          "as many arguments as the command takes");
    check((!c.again || entry->flags & kTakesAgain) && (!c.csv || entry->flags & kTakesCsv),
          "options only with their commands");
    return 0;
}
