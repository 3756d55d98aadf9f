// What each parser takes, found in everything that describes it: a name
// left out of one output, or an output made by hand again, fails here.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "app/UtilityUsage.h"
#include "cli/CommandTable.h"
#include "cli/HelpTexts.h"
#include "commands/CommandHandlers.h"
#include "sim/Options.h"
#include "stationapp/StationUsage.h"

namespace tessra {
namespace {

std::string contents(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// stdout and stderr of a shell command, then "exit N".
std::string shell(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(("(" + command + ") 2>&1; echo \"exit $?\"").c_str(), "r");
    for (char buffer[4096]; std::fgets(buffer, sizeof buffer, pipe) != nullptr;) out += buffer;
    ::pclose(pipe);
    return out;
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string roffName(std::string_view name) {
    std::string out;
    for (const char c : name) out += c == '-' ? std::string("\\-") : std::string(1, c);
    return out;
}

struct Program {
    const ProgramUsage& usage;
    const char* binary;
};

// Without any display: a program that built its window first would abort or hang.
TEST(Docs, EachProgramsHelpAndPageNameWhatItTakesAndTheOtherPrograms) {
    for (const auto& [usage, binary] :
         {Program{app::kUtilityUsage, TESSRA_UTILITY}, Program{cli::kToolUsage, TESSRA_CLI},
          Program{stationapp::kStationUsage, TESSRA_STATION},
          Program{sim::kSimUsage, TESSRA_SIM}}) {
        const std::string bare = std::string(
                                     "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "
                                     "timeout 10 ") +
                                 binary;
        const std::string help = shell(bare + " --help");
        const std::string page = contents(TESSRA_GENERATED "/" + std::string(usage.name) + ".1");
        EXPECT_TRUE(help.ends_with("exit 0\n")) << help;
        EXPECT_EQ(shell(bare + " --version"),
                  std::string(usage.name) + " " TESSRA_VERSION "\nexit 0\n");
        for (const OptionUsage& o : usage.options) {
            EXPECT_TRUE(has(help, "  " + std::string(o.name))) << usage.name << o.name;
            EXPECT_TRUE(has(page, ".B " + roffName(o.name))) << usage.name << o.name;
        }
        for (const ExitUsage& e : usage.exits) {
            EXPECT_TRUE(has(help, "  " + std::to_string(e.code) + "  ")) << usage.name << e.code;
            EXPECT_TRUE(has(page, ".B " + std::to_string(e.code) + "\n")) << usage.name << e.code;
        }
        for (const std::string_view other : kProgramNames) {
            if (other == usage.name) continue;
            EXPECT_TRUE(has(help, std::string(other) + "(1)")) << usage.name << other;
            EXPECT_TRUE(has(page, ".BR " + roffName(other) + " (1)")) << usage.name << other;
        }
    }
}

TEST(Docs, TheToolsHelpAndPageNameEveryCommandAndRunName) {
    const std::string help = shell(TESSRA_CLI " --help");
    const std::string page = contents(TESSRA_GENERATED "/tessra-cli.1");
    for (const cli::CommandEntry& c : cli::kCommands) {
        EXPECT_TRUE(has(help, "  " + std::string(c.name) + " ")) << c.name;
        EXPECT_TRUE(has(page, ".B " + roffName(c.name))) << c.name;
    }
    for (const std::string_view name : commands::commandNames()) {
        EXPECT_TRUE(has(help, std::string(name))) << name;
        EXPECT_TRUE(has(page, roffName(name))) << name;
    }
}

// The completion run as bash runs it, after "tessra-cli COMMAND ... -" and
// after "tessra-cli COMMAND ...", in a folder holding one file.
TEST(Docs, TheCompletionOffersEachCommandItsOwnOptionsAndFilesWhereItTakesOne) {
    const std::string scriptFile = ::testing::TempDir() + "completion-test.sh";
    std::ofstream script(scriptFile);
    script << "cd \"$(mktemp -d)\" && touch line-7.recipe && . " TESSRA_GENERATED
              "/tessra-cli.bash\n"
           << "offer() { COMPREPLY=(); COMP_WORDS=(tessra-cli \"$@\"); COMP_CWORD=$#; "
              "_tessra_cli; echo \"$*: ${COMPREPLY[*]} .\"; }\n"
           << "offer -\noffer ''\noffer run ''\n";
    for (const cli::CommandEntry& c : cli::kCommands)
        script << "offer " << c.name << " -\noffer " << c.name << " ''\n";
    script.close();
    const std::string offered = "\n" + shell("bash " + scriptFile);
    // " word word ." after "WORDS: ".
    const auto line = [&](const std::string& words) {
        const auto start = offered.find("\n" + words + ": ");
        if (start == std::string::npos) return std::string();
        const auto from = start + words.size() + 3;
        return " " + offered.substr(from, offered.find('\n', from) - from);
    };
    for (const OptionUsage& o : cli::kOptions)
        EXPECT_TRUE(has(line("-"), " " + std::string(o.name) + " ")) << o.name;
    for (const cli::CommandEntry& c : cli::kCommands) {
        const std::string name(c.name);
        EXPECT_TRUE(has(line(""), " " + name.substr(0, name.find(' ')) + " ")) << name;
        for (const OptionUsage& o : cli::kOptions) {
            const bool taken = o.takenBy == 0 || (o.takenBy & c.flags) != 0;
            EXPECT_EQ(has(line(name + " -"), " " + std::string(o.name) + " "), taken)
                << name << " " << o.name << ":" << line(name + " -");
        }
        EXPECT_EQ(has(line(name + " "), " line-7.recipe "), c.argumentKind == ValueKind::File)
            << name << ":" << line(name + " ");
    }
    for (const std::string_view name : commands::commandNames())
        EXPECT_TRUE(has(line("run "), " " + std::string(name) + " ")) << name;
}

}  // namespace
}  // namespace tessra
