#include <gtest/gtest.h>

#include <array>

#include "fakes/FakeClock.h"
#include "fakes/FakeLineChoice.h"
#include "fakes/FakeOperator.h"
#include "fakes/FakePort.h"
#include "fakes/LinkTest.h"
#include "link/PrinterLink.h"
#include "link/Timing.h"

namespace tessra {
namespace {

using testing::FakeClock;
using testing::FakeLineChoice;
using testing::FakeOperator;
using testing::FakePort;

class SendDataTest : public testing::LinkTest {
protected:
};

TEST_F(SendDataTest, CountAndModeDecideWhatGoesOnTheWire) {
    struct Case {
        const char* what;
        Bytes buffer;
        int count;
        int mode;
        Bytes wire;
        std::size_t writes;
    };
    const Case cases[] = {
        {"count 0 sends element 0 only", {0x0A, 0x00}, 0, 0, {0x0A}, 1},
        {"two-byte command in three elements", {0x1B, 0x69, 0x00}, 2, 0, {0x1B, 0x69, 0x00}, 3},
        {"mode 1 ignores count",
         {0x01, 0x39, 0x36, 0x02, 0x25, 0xFF},
         2,
         1,
         {0x01, 0x39, 0x36, 0x02, 0x25, 0xFF},
         1},
        {"never reads past the array", {0x0A, 0x00}, 5, 0, {0x0A, 0x00}, 2},
    };
    for (const Case& c : cases) {
        FakePort p;
        FakeClock k;
        FakeOperator o;
        PrinterLink l{p, k, o, line};
        l.runExclusive([&] { l.Send_Data(c.buffer, c.count, c.mode); });
        ASSERT_EQ(p.openings.size(), 1u) << c.what;
        EXPECT_EQ(p.openings[0].bytes(), c.wire) << c.what;
        EXPECT_EQ(p.openings[0].writes.size(), c.writes) << c.what;
        EXPECT_FALSE(p.isOpen()) << c.what;
        EXPECT_TRUE(o.messages.empty()) << c.what;
    }
}

TEST_F(SendDataTest, SettingsStringFollowsSpeedAndParity) {
    const std::array<std::pair<int, const char*>, 3> parities{
        {{0, "19200,n,8,1"}, {1, "19200,e,8,1"}, {2, "19200,o,8,1"}}};
    line.speed = "19200";
    for (const auto& [index, expected] : parities) {
        line.parity = index;
        sendData(Bytes{0x0A, 0x00}, 1, 0);
        EXPECT_EQ(port.openings.back().settings, expected);
    }
}

TEST_F(SendDataTest, NoParitySelectedKeepsThePreviousSettingsSpeedIncluded) {
    line.speed = "38400";
    line.parity = 1;
    sendData(Bytes{0x0A, 0x00}, 1, 0);
    line.speed = "115200";
    line.parity = -1;
    sendData(Bytes{0x0A, 0x00}, 1, 0);
    EXPECT_EQ(port.openings.back().settings, "38400,e,8,1");
}

TEST_F(SendDataTest, PortNumberIsListIndexPlusOne) {
    line.port = 9;
    sendData(Bytes{0x0A, 0x00}, 1, 0);
    EXPECT_EQ(port.openings.at(0).portNumber, 10);
}

TEST_F(SendDataTest, DsrAtOnceGivesNoMessageAndStillPauses) {
    sendData(Bytes{0x0A, 0x00}, 1, 0);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(port.dsrReads, 1);
    EXPECT_GE(clock.slept, timing::toSeconds(timing::kPause) - 1e-9);
    EXPECT_LT(clock.slept, timing::toSeconds(timing::kPause) + 0.05);
}

TEST_F(SendDataTest, DsrNeverShowsOneTimeoutAfterOneSecondThenClosesAndPauses) {
    port.dsrAsserted = false;
    bool portOpenAtMessage = false;
    double messageAt = 0;
    const double start = clock.now;
    op.onMessage = [&](const FakeOperator::Message&) {
        portOpenAtMessage = port.isOpen();
        messageAt = clock.now - start;
    };
    sendData(Bytes{0x1B, 0x69, 0x00}, 2, 0);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0],
              (FakeOperator::Message{"Communication Error.(5 Sec Time out)", "Project1"}));
    EXPECT_TRUE(portOpenAtMessage);
    EXPECT_GT(messageAt, 1.0);
    EXPECT_LT(messageAt, 1.05);
    EXPECT_FALSE(port.isOpen());
    EXPECT_GT(clock.slept, 1.0 + timing::toSeconds(timing::kPause) - 0.02);
}

