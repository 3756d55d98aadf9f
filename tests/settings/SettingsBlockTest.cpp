#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

#include "fakes/FakeOptionPanel.h"
#include "settings/SettingsBlock.h"
#include "settings/SettingsFile.h"

namespace tessra::settings {
namespace {

using testing::startupSelections;

Selections with(std::initializer_list<std::pair<Group, std::optional<int>>> changes) {
    Selections s = startupSelections();
    for (const auto& [g, index] : changes) s[static_cast<std::size_t>(g)] = index;
    return s;
}

Block build(const Selections& s, Block block = {0xA5, 0x5A, 0xC3, 0x3C}) {
    buildBlock(s, block);
    return block;
}

// The groups of one byte never touch another byte, so every combination of
// the members within each byte in turn covers every block the window builds.
TEST(SettingsBlock, EveryBlockTheWindowBuildsReadsBackFromTheBlockAndFromItsFile) {
    for (int byte = 0; byte < static_cast<int>(kBlockSize); ++byte) {
        std::vector<Selections> all{startupSelections()};
        for (const OptionGroup& g : kOptionGroups) {
            if (g.byte != byte) continue;
            std::vector<Selections> next;
            for (const Selections& s : all) {
                for (const Member& m : g.members) {
                    next.push_back(s);
                    next.back()[static_cast<std::size_t>(g.group)] = m.index;
                }
            }
            all = std::move(next);
        }
        for (const Selections& s : all) {
            const Block block = build(s);
            const DecodedBlock back = decodeBlock(block);
            ASSERT_FALSE(back.rejected) << byte;
            ASSERT_EQ(back.select, s) << byte;
            const auto text = formatSettingsFile(s);
            ASSERT_TRUE(text);
            const SettingsFileResult file = parseSettingsFile(*text);
            ASSERT_FALSE(file.error) << file.error->line << ": " << file.error->message;
            ASSERT_TRUE(file.notes.empty()) << *text;
            ASSERT_EQ(file.selections, s) << *text;
            ASSERT_EQ(file.block, block) << *text;
        }
    }
}

// A member other than the first in every group, in the order of the Group enum.
const Selections kAllExamples{63, 6, 2, 1, 2, 2, 1, 2, 2, 4, 1, 1, 6};

// Blocks written out by hand: the round trip alone would not notice a member
// value that is wrong both ways. Unassigned fields keep their group as it is.
TEST(SettingsBlock, DecodesRepliesWrittenOutByHand) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> reply;
        std::optional<Selections> select;  // nothing: the reply is rejected
        bool alsoBuilt;                    // buildBlock gives exactly this reply
    };
    const Case cases[] = {
        {"startup", {0x00, 0x00, 0x01, 0x00}, startupSelections(), true},
        {"all examples", {0x3F, 0xAE, 0x5A, 0xDC}, kAllExamples, true},
        {"Big5", {0x3C, 0x00, 0x01, 0x00}, with({{Group::Codepage, 60}}), true},
        {"six bytes", {0x3F, 0xAE, 0x5A, 0xDC, 0x40, 0xFF}, kAllExamples, false},
        {"code page 40", {0x40, 0x00, 0x01, 0x00}, std::nullopt, false},
        {"three bytes", {0x00, 0x00, 0x01}, std::nullopt, false},
        {"code page 25", {0x25, 0x00, 0x01, 0x00}, with({{Group::Codepage, {}}}), false},
        {"cutter 90", {0x00, 0x00, 0x91, 0x00}, with({{Group::Autocut, {}}}), false},
        {"paper E0", {0x00, 0x00, 0x01, 0xE0}, with({{Group::PaperType, {}}}), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DecodedBlock d = decodeBlock(c.reply);
        EXPECT_EQ(d.rejected, !c.select);
        EXPECT_EQ(d.select, c.select.value_or(Selections{}));
        if (c.alsoBuilt) {
            const Block block = build(*c.select);
            EXPECT_EQ(std::vector<std::uint8_t>(block.begin(), block.end()), c.reply);
        }
    }
}

// A group without a selection contributes nothing: its byte keeps what the
// previous build left, and the later groups of the byte still add theirs.
TEST(MakeSetting, BuildsOnThePreviousBlockWhereAGroupHasNoSelection) {
    struct Case {
        const char* what;
        Block before;
        Selections select;
        Block after;
    };
    const Case cases[] = {
        {"byte kept", {0x3F, 0xAE, 0x5A, 0xDC}, with({{Group::Codepage, {}}}), {0x3F, 0, 1, 0}},
        {"sum wraps",
         {0x00, 0xEE, 0x00, 0x00},
         with({{Group::SerialBaudrate, {}}, {Group::SerialParityBit, 2}, {Group::ErrorSound, 2}}),
         {0x00, 0x8E, 0x01, 0x00}},
        {"index of no member", {0x11, 0, 0, 0}, with({{Group::Codepage, 40}}), {0x11, 0, 1, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(build(c.select, c.before), c.after) << c.what;
}

}  // namespace
}  // namespace tessra::settings
