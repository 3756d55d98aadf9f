// Writes every program's manual page, tessra-cli's bash completion and the
// README's tables of tessra-cli from the tables the programs' parsers read,
// so that none of them can drift from what the programs take.
// Usage: generate_docs OUTDIR              the pages and the completion
//        generate_docs --readme README.md  rewrites the generated parts
//        generate_docs --check README.md   exit 1 when they are out of date
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/UtilityUsage.h"
#include "cli/CommandLine.h"
#include "cli/CommandTable.h"
#include "cli/HelpTexts.h"
#include "commands/CommandHandlers.h"
#include "sim/Options.h"
#include "stationapp/StationUsage.h"

namespace {

using namespace tessra;
using cli::kCommands;
using cli::kOptions;

constexpr std::array<const ProgramUsage*, 4> kPrograms{&app::kUtilityUsage, &cli::kToolUsage,
                                                       &stationapp::kStationUsage, &sim::kSimUsage};

std::vector<std::string> runNames() {
    std::vector<std::string> names;
    for (const std::string_view name : commands::commandNames()) names.emplace_back(name);
    return names;
}

std::string join(const std::vector<std::string>& words, std::string_view between) {
    std::string text;
    for (const std::string& w : words) text += (text.empty() ? "" : std::string(between)) + w;
    return text;
}

std::string commandText(const cli::CommandEntry& c) {
    std::string text = fullText(c.summary, c.details);
    if (c.name == "run") text += ". NAME is one of: `" + join(runNames(), "`, `") + "`";
    return text;
}

// ---- manual pages

// roff: hyphens and backslashes escaped, `literal` in bold, no line starting with a control
// character.
std::string roff(std::string_view text) {
    std::string out;
    bool bold = false;
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && (c == '.' || c == '\'')) out += "\\&";
        lineStart = c == '\n';
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else if (c == '`')
            out += (bold = !bold) ? "\\fB" : "\\fR";
        else
            out += c;
    }
    return out;
}

// Paragraphs become .PP; lines indented by four blanks are shown as they stand.
void writeParagraphs(std::ostream& out, std::string_view text) {
    bool first = true;
    while (!text.empty()) {
        const auto end = text.find("\n\n");
        const std::string_view paragraph = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 2);
        if (!first) out << ".PP\n";
        first = false;
        if (paragraph.starts_with("    ")) {
            out << ".nf\n";
            std::istringstream lines{std::string(paragraph)};
            for (std::string line; std::getline(lines, line);) out << roff(line.substr(4)) << "\n";
            out << ".fi\n";
        } else {
            out << roff(paragraph) << "\n";
        }
    }
}

void writeItem(std::ostream& out, const std::string& head, std::string_view text) {
    out << ".TP\n.B " << roff(head) << "\n" << roff(text) << "\n";
}

void writeManPage(std::ostream& out, const ProgramUsage& p) {
    std::string upper(p.name);
    for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    out << ".TH " << roff(upper) << " 1 \"\" \"tessra-printer-utility " TESSRA_VERSION
        << "\" \"User Commands\"\n.SH NAME\n"
        << roff(p.name) << " \\- " << roff(p.purpose) << "\n.SH SYNOPSIS\n.B " << roff(p.name)
        << "\n"
        << roff(p.synopsis) << "\n.SH DESCRIPTION\n";
    writeParagraphs(out, p.description);
    out << ".SH OPTIONS\n";
    for (const OptionUsage& o : p.options)
        writeItem(out, optionUsage(o), fullText(o.summary, o.details));
    if (p.name == cli::kToolUsage.name) {
        out << ".SH COMMANDS\n";
        for (const auto& c : kCommands) writeItem(out, cli::commandUsage(c), commandText(c) + ".");
    }
    if (!p.exits.empty()) out << ".SH EXIT STATUS\n";
    for (const ExitUsage& e : p.exits)
        writeItem(out, std::to_string(e.code), fullText(e.summary, e.details));
    if (!p.environment.empty()) out << ".SH ENVIRONMENT\n";
    for (const VariableUsage& v : p.environment) writeItem(out, std::string(v.name), v.summary);
    for (const SectionUsage& s : p.sections) {
        out << ".SH " << roff(s.title) << "\n";
        writeParagraphs(out, s.text);
    }
    out << ".SH SEE ALSO\n";
    for (const std::string_view name : kProgramNames)
        if (name != p.name) out << ".BR " << roff(name) << " (1),\n";
    out << "/usr/share/doc/tessra\\-printer\\-utility/README.md\n";
}

