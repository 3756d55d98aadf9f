#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "fakes/FakeOptionPanel.h"
#include "settings/SettingsBlock.h"

namespace tessra::settings {
namespace {

using testing::startupSelections;

constexpr std::size_t at(Group g) {
    return static_cast<std::size_t>(g);
}

Selections with(std::initializer_list<std::pair<Group, int>> changes) {
    Selections s = startupSelections();
    for (const auto& [g, index] : changes) s[at(g)] = index;
    return s;
}

Block build(const Selections& s) {
    Block block{0xA5, 0x5A, 0xC3, 0x3C};  // whatever an earlier build left
    Make_Setting(s, block);
    return block;
}

// ---- examples -------------------------------------------------------------

struct EncodeCase {
    const char* name;
    Selections selections;
    Block block;
};

class EncodeExample : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeExample, BuildsTheBlock) {
    EXPECT_EQ(build(GetParam().selections), GetParam().block);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, EncodeExample,
    ::testing::Values(EncodeCase{"Startup", startupSelections(), {0x00, 0x00, 0x01, 0x00}},
                      EncodeCase{"Korean", with({{Group::Codepage, 63}}), {0x3F, 0x00, 0x01, 0x00}},
                      EncodeCase{"Farsi", with({{Group::Codepage, 32}}), {0x20, 0x00, 0x01, 0x00}},
                      EncodeCase{"Big5", with({{Group::Codepage, 60}}), {0x3C, 0x00, 0x01, 0x00}},
                      EncodeCase{"Byte1AE",
                                 with({{Group::SerialBaudrate, 6},
                                       {Group::SerialParityBit, 2},
                                       {Group::SerialHandshaking, 1},
                                       {Group::ErrorSound, 2}}),
                                 {0x00, 0xAE, 0x01, 0x00}},
                      EncodeCase{"Byte155",
                                 with({{Group::SerialBaudrate, 5},
                                       {Group::SerialParityBit, 1},
                                       {Group::SerialHandshaking, 0},
                                       {Group::ErrorSound, 1}}),
                                 {0x00, 0x55, 0x01, 0x00}},
                      EncodeCase{"Byte25A",
                                 with({{Group::UsbMode, 2},
                                       {Group::ExtBuzzer, 1},
                                       {Group::AutocutMode, 2},
                                       {Group::Autocut, 2}}),
                                 {0x00, 0x00, 0x5A, 0x00}},
                      EncodeCase{"Byte2CA",
                                 with({{Group::UsbMode, 2},
                                       {Group::ExtBuzzer, 1},
                                       {Group::AutocutMode, 2},
                                       {Group::Autocut, 1}}),
                                 {0x00, 0x00, 0xCA, 0x00}},
                      EncodeCase{"Byte2A0",
                                 with({{Group::UsbMode, 0},
                                       {Group::ExtBuzzer, 0},
                                       {Group::AutocutMode, 1},
                                       {Group::Autocut, 1}}),
                                 {0x00, 0x00, 0xA0, 0x00}},
                      EncodeCase{"Byte3DC",
                                 with({{Group::PrintSpeed, 4},
                                       {Group::Width, 1},
                                       {Group::FontSystem, 1},
                                       {Group::PaperType, 6}}),
                                 {0x00, 0x00, 0x01, 0xDC}},
                      EncodeCase{"Byte372",
                                 with({{Group::PrintSpeed, 2},
                                       {Group::Width, 0},
                                       {Group::FontSystem, 1},
                                       {Group::PaperType, 3}}),
                                 {0x00, 0x00, 0x01, 0x72}}),
    [](const auto& info) { return std::string(info.param.name); });

struct DecodeCase {
    const char* name;
    std::vector<std::uint8_t> reply;
    bool rejected;
    Selections select;
};

Selections none() {
    return Selections{};
}

Selections withoutGroup(Selections s, Group g) {
    s[at(g)].reset();
    return s;
}

class DecodeExample : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeExample, SelectsTheMembers) {
    const DecodedBlock d = decodeBlock(GetParam().reply);
    EXPECT_EQ(d.rejected, GetParam().rejected);
    EXPECT_EQ(d.select, GetParam().select);
}

const Selections kAllExamples = with({{Group::Codepage, 63},
                                      {Group::SerialBaudrate, 6},
                                      {Group::SerialParityBit, 2},
                                      {Group::SerialHandshaking, 1},
                                      {Group::ErrorSound, 2},
                                      {Group::UsbMode, 2},
                                      {Group::ExtBuzzer, 1},
                                      {Group::AutocutMode, 2},
                                      {Group::Autocut, 2},
                                      {Group::PrintSpeed, 4},
                                      {Group::Width, 1},
                                      {Group::FontSystem, 1},
                                      {Group::PaperType, 6}});

