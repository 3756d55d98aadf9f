// Every wait of the link keeps its length, repaints in every pass and, while
// it waits for a reply, sleeps on the port rather than on the clock.
#include <gtest/gtest.h>

#include "fakes/LinkTest.h"
#include "link/Timing.h"

namespace tessra {
namespace {

using namespace std::chrono_literals;

TEST(SliceBeforeTest, ShortensOnlyTheLastPassAndAlwaysMovesOn) {
    struct Case {
        double left;  // seconds to the end
        std::chrono::milliseconds slice;
    };
    const Case cases[] = {{1.0, 50ms}, {0.05, 50ms}, {0.0304, 31ms}, {0.0304, 50ms},
                          {0.0, 50ms}, {-0.2, 50ms}, {1e-9, 10ms}};
    for (const Case& c : cases) {
        const auto got = timing::sliceBefore(100.0, 100.0 + c.left, c.slice);
        EXPECT_GE(got, 1ms) << c.left;
        EXPECT_LE(got, c.slice) << c.left;
        if (c.left * 1000 >= static_cast<double>(c.slice.count())) {
            EXPECT_EQ(got, c.slice);
        }
        // A shortened pass ends past the end, by less than one millisecond.
        if (c.left >= 0 && got < c.slice) {
            EXPECT_GT(timing::toSeconds(got), c.left) << c.left;
            EXPECT_LE(timing::toSeconds(got), c.left + 0.001) << c.left;
        }
    }
}

class WaitTest : public testing::LinkTest {
protected:
    double start = clock.now;
    double elapsed() const { return clock.now - start; }
};

TEST_F(WaitTest, ReplyWaitsEndWithinAMillisecondOfTheirLimitSleepingOnThePort) {
    for (const auto limit : {timing::kAutoReadAttempt, timing::kManualRead, timing::kReplyWait}) {
        ASSERT_TRUE(link.Open_Port());
        start = clock.now;
        op.repaints = 0;
        port.inputWaits = 0;
        EXPECT_FALSE(link.waitForReply(4, limit));
        EXPECT_GT(elapsed(), timing::toSeconds(limit)) << limit.count();
        EXPECT_LT(elapsed(), timing::toSeconds(limit) + 0.0011) << limit.count();
        // Every pass repaints, then sleeps on the port for at most one slice.
        EXPECT_EQ(op.repaints, port.inputWaits) << limit.count();
        EXPECT_GE(op.repaints, limit / timing::kRepaintSlice) << limit.count();
        EXPECT_LE(op.repaints, limit / timing::kRepaintSlice + 1) << limit.count();
        EXPECT_EQ(op.eventPasses, 0);
        link.closePort();
    }
}

TEST_F(WaitTest, ReplyEndsTheWaitAtThePassItArrivesIn) {
    ASSERT_TRUE(link.Open_Port());
    clock.onSleep = [&](double now) {
        if (now - start > 1.23) port.received = {1, 2, 3, 4};
    };
    EXPECT_TRUE(link.waitForReply(4, timing::kReplyWait));
    EXPECT_LT(elapsed(), 1.23 + timing::toSeconds(timing::kRepaintSlice) + 1e-9);
}

TEST_F(WaitTest, PauseKeepsItsLengthAndOnlyRepaints) {
    link.pause();
    EXPECT_GE(elapsed(), timing::toSeconds(timing::kPause));
    EXPECT_LT(elapsed(), timing::toSeconds(timing::kPause) + 0.0011);
    EXPECT_GE(op.repaints, timing::kPause / timing::kRepaintSlice);
    EXPECT_EQ(op.eventPasses, 0);
}

}  // namespace
}  // namespace tessra
