#include "cli/CommandLine.h"

#include <QCommandLineParser>
#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "cli/CommandTable.h"
#include "cli/HelpTexts.h"
#include "commands/CommandHandlers.h"
#include "ledger/LedgerLocation.h"
#include "ledger/MacRecord.h"
#include "link/LineSettings.h"
#include "link/QuotedText.h"

namespace tessra::cli {

namespace {

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

}  // namespace

std::string runNames() {
    std::string text;
    for (const std::string_view name : commands::commandNames())
        text += (text.empty() ? "" : ", ") + std::string(name);
    return text;
}

std::string commandUsage(const CommandEntry& command) {
    std::string usage(command.name);
    if (!command.arguments.empty()) usage += " " + std::string(command.arguments);
    for (const OptionUsage& o : kOptions)
        if (needsOption(command, o.name))
            usage += " " + optionUsage(o);
        else if ((o.takenBy & command.flags) != 0)
            usage += " [" + optionUsage(o) + "]";
    return usage;
}

namespace {

std::string commandList() {
    std::string text = "Commands:\n";
    for (const CommandEntry& c : kCommands) {
        text += helpLine(commandUsage(c), c.summary);
        if (c.name == "run") text += helpLine("", "NAME: " + runNames());
    }
    return text;
}

// Names the subcommands when the first word starts some, else every command;
// with the nearest of them when one is near.
std::string unknownCommand(const QStringList& words) {
    const std::string first = words.isEmpty() ? std::string() : words.front().toStdString();
    std::vector<std::string_view> subcommands;
    std::vector<std::string_view> firstWords;
    std::string all;
    for (const CommandEntry& c : kCommands) {
        all += (all.empty() ? "" : ", ") + std::string(c.name);
        firstWords.push_back(c.name.substr(0, c.name.find(' ')));
        if (c.name.starts_with(first + " ")) subcommands.push_back(c.name.substr(first.size() + 1));
    }
    if (first.empty()) return "no command given; commands: " + all;
    const std::string shown = quotedInput(first);
    if (!subcommands.empty()) {
        std::string names;
        for (const std::string_view name : subcommands)
            names += (names.empty() ? "" : ", ") + std::string(name);
        const std::string second = words.size() > 1 ? words[1].toStdString() : std::string();
        return "\"" + shown + "\" needs one of: " + names +
               (second.empty() ? std::string() : didYouMean(second, subcommands));
    }
    return "unknown command \"" + shown + "\"; commands: " + all + didYouMean(first, firstWords);
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

QString qText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QCommandLineOption parserOption(const OptionUsage& o) {
    QCommandLineOption option(qText(o.name.substr(2)),
                              QString::fromStdString(plainText(o.summary)));
    if (!o.value.empty()) option.setValueName(qText(o.value));
    return option;
}

QCommandLineOption tableOption(std::string_view name) {
    const auto at = std::ranges::find(kOptions, name, &OptionUsage::name);
    if (at == kOptions.end()) throw std::logic_error("no option " + std::string(name));
    return parserOption(*at);
}

// The options the code below reads by name; the parser takes every one of the table.
struct Options {
    QCommandLineOption port = tableOption("--port"), line = tableOption("--line"),
                       ledger = tableOption("--ledger"), json = tableOption("--json"),
                       trace = tableOption("--trace"), again = tableOption("--again"),
                       range = tableOption("--range"), csv = tableOption("--csv"),
                       station = tableOption("--station"), since = tableOption("--since"),
                       until = tableOption("--until"), recipe = tableOption("--recipe"),
                       slotList = tableOption("--slots"), count = tableOption("--count"),
                       help = tableOption("--help"), version = tableOption("--version");
};

// "Unknown option 'prot'." as "unknown option --prot; did you mean --port?".
// Quoted here: the suggestion is the table's own.
std::string unknownOption(const QCommandLineParser& parser) {
    if (parser.unknownOptionNames().isEmpty())
        return quotedInput(parser.errorText().toStdString(), 160);
    const std::string name = parser.unknownOptionNames().front().toStdString();
    const std::string typed = (name.size() == 1 ? "-" : "--") + name;
    std::vector<std::string_view> names;
    for (const OptionUsage& o : kOptions) names.push_back(o.name);
    return "unknown option " + quotedInput(typed) + didYouMean(typed, names);
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
    const Options o;
    QCommandLineParser parser;
    QStringList valueOptions;
    for (const OptionUsage& option : kOptions) {
        parser.addOption(parserOption(option));
        if (!option.value.empty()) valueOptions << qText(option.name);
    }
    parser.addPositionalArgument("COMMAND", "See the commands below.", "COMMAND [ARGUMENTS]");
    const bool parsed = parser.parse(negativeNumbersLast(arguments, valueOptions));
    const bool json = parser.isSet(o.json);
    if (!parsed) return refused(unknownOption(parser), json);

    ParsedCommandLine result;
    result.json = json;
    if (parser.isSet(o.help)) {
        result.info = helpText(kToolUsage, "\n" + commandList());
        return result;
    }
    if (parser.isSet(o.version)) {
        result.info = versionText(kToolUsage);
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
    const std::string portText = parser.isSet(o.port) ? parser.value(o.port).toStdString() : "COM1";
    const auto port = parsePortOption(portText);
    if (!port)
        return refused(
            "--port " + quotedInput(portText) + ": expected COM1 to COM10 or a device path", json);
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
    int wordCount = 0;
    const CommandEntry* entry = findCommand(words, wordCount);
    if (!entry) return refused(unknownCommand(words), json);
    c.command = entry->name;
    for (const QString& w : words.mid(wordCount)) c.arguments.push_back(w.toStdString());
    const int count = static_cast<int>(c.arguments.size());
    if (count < entry->minArguments || (entry->maxArguments >= 0 && count > entry->maxArguments)) {
        std::string usage = "usage: tessra-cli " + c.command;
        if (!entry->arguments.empty()) usage += " " + std::string(entry->arguments);
        return refused(usage, json);
    }
    for (const OptionUsage& option : kOptions) {
        if (option.takenBy != 0 && (entry->flags & option.takenBy) == 0 &&
            parser.isSet(qText(option.name.substr(2))))
            return refused(std::string(option.name) + " does not go with " + c.command, json);
    }
    if (needsOption(*entry, "--slots") && c.slotPorts.empty())
        return refused(c.command + " needs --slots PORT[,PORT...]", json);
    result.commandLine = std::move(c);
    return result;
}

}  // namespace tessra::cli
