#include "IdentityFixture.h"

namespace tessra::testing {
namespace {

const Bytes kMacRead{0x01, 0x39, 0x36, 0x02, 0x36};
const std::string kTimeout = "Communication Error.(5 Sec Time out)";

using MacLoad = IdentityFixture;

// The reply wait repaints but takes no input: one event pass after it.
TEST_F(MacLoad, SixOctetsAreShownInTheReadBackBoxesElseTheWaitTimesOutAfterFiveSeconds) {
    struct Case {
        const char* what;
        Bytes reply;
        std::vector<std::string> shown;
        std::vector<std::string> messages;
        double seconds;
    };
    const std::vector<std::string> untouched(6, "00");
    const Case cases[] = {
        {"six", {0x0A, 0x5C, 0x3E, 0x00, 0x10, 0xFF}, {"A", "5C", "3E", "0", "10", "FF"}, {}, 0},
        {"eight", {0x0A, 0x5C, 0x3E, 1, 2, 3, 0x99, 0x98}, {"A", "5C", "3E", "1", "2", "3"}, {}, 0},
        {"five", {0x0A, 0x5C, 0x3E, 0x00, 0x0A}, untouched, {kTimeout}, 5.0},
        {"none", {}, untouched, {kTimeout}, 5.0},
    };
    setAddress(0x01, 0x02, 0x03);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (int box = 7; box <= 12; ++box) macView.texts[box] = "00";
        op.messages.clear();
        op.eventPasses = 0;
        replyTo(kMacRead, c.reply);
        const double start = clock.now;
        mac.Command12_Click();
        ASSERT_FALSE(port.openings.empty());
        EXPECT_EQ(port.openings.back().writes, (std::vector<Bytes>{kMacRead}));
        std::vector<std::string> shown;
        for (int box = 7; box <= 12; ++box) shown.push_back(macView.texts[box]);
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(op.messageTexts(), c.messages);
        EXPECT_GE(clock.now - start, c.seconds);
        EXPECT_LT(clock.now - start, c.seconds + 0.1);
        EXPECT_EQ(op.eventPasses, 1);
        EXPECT_FALSE(port.isOpen());
        EXPECT_EQ(address(), (identity::MacOctets{0x01, 0x02, 0x03})) << "the save row stays";
    }
}

}  // namespace
}  // namespace tessra::testing
