#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "cli/CommandTable.h"

namespace {

std::string contents(const char* path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The page gives each command a paragraph headed by its name in bold.
TEST(CliDocs, TheManualPageAndTheCompletionNameEveryCommandOfTheTable) {
    const std::string page = contents(TESSRA_CLI_MAN_PAGE);
    const std::string completion = contents(TESSRA_CLI_COMPLETION);
    for (const auto& command : tessra::cli::kCommands) {
        const std::string name(command.name);
        EXPECT_NE(page.find(".TP\n\\fB" + name + "\\fR"), std::string::npos) << name;
        const auto space = name.find(' ');
        EXPECT_NE(completion.find(name.substr(0, space)), std::string::npos) << name;
        if (space != std::string::npos) {
            EXPECT_NE(completion.find(name.substr(space + 1)), std::string::npos) << name;
        }
    }
    EXPECT_NE(completion.find("self-test"), std::string::npos) << "the run names";
}

}  // namespace