TEST_F(SendDataTest, DsrWaitLetsTheWindowHandleEvents) {
    port.dsrAsserted = false;
    sendData(Bytes{0x0A, 0x00}, 1, 0);
    EXPECT_GT(op.eventPasses, 50);
    EXPECT_EQ(op.busyDepth, 0);
    EXPECT_EQ(op.maxBusyDepth, 1);
}

TEST_F(SendDataTest, PortThatCannotOpenSendsNothingAndSaysWhy) {
    port.failOpen = true;
    port.openError = "Input/output error";
    port.openFailure = PortFailure::Other;  // no advice to add
    line.port = 2;
    sendData(Bytes{0x0A, 0x00}, 1, 0);
    EXPECT_TRUE(port.openings.empty());
    EXPECT_EQ(op.messageTexts(), std::vector<std::string>{"Port Error"});
    ASSERT_FALSE(op.statusLines.empty());
    EXPECT_EQ(op.statusLines.back(), "COM3 (/dev/fake3): Input/output error");
    EXPECT_FALSE(port.isOpen());
}

TEST_F(SendDataTest, NoPortSelectedIsAPortError) {
    line.port = -1;
    sendData(Bytes{0x0A, 0x00}, 1, 0);
    EXPECT_TRUE(port.openings.empty());
    EXPECT_EQ(op.messageTexts(), std::vector<std::string>{"Port Error"});
}

TEST_F(SendDataTest, WriteFailureStopsClosesAndReportsOnce) {
    port.failWriteAt = 1;
    port.dsrAsserted = false;
    sendData(Bytes{0x1D, 0x28, 0x41, 0x30, 0x30, 0x02, 0x02, 0x00}, 7, 0);
    EXPECT_EQ(port.openings.at(0).bytes(), Bytes{0x1D});
    EXPECT_EQ(op.messageTexts(), std::vector<std::string>{"Port Error"});
    EXPECT_EQ(port.dsrReads, 0);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(op.statusLines.back(), "COM1 (/dev/fake1): Input/output error");
}

TEST_F(SendDataTest, ClickDuringDsrWaitIsDroppedNotQueued) {
    port.dsrAsserted = false;
    int attempts = 0;
    bool accepted = true;
    op.onProcessEvents = [&] {
        if (attempts++ == 3) {
            accepted = link.runExclusive([&] { link.Send_Data(Bytes{0x1B, 0x69, 0x00}, 2, 0); });
            link.Send_Data(Bytes{0x0A, 0x00}, 1, 0);  // a handler that calls it bare
        }
    };
    link.runExclusive([&] {
        link.Send_Data(Bytes{0x1B, 0x40, 0x00}, 2, 0);
        link.Send_Data(Bytes{0x0A, 0x00}, 1, 0);
    });
    EXPECT_FALSE(accepted);
    EXPECT_EQ(port.bytesPerOpening(), (std::vector<Bytes>{{0x1B, 0x40, 0x00}, {0x0A, 0x00}}));
    EXPECT_FALSE(link.inOperation());
}

TEST_F(SendDataTest, GuardIsReleasedAfterAnOperation) {
    EXPECT_TRUE(link.runExclusive([] {}));
    EXPECT_TRUE(link.runExclusive([&] { link.Send_Data(Bytes{0x0A, 0x00}, 1, 0); }));
    EXPECT_EQ(port.openings.size(), 1u);
}

TEST(LineSettingsTest, ParsesOnlyWellFormedSettings) {
    EXPECT_EQ(parseSettings("9600,e,8,1"), (LineParameters{9600, 'e', 8, 1}));
    EXPECT_EQ(parseSettings("115200,O,8,2"), (LineParameters{115200, 'o', 8, 2}));
    for (const char* bad : {"", "9600", "9600,e,8", "9600,x,8,1", "fast,n,8,1", "9600,n,9,1",
                            "9600,n,8,3", "9600,,8,1", "-1,n,8,1", "9600,n,8,1,1", "9600 ,n,8,1"}) {
        EXPECT_FALSE(parseSettings(bad)) << bad;
    }
}

TEST(LineSettingsTest, SettingsStringPerParityIndex) {
    EXPECT_EQ(settingsString("2400", 0), "2400,n,8,1");
    EXPECT_EQ(settingsString("57600", 2), "57600,o,8,1");
    EXPECT_FALSE(settingsString("9600", -1));
    EXPECT_FALSE(settingsString("9600", 3));
}

}  // namespace
}  // namespace tessra