// ---- bash completion

const std::string kPortNames = "COM1 COM2 COM3 COM4 COM5 COM6 COM7 COM8 COM9 COM10";

std::string valueCompletion(ValueKind kind) {
    const std::string files = "$(compgen -f -- \"$cur\")";
    switch (kind) {
        case ValueKind::File:
            return "compopt -o filenames 2>/dev/null; COMPREPLY=(" + files + ")";
        case ValueKind::Port:
            return "compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -W \"" + kPortNames +
                   "\" -- \"$cur\") " + files + ")";
        case ValueKind::PortList:
            // The port after the last comma, the ones before it kept.
            return "local before=; [[ $cur == *,* ]] && before=${cur%,*},; cur=${cur##*,}; "
                   "COMPREPLY=($(compgen -P \"$before\" -W \"" +
                   kPortNames + "\" -- \"$cur\") $(compgen -P \"$before\" -f -- \"$cur\"))";
        case ValueKind::Line:
            return "COMPREPLY=($(compgen -W \"9600 115200 2400,n 4800,n 9600,n 19200,n 38400,n "
                   "57600,n 115200,n 9600,e 115200,e 9600,o 115200,o\" -- \"$cur\"))";
        case ValueKind::Text:
        case ValueKind::None:
            break;
    }
    return "COMPREPLY=()";
}

void writeCompletion(std::ostream& out) {
    std::vector<std::string> everyOption;
    std::vector<std::string> commonOptions;
    std::vector<std::string> valued;
    std::string values;
    for (const OptionUsage& o : kOptions) {
        everyOption.emplace_back(o.name);
        if (o.takenBy == 0) commonOptions.emplace_back(o.name);
        if (o.value.empty()) continue;
        valued.emplace_back(o.name);
        values += "    " + std::string(o.name) + ") " + valueCompletion(o.kind) + "; return ;;\n";
    }
    // First words, and for each the second words of the commands it starts.
    std::map<std::string, std::vector<std::string>> seconds;
    std::string commandOptions;
    std::string arguments;
    for (const auto& c : kCommands) {
        const std::string name(c.name);
        const auto space = name.find(' ');
        auto& words = seconds[name.substr(0, space)];
        if (space != std::string::npos) words.push_back(name.substr(space + 1));
        std::vector<std::string> own = commonOptions;
        for (const OptionUsage& o : kOptions)
            if ((o.takenBy & c.flags) != 0) own.emplace_back(o.name);
        commandOptions += "        \"" + name + "\") options=\"" + join(own, " ") + "\" ;;\n";
        if (c.argumentKind == ValueKind::File)
            arguments += "    \"" + name + "\") " + valueCompletion(c.argumentKind) + " ;;\n";
    }
    seconds["run"] = runNames();
    std::vector<std::string> firstWords;
    std::vector<std::string> twoWords;
    std::string secondWords;
    for (const auto& [first, words] : seconds) {
        firstWords.push_back(first);
        if (words.empty()) continue;
        if (first != "run") twoWords.push_back(first);
        secondWords += "        " + first + ") COMPREPLY=($(compgen -W \"" + join(words, " ") +
                       "\" -- \"$cur\")) ;;\n";
    }
    out << "# bash completion for tessra-cli; generated from its command table.\n"
           "_tessra_cli() {\n"
           "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
           "    case $prev in\n"
        << values
        << "    esac\n"
           "    # The command's words so far, options and their values left out.\n"
           "    local i words=()\n"
           "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
           "        case ${COMP_WORDS[i]} in\n"
           "        "
        << join(valued, "|")
        << ") ((i++)) ;;\n"
           "        -*) ;;\n"
           "        *) words+=(\"${COMP_WORDS[i]}\") ;;\n"
           "        esac\n"
           "    done\n"
           "    local command=${words[0]:-}\n"
           "    case $command in\n"
           "    "
        << join(twoWords, "|")
        << ") command+=\" ${words[1]:-}\" ;;\n"
           "    esac\n"
           "    if [[ $cur == -* ]]; then\n"
           "        # Before the command every option; after it, those the command takes.\n"
           "        local options=\""
        << join(everyOption, " ")
        << "\"\n"
           "        case $command in\n"
        << commandOptions
        << "        esac\n"
           "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    case ${#words[@]} in\n"
           "    0) COMPREPLY=($(compgen -W \""
        << join(firstWords, " ")
        << "\" -- \"$cur\")); return ;;\n"
           "    1)\n"
           "        case ${words[0]} in\n"
        << secondWords
        << "        esac ;;\n"
           "    esac\n"
           "    case $command in\n"
        << arguments
        << "    esac\n"
           "}\n"
           "complete -F _tessra_cli tessra-cli\n";
}

