#include <gtest/gtest.h>

#include "fakes/FakeOperator.h"
#include "fakes/FakeOptionPanel.h"
#include "fakes/FakePort.h"
#include "settings/ReadSetting.h"

namespace tessra::settings {
namespace {

using testing::FakeOperator;
using testing::FakeOptionPanel;
using testing::FakePort;

class ReadSettingTest : public ::testing::Test {
protected:
    void SetUp() override {
        panel.current = testing::startupSelections();
        panel.current[static_cast<std::size_t>(Group::Codepage)] = 5;
        port.open(1);
    }
    bool read(Bytes reply) {
        port.received = std::move(reply);
        bool ee = true;
        Read_Setting(ee, port, op, panel);
        return ee;
    }
    FakePort port;
    FakeOperator op;
    FakeOptionPanel panel;
};

TEST_F(ReadSettingTest, SelectsInTheOrderOfTheBlock) {
    EXPECT_TRUE(read({0x3F, 0xAE, 0x5A, 0xDC}));
    const std::vector<std::pair<Group, int>> want{
        {Group::Codepage, 63},         {Group::SerialBaudrate, 6}, {Group::SerialParityBit, 2},
        {Group::SerialHandshaking, 1}, {Group::ErrorSound, 2},     {Group::UsbMode, 2},
        {Group::ExtBuzzer, 1},         {Group::AutocutMode, 2},    {Group::Autocut, 2},
        {Group::PrintSpeed, 4},        {Group::Width, 1},          {Group::FontSystem, 1},
        {Group::PaperType, 6},
    };
    EXPECT_EQ(panel.selectCalls, want);
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(ReadSettingTest, RejectedReplyShowsTheMessageAndChangesNothing) {
    const Selections before = panel.current;
    EXPECT_FALSE(read({0x40, 0xAE, 0x5A, 0xDC}));
    EXPECT_TRUE(panel.selectCalls.empty());
    EXPECT_EQ(panel.current, before);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0],
              (FakeOperator::Message{"Communication Error.(5 Sec Time out)", "Project1"}));
}

TEST_F(ReadSettingTest, UnknownCodepageKeepsTheSelectionAndDecodesTheRest) {
    EXPECT_TRUE(read({0x25, 0xAE, 0x5A, 0xDC}));
    EXPECT_EQ(panel.current[static_cast<std::size_t>(Group::Codepage)], 5);
    EXPECT_EQ(panel.current[static_cast<std::size_t>(Group::PaperType)], 6);
    EXPECT_EQ(panel.selectCalls.size(), 12u);
}

TEST_F(ReadSettingTest, ConsumesEveryWaitingByte) {
    EXPECT_TRUE(read({0x00, 0x00, 0x01, 0x00, 0x3F, 0xAE}));
    EXPECT_EQ(port.bytesWaiting(), 0);
    EXPECT_EQ(panel.current[static_cast<std::size_t>(Group::Codepage)], 0);
}

TEST_F(ReadSettingTest, ShortReplyIsRejected) {
    EXPECT_FALSE(read({0x00, 0x00, 0x01}));
    EXPECT_TRUE(panel.selectCalls.empty());
    EXPECT_EQ(op.messageTexts(), std::vector<std::string>{"Communication Error.(5 Sec Time out)"});
}

TEST_F(ReadSettingTest, LeavesAFalseFlagFalse) {
    port.received = {0x00, 0x00, 0x01, 0x00};
    bool ee = false;
    Read_Setting(ee, port, op, panel);
    EXPECT_FALSE(ee);
}

}  // namespace
}  // namespace tessra::settings
