// Every wait that only repaints keeps its length to within 1 ms, repaints in
// every pass and takes no input; a reply wait sleeps on the port.
#include <gtest/gtest.h>

#include "fakes/LinkTest.h"
#include "link/Timing.h"

namespace tessra {
namespace {

class WaitTest : public testing::LinkTest {};

TEST_F(WaitTest, EachWaitEndsWithinAMillisecondAfterItsLimit) {
    using Limit = std::chrono::milliseconds;
    const std::pair<Limit, std::function<void()>> waits[] = {
        {timing::kAutoReadAttempt, [&] { link.waitForReply(4, timing::kAutoReadAttempt); }},
        {timing::kManualRead, [&] { link.waitForReply(4, timing::kManualRead); }},
        {timing::kReplyWait, [&] { link.waitForReply(1, timing::kReplyWait); }},
        {timing::kPause, [&] { link.pause(); }},
    };
    for (const auto& [limit, wait] : waits) {
        const bool reply = limit != timing::kPause;
        if (reply) {
            ASSERT_TRUE(link.Open_Port());
        }
        const double start = clock.now;
        op.repaints = port.inputWaits = 0;
        wait();
        EXPECT_GE(clock.now - start, timing::toSeconds(limit)) << limit.count();
        EXPECT_LT(clock.now - start, timing::toSeconds(limit) + 0.0011) << limit.count();
        EXPECT_GE(op.repaints, limit / timing::kRepaintSlice) << limit.count();
        EXPECT_EQ(port.inputWaits, reply ? op.repaints : 0) << limit.count();
        link.closePort();
    }
    EXPECT_EQ(op.eventPasses, 0);
}

}  // namespace
}  // namespace tessra
