// Maintenance, paper and wireless buttons against the virtual printer through
// the real serial adapter.
#include <QPushButton>

#include "WindowWithPrinter.h"

namespace tessra::testing {
namespace {

class CommandsWindow : public WindowWithPrinter {};

TEST_F(CommandsWindow, MaintenancePaperAndWirelessButtonsReachThePrinterInOrder) {
    ASSERT_NO_FATAL_FAILURE(start());
    for (QPushButton* b : {form->Command2, form->Command15, form->Command19}) b->click();
    EXPECT_TRUE(op.messages.empty()) << op.messages.front().text;
    ASSERT_TRUE(logged("9600: wireless mode 2\n")) << printer.transcript();
    EXPECT_EQ(printer.linesAfterStart(),
              (std::vector<std::string>{"9600: reset", "9600: self-test print", "9600: cut",
                                        "9600: wireless mode 2"}));
}

}  // namespace
}  // namespace tessra::testing
