#include "IdentityFixture.h"

namespace tessra::testing {
namespace {

const Bytes kCodeRead{0x01, 0x39, 0x36, 0x02, 0x24, 0x00};
const std::string kTimeout = "Communication Error.(5 Sec Time out)";

class CustomerCode : public IdentityFixture {};

TEST_F(CustomerCode, ReadShowsTheReplyByteInDecimal) {
    for (const auto& [reply, shown] : std::vector<std::pair<std::uint8_t, std::string>>{
             {0x07, "7"}, {0xFF, "255"}, {0x00, "0"}}) {
        replyTo(kCodeRead, {reply});
        code.Command20_Click(0);
        EXPECT_EQ(codeView.text, shown);
    }
    ASSERT_EQ(port.openings.size(), 3u);
    EXPECT_EQ(port.openings[0].writes, (std::vector<Bytes>{kCodeRead}));
    EXPECT_TRUE(op.messages.empty());
    EXPECT_TRUE(codeView.writeEnabled);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(CustomerCode, ReadOfSeveralBytesShowsTheFirst) {
    replyTo(kCodeRead, {0x2A, 0x01, 0x02});
    code.Command20_Click(0);
    EXPECT_EQ(codeView.text, "42");
}

TEST_F(CustomerCode, ReadTimeOutKeepsTheTextAndStillOffersTheWrite) {
    codeView.text = "123";
    const double start = clock.now;
    double shownAt = 0;
    op.onMessage = [&](const FakeOperator::Message&) { shownAt = clock.now; };
    code.Command20_Click(0);
    EXPECT_EQ(op.messageTexts(), (std::vector<std::string>{kTimeout}));
    EXPECT_GT(shownAt - start, 5.0);
    EXPECT_EQ(codeView.text, "123");
    EXPECT_TRUE(codeView.writeEnabled);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(op.eventPasses, 1);
}

TEST_F(CustomerCode, ReadPortErrorStillOffersTheWrite) {
    port.failOpen = true;
    code.Command20_Click(0);
    EXPECT_EQ(op.messageTexts(), (std::vector<std::string>{"Port Error"}));
    EXPECT_EQ(codeView.text, "000");
    EXPECT_TRUE(codeView.writeEnabled);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(CustomerCode, WriteSendsSixBytesInOneWrite) {
    for (const auto& [text, byte] :
         std::vector<std::pair<std::string, std::uint8_t>>{{"255", 0xFF}, {"1", 0x01}}) {
        port.openings.clear();
        codeView.text = text;
        code.Command20_Click(1);
        ASSERT_EQ(port.openings.size(), 1u) << text;
        EXPECT_EQ(port.openings[0].writes,
                  (std::vector<Bytes>{{0x01, 0x39, 0x36, 0x02, 0x25, byte}}));
    }
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(CustomerCode, WriteOutsideTheRangeSendsNothing) {
    for (const std::string text : {"0", "256", "000", "abc", "99999", "", "-3", "12.5"}) {
        op.messages.clear();
        codeView.text = text;
        code.Command20_Click(1);
        EXPECT_EQ(op.messages,
                  (std::vector<FakeOperator::Message>{{"Customer Code : 1 ~ 255", "Project1"}}))
            << text;
        EXPECT_EQ(codeView.text, text);
    }
    EXPECT_TRUE(port.openings.empty());
}

TEST_F(CustomerCode, OtherIndexesDoNothing) {
    for (int index : {-1, 2, 20}) code.Command20_Click(index);
    EXPECT_TRUE(port.openings.empty());
    EXPECT_TRUE(op.messages.empty());
    EXPECT_FALSE(codeView.writeEnabled);
}

}  // namespace
}  // namespace tessra::testing
