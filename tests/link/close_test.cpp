// Closing the window while a port operation runs: the command under way ends
// whole, no further command follows, no box appears, the port is closed and
// the window closes once the operation has returned.
#include <gtest/gtest.h>

#include "fakes/LinkTest.h"
#include "link/Timing.h"

namespace tessra {
namespace {

const Bytes kReset{0x1B, 0x40, 0x00};
const Bytes kFeed{0x0A, 0x00};
const Bytes kCut{0x1B, 0x69, 0x00};

class CloseTest : public testing::LinkTest {
protected:
    CloseTest() { port.dsrAsserted = false; }  // every DSR wait runs its full second
    void send(const Bytes& command) {
        link.Send_Data(command, static_cast<int>(command.size()) - 1, 0);
    }
    double start = clock.now;
};

TEST_F(CloseTest, CloseInADsrWaitFinishesThatCommandAndSendsNoMore) {
    op.closeAtPoll = 1;  // the first pass of the first DSR wait
    link.runExclusive([&] {
        send(kReset);
        EXPECT_TRUE(link.stopping());
        send(kFeed);
    });
    EXPECT_EQ(port.bytesPerOpening(), std::vector<Bytes>{kReset});
    // Its DSR wait and pause ran to their end, without the time-out box.
    EXPECT_GT(clock.now - start,
              timing::toSeconds(timing::kDsrWait) + timing::toSeconds(timing::kPause));
    EXPECT_TRUE(op.messages.empty());
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(op.windowClosed);
    EXPECT_FALSE(link.stopping());
}

TEST_F(CloseTest, OneCommandOfSeveralPartsIsNeverSplit) {
    op.closeAtPoll = 1;
    bool lateStarted = true;
    link.runExclusive([&] {
        EXPECT_TRUE(link.asOneCommand([&] {
            send(kReset);
            send(kFeed);
            send(kCut);
        }));
        send(kFeed);
        lateStarted = link.asOneCommand([&] { send(kCut); });
    });
    EXPECT_EQ(port.bytesPerOpening(), (std::vector<Bytes>{kReset, kFeed, kCut}));
    EXPECT_FALSE(lateStarted);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_TRUE(op.windowClosed);
}

TEST_F(CloseTest, NoCloseLeavesEverythingAsItWas) {
    link.runExclusive([&] {
        send(kReset);
        send(kFeed);
    });
    EXPECT_EQ(port.bytesPerOpening(), (std::vector<Bytes>{kReset, kFeed}));
    EXPECT_EQ(op.messages.size(), 2u);  // one time-out per command
    EXPECT_FALSE(op.windowClosed);
}

}  // namespace
}  // namespace tessra
