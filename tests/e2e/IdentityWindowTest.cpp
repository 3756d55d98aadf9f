// MAC address save and load, customer code write and read, from the window
// against the virtual printer through the real serial adapter.
#include <QCheckBox>
#include <QScrollBar>

#include "WindowWithPrinter.h"
#include "identity/IdentityTexts.h"

namespace tessra::testing {
namespace {

using Row = std::vector<std::string>;

class IdentityWindow : public WindowWithPrinter {
protected:
    // The MAC controls wait for a model to be chosen.
    void startWithMacControls() {
        ASSERT_NO_FATAL_FAILURE(start());
        chooseModel(models::Model::Velda);
        ASSERT_TRUE(form->Command13->isEnabled());
    }
    void setAddress(int mac4, int mac5, int mac6) const {
        form->VScroll[1]->setValue(mac4);
        form->VScroll[2]->setValue(mac5);
        form->VScroll[3]->setValue(mac6);
    }
    void load() {
        form->Command12->click();
        EXPECT_TRUE(op.messages.empty()) << op.messages.front().text;
    }
};

TEST_F(IdentityWindow, ThreeSavesWithAutoIncrementEachLoadedBack) {
    ASSERT_NO_FATAL_FAILURE(startWithMacControls());
    setAddress(0x01, 0x1B, 0xFE);
    form->Check1->setChecked(true);
    op.answers = {"Kovak"};

    const std::vector<std::pair<std::string, Row>> saves{
        {"01 1B FE", {"A", "5C", "3E", "1", "1B", "FE"}},
        {"01 1B FF", {"A", "5C", "3E", "1", "1B", "FF"}},
        {"01 1C 00", {"A", "5C", "3E", "1", "1C", "0"}},  // the carry into the 5th octet
    };
    for (const auto& [hex, row] : saves) {
        form->Command13->click();
        EXPECT_TRUE(printer.waitForLine("9600: MAC write 0A 5C 3E " + hex + "\n"))
            << printer.transcript();
        load();
        EXPECT_EQ(readBackRow(), row);
        EXPECT_TRUE(printer.waitForLine("9600: MAC read 0A 5C 3E " + hex + "\n"))
            << printer.transcript();
    }
    EXPECT_EQ(op.questions.size(), 1u);  // the password is asked once per run
    EXPECT_EQ(text(4), "1");
    EXPECT_EQ(text(5), "1C");
    EXPECT_EQ(text(6), "1");  // the next printer's address
    EXPECT_TRUE(op.messages.empty()) << op.messages.front().text;
}

TEST_F(IdentityWindow, WrongPasswordLeavesThePrintersAddress) {
    ASSERT_NO_FATAL_FAILURE(startWithMacControls());
    setAddress(0x02, 0x03, 0x04);
    op.answers = {"kovak"};
    form->Command13->click();
    EXPECT_EQ(
        op.messages,
        (std::vector<FakeOperator::Message>{{std::string(identity::kInvalidPasswordMessage), ""}}));
    op.messages.clear();

    load();
    EXPECT_EQ(readBackRow(), (Row{"A", "5C", "3E", "0", "0", "1"}));
    ASSERT_TRUE(printer.waitForLine("9600: MAC read 0A 5C 3E 00 00 01\n")) << printer.transcript();
    EXPECT_EQ(printer.transcript().find("MAC write"), std::string::npos) << printer.transcript();
    EXPECT_EQ(text(6), "4");  // no increment either
}

TEST_F(IdentityWindow, CustomerCodeWriteThenRead) {
    ASSERT_NO_FATAL_FAILURE(start());
    form->Command20[0]->click();  // the first read offers the write
    EXPECT_EQ(form->Text13->text(), "1");
    ASSERT_TRUE(form->Command20[1]->isEnabled());

    form->Text13->setText("42");
    form->Command20[1]->click();
    EXPECT_TRUE(printer.waitForLine("9600: customer code write 42\n")) << printer.transcript();

    form->Text13->setText("7");
    form->Command20[0]->click();
    EXPECT_EQ(form->Text13->text(), "42");
    EXPECT_TRUE(printer.inOrder({"9600: customer code read 1\n", "9600: customer code write 42\n",
                                 "9600: customer code read 42\n"}));
    EXPECT_TRUE(op.messages.empty()) << op.messages.front().text;
}

}  // namespace
}  // namespace tessra::testing
