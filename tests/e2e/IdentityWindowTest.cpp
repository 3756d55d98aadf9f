// Customer code and MAC address from the window, against the virtual printer
// through the real serial adapter.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "WindowWithPrinter.h"
#include "models/Profiles.h"

namespace tessra::testing {
namespace {

using Row = std::vector<std::string>;

using IdentityWindow = WindowWithPrinter;

// What Text<first> to Text<last> show.
Row texts(const app::Form1& form, int first, int last) {
    Row row;
    for (int box = first; box <= last; ++box)
        row.push_back(form.Text.at(static_cast<std::size_t>(box))->text().toStdString());
    return row;
}

TEST_F(IdentityWindow, CustomerCodeWriteThenMacSavesWithAutoIncrementEachLoadedBack) {
    ASSERT_NO_FATAL_FAILURE(start());
    form->Command20[0]->click();  // the first read offers the write
    EXPECT_EQ(form->Text13->text(), "1");
    form->Text13->setText("42");
    form->Command20[1]->click();
    form->Text13->setText("7");
    form->Command20[0]->click();
    EXPECT_EQ(form->Text13->text(), "42");
    EXPECT_TRUE(loggedInOrder({"9600: customer code read 1\n", "9600: customer code write 42\n",
                               "9600: customer code read 42\n"}));

    // The MAC controls wait for a model to be chosen.
    form->Opt_PRT_MODEL->button(static_cast<int>(models::Model::Velda))->click();
    form->VScroll[1]->setValue(0x01);
    form->VScroll[2]->setValue(0x1B);
    form->VScroll[3]->setValue(0xFE);
    form->Check1->setChecked(true);
    op.answers = {"Kovak"};
    const std::vector<std::pair<std::string, Row>> saves{
        {"01 1B FE", {"A", "5C", "3E", "1", "1B", "FE"}},
        {"01 1B FF", {"A", "5C", "3E", "1", "1B", "FF"}},
        {"01 1C 00", {"A", "5C", "3E", "1", "1C", "0"}},  // the carry into the 5th octet
    };
    for (const auto& [hex, row] : saves) {
        form->Command13->click();
        form->Command12->click();
        EXPECT_EQ(texts(*form, 7, 12), row);
        EXPECT_TRUE(loggedInOrder(
            {"9600: MAC write 0A 5C 3E " + hex + "\n", "9600: MAC read 0A 5C 3E " + hex + "\n"}));
    }
    EXPECT_EQ(op.questions.size(), 1u);                    // the password is asked once per run
    EXPECT_EQ(texts(*form, 4, 6), (Row{"1", "1C", "1"}));  // the next printer's address
    EXPECT_TRUE(op.messages.empty()) << op.messages.front().text;
}

}  // namespace
}  // namespace tessra::testing
