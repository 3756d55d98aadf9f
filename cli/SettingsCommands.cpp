// detect and the settings commands.
#include <QJsonArray>

#include "cli/TextFiles.h"
#include "cli/ToolContext.h"
#include "link/QuotedText.h"
#include "settings/BoundedFile.h"
#include "settings/OptionNames.h"
#include "settings/SettingsFile.h"
#include "settings/TextMatch.h"

namespace tessra::cli {

namespace {

using settings::Block;
using settings::Selections;

constexpr std::size_t at(settings::Group g) {
    return static_cast<std::size_t>(g);
}

std::string inQuotes(std::string_view s) {
    return "\"" + quotedInput(s) + "\"";
}

// Groups with no member selected, by frame caption.
std::vector<std::string> unassignedGroups(const Selections& selections) {
    std::vector<std::string> unassigned;
    for (const settings::OptionGroup& g : settings::kOptionGroups)
        if (!selections[at(g.group)]) unassigned.emplace_back(g.frameCaption);
    return unassigned;
}

// A block whose field names no member can be neither kept nor written back.
bool allAssigned(ToolContext& c, const Block& block, const Selections& selections,
                 std::string_view remedy) {
    const auto unassigned = unassignedGroups(selections);
    if (unassigned.empty()) return true;
    c.report.error("the printer's block " + settings::blockHex(block) + " leaves " +
                   settings::joinChoices(unassigned) + " unassigned" + std::string(remedy));
    return false;
}

// Writes the selections, then reads the block back at the line the printer
// listens at now.
ExitCode writeAndVerify(ToolContext& c, const Selections& selections) {
    Block wanted{};
    settings::buildBlock(selections, wanted);
    c.report.set("written", qs(settings::blockHex(wanted)));
    if (!c.printer.writeSettings(selections)) return c.printer.fault();
    const auto back = c.printer.take(c.printer.printer().readBlock());
    if (!back) return c.printer.fault();
    c.report.set("readBack", qs(settings::blockHex(*back)));
    if (*back != wanted) {
        c.report.error("wrote " + settings::blockHex(wanted) + " but read back " +
                       settings::blockHex(*back));
        return ExitCode::PrinterFault;
    }
    c.report.line("wrote " + settings::blockHex(wanted) + ", read back at " + c.printer.line());
    return ExitCode::Done;
}

struct Assignment {
    const settings::OptionGroup* group;
    const settings::Member* member;
};

// "GROUP=MEMBER" arguments, all checked before anything is sent.
std::optional<std::vector<Assignment>> parseAssignments(ToolContext& c) {
    std::vector<Assignment> assignments;
    for (const std::string& argument : c.commandLine.arguments) {
        const auto equals = argument.find('=');
        if (equals == std::string::npos) {
            c.report.error(inQuotes(argument) + ": expected GROUP=MEMBER");
            return std::nullopt;
        }
        const std::string_view key =
            settings::trimBlanks(std::string_view(argument).substr(0, equals));
        const std::string_view value = std::string_view(argument).substr(equals + 1);
        const auto group = settings::findGroupByName(key);
        if (!group.found) {
            c.report.error("unknown group " + inQuotes(key) +
                           "; valid groups: " + settings::joinChoices(group.choices));
            return std::nullopt;
        }
        for (const Assignment& a : assignments) {
            if (a.group == group.found) {
                c.report.error(inQuotes(group.found->frameCaption) + " is given twice");
                return std::nullopt;
            }
        }
        const auto member = settings::findMemberByName(group.found->group, value);
        if (!member.found) {
            c.report.error(inQuotes(group.found->frameCaption) + " has no member " +
                           inQuotes(settings::trimBlanks(value)) +
                           "; valid members: " + settings::joinChoices(member.choices));
            return std::nullopt;
        }
        assignments.push_back({group.found, member.found});
    }
    return assignments;
}

}  // namespace

ExitCode detect(ToolContext& c) {
    if (const ExitCode code = c.printer.connect(); code != ExitCode::Done) return code;
    // With --line the printer has not been asked yet.
    if (c.commandLine.line && !c.printer.take(c.printer.printer().readBlock()))
        return c.printer.fault();
    c.report.line(c.printer.line());
    return ExitCode::Done;
}

ExitCode settingsShow(ToolContext& c) {
    if (const ExitCode code = c.printer.connect(); code != ExitCode::Done) return code;
    const auto block = c.printer.take(c.printer.printer().readBlock());
    if (!block) return c.printer.fault();
    c.report.line("Block: " + settings::blockHex(*block));
    for (std::string line : settings::blockGroupLines(*block))
        c.report.line(line.replace(line.find(" = "), 3, ": "));
    c.report.set("block", qs(settings::blockHex(*block)));
    QJsonArray groups;
    const Selections selections = settings::decodeBlock(*block).select;
    for (const settings::OptionGroup& g : settings::kOptionGroups) {
        const auto& index = selections[at(g.group)];
        const settings::Member* m = index ? settings::findMember(g.group, *index) : nullptr;
        groups.append(QJsonObject{{"group", qs(g.frameCaption)},
                                  {"member", m ? QJsonValue(qs(m->caption)) : QJsonValue()},
                                  {"index", m ? QJsonValue(m->index) : QJsonValue()}});
    }
    c.report.set("groups", groups);
    return ExitCode::Done;
}

ExitCode settingsSave(ToolContext& c) {
    const std::string& path = c.commandLine.arguments.front();
    if (const ExitCode code = c.printer.connect(); code != ExitCode::Done) return code;
    const auto block = c.printer.take(c.printer.printer().readBlock());
    if (!block) return c.printer.fault();
    const Selections selections = settings::decodeBlock(*block).select;
    if (!allAssigned(c, *block, selections, "; nothing saved")) return ExitCode::PrinterFault;
    std::string error;
    if (!writeTextFile(path, *settings::formatSettingsFile(selections), error)) {
        c.report.error(quotedInput(path) + ": " + error);
        return ExitCode::BadInput;
    }
    c.report.set("file", qs(path));
    c.report.set("block", qs(settings::blockHex(*block)));
    c.report.line("saved " + settings::blockHex(*block) + " to " + path);
    return ExitCode::Done;
}

ExitCode settingsLoad(ToolContext& c) {
    const std::string path = quotedInput(c.commandLine.arguments.front());
    std::string error;
    const auto text = settings::readBoundedFile(c.commandLine.arguments.front(), error);
    if (!text) {
        c.report.error(path + ": " + error);
        return ExitCode::BadInput;
    }
    const settings::SettingsFileResult file = settings::parseSettingsFile(*text);
    if (file.error) {
        c.report.error(path + ":" + std::to_string(file.error->line) + ": " + file.error->message);
        return ExitCode::BadInput;
    }
    for (const std::string& note : file.notes) c.report.note(path + ": " + note);
    c.report.set("file", qs(path));
    if (const ExitCode code = c.printer.connect(); code != ExitCode::Done) return code;
    return writeAndVerify(c, file.selections);
}

ExitCode settingsSet(ToolContext& c) {
    const auto assignments = parseAssignments(c);
    if (!assignments) return ExitCode::BadInput;
    if (const ExitCode code = c.printer.connect(); code != ExitCode::Done) return code;
    const auto block = c.printer.take(c.printer.printer().readBlock());
    if (!block) return c.printer.fault();
    Selections selections = settings::decodeBlock(*block).select;
    for (const Assignment& a : *assignments) selections[at(a.group->group)] = a.member->index;
    if (!allAssigned(c, *block, selections, "; name them too")) return ExitCode::PrinterFault;
    return writeAndVerify(c, selections);
}

}  // namespace tessra::cli
