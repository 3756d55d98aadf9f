// The virtual printer's protocol engine, fed whole and one byte at a time.
#include "sim/Engine.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tessra::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

Bytes text(std::string_view s) {
    return Bytes(s.begin(), s.end());
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Result {
    Bytes reply;
    Lines lines;
};

void append(Result& r, const Output& out) {
    r.reply.insert(r.reply.end(), out.reply.begin(), out.reply.end());
    r.lines.insert(r.lines.end(), out.lines.begin(), out.lines.end());
}

Result whole(Engine& e, const Bytes& bytes, int speed = 9600) {
    Result r;
    append(r, e.feed(bytes, speed));
    return r;
}

Result oneByOne(Engine& e, const Bytes& bytes, int speed = 9600) {
    Result r;
    for (const std::uint8_t b : bytes) append(r, e.feed(Bytes{b}, speed));
    return r;
}

const Bytes kReadRequest{0x01, 0x39, 0x36, 0x02, 0x30};
const Bytes kMacWriteHeader{0x01, 0x39, 0x36, 0x02, 0x37, 0x00};
const Bytes kPassword = text("Kovak") + Bytes{0x00, 0x00};

struct Case {
    const char* name;
    Bytes bytes;
    Lines lines;
    Bytes reply;
};

const std::vector<Case>& cases() {
    static const std::vector<Case> all{
        {"reset", {0x1B, 0x40, 0x00}, {"9600: reset"}, {}},
        {"centre", {0x1B, 0x61, 0x01, 0x00}, {"9600: align centre"}, {}},
        {"left", {0x1B, 0x61, 0x00, 0x00}, {"9600: align left"}, {}},
        {"print_mode", {0x1B, 0x21, 0x00, 0x00}, {"9600: print mode 00"}, {}},
        {"cut", {0x1B, 0x69, 0x00}, {"9600: cut"}, {}},
        {"feed", {0x0A, 0x00}, {"9600: feed"}, {}},
        {"text", text(" Setting Complete\r\n"), {"9600: printed \" Setting Complete\""}, {}},
        {"hex_dump",
         {0x1D, 0x28, 0x41, 0x30, 0x30, 0x02, 0x01, 0x00},
         {"9600: hex dump print"},
         {}},
        {"self_test",
         {0x1D, 0x28, 0x41, 0x30, 0x30, 0x02, 0x02, 0x00},
         {"9600: self-test print"},
         {}},
        {"sample_font",
         {0x1D, 0x28, 0x41, 0x30, 0x30, 0x02, 0x03, 0x00},
         {"9600: sample font print"},
         {}},
        {"firmware_recovery",
         {0x01, 0x39, 0x36, 0x02, 0x21, 0x00},
         {"9600: firmware recovery"},
         {}},
        {"wireless_mode",
         {0x01, 0x39, 0x36, 0x02, 0x23, 0x03, 0x00},
         {"9600: wireless mode 3"},
         {}},
        {"customer_code_read",
         {0x01, 0x39, 0x36, 0x02, 0x24, 0x00},
         {"9600: customer code read 1"},
         {0x01}},
        {"customer_code_write",
         {0x01, 0x39, 0x36, 0x02, 0x25, 0xFF},
         {"9600: customer code write 255"},
         {}},
        {"settings_read",
         kReadRequest,
         {"9600: settings read 00 02 01 00"},
         {0x00, 0x02, 0x01, 0x00}},
        {"settings_write",
         {0x01, 0x39, 0x36, 0x02, 0x31, 0x3F, 0x42, 0x5A, 0xDC},
         {"9600: settings write 3F 42 5A DC (code page 63, 9600 bps, Even, DTR/DSR, No Sound, "
          "Disable, Pattern 2, Partial Cut Only, Cut ( No Feed ), Lv5 [170mm/s], 58mm, "
          "48CPL (203DPI), Alpha400-2.1)"},
         {}},
        {"mac_read",
         {0x01, 0x39, 0x36, 0x02, 0x36},
         {"9600: MAC read 0A 5C 3E 00 00 01"},
         {0x0A, 0x5C, 0x3E, 0x00, 0x00, 0x01}},
        {"mac_write",
         kMacWriteHeader + kPassword + Bytes{0x0A, 0x5C, 0x3E, 0x00, 0x00, 0x02, 0x00, 0x00},
         {"9600: MAC write 0A 5C 3E 00 00 02"},
         {}},
        {"test_pattern", {0x01, 0x39, 0x36, 0x02, 0x38, 0x02, 0x00}, {"9600: test pattern 2"}, {}},
    };
    return all;
}

class EveryCommand : public ::testing::TestWithParam<Case> {};

TEST_P(EveryCommand, RecognisedWholeAndOneByteAtATime) {
    Engine e;
    Engine split;
    for (const Result& r : {whole(e, GetParam().bytes), oneByOne(split, GetParam().bytes)}) {
        EXPECT_EQ(r.lines, GetParam().lines);
        EXPECT_EQ(r.reply, GetParam().reply);
    }
    EXPECT_TRUE(e.flush().lines.empty());
    EXPECT_TRUE(split.flush().lines.empty());
}

INSTANTIATE_TEST_SUITE_P(Engine, EveryCommand, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Engine, SettingsWriteFromTwoWritesStoresTheBlock) {
    Engine e;
    whole(e, {0x01, 0x39, 0x36, 0x02, 0x31});
    whole(e, {0x07, 0x12, 0x28, 0x0B});
    EXPECT_EQ(whole(e, kReadRequest).reply, (Bytes{0x07, 0x12, 0x28, 0x0B}));
    EXPECT_EQ(e.state().block, (std::array<std::uint8_t, 4>{0x07, 0x12, 0x28, 0x0B}));
}

TEST(Engine, UtilitySettingsWriteSequencePrintsConfirmationThenStores) {
    Engine e;
    const Bytes rule(42, '=');
    const Bytes bytes =
        Bytes{0x1B, 0x40, 0x1B, 0x61, 0x01} + text(" Setting Complete\r\n") +
        Bytes{0x1B, 0x61, 0x00} + text("\r\n") + rule + text("\r\n\r\n\r\n\r\n\r\n") +
        Bytes{0x1B, 0x21, 0x00, 0x1B, 0x69, 0x1B, 0x40, 0x01, 0x39, 0x36, 0x02, 0x31} +
        Bytes{0x00, 0x02, 0x01, 0x00};
    const Lines expected{"9600: reset",
                         "9600: align centre",
                         "9600: printed \" Setting Complete\"",
                         "9600: align left",
                         "9600: feed",
                         "9600: printed \"" + std::string(42, '=') + "\"",
                         "9600: feed",
                         "9600: feed",
                         "9600: feed",
                         "9600: feed",
                         "9600: print mode 00",
                         "9600: cut",
                         "9600: reset",
                         "9600: settings write 00 02 01 00 (code page 0, 9600 bps, None, DTR/DSR, "
                         "No Sound, Actual USB, Pattern 1, Programable, AutoCut Install, "
                         "Lv1 [250mm/s], 80mm, 42CPL (180DPI), TF50KS-E2D)"};
    EXPECT_EQ(whole(e, bytes).lines, expected);
    Engine split;
    EXPECT_EQ(oneByOne(split, bytes).lines, expected);
    EXPECT_EQ(e.state().cuts, 1u);
}

TEST(Engine, PrinterListensAtTheSpeedOfANewBlock) {
    Engine e;
    const Result w = whole(e, {0x01, 0x39, 0x36, 0x02, 0x31, 0x00, 0xC6, 0x01, 0x00});
    ASSERT_EQ(w.lines.size(), 2u);
    EXPECT_EQ(w.lines[1], "115200: listening at 115200 bps");
    EXPECT_EQ(e.speed(), 115200);

    EXPECT_TRUE(whole(e, kReadRequest, 9600).reply.empty());
    EXPECT_EQ(e.flush().lines, Lines{"115200: not understood: 5 bytes at 9600 bps"});
    EXPECT_EQ(whole(e, kReadRequest, 115200).reply, (Bytes{0x00, 0xC6, 0x01, 0x00}));
}

TEST(Engine, BytesAfterASpeedChangeInTheSameBurstAreNotUnderstood) {
    Engine e;
    const Result r =
        whole(e, Bytes{0x01, 0x39, 0x36, 0x02, 0x31, 0x00, 0x03, 0x01, 0x00} + kReadRequest);
    EXPECT_TRUE(r.reply.empty());
    EXPECT_EQ(e.speed(), 19200);
}

TEST(Engine, RequestAtAnotherSpeedGetsNoAnswer) {
    Engine e;
    for (const int speed : {2400, 4800, 19200, 38400, 57600, 115200, 0}) {
        EXPECT_TRUE(whole(e, Bytes{0x1B, 0x40} + kReadRequest, speed).reply.empty()) << speed;
    }
    EXPECT_EQ(whole(e, kReadRequest).reply.size(), 4u);
}

TEST(Engine, NoiseBreaksACommandUnderWay) {
    Engine e;
    whole(e, {0x01, 0x39, 0x36, 0x02, 0x31, 0x11});
    const Result noise = whole(e, {0x55}, 19200);
    EXPECT_EQ(noise.lines, Lines{"9600: unknown bytes 01 39 36 02 31 11"});
    EXPECT_EQ(whole(e, kReadRequest).reply, (Bytes{0x00, 0x02, 0x01, 0x00}));
}

TEST(Engine, SettingsWriteWithoutASpeedIsRefused) {
    Engine e;
    const Result r = whole(e, {0x01, 0x39, 0x36, 0x02, 0x31, 0x00, 0x07, 0x01, 0x00});
    EXPECT_EQ(r.lines,
              Lines{"9600: settings write 00 07 01 00 refused: baud rate field 07 unassigned"});
    EXPECT_EQ(whole(e, kReadRequest).reply, (Bytes{0x00, 0x02, 0x01, 0x00}));
}

TEST(Engine, UnassignedFieldsAreNamed) {
    Engine e;
    const Result r = whole(e, {0x01, 0x39, 0x36, 0x02, 0x31, 0x40, 0xF2, 0xF4, 0xE5});
    ASSERT_EQ(r.lines.size(), 1u);
    EXPECT_EQ(r.lines[0],
              "9600: settings write 40 F2 F4 E5 (code page 64, 9600 bps, Parity-bit unassigned "
              "C0, DTR/DSR, Error Sound unassigned 30, USB Mode unassigned 04, Pattern 1, "
              "Auto Cut Mode unassigned 60, Cutter Setting unassigned 90, "
              "Print Speed unassigned 05, 80mm, 42CPL (180DPI), Paper Type unassigned E0)");
}

TEST(Engine, UnknownBytesAreReportedAndSkipped) {
    Engine e;
    const Result r = whole(e, Bytes{0xFF, 0x1B, 0x7F, 0x13} + kReadRequest);
    EXPECT_EQ(r.lines,
              (Lines{"9600: unknown bytes FF 1B 7F 13", "9600: settings read 00 02 01 00"}));
    EXPECT_EQ(r.reply.size(), 4u);

    Engine split;
    EXPECT_TRUE(oneByOne(split, {0xFE, 0x1D, 0x1C}).lines.empty());
    EXPECT_EQ(split.flush().lines, Lines{"9600: unknown bytes FE 1D 1C"});
    EXPECT_EQ(oneByOne(split, kReadRequest).lines, (Lines{"9600: settings read 00 02 01 00"}));
}

TEST(Engine, UnknownServiceCodeIsSkipped) {
    Engine e;
    const Result r = whole(e, Bytes{0x01, 0x39, 0x36, 0x02, 0x45, 0x00} + kReadRequest);
    EXPECT_EQ(r.lines,
              (Lines{"9600: unknown service command 45", "9600: settings read 00 02 01 00"}));
}

TEST(Engine, IncompleteCommandIsDroppedWhenTheLineGoesQuiet) {
    Engine e;
    whole(e, {0x01, 0x39, 0x36, 0x02, 0x31, 0x00});
    EXPECT_EQ(e.flush().lines, Lines{"9600: incomplete command 01 39 36 02 31 00"});
    EXPECT_EQ(whole(e, kReadRequest).reply.size(), 4u);
}

TEST(Engine, OutOfRangeParametersAreRefused) {
    Engine e;
    EXPECT_EQ(whole(e, {0x01, 0x39, 0x36, 0x02, 0x23, 0x04}).lines,
              Lines{"9600: wireless mode 04 refused: out of range"});
    EXPECT_EQ(whole(e, {0x01, 0x39, 0x36, 0x02, 0x38, 0x09}).lines,
              Lines{"9600: test pattern 09 refused: out of range"});
    EXPECT_EQ(whole(e, {0x01, 0x39, 0x36, 0x02, 0x25, 0x00}).lines,
              Lines{"9600: customer code write 0 refused: out of range"});
    EXPECT_EQ(e.state(), PrinterState{});
}

TEST(Engine, CustomerCodeWriteThenRead) {
    Engine e;
    whole(e, {0x01, 0x39, 0x36, 0x02, 0x25, 0x07});
    EXPECT_EQ(whole(e, {0x01, 0x39, 0x36, 0x02, 0x24, 0x00}).reply, Bytes{0x07});
}

TEST(Engine, MacWriteWithWrongPasswordIsRefused) {
    Engine e;
    // Octets that look like commands must stay octets.
    const Bytes bytes = kMacWriteHeader + text("Kovac") + Bytes{0x00, 0x00} +
                        Bytes{0x0A, 0x5C, 0x3E, 0x1B, 0x40, 0x01, 0x00, 0x00};
    EXPECT_EQ(whole(e, bytes).lines, Lines{"9600: MAC write refused: wrong password"});
    Engine split;
    EXPECT_EQ(oneByOne(split, bytes).lines, Lines{"9600: MAC write refused: wrong password"});
    EXPECT_EQ(e.state().mac, PrinterState{}.mac);
    EXPECT_EQ(whole(e, {0x01, 0x39, 0x36, 0x02, 0x36}).reply, (Bytes{0x0A, 0x5C, 0x3E, 0, 0, 1}));
}

TEST(Engine, MacWriteTakesOctetsThatLookLikeCommands) {
    Engine e;
    const Bytes bytes =
        kMacWriteHeader + kPassword + Bytes{0x0A, 0x5C, 0x3E, 0x01, 0x39, 0x1B, 0x00, 0x00};
    EXPECT_EQ(oneByOne(e, bytes).lines, Lines{"9600: MAC write 0A 5C 3E 01 39 1B"});
    EXPECT_EQ(whole(e, {0x01, 0x39, 0x36, 0x02, 0x36}).reply,
              (Bytes{0x0A, 0x5C, 0x3E, 0x01, 0x39, 0x1B}));
}

TEST(Engine, MacWriteSurvivesQuietBetweenItsParts) {
    Engine e;
    whole(e, kMacWriteHeader);
    EXPECT_TRUE(e.flush().lines.empty());
    oneByOne(e, kPassword);
    EXPECT_TRUE(e.flush().lines.empty());
    EXPECT_EQ(whole(e, {0x0A, 0x5C, 0x3E, 0x10, 0xFF, 0xFF, 0x00, 0x00}).lines,
              Lines{"9600: MAC write 0A 5C 3E 10 FF FF"});
}

TEST(Engine, InterruptedMacWriteGivesWayToTheNextCommand) {
    Engine e;
    EXPECT_EQ(whole(e, kMacWriteHeader + Bytes{0x1B, 0x40}).lines,
              (Lines{"9600: MAC write refused: incomplete", "9600: reset"}));
    EXPECT_EQ(whole(e, kMacWriteHeader + kPassword + kReadRequest).lines,
              (Lines{"9600: MAC write refused: incomplete", "9600: settings read 00 02 01 00"}));
    // An LF is the first address byte until the next byte says otherwise.
    EXPECT_EQ(whole(e, kMacWriteHeader + kPassword + Bytes{0x0A, 0x00}).lines,
              (Lines{"9600: MAC write refused: incomplete", "9600: feed"}));
    EXPECT_EQ(e.state().mac, PrinterState{}.mac);
}

TEST(Engine, NoReplyLogsButNeverAnswers) {
    Engine e(PrinterState{}, Engine::Options{.answer = false});
    const Result r = whole(e, kReadRequest + Bytes{0x01, 0x39, 0x36, 0x02, 0x36});
    EXPECT_TRUE(r.reply.empty());
    EXPECT_EQ(r.lines, (Lines{"9600: settings read 00 02 01 00 (no reply)",
                              "9600: MAC read 0A 5C 3E 00 00 01 (no reply)"}));
}

TEST(Engine, TextPendingAtResetIsDiscarded) {
    Engine e;
    EXPECT_EQ(whole(e, text("abc\"\\") + Bytes{0x1B, 0x40}).lines,
              (Lines{"9600: discarded \"abc\\\"\\\\\"", "9600: reset"}));
}

TEST(Engine, RevisionGrowsOnlyWhenTheStateChanges) {
    Engine e;
    const auto before = e.revision();
    whole(e, kReadRequest + Bytes{0x1B, 0x40, 0x0A});
    EXPECT_EQ(e.revision(), before);
    whole(e, {0x1B, 0x69});
    EXPECT_GT(e.revision(), before);
    EXPECT_EQ(e.state().cuts, 1u);
}

TEST(Engine, StartsAtTheSpeedItsBlockNames) {
    PrinterState s;
    s.block = {0x00, 0x45, 0x01, 0x00};
    Engine e(s, {});
    EXPECT_EQ(e.speed(), 57600);
    EXPECT_EQ(whole(e, kReadRequest, 57600).reply, (Bytes{0x00, 0x45, 0x01, 0x00}));
}

// However it was fed before, the printer answers the utility's read.
TEST(Engine, AnswersAReadAfterThousandsOfRandomStrings) {
    std::mt19937 random(20261206);
    const std::array<std::uint8_t, 22> likely{0x00, 0x01, 0x02, 0x0A, 0x0D, 0x1B, 0x1D, 0x21,
                                              0x23, 0x24, 0x25, 0x28, 0x30, 0x31, 0x36, 0x37,
                                              0x38, 0x39, 0x40, 0x41, 0x61, 0x69};
    Engine e;
    for (int round = 0; round < 4000; ++round) {
        Bytes bytes(random() % 40);
        for (auto& b : bytes) {
            b = random() % 2 ? likely[random() % likely.size()]
                             : static_cast<std::uint8_t>(random());
        }
        const int speed = random() % 10 == 0 ? 4800 : e.speed();
        e.feed(bytes, speed);
        if (random() % 3 == 0) e.flush();
    }
    e.flush();
    const Result r = whole(e, Bytes{0x1B, 0x40, 0x00} + kReadRequest, e.speed());
    ASSERT_EQ(r.reply.size(), 4u);
    EXPECT_EQ(r.reply, Bytes(e.state().block.begin(), e.state().block.end()));
    EXPECT_TRUE(blockSpeed(e.state().block).has_value());
}

}  // namespace
}  // namespace tessra::sim
