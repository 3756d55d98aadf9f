#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "fakes/LinkTest.h"

namespace tessra {
namespace {

class PrinterLinkTest : public testing::LinkTest {};

TEST_F(PrinterLinkTest, CountAndModeDecideWhatGoesOnTheWire) {
    // buffer, count, mode -> bytes sent, in so many writes
    const std::tuple<Bytes, int, int, Bytes, std::size_t> cases[] = {
        {{0x0A, 0x00}, 0, 0, {0x0A}, 1},                    // element 0 only
        {{0x1B, 0x69, 0x00}, 2, 0, {0x1B, 0x69, 0x00}, 3},  // a write per byte
        {{0x1B, 0x69, 0x00}, 1, 1, {0x1B, 0x69, 0x00}, 1},  // the array in one write
        {{0x0A, 0x00}, 5, 0, {0x0A, 0x00}, 2},              // never past the array
    };
    for (const auto& [buffer, count, mode, wire, writes] : cases) {
        const double start = clock.now;
        sendData(buffer, count, mode);
        EXPECT_EQ(port.openings.back().bytes(), wire) << count << " " << mode;
        EXPECT_EQ(port.openings.back().writes.size(), writes) << count << " " << mode;
        EXPECT_GE(clock.now - start, 0.2) << "DSR at once, then the pause";
        EXPECT_LT(clock.now - start, 0.25);
    }
    EXPECT_TRUE(op.messages.empty());
}

// With no parity chosen the port keeps the settings it had, speed included.
TEST_F(PrinterLinkTest, OpensThePortAndLineTheCombosName) {
    // port index, speed, parity index -> port number, settings
    const std::tuple<int, const char*, int, int, const char*> cases[] = {
        {9, "19200", 2, 10, "19200,o,8,1"},
        {0, "38400", 1, 1, "38400,e,8,1"},
        {0, "115200", -1, 1, "38400,e,8,1"},
    };
    for (const auto& [index, speed, parity, number, settings] : cases) {
        line.port = index;
        line.speed = speed;
        line.parity = parity;
        sendData(Bytes{0x0A, 0x00}, 1, 0);
        ASSERT_TRUE(op.messages.empty()) << number;
        EXPECT_EQ(port.openings.back().portNumber, number);
        EXPECT_EQ(port.openings.back().settings, settings);
    }
}

TEST_F(PrinterLinkTest, PortFailureStopsTheCommandWithOneMessageAndTheReason) {
    struct Case {
        const char* what;
        int port;
        bool failOpen;
        int failWriteAt;
        Bytes sent;
        const char* status;
    };
    // The write failure first: failWriteAt counts over the port's life.
    const Case cases[] = {
        {"write fails", 0, false, 1, {0x1D}, "COM1 (/dev/fake1): Input/output error"},
        {"open fails", 2, true, -1, {}, "COM3 (/dev/fake3): Input/output error"},
        {"no port selected", -1, false, -1, {}, "COM0: no port selected"},
    };
    port.openError = "Input/output error";
    port.openFailure = PortFailure::Other;  // no advice to add
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        op.messages.clear();
        line.port = c.port;
        port.failOpen = c.failOpen;
        port.failWriteAt = c.failWriteAt;
        const std::size_t before = port.openings.size();
        sendData(Bytes{0x1D, 0x28, 0x41}, 2, 0);
        EXPECT_EQ(port.openings.size() > before ? port.openings.back().bytes() : Bytes{}, c.sent);
        EXPECT_EQ(op.messageTexts(), std::vector<std::string>{"Port Error"});
        EXPECT_EQ(op.statusLines.back(), c.status);
        EXPECT_EQ(port.dsrReads, 0);
    }
}

TEST_F(PrinterLinkTest, DsrNeverShowsOneTimeOutWhileThePortIsOpenThenClosesAndPauses) {
    port.dsrAsserted = false;
    bool openAtMessage = false;
    double messageAt = 0;
    op.onMessage = [&](const testing::FakeOperator::Message&) {
        openAtMessage = port.isOpen();
        messageAt = clock.now;
    };
    const double start = clock.now;
    sendData(Bytes{0x0A, 0x00}, 1, 0);
    EXPECT_EQ(op.messageTexts(), std::vector<std::string>{"Communication Error.(5 Sec Time out)"});
    EXPECT_TRUE(openAtMessage);
    EXPECT_GT(messageAt - start, 1.0);
    EXPECT_LT(messageAt - start, 1.05);
    EXPECT_GE(clock.now - messageAt, 0.2);
}

TEST_F(PrinterLinkTest, ClickDuringDsrWaitIsDroppedNotQueued) {
    port.dsrAsserted = false;
    int attempts = 0;
    bool accepted = true;
    op.onProcessEvents = [&] {
        if (attempts++ == 3) {
            accepted = link.runExclusive([&] { link.sendCommand(Bytes{0x1B, 0x69, 0x00}, 2, 0); });
            link.sendCommand(Bytes{0x0A, 0x00}, 1, 0);  // a handler that calls it bare
        }
    };
    link.runExclusive([&] {
        link.sendCommand(Bytes{0x1B, 0x40, 0x00}, 2, 0);
        link.sendCommand(Bytes{0x0A, 0x00}, 1, 0);
    });
    EXPECT_FALSE(accepted);
    EXPECT_EQ(port.bytesPerOpening(), (std::vector<Bytes>{{0x1B, 0x40, 0x00}, {0x0A, 0x00}}));
    EXPECT_FALSE(link.inOperation());
    EXPECT_EQ(op.maxBusyDepth, 1);
    EXPECT_EQ(op.busyDepth, 0);
}

// Whatever an operation leaves open, the guard closes.
TEST_F(PrinterLinkTest, PortIsClosedOnceTheOperationReturns) {
    EXPECT_TRUE(link.runExclusive([&] { ASSERT_TRUE(link.openSelectedPort()); }));
    EXPECT_FALSE(port.isOpen());
}

}  // namespace
}  // namespace tessra
