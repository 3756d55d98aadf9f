#include "IdentityFixture.h"

namespace tessra::testing {
namespace {

const Bytes kMacRead{0x01, 0x39, 0x36, 0x02, 0x36};

class MacLoad : public IdentityFixture {
protected:
    std::vector<std::string> readBack() {
        std::vector<std::string> out;
        for (int box = 7; box <= 12; ++box) out.push_back(macView.texts[box]);
        return out;
    }
};

TEST_F(MacLoad, SixByteReplyIsShownInHex) {
    replyTo(kMacRead, {0x0A, 0x5C, 0x3E, 0x00, 0x0A, 0xFF});
    mac.Command12_Click();
    ASSERT_EQ(port.openings.size(), 1u);
    EXPECT_EQ(port.openings[0].writes, (std::vector<Bytes>{kMacRead}));
    EXPECT_EQ(readBack(), (std::vector<std::string>{"A", "5C", "3E", "0", "A", "FF"}));
    EXPECT_TRUE(op.messages.empty());
    EXPECT_FALSE(port.isOpen());
}

TEST_F(MacLoad, BytesBeyondTheSixthAreDropped) {
    replyTo(kMacRead, {0x0A, 0x5C, 0x3E, 0x01, 0x02, 0x03, 0x99, 0x98});
    mac.Command12_Click();
    EXPECT_EQ(readBack(), (std::vector<std::string>{"A", "5C", "3E", "1", "2", "3"}));
    EXPECT_TRUE(port.received.empty());
}

TEST_F(MacLoad, NoReplyTimesOutAfterFiveSecondsAndKeepsTheBoxes) {
    const double start = clock.now;
    double shownAt = 0;
    op.onMessage = [&](const FakeOperator::Message&) { shownAt = clock.now; };
    mac.Command12_Click();
    EXPECT_EQ(op.messageTexts(),
              (std::vector<std::string>{"Communication Error.(5 Sec Time out)"}));
    EXPECT_GT(shownAt - start, 5.0);
    EXPECT_LT(shownAt - start, 5.1);
    EXPECT_EQ(readBack(), std::vector<std::string>(6, "00"));
    EXPECT_FALSE(port.isOpen());
}

TEST_F(MacLoad, FiveBytesAreNotAnAnswer) {
    replyTo(kMacRead, {0x0A, 0x5C, 0x3E, 0x00, 0x0A});
    mac.Command12_Click();
    EXPECT_EQ(op.messageTexts(),
              (std::vector<std::string>{"Communication Error.(5 Sec Time out)"}));
    EXPECT_EQ(readBack(), std::vector<std::string>(6, "00"));
}

TEST_F(MacLoad, WaitTakesNoInputButRepaintsAndShowsBusy) {
    mac.Command12_Click();
    EXPECT_EQ(op.eventPasses, 1);  // the one pass after the wait
    EXPECT_GT(op.repaints, 0);
    EXPECT_GE(op.maxBusyDepth, 1);
    EXPECT_EQ(op.busyDepth, 0);
}

TEST_F(MacLoad, PortErrorIsReportedAndNothingElseHappens) {
    port.failOpen = true;
    mac.Command12_Click();
    EXPECT_EQ(op.messageTexts(), (std::vector<std::string>{"Port Error"}));
    EXPECT_TRUE(port.openings.empty());
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(readBack(), std::vector<std::string>(6, "00"));
}

TEST_F(MacLoad, LoadingLeavesTheSaveRowAlone) {
    setAddress(0x01, 0x02, 0x03);
    macView.textWrites.clear();
    replyTo(kMacRead, {0x0A, 0x5C, 0x3E, 0x07, 0x08, 0x09});
    mac.Command12_Click();
    for (int box : macView.textWrites) EXPECT_GE(box, 7);
    EXPECT_EQ(address(), (identity::MacOctets{0x01, 0x02, 0x03}));
}

}  // namespace
}  // namespace tessra::testing
