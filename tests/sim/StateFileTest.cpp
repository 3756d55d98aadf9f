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

class StateFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("tessra-sim-state-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string path(const char* name) const { return (dir_ / name).string(); }
    void write(const std::string& file, const std::string& content) const {
        std::ofstream(file, std::ios::binary) << content;
    }

    std::filesystem::path dir_;
};

PrinterState sample() {
    PrinterState s;
    s.block = {0x3F, 0xAE, 0x5A, 0xDC};
    s.mac = {0x0A, 0x5C, 0x3E, 0x10, 0xFF, 0x01};
    s.customerCode = 255;
    s.wirelessMode = 3;
    s.cuts = 12;
    s.prints = 34;
    return s;
}

TEST_F(StateFile, RoundTrip) {
    const std::string file = path("state");
    std::string why;
    ASSERT_TRUE(saveStateFile(file, sample(), &why)) << why;
    const LoadedState loaded = loadStateFile(file);
    EXPECT_EQ(loaded.problem, "");
    EXPECT_EQ(loaded.state, sample());
    EXPECT_FALSE(std::filesystem::exists(file + ".tmp"));
}

TEST_F(StateFile, FormatIsPlainText) {
    EXPECT_EQ(formatState(sample()),
              "# tessra-printer-sim state\nblock 3F AE 5A DC\nmac 0A 5C 3E 10 FF 01\n"
              "customer-code 255\nwireless-mode 3\ncuts 12\nprints 34\n");
}

TEST_F(StateFile, MissingFileGivesDefaultsAndSaysSo) {
    const LoadedState loaded = loadStateFile(path("none"));
    EXPECT_TRUE(loaded.missing);
    EXPECT_EQ(loaded.state, PrinterState{});
    EXPECT_NE(loaded.problem.find("does not exist yet"), std::string::npos) << loaded.problem;
}

TEST_F(StateFile, DamagedFilesGiveDefaultsAndSayWhy) {
    const std::string good = formatState(sample());
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
        const std::string file = path("damaged");
        write(file, content);
        const LoadedState loaded = loadStateFile(file);
        EXPECT_EQ(loaded.state, PrinterState{}) << content;
        EXPECT_FALSE(loaded.missing);
        EXPECT_NE(loaded.problem.find("is damaged"), std::string::npos) << loaded.problem;
        EXPECT_NE(loaded.problem.find(reason), std::string::npos) << loaded.problem;
    }
}

TEST_F(StateFile, CommentsAndBlankLinesAreIgnored) {
    const std::string file = path("state");
    write(file, "\n# flash\n" + formatState(sample()) + "\n  \n");
    EXPECT_EQ(loadStateFile(file).state, sample());
}

TEST_F(StateFile, SaveIntoAMissingFolderFails) {
    std::string why;
    EXPECT_FALSE(saveStateFile(path("no/such/state"), sample(), &why));
    EXPECT_FALSE(why.empty());
}

ParsedOptions parse(std::vector<std::string_view> args) {
    return parseOptions(args);
}

TEST(SimOptions, AllOptions) {
    const ParsedOptions p =
        parse({"--link", "/tmp/l", "--state=/tmp/s", "--log", "/tmp/t", "--speed", "115200",
               "--parity", "Even", "--no-reply", "--reply-delay", "250"});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.options.link, "/tmp/l");
    EXPECT_EQ(p.options.state, "/tmp/s");
    EXPECT_EQ(p.options.log, "/tmp/t");
    EXPECT_EQ(p.options.speed, 115200);
    EXPECT_EQ(p.options.parity, 'e');
    EXPECT_TRUE(p.options.noReply);
    EXPECT_EQ(p.options.replyDelayMs, 250);
}

TEST(SimOptions, BadValuesAreErrors) {
    for (const auto& args : std::vector<std::vector<std::string_view>>{{"--speed", "9601"},
                                                                       {"--speed"},
                                                                       {"--parity", "mark"},
                                                                       {"--reply-delay", "-1"},
                                                                       {"--reply-delay", "x"},
                                                                       {"--link"},
                                                                       {"--frobnicate"}}) {
        EXPECT_NE(parse(args).error, "") << args[0];
    }
}

TEST(SimOptions, SpeedAndParityGoIntoTheBlock) {
    SimOptions o;
    o.speed = 38400;
    o.parity = 'o';
    PrinterState s;
    s.block = {0x00, 0x3A, 0x01, 0x00};
    applyLineOptions(o, s);
    EXPECT_EQ(s.block, (std::array<std::uint8_t, 4>{0x00, 0xBC, 0x01, 0x00}));
}

TEST(SimOptions, HelpSaysOnlyTheSpeedIsMatched) {
    EXPECT_TRUE(parse({"--help"}).options.help);
    EXPECT_NE(usageText().find("only the speed is matched"), std::string::npos);
}

}  // namespace
}  // namespace tessra::sim
