#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "app/ReadWriteDispatch.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeLineChoice.h"
#include "fakes/FakeOperator.h"
#include "fakes/FakeOptionPanel.h"
#include "fakes/FakePort.h"
#include "fakes/LinkTest.h"
#include "settings/SettingsExchange.h"

namespace tessra {
namespace {

using testing::FakeClock;
using testing::FakeLineChoice;
using testing::FakeOperator;
using testing::FakeOptionPanel;
using testing::FakePort;

class FakeButtons final : public ReadWriteButtons {
public:
    bool enabled[2] = {true, true};
    std::vector<std::string> calls;  // "enable 0", "disable 1", "focus 0"

    bool isEnabled(int index) const override { return enabled[index]; }
    void setEnabled(int index, bool on) override {
        enabled[index] = on;
        calls.push_back((on ? "enable " : "disable ") + std::to_string(index));
    }
    void setFocus(int index) override { calls.push_back("focus " + std::to_string(index)); }
};

class DispatchTest : public testing::LinkTest {
protected:
    DispatchTest() {
        dispatch.Comm_Setting = [this](int& kind, std::string& message) {
            transactions.emplace_back(kind, message, buttons.enabled[0], buttons.enabled[1],
                                      mblnReady);
            link.processEvents();  // the DSR wait of the exchange
            mblnReady = true;
        };
    }

    FakeButtons buttons;
    bool mblnReady = true;
    ReadWriteDispatch dispatch{buttons, mblnReady, link, {}};
    // kind, message, Read enabled, Write enabled, mblnReady while it ran
    std::vector<std::tuple<int, std::string, bool, bool, bool>> transactions;
};

TEST_F(DispatchTest, ReadRunsTheReadTransactionWithBothButtonsDisabled) {
    cmdSelPage_Click(dispatch, 0);
    ASSERT_EQ(transactions.size(), 1u);
    EXPECT_EQ(transactions[0],
              std::make_tuple(0, std::string(" Read Complete"), false, false, false));
    EXPECT_EQ(buttons.calls,
              (std::vector<std::string>{"disable 0", "disable 0", "disable 1", "enable 0",
                                        "enable 0", "enable 1", "focus 0"}));
    EXPECT_TRUE(mblnReady);
}

TEST_F(DispatchTest, WriteRunsTheWriteTransactionAndTakesTheFocus) {
    cmdSelPage_Click(dispatch, 1);
    ASSERT_EQ(transactions.size(), 1u);
    EXPECT_EQ(transactions[0],
              std::make_tuple(1, std::string(" Setting Complete"), false, false, false));
    EXPECT_EQ(buttons.calls,
              (std::vector<std::string>{"disable 1", "disable 0", "disable 1", "enable 1",
                                        "enable 0", "enable 1", "focus 1"}));
    EXPECT_TRUE(buttons.enabled[0]);
    EXPECT_TRUE(buttons.enabled[1]);
}

TEST_F(DispatchTest, ASecondReadDuringATransactionDoesNothing) {
    int clicks = 0;
    op.onProcessEvents = [&] {
        ++clicks;
        const auto before = buttons.calls.size();
        cmdSelPage_Click(dispatch, 0);
        cmdSelPage_Click(dispatch, 1);
        EXPECT_EQ(buttons.calls.size(), before);
        EXPECT_FALSE(mblnReady);
    };
    cmdSelPage_Click(dispatch, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(transactions.size(), 1u);
    EXPECT_EQ(buttons.calls.back(), "focus 0");
    EXPECT_TRUE(buttons.enabled[0] && buttons.enabled[1]);
}

TEST_F(DispatchTest, NotReadyDropsTheClick) {
    mblnReady = false;
    cmdSelPage_Click(dispatch, 1);
    EXPECT_TRUE(transactions.empty());
    EXPECT_TRUE(buttons.calls.empty());
    EXPECT_FALSE(mblnReady);
}

TEST_F(DispatchTest, ADisabledButtonDropsTheClick) {
    buttons.enabled[0] = false;
    cmdSelPage_Click(dispatch, 1);
    buttons.enabled[0] = true;
    buttons.enabled[1] = false;
    cmdSelPage_Click(dispatch, 0);
    EXPECT_TRUE(transactions.empty());
    EXPECT_TRUE(buttons.calls.empty());
    EXPECT_TRUE(mblnReady);
}

TEST_F(DispatchTest, ClickDuringAnotherPortOperationSendsNothing) {
    bool ran = link.runExclusive([&] { cmdSelPage_Click(dispatch, 0); });
    EXPECT_TRUE(ran);
    EXPECT_TRUE(transactions.empty());
    EXPECT_TRUE(mblnReady);
    EXPECT_TRUE(buttons.enabled[0] && buttons.enabled[1]);
    EXPECT_EQ(buttons.calls.back(), "focus 0");
}

TEST_F(DispatchTest, UnknownIndexDoesNothing) {
    cmdSelPage_Click(dispatch, 2);
    EXPECT_TRUE(transactions.empty());
    EXPECT_TRUE(buttons.calls.empty());
}

// With the real exchange: a Read in Auto finds the printer; clicks made while
// its confirmation waits for DSR start nothing.
TEST_F(DispatchTest, ReadWithTheExchangeIgnoresClicksDuringIt) {
    FakeOptionPanel panel;
    panel.current = testing::startupSelections();
    settings::Block block{};
    dispatch.Comm_Setting = [&](int& kind, std::string& message) {
        SettingsContext context{link, panel, block, mblnReady, kAutoReadMember};
        Comm_Setting(context, kind, message);
    };
    port.responder = [](const FakePort::Opening& o, const Bytes& written) {
        if (o.settings == "57600,n,8,1" && written == Bytes{0x01, 0x39, 0x36, 0x02, 0x30}) {
            return Bytes{0x3C, 0x05, 0x00, 0x00};
        }
        return Bytes{};
    };
    int clicks = 0;
    op.onProcessEvents = [&] {
        ++clicks;
        cmdSelPage_Click(dispatch, 0);
        cmdSelPage_Click(dispatch, 1);
    };
    cmdSelPage_Click(dispatch, 0);

    EXPECT_GT(clicks, 0);
    EXPECT_EQ(port.openings.size(), 7u);  // found at the seventh attempt, nothing more
    EXPECT_EQ(port.openings.back().writes.back(),
              Bytes(std::string_view(" Read Complete\r\n").begin(),
                    std::string_view(" Read Complete\r\n").end()));
    EXPECT_EQ(line.speed, "57600");
    EXPECT_EQ(panel.current[static_cast<std::size_t>(settings::Group::Codepage)], 60);
    EXPECT_TRUE(mblnReady);
    EXPECT_EQ(buttons.calls.back(), "focus 0");
    EXPECT_TRUE(buttons.enabled[0] && buttons.enabled[1]);
}

}  // namespace
}  // namespace tessra
