#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/ButtonTables.h"
#include "commands/CommandHandlers.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeLineChoice.h"
#include "fakes/FakeOperator.h"
#include "fakes/FakePort.h"
#include "fakes/LinkTest.h"
#include "link/PrinterLink.h"

namespace tessra::testing {
namespace {

const std::string kTimeout = "Communication Error.(5 Sec Time out)";

class Commands : public LinkTest {
protected:
    const commands::CommandButton& button(std::string_view control) {
        for (const auto table :
             {std::span<const commands::CommandButton>(commands::kMaintenanceColumn),
              std::span<const commands::CommandButton>(commands::kPaperButtons)}) {
            for (const commands::CommandButton& b : table)
                if (b.control == control) return b;
        }
        ADD_FAILURE() << "no button " << control;
        return commands::kPaperButtons[0];
    }
};

struct ButtonBytes {
    const char* control;
    std::vector<Bytes> openings;  // bytes on the wire, one entry per port opening
};

const std::vector<ButtonBytes> kEnabledButtons{
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

class EnabledButton : public Commands, public ::testing::WithParamInterface<ButtonBytes> {};

TEST_P(EnabledButton, SendsItsBuffersOneOpeningEach) {
    const ButtonBytes& expected = GetParam();
    EXPECT_TRUE(commands::runButton(link, button(expected.control)));
    EXPECT_EQ(port.bytesPerOpening(), expected.openings);
    // Mode 0: one byte per write.
    for (const auto& opening : port.openings) {
        EXPECT_EQ(opening.writes.size(), opening.bytes().size());
        EXPECT_EQ(opening.portNumber, 1);
        EXPECT_EQ(opening.settings, "9600,n,8,1");
    }
    EXPECT_TRUE(op.messages.empty());
    EXPECT_FALSE(port.isOpen());
}

TEST_P(EnabledButton, WithoutDsrEachCallTimesOutAndTheNextStillFollows) {
    port.dsrAsserted = false;
    const ButtonBytes& expected = GetParam();
    commands::runButton(link, button(expected.control));
    EXPECT_EQ(port.bytesPerOpening(), expected.openings);
    EXPECT_EQ(op.messageTexts(), std::vector<std::string>(expected.openings.size(), kTimeout));
}

TEST_P(EnabledButton, ClosingTheWindowInTheFirstDsrWaitSendsNoFurtherCommand) {
    port.dsrAsserted = false;
    op.closeAtPoll = 1;
    commands::runButton(link, button(GetParam().control));
    EXPECT_EQ(port.bytesPerOpening(), std::vector<Bytes>{GetParam().openings.front()});
    EXPECT_TRUE(op.messages.empty()) << "no time-out box once the window is closing";
    EXPECT_TRUE(op.windowClosed);
}

INSTANTIATE_TEST_SUITE_P(Maintenance, EnabledButton, ::testing::ValuesIn(kEnabledButtons),
                         [](const auto& info) { return std::string(info.param.control); });

TEST_F(Commands, TheSevenDisabledButtonsSendNothing) {
    const std::vector<std::string_view> disabled{"Command4", "Command6",  "Command7", "Command8",
                                                 "Command9", "Command10", "Command11"};
    for (auto control : disabled) {
        const auto& b = button(control);
        EXPECT_TRUE(b.alwaysDisabled) << control;
        EXPECT_TRUE(b.calls.empty()) << control;
        EXPECT_FALSE(commands::runButton(link, b)) << control;
    }
    EXPECT_TRUE(port.openings.empty());
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(Commands, ClickOnAnotherButtonDuringADsrWaitIsDropped) {
    int dropped = 0;
    op.onProcessEvents = [&] {
        if (!commands::runButton(link, button("Command15"))) ++dropped;
        if (!commands::sendWirelessMode(link, 1)) ++dropped;
    };
    EXPECT_TRUE(commands::runButton(link, button("Command16")));
    EXPECT_GT(dropped, 0);
    ASSERT_EQ(port.openings.size(), 4u);
    for (std::uint8_t pattern = 0; pattern < 4; ++pattern)
        EXPECT_EQ(port.openings[pattern].bytes(),
                  (Bytes{0x01, 0x39, 0x36, 0x02, 0x38, pattern, 0x00}));
}

TEST_F(Commands, AfterTheOperationEndsTheNextClickRuns) {
    commands::runButton(link, button("Command2"));
    EXPECT_TRUE(commands::runButton(link, button("Command15")));
    EXPECT_EQ(port.openings.size(), 3u);
    EXPECT_EQ(op.busyDepth, 0);
}

// Captions and bold marks are checked on the window; the order lays it out.
TEST_F(Commands, ColumnsInTheirOrder) {
    const std::vector<std::string_view> column{"Command2", "Command3",  "Command1", "Command4",
                                               "Command6", "Command7",  "Command8", "Command10",
                                               "Command9", "Command11", "Command5"};
    std::vector<std::string_view> got;
    for (const auto& b : commands::kMaintenanceColumn) got.push_back(b.control);
    EXPECT_EQ(got, column);
    got.clear();
    for (const auto& b : commands::kPaperButtons) got.push_back(b.control);
    EXPECT_EQ(got, (std::vector<std::string_view>{"Command14", "Command15", "Command16"}));
}

TEST_F(Commands, WirelessColumnSendsEachButtonsMode) {
    const std::vector<std::pair<std::string_view, std::uint8_t>> rows{
        {"Command17", 0}, {"Command18", 1}, {"Command19", 2}, {"Command21", 3}};
    ASSERT_EQ(commands::kWirelessColumn.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& [control, mode] = rows[i];
        EXPECT_EQ(commands::kWirelessColumn[i].control, control);
        port.openings.clear();
        EXPECT_TRUE(commands::sendWirelessMode(link, commands::kWirelessColumn[i].mode));
        ASSERT_EQ(port.openings.size(), 1u) << control;
        EXPECT_EQ(port.openings[0].bytes(), (Bytes{0x01, 0x39, 0x36, 0x02, 0x23, mode, 0x00}));
        EXPECT_EQ(port.openings[0].writes.size(), 7u);
    }
}

}  // namespace
}  // namespace tessra::testing
