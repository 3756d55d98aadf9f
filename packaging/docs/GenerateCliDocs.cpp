// Writes tessra-cli's manual page and its bash completion from the command
// table itself, so that neither can drift from the tool. The options and the
// names `run` takes come from the built tool: its --help and its answer to an
// unknown run name, read on stdin.
// Usage: tessra-cli --help; tessra-cli run '?' 2>&1 | generate_cli_docs MANPAGE COMPLETION
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CommandTable.h"

namespace {

using tessra::cli::kCommands;

struct Option {
    std::string name;   // "--port"
    std::string value;  // "PORT"; empty for a switch
    std::string description;
};

struct ToolFacts {
    std::vector<Option> options;
    std::vector<std::string> runNames;
};

ToolFacts readTool(std::istream& in) {
    ToolFacts facts;
    const std::regex optionLine(R"(^  (--[a-z-]+)(?: ([A-Z,\-]+))?\s{2,}(.*)$)");
    const std::regex namesLine(R"(names: ([a-z0-9, -]+))");
    std::string line;
    bool inOptions = false;
    while (std::getline(in, line)) {
        std::smatch m;
        if (line == "Options:")
            inOptions = true;
        else if (line.empty())
            inOptions = false;
        else if (inOptions && std::regex_match(line, m, optionLine))
            facts.options.push_back({m[1], m[2], m[3]});
        if (std::regex_search(line, m, namesLine)) {
            std::istringstream names(m[1].str());
            for (std::string name; std::getline(names, name, ',');) {
                name.erase(0, name.find_first_not_of(' '));
                if (!name.empty()) facts.runNames.push_back(name);
            }
        }
    }
    return facts;
}

// roff escapes: a leading dot or quote, and every backslash and hyphen.
std::string roff(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

std::string join(const std::vector<std::string>& words, std::string_view between) {
    std::string text;
    for (const std::string& w : words) text += (text.empty() ? "" : std::string(between)) + w;
    return text;
}

void writeManPage(std::ostream& out, const ToolFacts& facts) {
    out << ".TH TESSRA\\-CLI 1 \"\" \"tessra-printer-utility " TESSRA_VERSION
           "\" \"User Commands\"\n"
           ".SH NAME\ntessra\\-cli \\- configure a Tessra receipt printer from a script\n"
           ".SH SYNOPSIS\n.B tessra\\-cli\n[\\fIOPTIONS\\fR] \\fICOMMAND\\fR "
           "[\\fIARGUMENTS\\fR]\n"
           ".SH DESCRIPTION\n"
           "Does from a script what the window of tessra\\-printer\\-utility does with its "
           "buttons, sending the same bytes over a serial port. Without \\fB\\-\\-line\\fR every "
           "command first finds the printer's speed and parity as the window's automatic Read "
           "does. Errors go to stderr; nothing waits for anyone.\n"
           ".SH OPTIONS\n";
    for (const Option& o : facts.options) {
        out << ".TP\n.BR " << roff(o.name);
        if (!o.value.empty()) out << " \" \\fI" << roff(o.value) << "\\fR\"";
        out << "\n" << roff(o.description) << "\n";
    }
    out << ".TP\n.B \\-\\-help\nPrint the options and commands, then exit.\n"
           ".TP\n.B \\-\\-version\nPrint the version, then exit.\n"
           ".SH COMMANDS\n";
    for (const auto& c : kCommands) {
        out << ".TP\n\\fB" << roff(c.name) << "\\fR";
        if (!c.arguments.empty()) out << " \\fI" << roff(c.arguments) << "\\fR";
        out << "\n" << roff(c.summary) << ".\n";
        if (c.name == "run") out << "NAME is one of: " << roff(join(facts.runNames, ", ")) << ".\n";
    }
    out << ".SH ENVIRONMENT\n"
           ".TP\n.B TESSRA_PASSWORD\nThe level\\-1 password for \\fBmac write\\fR and "
           "\\fBmac next\\fR. It is never taken from the command line; without it the tool asks "
           "for it without echo when stdin is a terminal, else stops at exit code 2.\n"
           ".TP\n.B TESSRA_LEDGER\nThe MAC address ledger when \\fB\\-\\-ledger\\fR is not "
           "given: an SQLite file or a postgresql:// address. Default "
           "~/.local/share/tessra/ledger.sqlite.\n"
           ".TP\n.BI TESSRA_COM n\nThe device that port entry COM\\fIn\\fR (1 to 10) opens, e.g. "
           "TESSRA_COM3=/dev/serial/by\\-path/...; wins over the mapping saved in the window's "
           "Tools > Ports dialog, which wins over /dev/ttyS(\\fIn\\fR\\-1).\n"
           ".SH EXIT STATUS\n"
           ".TP\n.B 0\nDone.\n"
           ".TP\n.B 1\nThe printer did not answer, a read\\-back did not match, a MAC range is "
           "full, or the printer's block has a field that names no member.\n"
           ".TP\n.B 2\nThe command line or a file is wrong, the password is missing or wrong, or "
           "\\fBmac write\\fR refuses an address the ledger holds.\n"
           ".TP\n.B 3\nThe port could not be opened, or the ledger could not be reached.\n"
           ".SH FILES\n"
           ".TP\n.I ~/.config/Tessra/tessra\\-printer\\-utility.conf\nThe port mapping saved "
           "by the window.\n"
           ".TP\n.I /usr/lib/udev/rules.d/70\\-tessra\\-*.rules\nSettings for USB\\-serial "
           "adapters; see README.md.\n"
           ".SH SEE ALSO\n.BR tessra\\-printer\\-utility (1),\n.BR tessra\\-printer\\-sim (1),\n"
           "/usr/share/doc/tessra\\-printer\\-utility/README.md\n";
}

void writeCompletion(std::ostream& out, const ToolFacts& facts) {
    std::vector<std::string> options;
    std::string valued;  // the options that take a value, as a case pattern
    for (const Option& o : facts.options) {
        options.push_back(o.name);
        if (!o.value.empty()) valued += (valued.empty() ? "" : "|") + o.name;
    }
    options.push_back("--help");
    options.push_back("--version");
    // First words, and for each the second words of the commands it starts.
    std::map<std::string, std::vector<std::string>> commands;
    for (const auto& c : kCommands) {
        const std::string name(c.name);
        const auto space = name.find(' ');
        auto& seconds = commands[name.substr(0, space)];
        if (space != std::string::npos) seconds.push_back(name.substr(space + 1));
    }
    commands["run"] = facts.runNames;
    std::vector<std::string> firstWords;
    std::string secondWords;
    for (const auto& [first, seconds] : commands) {
        firstWords.push_back(first);
        if (!seconds.empty())
            secondWords += "        " + first + ") COMPREPLY=($(compgen -W \"" +
                           join(seconds, " ") + "\" -- \"$cur\")) ;;\n";
    }
    out << "# bash completion for tessra-cli; generated from its command table.\n"
           "_tessra_cli() {\n"
           "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
           "    case $prev in\n"
           "    --port)\n"
           "        COMPREPLY=($(compgen -W \"COM1 COM2 COM3 COM4 COM5 COM6 COM7 COM8 COM9 "
           "COM10\" -- \"$cur\") $(compgen -f -- \"$cur\"))\n"
           "        return ;;\n"
           "    --line)\n"
           "        COMPREPLY=($(compgen -W \"9600 115200 2400,n 4800,n 9600,n 19200,n 38400,n "
           "57600,n 115200,n 9600,e 115200,e 9600,o 115200,o\" -- \"$cur\"))\n"
           "        return ;;\n"
           "    --ledger)\n"
           "        COMPREPLY=($(compgen -f -- \"$cur\"))\n"
           "        return ;;\n"
           "    "
        << valued
        << ")\n"
           "        return ;;\n"
           "    esac\n"
           "    if [[ $cur == -* ]]; then\n"
           "        COMPREPLY=($(compgen -W \""
        << join(options, " ")
        << "\" -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    # The command's words so far, options and their values left out.\n"
           "    local i words=()\n"
           "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
           "        case ${COMP_WORDS[i]} in\n"
           "        "
        << valued
        << ") ((i++)) ;;\n"
           "        -*) ;;\n"
           "        *) words+=(\"${COMP_WORDS[i]}\") ;;\n"
           "        esac\n"
           "    done\n"
           "    case ${#words[@]} in\n"
           "    0) COMPREPLY=($(compgen -W \""
        << join(firstWords, " ")
        << "\" -- \"$cur\")) ;;\n"
           "    1)\n"
           "        case ${words[0]} in\n"
        << secondWords
        << "        esac ;;\n"
           "    *) COMPREPLY=($(compgen -f -- \"$cur\")) ;;\n"
           "    esac\n"
           "}\n"
           "complete -F _tessra_cli tessra-cli\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: tessra-cli --help; tessra-cli run '?' 2>&1 | generate_cli_docs "
                     "MANPAGE COMPLETION\n";
        return 2;
    }
    const ToolFacts facts = readTool(std::cin);
    if (facts.options.empty() || facts.runNames.empty()) {
        std::cerr << "generate_cli_docs: the tool's --help gave no options or its run "
                     "refusal no names\n";
        return 1;
    }
    std::ofstream man(argv[1]);
    writeManPage(man, facts);
    std::ofstream completion(argv[2]);
    writeCompletion(completion, facts);
    return man && completion ? 0 : 1;
}
