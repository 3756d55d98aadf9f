// The Read and Write buttons: one settings transaction at a time.
#include <QComboBox>
#include <QPushButton>
#include <algorithm>

#include "WindowFixture.h"

namespace tessra::testing {
namespace {

bool bothEnabled(const app::Form1& form) {
    return form.cmdSelPage[0]->isEnabled() && form.cmdSelPage[1]->isEnabled();
}

// A Read in Auto finds the printer at its seventh attempt; clicks made while
// it waits start nothing, and both buttons are back once it has ended.
// Then a Write prints its own confirmation.
TEST_F(WindowTest, ReadFindsThePrinterIgnoringClicksMeanwhileThenWriteSendsEachTakingTheFocus) {
    port.responder = [](const FakePort::Opening& o, const Bytes& written) {
        const Bytes request{0x01, 0x39, 0x36, 0x02, 0x30};
        return o.settings == "57600,n,8,1" && written == request ? Bytes{0x3C, 0x05, 0x00, 0x00}
                                                                 : Bytes{};
    };
    int clicks = 0;
    op.onProcessEvents = [&] {
        ++clicks;
        EXPECT_FALSE(form->cmdSelPage[0]->isEnabled() || form->cmdSelPage[1]->isEnabled());
        EXPECT_FALSE(form->mblnReady);
        form->cmdSelPage_Click(0);
        form->cmdSelPage_Click(1);
    };
    form->cmdSelPage[0]->click();
    EXPECT_GT(clicks, 0);
    EXPECT_EQ(port.openings.size(), 7u);
    EXPECT_EQ(form->cboSPEED->currentText(), "57600");
    EXPECT_EQ(form->optionPanel().selected(settings::Group::Codepage), 60);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_TRUE(form->mblnReady);
    EXPECT_TRUE(bothEnabled(*form));
    EXPECT_EQ(form->focusWidget(), form->cmdSelPage[0]);

    op.onProcessEvents = nullptr;
    form->cmdSelPage[1]->click();
    const Bytes sent = port.openings.back().bytes();
    const std::string_view confirmation = " Setting Complete";
    EXPECT_NE(std::ranges::search(sent, confirmation).begin(), sent.end());
    EXPECT_TRUE(bothEnabled(*form));
    EXPECT_EQ(form->focusWidget(), form->cmdSelPage[1]);
}

TEST_F(WindowTest, ClickIsDroppedDuringAnotherOperationOrWithAButtonDisabled) {
    EXPECT_TRUE(form->link().runExclusive([&] { form->cmdSelPage[0]->click(); }));
    EXPECT_TRUE(bothEnabled(*form));
    form->cmdSelPage[1]->setEnabled(false);
    form->cmdSelPage_Click(0);
    EXPECT_TRUE(port.openings.empty());
    EXPECT_TRUE(form->mblnReady);
}

}  // namespace
}  // namespace tessra::testing
