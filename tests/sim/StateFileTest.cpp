// The virtual printer's flash file and its command line.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sim/Options.h"
#include "sim/StateFile.h"

namespace tessra::sim {
namespace {

const PrinterState kSample{.block = {0x3F, 0xAE, 0x5A, 0xDC},
                           .mac = {0x0A, 0x5C, 0x3E, 0x10, 0xFF, 0x01},
                           .customerCode = 255,
                           .wirelessMode = 3,
                           .cuts = 12,
                           .prints = 34};

class StateFile : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(dir_); }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string path(const char* name) const { return (dir_ / name).string(); }

    const std::filesystem::path dir_ =
        std::filesystem::temp_directory_path() /
        ("tessra-sim-state-" + std::to_string(::getpid()) + "-" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

// Saved through a temporary file; comments and blank lines added by hand are ignored.
TEST_F(StateFile, RoundTrip) {
    const std::string file = path("state");
    std::string why;
    ASSERT_TRUE(saveStateFile(file, kSample, &why)) << why;
    EXPECT_FALSE(std::filesystem::exists(file + ".tmp"));
    std::ofstream(file, std::ios::app) << "\n# flash\n  \n";
    const LoadedState loaded = loadStateFile(file);
    EXPECT_EQ(loaded.problem, "");
    EXPECT_EQ(loaded.state, kSample);
    EXPECT_FALSE(saveStateFile(path("no/such/state"), kSample, &why));
}

TEST_F(StateFile, AMissingOrDamagedFileGivesTheDefaultsAndSaysWhy) {
    const LoadedState missing = loadStateFile(path("none"));
    EXPECT_TRUE(missing.missing);
    EXPECT_EQ(missing.state, PrinterState{});
    EXPECT_NE(missing.problem.find("does not exist yet"), std::string::npos) << missing.problem;

    std::ofstream(path("damaged")) << "cuts 1\n";
    const LoadedState damaged = loadStateFile(path("damaged"));
    EXPECT_FALSE(damaged.missing);
    EXPECT_EQ(damaged.state, PrinterState{});
    EXPECT_NE(damaged.problem.find("is damaged"), std::string::npos) << damaged.problem;
}

TEST(StateText, DamageIsNamed) {
    const std::string good = formatState(kSample);
    const std::vector<std::pair<std::string, std::string>> damaged{
        {"", "\"block\" missing"},
        {good.substr(0, good.find("mac")), "\"mac\" missing"},
        {good + "block 00 02 01 00\n", "given twice"},
        {"block 00 07 01 00\n", "no line speed"},
        {"block 00 02 01\n", "4 hex bytes"},
        {"block 00 02 01 0G\n", "4 hex bytes"},
        {"mac 0A 5C 3E 00 00 100\n", "6 hex bytes"},
        {"customer-code 0\n", "1-255"},
        {"customer-code 256\n", "1-255"},
        {"wireless-mode 4\n", "0-3"},
        {"cuts -1\n", "count"},
        {"colour blue\n", "unknown key"},
        {std::string("\0\xFF\xFE garbage", 12), "unknown key"},
    };
    for (const auto& [content, reason] : damaged) {
        std::string problem;
        EXPECT_FALSE(parseState(content, &problem)) << content;
        EXPECT_NE(problem.find(reason), std::string::npos) << problem;
    }
}

ParsedOptions parse(std::vector<std::string_view> args) {
    return parseOptions(args);
}

// --speed and --parity go into the block's fields.
TEST(SimOptions, EveryOptionIsRead) {
    const ParsedOptions p = parse({"--link", "/tmp/l", "--state=/tmp/s", "--log", "/tmp/t",
                                   "--speed", "38400", "--parity", "Odd", "--no-reply",
                                   "--reply-delay", "250", "--mac", "0a-5c-3e-00-10-ff"});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.options.link, "/tmp/l");
    EXPECT_EQ(p.options.state, "/tmp/s");
    EXPECT_EQ(p.options.log, "/tmp/t");
    EXPECT_TRUE(p.options.noReply);
    EXPECT_EQ(p.options.replyDelayMs, 250);
    PrinterState s{.block = {0x00, 0x3A, 0x01, 0x00}};
    applyLineOptions(p.options, s);
    EXPECT_EQ(s.block[1], 0xBC);
    applyFactoryOptions(p.options, s);
    EXPECT_EQ(s.mac, (std::array<std::uint8_t, 6>{0x0A, 0x5C, 0x3E, 0x00, 0x10, 0xFF}));
}

}  // namespace
}  // namespace tessra::sim
