#include "cli/CommandLine.h"

#include <QCommandLineParser>
#include <algorithm>
#include <charconv>

#include "cli/CommandTable.h"
#include "cli/HelpTexts.h"
#include "commands/CommandHandlers.h"
#include "ledger/LedgerLocation.h"
#include "ledger/MacRecord.h"
#include "link/LineSettings.h"
#include "link/QuotedText.h"

namespace tessra::cli {

namespace {

constexpr std::string_view kSynopsis =
    "tessra-cli [--port PORT] [--line SPEED,PARITY] [--ledger LOCATION] [--json] [--trace] "
    "COMMAND [ARGUMENTS]";

std::string lower(std::string text) {
    std::ranges::transform(text, text.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return text;
}

std::optional<int> wholeNumber(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// "  usage      description" with the descriptions in one column.
std::string helpLine(std::string usage, std::string_view description) {
    usage.resize(std::max<std::size_t>(usage.size() + 2, 33), ' ');
    return "  " + usage + std::string(description) + "\n";
}

}  // namespace

std::string runNames() {
    std::string text;
    for (const std::string_view name : commands::commandNames())
        text += (text.empty() ? "" : ", ") + std::string(name);
    return text;
}

namespace {

std::string commandList() {
    std::string text = "Commands:\n";
    for (const CommandEntry& c : kCommands) {
        std::string usage(c.name);
        if (!c.arguments.empty()) usage += " " + std::string(c.arguments);
        text += helpLine(usage, c.summary);
        if (c.name == "run") text += helpLine("", "NAME: " + runNames());
    }
    return text;
}

// Names the subcommands when the first word starts some, else every command.
std::string unknownCommand(const std::string& first) {
    std::string subcommands;
    std::string all;
    for (const CommandEntry& c : kCommands) {
        all += (all.empty() ? "" : ", ") + std::string(c.name);
        if (c.name.starts_with(first + " "))
            subcommands +=
                (subcommands.empty() ? "" : ", ") + std::string(c.name.substr(first.size() + 1));
    }
    if (first.empty()) return "no command given; commands: " + all;
    const std::string shown = quotedInput(first);
    if (!subcommands.empty()) return "\"" + shown + "\" needs one of: " + subcommands;
    return "unknown command \"" + shown + "\"; commands: " + all;
}

// The command whose words start the positional arguments; two words win.
const CommandEntry* findCommand(const QStringList& words, int& wordCount) {
    for (const CommandEntry& c : kCommands) {
        const bool twoWords = c.name.find(' ') != std::string_view::npos;
        const int count = twoWords ? 2 : 1;
        if (words.size() < count) continue;
        const QString name = words.mid(0, count).join(' ');
        if (name == QString::fromUtf8(c.name.data(), static_cast<qsizetype>(c.name.size()))) {
            wordCount = count;
            return &c;
        }
    }
    return nullptr;
}

struct Options {
    QCommandLineOption port{"port", "COM1 to COM10, or a device path (default COM1).", "PORT",
                            "COM1"};
    QCommandLineOption line{
        "line", "The printer's speed and parity, e.g. 115200,e; without it the printer is found.",
        "SPEED,PARITY"};
    QCommandLineOption ledger{"ledger", "SQLite file or postgresql:// address of the ledger.",
                              "LOCATION"};
    QCommandLineOption json{"json", "One JSON object on stdout instead of text."};
    QCommandLineOption trace{"trace", "Every byte sent and received on stderr."};
    QCommandLineOption again{"again", "mac write: write an address the ledger holds as written."};
    QCommandLineOption range{"range", "mac next: the addresses to take from.", "FIRST-LAST"};
    QCommandLineOption csv{"csv", "ledger list and report: comma-separated values."};
    QCommandLineOption station{"station",
                               "provision, station: this station's name (default: the host name); "
                               "ledger list and report: only this station.",
                               "NAME"};
    QCommandLineOption since{"since", "ledger list and report: from this date or time (UTC).",
                             "DATE"};
    QCommandLineOption until{"until", "ledger list and report: up to this date or time (UTC).",
                             "DATE"};
    QCommandLineOption recipe{"recipe", "ledger list and report: only this recipe.", "NAME"};
    QCommandLineOption slotList{"slots", "station: the ports, one slot each.", "PORT[,PORT...]"};
    QCommandLineOption count{"count", "station: stop after N units, done or failed.", "N"};
    QCommandLineOption help{"help", "This text."};
    QCommandLineOption version{"version", "The version."};
};

std::string optionList(const Options& o) {
    std::string text = "Options:\n";
    for (const QCommandLineOption* option :
         {&o.port, &o.line, &o.ledger, &o.json, &o.trace, &o.again, &o.range, &o.csv, &o.station,
          &o.since, &o.until, &o.recipe, &o.slotList, &o.count}) {
        std::string usage = "--" + option->names().front().toStdString();
        if (!option->valueName().isEmpty()) usage += " " + option->valueName().toStdString();
        text += helpLine(usage, option->description().toStdString());
    }
    return text;
}

// "-1" is a value, not an option: "code write -1" must reach the range check.
// Such words go after "--", which keeps them in order among themselves; an
// option's own value stays with it.
QStringList negativeNumbersLast(const QStringList& arguments, const QStringList& valueOptions) {
    QStringList options;
    QStringList numbers;
    for (const QString& a : arguments) {
        const bool number = a.size() > 1 && a[0] == u'-' && a[1].isDigit() &&
                            !(!options.isEmpty() && valueOptions.contains(options.back()));
        (number ? numbers : options) << a;
    }
    if (numbers.isEmpty() || options.contains(QStringLiteral("--"))) return arguments;
    return options + QStringList{QStringLiteral("--")} + numbers;
}

ParsedCommandLine refused(std::string error, bool json) {
    ParsedCommandLine result;
    result.json = json;
    result.error = std::move(error);
    return result;
}

}  // namespace

std::optional<LineOption> parseLineOption(const std::string& text) {
    const std::string line = lower(text);
    const auto comma = line.find(',');
    const std::string speed = line.substr(0, comma);
    const std::string rest = comma == std::string::npos ? "n" : line.substr(comma + 1);
    if (rest.empty() || (rest.size() != 1 && rest.substr(1) != ",8,1")) return std::nullopt;
    const auto speedAt = std::ranges::find(kSpeedTexts, speed);
    const auto parityAt = std::ranges::find(kParities, rest[0], &ParityChoice::letter);
    if (speedAt == kSpeedTexts.end() || parityAt == kParities.end()) return std::nullopt;
    return LineOption{static_cast<int>(speedAt - kSpeedTexts.begin()),
                      static_cast<int>(parityAt - kParities.begin())};
}

ParsedCommandLine parseCommandLine(const QStringList& arguments) {
    Options o;
    QCommandLineParser parser;
    parser.addOptions({o.port, o.line, o.ledger, o.json, o.trace, o.again, o.range, o.csv,
                       o.station, o.since, o.until, o.recipe, o.slotList, o.count, o.help,
                       o.version});
    parser.addPositionalArgument("COMMAND", "See the commands below.", "COMMAND [ARGUMENTS]");
    const bool parsed = parser.parse(
        negativeNumbersLast(arguments, {"--port", "--line", "--ledger", "--range", "--station",
                                        "--since", "--until", "--recipe", "--slots", "--count"}));
    const bool json = parser.isSet(o.json);
    if (!parsed) return refused(quotedInput(parser.errorText().toStdString(), 160), json);

    ParsedCommandLine result;
    result.json = json;
    if (parser.isSet(o.help)) {
        result.info = "Usage: " + std::string(kSynopsis) + "\n\n" + optionList(o) + "\n" +
                      commandList() + std::string(kHelpEpilogue);
        return result;
    }
    if (parser.isSet(o.version)) {
        result.info = "tessra-cli " TESSRA_VERSION "\n";
        return result;
    }

    CommandLine c;
    c.json = json;
    c.trace = parser.isSet(o.trace);
    c.again = parser.isSet(o.again);
    c.csv = parser.isSet(o.csv);
    c.range = parser.value(o.range);
    c.ledger = parser.value(o.ledger);
    c.station = parser.value(o.station);
    if (parser.isSet(o.station) && !ledger::isStationName(c.station))
        return refused("--station \"" + quotedInput(c.station.toStdString()) +
                           "\": expected a name of 1 to " +
                           std::to_string(ledger::kStationNameLimit) +
                           " printable characters, without control characters",
                       json);
    c.since = parser.value(o.since);
    c.until = parser.value(o.until);
    c.recipe = parser.value(o.recipe);
    if (parser.isSet(o.count)) {
        c.count = wholeNumber(parser.value(o.count).toStdString());
        if (!c.count || *c.count < 1)
            return refused("--count " + quotedInput(parser.value(o.count).toStdString()) +
                               ": expected a whole number of units, 1 or more",
                           json);
    }
    for (const QString& slot : parser.value(o.slotList).split(u',', Qt::SkipEmptyParts)) {
        const auto port = parsePortOption(slot.trimmed().toStdString());
        if (!port)
            return refused("--slots: " + quotedInput(slot.toStdString()) +
                               ": expected COM1 to COM10 or a device path",
                           json);
        // Two slots on one port would take each other's printer.
        if (std::ranges::find(c.slotPorts, port->name(), &PortOption::name) != c.slotPorts.end())
            return refused("--slots: " + quotedInput(port->name()) + " is given twice", json);
        c.slotPorts.push_back(*port);
    }
    const auto port = parsePortOption(parser.value(o.port).toStdString());
    if (!port)
        return refused("--port " + quotedInput(parser.value(o.port).toStdString()) +
                           ": expected COM1 to COM10 or a device path",
                       json);
    c.port = *port;
    if (parser.isSet(o.line)) {
        c.line = parseLineOption(parser.value(o.line).toStdString());
        if (!c.line)
            return refused("--line " + quotedInput(parser.value(o.line).toStdString()) +
                               ": expected SPEED,PARITY with a speed of 2400, 4800, 9600, 19200, "
                               "38400, 57600 or 115200 and parity n, e or o",
                           json);
    }

    // A location that cannot be read is a usage error, found before anything is sent.
    if (!c.ledger.isEmpty()) {
        if (const auto location = ledger::parseLedgerLocation(c.ledger); !location.ok())
            return refused(location.error.toStdString(), json);
    }

    const QStringList words = parser.positionalArguments();
    if (words.isEmpty()) return refused(unknownCommand(""), json);
    int wordCount = 0;
    const CommandEntry* entry = findCommand(words, wordCount);
    if (!entry) return refused(unknownCommand(words.front().toStdString()), json);
    c.command = entry->name;
    for (const QString& w : words.mid(wordCount)) c.arguments.push_back(w.toStdString());
    const int count = static_cast<int>(c.arguments.size());
    if (count < entry->minArguments || (entry->maxArguments >= 0 && count > entry->maxArguments)) {
        std::string usage = "usage: tessra-cli " + c.command;
        if (!entry->arguments.empty()) usage += " " + std::string(entry->arguments);
        return refused(usage, json);
    }
    const auto onlyWith = [&](bool given, unsigned flag, std::string_view option) {
        return given && (entry->flags & flag) == 0 ? std::string(option) : std::string();
    };
    const bool filters = parser.isSet(o.since) || parser.isSet(o.until) || parser.isSet(o.recipe);
    for (const std::string& misplaced :
         {onlyWith(c.again, kTakesAgain, "--again"),
          onlyWith(parser.isSet(o.range), kTakesRange, "--range"),
          onlyWith(c.csv, kTakesCsv, "--csv"),
          onlyWith(parser.isSet(o.station), kTakesStation | kTakesFilters, "--station"),
          onlyWith(filters, kTakesFilters, "--since, --until and --recipe"),
          onlyWith(parser.isSet(o.slotList) || c.count.has_value(), kTakesSlots,
                   "--slots and --count")}) {
        if (!misplaced.empty()) return refused(misplaced + " does not go with " + c.command, json);
    }
    if ((entry->flags & kTakesSlots) && c.slotPorts.empty())
        return refused(c.command + " needs --slots PORT[,PORT...]", json);
    result.commandLine = std::move(c);
    return result;
}

}  // namespace tessra::cli
