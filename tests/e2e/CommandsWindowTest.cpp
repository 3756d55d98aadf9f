// Maintenance, paper and wireless buttons and the model choice, against the
// virtual printer through the real serial adapter.
#include "WindowWithPrinter.h"

namespace tessra::testing {
namespace {

using settings::Group;

class CommandsWindow : public WindowWithPrinter {};

TEST_F(CommandsWindow, MaintenancePaperAndWirelessButtonsReachThePrinterInOrder) {
    ASSERT_NO_FATAL_FAILURE(start());
    form->Command2->click();   // Self-Test
    form->Command15->click();  // Cutting
    form->Command16->click();  // Print Test Pattern
    for (QPushButton* b : {form->Command17, form->Command18, form->Command19, form->Command21})
        b->click();
    EXPECT_TRUE(op.messages.empty()) << op.messages.front().text;
    ASSERT_TRUE(printer.waitForLine("9600: wireless mode 3\n")) << printer.transcript();
    EXPECT_EQ(printer.linesAfterStart(), (std::vector<std::string>{
                                             "9600: reset",
                                             "9600: self-test print",
                                             "9600: cut",
                                             "9600: test pattern 0",
                                             "9600: test pattern 1",
                                             "9600: test pattern 2",
                                             "9600: test pattern 3",
                                             "9600: wireless mode 0",
                                             "9600: wireless mode 1",
                                             "9600: wireless mode 2",
                                             "9600: wireless mode 3",
                                         }));
    EXPECT_TRUE(form->Command21->font().bold());
    EXPECT_FALSE(form->Command17->font().bold());
}

TEST_F(CommandsWindow, VeldaWritesTheHiddenPaperTypeSelected) {
    ASSERT_NO_FATAL_FAILURE(start());
    read();  // the printer's block: 00 02 01 00
    ASSERT_TRUE(printer.waitForLine("9600: settings read 00 02 01 00\n")) << printer.transcript();
    choose(Group::PaperType, 6);
    chooseModel(models::Model::Velda);
    ASSERT_FALSE(member(Group::PaperType, 6)->isVisibleTo(form.get()));
    ASSERT_EQ(selected(Group::PaperType), 6);
    write();
    EXPECT_TRUE(op.messages.empty()) << op.messages.front().text;
    // Paper type 6 is C0 in the fourth byte.
    EXPECT_TRUE(printer.inOrder({"9600: printed \" Setting Complete\"\n", "9600: cut\n",
                                 "9600: settings write 00 02 01 C0 ("}));
}

}  // namespace
}  // namespace tessra::testing
