#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "commands/ButtonTables.h"
#include "fakes/LinkTest.h"
#include "printer/LinkPrinter.h"

namespace tessra::testing {
namespace {

using Commands = LinkTest;

// Bytes on the wire, one entry per port opening, of every button that sends;
// the others are always disabled.
const std::map<std::string_view, std::vector<Bytes>> kSent{
    {"Command2", {{0x1B, 0x40, 0x00}, {0x1D, 0x28, 0x41, 0x30, 0x30, 0x02, 0x02, 0x00}}},
    {"Command3", {{0x1B, 0x40, 0x00}, {0x1D, 0x28, 0x41, 0x30, 0x30, 0x02, 0x03, 0x00}}},
    {"Command1", {{0x1B, 0x40, 0x00}, {0x1D, 0x28, 0x41, 0x30, 0x30, 0x02, 0x01, 0x00}}},
    {"Command5", {{0x01, 0x39, 0x36, 0x02, 0x21, 0x00}}},
    {"Command14", {{0x0A, 0x00}}},
    {"Command15", {{0x1B, 0x69, 0x00}}},
    {"Command16",
     {{0x01, 0x39, 0x36, 0x02, 0x38, 0x00, 0x00},
      {0x01, 0x39, 0x36, 0x02, 0x38, 0x01, 0x00},
      {0x01, 0x39, 0x36, 0x02, 0x38, 0x02, 0x00},
      {0x01, 0x39, 0x36, 0x02, 0x38, 0x03, 0x00}}},
};

TEST_F(Commands, EachButtonSendsItsBuffersOneOpeningAndOneWritePerByte) {
    printer::LinkPrinter printer{port, clock, op, line};
    using Buttons = std::span<const commands::CommandButton>;
    for (const Buttons table :
         {Buttons(commands::kMaintenanceColumn), Buttons(commands::kPaperButtons)}) {
        for (const commands::CommandButton& b : table) {
            SCOPED_TRACE(b.control);
            port.openings.clear();
            const auto sent = kSent.find(b.control);
            EXPECT_EQ(printer.run(b.name).ok(), sent != kSent.end());
            EXPECT_EQ(port.bytesPerOpening(),
                      sent != kSent.end() ? sent->second : std::vector<Bytes>{});
            for (const auto& opening : port.openings)
                EXPECT_EQ(opening.writes.size(), opening.bytes().size());
        }
    }
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(op.messages.empty());
    port.failOpen = true;  // each call of a button tries the port, as the window always has
    EXPECT_FALSE(printer.run("self-test"));
    EXPECT_EQ(op.messageTexts(), std::vector<std::string>(2, "Port Error"));
}

}  // namespace
}  // namespace tessra::testing
