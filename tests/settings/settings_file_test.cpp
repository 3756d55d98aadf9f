#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "fakes/FakeOptionPanel.h"
#include "settings/OptionNames.h"
#include "settings/SettingsFile.h"

namespace tessra::settings {
namespace {

using testing::startupSelections;
using Lines = std::vector<std::string>;

constexpr std::size_t at(Group g) {
    return static_cast<std::size_t>(g);
}

Block blockOf(const Selections& s) {
    Block block{};
    Make_Setting(s, block);
    return block;
}

std::string joined(const Lines& lines, const char* newline = "\n") {
    std::string text;
    for (const std::string& l : lines) text += l + newline;
    return text;
}

// A file as `settings show` would list the start-up block: version on line 1,
// the groups in table order on lines 2 to 14, the block on line 15.
Lines startupFile() {
    const Block block = blockOf(startupSelections());
    Lines lines{std::string(kSettingsFileVersionLine)};
    for (std::string& l : blockGroupLines(block)) lines.push_back(std::move(l));
    lines.push_back("block = " + blockHex(block));
    return lines;
}

SettingsFileResult parsed(const Lines& lines) {
    return parseSettingsFile(joined(lines));
}

// ---- round trip -----------------------------------------------------------

// The groups of one byte never touch another byte, so every block the window
// can build is covered by every combination within each byte in turn.
std::vector<Selections> everyCombinationOfByte(int byte) {
    std::vector<Selections> all{startupSelections()};
    for (const OptionGroup& g : kOptionGroups) {
        if (g.byte != byte) continue;
        std::vector<Selections> next;
        for (const Selections& s : all) {
            for (const Member& m : g.members) {
                next.push_back(s);
                next.back()[at(g.group)] = m.index;
            }
        }
        all = std::move(next);
    }
    return all;
}

TEST(SettingsFileRoundTrip, EveryCombinationWithinEachByteGivesTheSameBlock) {
    for (int byte = 0; byte < static_cast<int>(kBlockSize); ++byte) {
        for (const Selections& s : everyCombinationOfByte(byte)) {
            const auto text = formatSettingsFile(s);
            ASSERT_TRUE(text);
            const SettingsFileResult back = parseSettingsFile(*text);
            ASSERT_FALSE(back.error) << back.error->line << ": " << back.error->message;
            ASSERT_TRUE(back.notes.empty()) << *text;
            ASSERT_EQ(back.selections, s) << *text;
            ASSERT_EQ(back.block, blockOf(s)) << *text;
        }
    }
}

TEST(SettingsFileFormat, RefusesSelectionsThatNameNoMemberInSomeGroup) {
    Selections unselected = startupSelections();
    unselected[at(Group::PaperType)].reset();
    Selections unknownIndex = startupSelections();
    unknownIndex[at(Group::Codepage)] = 40;
    EXPECT_FALSE(formatSettingsFile(unselected));
    EXPECT_FALSE(formatSettingsFile(unknownIndex));
}

TEST(SettingsFileFormat, ListsTheGroupsAsTheBlockListingDoes) {
    const Selections s = everyCombinationOfByte(3).back();
    const std::string text = formatSettingsFile(s).value();
    for (const std::string& line : blockGroupLines(blockOf(s)))
        EXPECT_NE(text.find("\n" + line + "\n"), std::string::npos) << line;
}

// ---- hand edits that are read ---------------------------------------------

TEST(SettingsFileParse, MatchesNamesIgnoringCaseAndBlanks) {
    Lines lines = startupFile();
    lines[2] = "  bAUDRATE\t=   115200 BPS  ";
    const SettingsFileResult r = parsed(lines);
    ASSERT_FALSE(r.error);
    EXPECT_EQ(r.selections[at(Group::SerialBaudrate)], 6);
}

TEST(SettingsFileParse, TakesAMemberByItsIndex) {
    Lines lines = startupFile();
    lines[1] = "Code Page = 61";
    lines.pop_back();  // the block line would now disagree
    const SettingsFileResult r = parsed(lines);
    ASSERT_FALSE(r.error);
    EXPECT_EQ(r.selections[at(Group::Codepage)], 61);
    EXPECT_EQ(r.block[0], 0x3D);
    EXPECT_TRUE(r.notes.empty());
}

TEST(SettingsFileParse, AcceptsAnyOrderCommentsCrLfAndAByteOrderMark) {
    Lines lines = startupFile();
    std::reverse(lines.begin() + 1, lines.end());
    lines.insert(lines.begin() + 1, {"# kept for the front desk printers", "", "   # indented"});
    const SettingsFileResult r = parseSettingsFile("\xEF\xBB\xBF" + joined(lines, "\r\n"));
    ASSERT_FALSE(r.error) << r.error->line << ": " << r.error->message;
    EXPECT_EQ(r.selections, startupSelections());
    EXPECT_TRUE(r.notes.empty());
}

TEST(SettingsFileParse, GroupsWinOverADisagreeingBlockLineWithANote) {
    Lines lines = startupFile();
    lines[2] = "Baudrate = 19200 bps";  // the block line still has the start-up block
    const SettingsFileResult r = parsed(lines);
    ASSERT_FALSE(r.error);
    EXPECT_EQ(r.block, (Block{0x00, 0x03, 0x01, 0x00}));
    ASSERT_EQ(r.notes.size(), 1u);
    for (const char* part : {"line 15", "00 00 01 00", "00 03 01 00"})
        EXPECT_NE(r.notes[0].find(part), std::string::npos) << r.notes[0];
}

// ---- hand edits that are refused ------------------------------------------

using Edit = std::function<void(Lines&)>;

Edit replaced(int line, std::string text) {
    return [=](Lines& l) { l[static_cast<std::size_t>(line - 1)] = text; };
}
Edit inserted(int line, std::string text) {
    return [=](Lines& l) { l.insert(l.begin() + (line - 1), text); };
}
Edit erased(int line) {
    return [=](Lines& l) { l.erase(l.begin() + (line - 1)); };
}

struct RefusalCase {
    const char* name;
    Edit edit;
    int line;
    std::string mentions;
};

class SettingsFileRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(SettingsFileRefusal, NamesTheLineAndTheFault) {
    Lines lines = startupFile();
    GetParam().edit(lines);
    const SettingsFileResult r = parsed(lines);
    ASSERT_TRUE(r.error);
    EXPECT_EQ(r.error->line, GetParam().line) << r.error->message;
    EXPECT_NE(r.error->message.find(GetParam().mentions), std::string::npos) << r.error->message;
    EXPECT_EQ(r.selections, Selections{});
}

INSTANTIATE_TEST_SUITE_P(
    HandEdits, SettingsFileRefusal,
    ::testing::Values(
        RefusalCase{"UnknownGroup", replaced(3, "Baud rate = 9600 bps"), 3, "\"Baud rate\""},
        RefusalCase{"UnknownMember", replaced(3, "Baudrate = 9601 bps"), 3, "\"9601 bps\""},
        RefusalCase{"IndexOfNoMember", replaced(2, "Code Page = 40"), 2, "\"40\""},
        RefusalCase{"DuplicateGroup", inserted(16, "PAPER TYPE = 0"), 16, "first on line 14"},
        RefusalCase{"DuplicateBlock", inserted(16, "block = 00 02 01 00"), 16, "first on line 15"},
        RefusalCase{"MissingGroup", erased(14), 14, "missing groups: Paper Type"},
        RefusalCase{"NoLines", [](Lines& l) { l.clear(); }, 1, "first line"},
        RefusalCase{"NoVersionLine", erased(1), 1, "first line"},
        RefusalCase{"CommentBeforeVersion", inserted(1, "# settings"), 1, "first line"},
        RefusalCase{"LaterVersion", replaced(1, "tessra-settings 2"), 1, "\"2\""},
        RefusalCase{"NoSeparator", replaced(3, "Baudrate 9600 bps"), 3, "expected"},
        RefusalCase{"ColonSeparator", replaced(3, "Baudrate: 9600 bps"), 3, "expected"},
        RefusalCase{"ShortBlock", replaced(15, "block = 00 02 01"), 15, "four"},
        RefusalCase{"BlockNotHex", replaced(15, "block = 00 02 01 0G"), 15, "four"},
        RefusalCase{"BlockRunTogether", replaced(15, "block = 00020100"), 15, "four"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- messages offer the valid names ---------------------------------------

TEST(SettingsFileRefusal, UnknownGroupListsEveryGroup) {
    Lines lines = startupFile();
    lines[2] = "Speed = 9600 bps";
    const std::string message = parsed(lines).error.value().message;
    for (const OptionGroup& g : kOptionGroups)
        EXPECT_NE(message.find(g.frameCaption), std::string::npos) << g.frameCaption;
}

TEST(SettingsFileRefusal, UnknownMemberListsEveryMemberWithItsIndex) {
    for (const OptionGroup& g : kOptionGroups) {
        const auto match = findMemberByName(g.group, "no such member");
        ASSERT_FALSE(match.found);
        ASSERT_EQ(match.choices.size(), g.members.size());
        for (const Member& m : g.members) {
            const std::string choice =
                std::string(m.caption) + " (" + std::to_string(m.index) + ")";
            EXPECT_NE(std::find(match.choices.begin(), match.choices.end(), choice),
                      match.choices.end())
                << choice;
        }
    }
}

// ---- the block listing ----------------------------------------------------

TEST(BlockGroupLines, NamesAnUnassignedFieldByItsBits) {
    const Lines lines = blockGroupLines(Block{0x25, 0x07, 0x90, 0xE5});
    for (const char* expected :
         {"Code Page = unassigned 25", "Baudrate = unassigned 07", "Cutter Setting = unassigned 90",
          "Print Speed = unassigned 05", "Paper Type = unassigned E0"}) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end()) << expected;
    }
}

}  // namespace
}  // namespace tessra::settings