// ---- the README's generated parts

std::string cell(std::string_view text) {
    std::string out;
    for (const char c : text) out += c == '|' ? std::string("\\|") : std::string(1, c);
    return out;
}

std::string optionTable(std::span<const OptionUsage> options) {
    std::string table = "| Option | Meaning |\n|---|---|\n";
    for (const OptionUsage& o : options)
        table +=
            "| `" + cell(optionUsage(o)) + "` | " + cell(fullText(o.summary, o.details)) + " |\n";
    return table;
}

std::vector<std::pair<std::string, std::string>> readmeParts() {
    std::string commands = "| Command | Does |\n|---|---|\n";
    for (const auto& c : kCommands)
        commands += "| `" + cell(cli::commandUsage(c)) + "` | " + cell(commandText(c)) + " |\n";
    std::string exits = "| Code | Meaning |\n|---|---|\n";
    for (const ExitUsage& e : cli::kExitCodes)
        exits +=
            "| " + std::to_string(e.code) + " | " + cell(fullText(e.summary, e.details)) + " |\n";
    // In the order the README holds them.
    return {{"tessra-cli options", optionTable(kOptions)},
            {"tessra-cli commands", commands},
            {"tessra-cli exit codes", exits},
            {"tessra-printer-sim options", optionTable(sim::kSimOptions)}};
}

constexpr std::string_view kBegin = "<!-- generated from the command table: ";
constexpr std::string_view kEnd = "<!-- end of generated part -->";

// The README with every generated part made anew; empty when a marker is missing.
std::string withGeneratedParts(const std::string& readme) {
    std::string out;
    std::size_t at = 0;
    for (const auto& [name, text] : readmeParts()) {
        const std::string begin = std::string(kBegin) + name + " -->\n";
        const auto start = readme.find(begin, at);
        const auto end = start == std::string::npos ? start : readme.find(kEnd, start);
        if (end == std::string::npos) {
            std::cerr << "generate_docs: the README lacks the part \"" << name << "\"\n";
            return {};
        }
        out += readme.substr(at, start - at) + begin + text;
        at = end;
    }
    return out + readme.substr(at);
}

int updateReadme(const char* path, bool checkOnly) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    const std::string updated = withGeneratedParts(text.str());
    if (updated.empty()) return 1;
    if (checkOnly) {
        if (updated == text.str()) return 0;
        std::cerr << path << ": the generated tables differ from the programs' tables; run "
                  << "cmake --build build --target update_readme\n";
        return 1;
    }
    std::ofstream(path) << updated;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string first = argc > 1 ? argv[1] : "";
    if (argc == 3 && (first == "--readme" || first == "--check"))
        return updateReadme(argv[2], first == "--check");
    if (argc != 2) {
        std::cerr << "usage: generate_docs OUTDIR | --readme README.md | --check README.md\n";
        return 2;
    }
    bool written = true;
    for (const ProgramUsage* program : kPrograms) {
        std::ofstream page(first + "/" + std::string(program->name) + ".1");
        writeManPage(page, *program);
        written = written && page.good();
    }
    std::ofstream completion(first + "/tessra-cli.bash");
    writeCompletion(completion);
    return written && completion ? 0 : 1;
}
