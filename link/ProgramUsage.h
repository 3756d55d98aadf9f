#pragma once

#include <array>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

namespace tessra {

// What a program's command line takes, written once: its parser reads it,
// and --help, the manual page, the bash completion and the README are made
// from it. Texts may mark a literal with `backticks`; each output renders
// them in its own way.

// What the completion offers for an option's value or a command's argument.
enum class ValueKind { None, Text, File, Port, PortList, Line };

struct OptionUsage {
    std::string_view name;   // "--port"
    std::string_view value;  // "PORT"; empty for a switch
    ValueKind kind;
    unsigned takenBy;          // the command flags of the commands that take it; 0: every command
    std::string_view summary;  // --help's line
    std::string_view details;  // what the manual page and the README add
};

struct ExitUsage {
    int code;
    std::string_view summary;
    std::string_view details;
};

struct VariableUsage {
    std::string_view name;
    std::string_view summary;
};

struct SectionUsage {
    std::string_view title;  // "FILES"
    std::string_view text;   // paragraphs; a line indented by four blanks is shown as it stands
};

struct ProgramUsage {
    std::string_view name;
    std::string_view purpose;      // "configure ... from a script": the manual page's NAME line
    std::string_view synopsis;     // what follows the name
    std::string_view description;  // paragraphs, separated by a blank line; --help shows the first
    std::span<const OptionUsage> options;
    std::span<const ExitUsage> exits;
    std::span<const VariableUsage> environment;
    std::span<const SectionUsage> sections;  // after the environment in the manual page
};

// What a program that opens a window takes: only these two, answered before
// the window or a display is needed.
inline constexpr std::array<OptionUsage, 2> kWindowOptions{{
    {"--help", "", ValueKind::None, 0, "Print this help and exit (also -h).", ""},
    {"--version", "", ValueKind::None, 0, "Print the version and exit.", ""},
}};

// The four programs of the package; every "See also" names the other three.
inline constexpr std::array<std::string_view, 4> kProgramNames{
    "tessra-printer-utility", "tessra-cli", "tessra-station", "tessra-printer-sim"};

// "tessra-cli(1), tessra-station(1) and tessra-printer-sim(1)".
std::string seeAlso(std::string_view self);

// The name a slip of the keyboard most likely meant (at most a third of its
// letters wrong, at least one right); empty when none is that near.
std::string_view nearestName(std::string_view typed, std::span<const std::string_view> names);
// ", did you mean --port?" for nearestName, or nothing.
std::string didYouMean(std::string_view typed, std::span<const std::string_view> names);

// "--port PORT", or "--json" for a switch.
std::string optionUsage(const OptionUsage& option);
// The summary with its details, for the manual page and the README: "done, e.g. ...".
std::string fullText(std::string_view summary, std::string_view details);
// `literal` shown plainly, for a terminal.
std::string plainText(std::string_view text);
// "  usage    description\n", the descriptions in one column.
std::string helpLine(std::string usage, std::string_view description);
// --help: usage, the description's first paragraph, the options, `middle`
// (tessra-cli's commands), exit codes, environment and see also.
std::string helpText(const ProgramUsage& program, std::string_view middle = {});
std::string versionText(const ProgramUsage& program);

// --help, -h and --version, answered from argv alone, before anything that
// needs a display is built. True when one was answered.
bool answeredInfoOption(int argc, char** argv, const ProgramUsage& program, std::ostream& out);

}  // namespace tessra
