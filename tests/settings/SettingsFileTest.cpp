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

std::string joined(const Lines& lines, const char* newline = "\n") {
    std::string text;
    for (const std::string& l : lines) text += l + newline;
    return text;
}

// A file as `settings show` would list the start-up block: version on line 1,
// the groups in table order on lines 2 to 14, the block on line 15.
Lines startupFile() {
    Block block{};
    buildBlock(startupSelections(), block);
    Lines lines{std::string(kSettingsFileVersionLine)};
    for (std::string& l : blockGroupLines(block)) lines.push_back(std::move(l));
    lines.push_back("block = " + blockHex(block));
    return lines;
}

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

// A hand-edited file: any order, comments, CRLF, a byte order mark, names in
// any case with blanks, a member by its index, and a block line left behind.
TEST(SettingsFile, HandEditsAreReadAndTheGroupsWinOverTheBlockLine) {
    Lines lines = startupFile();
    lines[1] = "Code Page = 61";
    lines[2] = "  bAUDRATE\t=   19200 BPS  ";
    std::reverse(lines.begin() + 1, lines.end());
    lines.insert(lines.begin() + 1, {"# kept for the front desk printers", "", "   # indented"});
    const SettingsFileResult r = parseSettingsFile("\xEF\xBB\xBF" + joined(lines, "\r\n"));
    ASSERT_FALSE(r.error) << r.error->line << ": " << r.error->message;
    EXPECT_EQ(r.selections, (Selections{61, 3, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(r.block, (Block{0x3D, 0x03, 0x01, 0x00}));
    EXPECT_EQ(r.notes, std::vector<std::string>{"line 5: the block line says 00 00 01 00 but the "
                                                "groups give 3D 03 01 00; the groups are used"});
}

TEST(SettingsFile, RefusalNamesTheLineAndTheFault) {
    struct Case {
        Edit edit;
        int line;
        std::string mentions;
    };
    const Case cases[] = {
        {replaced(3, "Baud rate = 9600 bps"), 3, "\"Baud rate\""},
        {replaced(3, "Baudrate = 9601 bps"), 3, "\"9601 bps\""},
        {replaced(2, "Code Page = 40"), 2, "\"40\""},
        {inserted(16, "PAPER TYPE = 0"), 16, "first on line 14"},
        {inserted(16, "block = 00 02 01 00"), 16, "first on line 15"},
        {erased(14), 14, "missing groups: Paper Type"},
        {erased(1), 1, "first line"},
        {replaced(3, "Baudrate 9600 bps"), 3, "expected"},
        {replaced(15, "block = 00 02 01"), 15, "four"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mentions);
        Lines lines = startupFile();
        c.edit(lines);
        const SettingsFileResult r = parseSettingsFile(joined(lines));
        ASSERT_TRUE(r.error);
        EXPECT_EQ(r.error->line, c.line) << r.error->message;
        EXPECT_NE(r.error->message.find(c.mentions), std::string::npos) << r.error->message;
        EXPECT_EQ(r.selections, Selections{});
    }
}

// Under Velda "PD160R-63" is the third paper type, the table's fifth; the
// file names its model so every member reads back as written.
TEST(SettingsFile, AFileNamingItsModelReadsThatModelsCaptions) {
    for (const auto model : {models::Model::Orrin, models::Model::Velda}) {
        for (const Member& paper : optionGroup(Group::PaperType).members) {
            Selections s = startupSelections();
            s[static_cast<std::size_t>(Group::PaperType)] = paper.index;
            const SettingsFileResult r = parseSettingsFile(*formatSettingsFile(s, model));
            ASSERT_FALSE(r.error) << r.error->message;
            EXPECT_EQ(r.selections, s) << paper.caption;
            EXPECT_EQ(r.model, model);
        }
    }
    Lines lines = startupFile();
    lines.push_back("model = Velda");
    for (std::string& l : lines) {
        if (l.starts_with("Paper Type")) l = "Paper Type = PD160R-63";
        if (l.starts_with("Print Speed")) l = "Print Speed = Low Power";
    }
    const SettingsFileResult velda = parseSettingsFile(joined(lines));
    ASSERT_FALSE(velda.error) << velda.error->message;
    EXPECT_EQ(velda.selections[static_cast<std::size_t>(Group::PaperType)], 2);
}

}  // namespace
}  // namespace tessra::settings