INSTANTIATE_TEST_SUITE_P(
    Examples, DecodeExample,
    ::testing::Values(DecodeCase{"Startup", {0x00, 0x00, 0x01, 0x00}, false, startupSelections()},
                      DecodeCase{"AllExamples", {0x3F, 0xAE, 0x5A, 0xDC}, false, kAllExamples},
                      DecodeCase{"SixBytesUseFirstFour",
                                 {0x3F, 0xAE, 0x5A, 0xDC, 0x40, 0xFF},
                                 false,
                                 kAllExamples},
                      DecodeCase{"Codepage40Rejected", {0x40, 0x00, 0x01, 0x00}, true, none()},
                      DecodeCase{"CodepageFFRejected", {0xFF, 0xAE, 0x5A, 0xDC}, true, none()},
                      DecodeCase{"Codepage25Kept",
                                 {0x25, 0xAE, 0x5A, 0xDC},
                                 false,
                                 withoutGroup(kAllExamples, Group::Codepage)},
                      DecodeCase{"Autocut90Kept",
                                 {0x00, 0x00, 0x90, 0x00},
                                 false,
                                 withoutGroup(with({{Group::UsbMode, 0}}), Group::Autocut)},
                      DecodeCase{"Usb04Kept",
                                 {0x00, 0x00, 0x04, 0x00},
                                 false,
                                 withoutGroup(startupSelections(), Group::UsbMode)},
                      DecodeCase{"PaperE0Kept",
                                 {0x00, 0x00, 0x01, 0xE0},
                                 false,
                                 withoutGroup(startupSelections(), Group::PaperType)},
                      DecodeCase{"Baud07Kept",
                                 {0x00, 0x07, 0x01, 0x00},
                                 false,
                                 withoutGroup(startupSelections(), Group::SerialBaudrate)},
                      DecodeCase{"Speed05Kept",
                                 {0x00, 0x00, 0x01, 0x05},
                                 false,
                                 withoutGroup(startupSelections(), Group::PrintSpeed)},
                      DecodeCase{"EmptyRejected", {}, true, none()},
                      DecodeCase{"ThreeBytesRejected", {0x00, 0x00, 0x01}, true, none()}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- every value of every byte against a hand-written reading -------------

std::optional<int> oneOf(int field, std::initializer_list<int> values) {
    int index = 0;
    for (int v : values) {
        if (v == field) return index;
        ++index;
    }
    return std::nullopt;
}

DecodedBlock expectedDecode(const Block& b) {
    DecodedBlock d;
    if (b[0] > 0x3F) {
        d.rejected = true;
        return d;
    }
    if (b[0] <= 0x20) d.select[at(Group::Codepage)] = b[0];
    if (b[0] >= 0x3C) d.select[at(Group::Codepage)] = b[0] - 0x3C + 60;

    if ((b[1] & 0x07) != 0x07) d.select[at(Group::SerialBaudrate)] = b[1] & 0x07;
    d.select[at(Group::SerialParityBit)] = oneOf(b[1] >> 6, {0, 1, 2});
    d.select[at(Group::SerialHandshaking)] = (b[1] >> 3) & 1;
    d.select[at(Group::ErrorSound)] = oneOf((b[1] >> 4) & 3, {0, 1, 2});

    d.select[at(Group::UsbMode)] = oneOf(b[2] & 0x07, {0, 1, 2});
    d.select[at(Group::ExtBuzzer)] = (b[2] >> 3) & 1;
    d.select[at(Group::AutocutMode)] = oneOf((b[2] >> 5) & 3, {0, 1, 2});
    const bool bit7 = (b[2] & 0x80) != 0;
    const bool bit4 = (b[2] & 0x10) != 0;
    if (!bit7 && !bit4) d.select[at(Group::Autocut)] = 0;
    if (bit7 && !bit4) d.select[at(Group::Autocut)] = 1;
    if (!bit7 && bit4) d.select[at(Group::Autocut)] = 2;

    if ((b[3] & 0x07) <= 4) d.select[at(Group::PrintSpeed)] = b[3] & 0x07;
    d.select[at(Group::Width)] = (b[3] >> 3) & 1;
    d.select[at(Group::FontSystem)] = (b[3] >> 4) & 1;
    if ((b[3] >> 5) != 7) d.select[at(Group::PaperType)] = b[3] >> 5;
    return d;
}

TEST(DecodeBlock, EveryValueOfEveryByteMatchesTheHandReading) {
    for (std::size_t position = 0; position < kBlockSize; ++position) {
        for (int v = 0; v <= 0xFF; ++v) {
            Block b{0x00, 0x00, 0x01, 0x00};
            b[position] = static_cast<std::uint8_t>(v);
            const DecodedBlock got = decodeBlock(b);
            const DecodedBlock want = expectedDecode(b);
            ASSERT_EQ(got.rejected, want.rejected) << "byte " << position << " = " << v;
            ASSERT_EQ(got.select, want.select) << "byte " << position << " = " << v;
        }
    }
}

// ---- round trip, exhaustive per byte --------------------------------------

std::vector<int> codepageMembers() {
    std::vector<int> m;
    for (int i = 0; i <= 32; ++i) m.push_back(i);
    for (int i = 60; i <= 63; ++i) m.push_back(i);
    return m;
}

std::vector<int> upTo(int count) {
    std::vector<int> m;
    for (int i = 0; i < count; ++i) m.push_back(i);
    return m;
}

void roundTrip(const Selections& s, std::size_t position, int handByte) {
    const Block block = build(s);
    ASSERT_EQ(block[position], handByte);
    const DecodedBlock d = decodeBlock(block);
    ASSERT_FALSE(d.rejected);
    ASSERT_EQ(d.select, s);
}

TEST(RoundTrip, Byte0) {
    for (int cp : codepageMembers()) {
        roundTrip(with({{Group::Codepage, cp}}), 0, cp >= 60 ? 0x3C + cp - 60 : cp);
    }
}

TEST(RoundTrip, Byte1) {
    for (int baud : upTo(7))
        for (int parity : upTo(3))
            for (int hand : upTo(2))
                for (int sound : upTo(3)) {
                    roundTrip(with({{Group::SerialBaudrate, baud},
                                    {Group::SerialParityBit, parity},
                                    {Group::SerialHandshaking, hand},
                                    {Group::ErrorSound, sound}}),
                              1, baud | parity << 6 | hand << 3 | sound << 4);
                }
}

TEST(RoundTrip, Byte2) {
    constexpr int kCutter[] = {0x00, 0x80, 0x10};
    for (int usb : upTo(3))
        for (int buzzer : upTo(2))
            for (int mode : upTo(3))
                for (int cut : upTo(3)) {
                    roundTrip(with({{Group::UsbMode, usb},
                                    {Group::ExtBuzzer, buzzer},
                                    {Group::AutocutMode, mode},
                                    {Group::Autocut, cut}}),
                              2, usb | buzzer << 3 | mode << 5 | kCutter[cut]);
                }
}

TEST(RoundTrip, Byte3) {
    for (int speed : upTo(5))
        for (int width : upTo(2))
            for (int font : upTo(2))
                for (int paper : upTo(7)) {
                    roundTrip(with({{Group::PrintSpeed, speed},
                                    {Group::Width, width},
                                    {Group::FontSystem, font},
                                    {Group::PaperType, paper}}),
                              3, speed | width << 3 | font << 4 | paper << 5);
                }
}

// ---- builds in a row -------------------------------------------------------

TEST(MakeSetting, SecondBuildGivesTheSameBlock) {
    const Selections s = kAllExamples;
    Block block{};
    Make_Setting(s, block);
    const Block first = block;
    Make_Setting(s, block);
    EXPECT_EQ(block, first);
    EXPECT_EQ(first, (Block{0x3F, 0xAE, 0x5A, 0xDC}));
}

TEST(MakeSetting, GroupWithoutSelectionLeavesThePreviousByte) {
    Block block{};
    Make_Setting(kAllExamples, block);

    Selections s = startupSelections();
    s[at(Group::Codepage)].reset();
    Make_Setting(s, block);
    EXPECT_EQ(block, (Block{0x3F, 0x00, 0x01, 0x00}));
}

TEST(MakeSetting, AddingGroupsStillAddWhenTheStoringGroupHasNoSelection) {
    Block block{0x00, 0x05, 0x00, 0x00};
    Selections s = startupSelections();
    s[at(Group::SerialBaudrate)].reset();
    s[at(Group::SerialParityBit)] = 1;
    Make_Setting(s, block);
    EXPECT_EQ(block[1], 0x45);
}

TEST(MakeSetting, CarriedOverByteWrapsInsteadOfOverflowing) {
    Block block{0x00, 0xEE, 0x00, 0x00};
    Selections s = startupSelections();
    s[at(Group::SerialBaudrate)].reset();
    s[at(Group::SerialParityBit)] = 2;  // adds 80
    s[at(Group::ErrorSound)] = 2;       // adds 20
    Make_Setting(s, block);
    EXPECT_EQ(block[1], (0xEE + 0x80 + 0x20) & 0xFF);
}

TEST(MakeSetting, UnknownMemberIndexContributesNothing) {
    Block block{0x11, 0x00, 0x00, 0x00};
    Make_Setting(with({{Group::Codepage, 40}}), block);
    EXPECT_EQ(block, (Block{0x11, 0x00, 0x01, 0x00}));
}

}  // namespace
}  // namespace tessra::settings
