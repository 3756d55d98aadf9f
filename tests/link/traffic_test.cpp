#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeClock.h"
#include "fakes/FakeLineChoice.h"
#include "fakes/FakeOperator.h"
#include "fakes/FakePort.h"
#include "link/PrinterLink.h"
#include "link/TrafficFormat.h"
#include "link/TrafficLog.h"
#include "link/TrafficPort.h"

namespace tessra {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

// The printer link over the logging port, over the fakes.
class TrafficPortTest : public ::testing::Test {
protected:
    testing::FakeClock clock;
    testing::FakePort device{clock};
    testing::FakeOperator op;
    testing::FakeLineChoice line;
    TrafficLog log{clock};
    TrafficPort port{device, log};
    PrinterLink link{port, clock, op, line};

    std::vector<std::string> lines() const { return {log.lines().begin(), log.lines().end()}; }
    static std::string sent(const Bytes& bytes) { return "sent      " + hexWithText(bytes); }

    // A request and its reply as the identity reads do it.
    void request(const Bytes& bytes, int replySize) {
        link.runExclusive([&] {
            if (link.Open_Port() && link.write(bytes) &&
                link.waitForReply(replySize, std::chrono::milliseconds(300)))
                port.readAll();
        });
    }
};

TEST_F(TrafficPortTest, ACommandLogsOpeningBytesOutDsrAndCloseInOrder) {
    link.runExclusive([&] { link.Send_Data(Bytes{0x0A, 0x00}, 1, 0); });
    EXPECT_EQ(lines(), (std::vector<std::string>{
                           "00:00:00.000  COM1 opened: /dev/fake1 at 9600,n,8,1",
                           "00:00:00.000  " + sent({0x0A}),
                           "00:00:00.000  " + sent({0x00}),
                           "00:00:00.000  DSR asserted, waited 0 ms, 1 check",
                           "00:00:00.000  COM1 closed",
                       }));
    EXPECT_EQ(device.bytesPerOpening(), (std::vector<Bytes>{{0x0A, 0x00}}));
}

TEST_F(TrafficPortTest, AReplyIsLoggedWithItsWait) {
    clock.onSleep = [&](double now) {
        if (now >= 1000.0499 && device.isOpen() && device.received.empty())
            device.received = {0x00, 0x02, 0x01, 0x00};
    };
    request({0x01, 0x39, 0x36, 0x02, 0x30}, 4);
    EXPECT_EQ(lines(), (std::vector<std::string>{
                           "00:00:00.000  COM1 opened: /dev/fake1 at 9600,n,8,1",
                           "00:00:00.000  " + sent({0x01, 0x39, 0x36, 0x02, 0x30}),
                           "00:00:00.050  received  " + hexWithText(Bytes{0x00, 0x02, 0x01, 0x00}) +
                               "  waited 50 ms, 2 checks",
                           "00:00:00.050  COM1 closed",
                       }));
}

TEST_F(TrafficPortTest, WaitsThatEndInACloseAreInferredTimeOuts) {
    struct Case {
        const char* what;
        Bytes partialReply;
        std::vector<::testing::Matcher<std::string>> tail;
    };
    const Case cases[] = {
        {"nothing came back",
         {},
         {AllOf(HasSubstr("no reply read: 0 bytes waiting after 3"),
                EndsWith(" checks, then the port closed: inferred a reply time-out")),
          EndsWith("COM1 closed")}},
        {"half a reply came back",
         {0x0A, 0x0B},
         {HasSubstr("no reply read: 2 bytes waiting after 3"),
          EndsWith("unread    " + hexWithText(Bytes{0x0A, 0x0B}) + "  dropped at the close"),
          EndsWith("COM1 closed")}},
    };
    for (const Case& c : cases) {
        log.clear();
        device.responder = [&](const testing::FakePort::Opening&, const Bytes&) {
            return c.partialReply;
        };
        request({0x01, 0x39, 0x36, 0x02, 0x24}, 4);
        ASSERT_EQ(log.lines().size(), 2 + c.tail.size()) << c.what;
        EXPECT_THAT(std::vector<std::string>(log.lines().begin() + 2, log.lines().end()),
                    ::testing::ElementsAreArray(c.tail))
            << c.what;
    }
}

TEST_F(TrafficPortTest, ADsrThatNeverRisesIsAnInferredTimeOut) {
    device.dsrAsserted = false;
    link.runExclusive([&] { link.Send_Data(Bytes{0x0A, 0x00}, 1, 0); });
    EXPECT_THAT(lines(),
                ElementsAre(HasSubstr("opened"), HasSubstr("sent"), HasSubstr("sent"),
                            AllOf(StartsWith("00:00:01.0"), HasSubstr("DSR not asserted in 10"),
                                  EndsWith("then the port closed: inferred a DSR time-out")),
                            EndsWith("COM1 closed")));
}

TEST_F(TrafficPortTest, FailuresAreLoggedWithTheirReason) {
    device.failOpen = true;
    link.runExclusive([&] { link.Send_Data(Bytes{0x0A, 0x00}, 1, 0); });
    device.failOpen = false;
    device.failWriteAt = 0;
    link.runExclusive([&] { link.Send_Data(Bytes{0x0A, 0x00}, 1, 0); });
    EXPECT_THAT(
        lines(),
        ElementsAre(EndsWith("COM1 not opened: /dev/fake1 at 9600,n,8,1: No such file or "
                             "directory"),
                    HasSubstr("COM1 opened"), HasSubstr("write failed (Input/output error)  0A "),
                    EndsWith("COM1 closed")));
}

TEST(TrafficLogTest, KeepsTheNewestLinesAndCountsTheDroppedOnes) {
    testing::FakeClock clock;
    TrafficLog log(clock, 3);
    std::uint64_t cursor = 0;
    for (const char* text : {"one", "two"}) log.add(text);
    EXPECT_THAT(log.takeNew(cursor), ElementsAre(EndsWith("one"), EndsWith("two")));

    for (const char* text : {"three", "four", "five", "six"}) log.add(text);
    EXPECT_THAT(log.lines(), ElementsAre(EndsWith("four"), EndsWith("five"), EndsWith("six")));
    EXPECT_EQ(log.dropped(), 3u);
    // The reader missed "three": it gets what is still kept.
    EXPECT_THAT(log.takeNew(cursor),
                ElementsAre(EndsWith("four"), EndsWith("five"), EndsWith("six")));

    log.clear();
    EXPECT_EQ(log.dropped(), 0u);
    clock.sleep(std::chrono::milliseconds(1500));
    log.note("port busy");
    EXPECT_THAT(log.takeNew(cursor), ElementsAre("00:00:01.500  note: port busy"));
    EXPECT_TRUE(log.takeNew(cursor).empty());
}

TEST(TrafficFormatTest, StampsAreElapsedHoursMinutesSecondsAndMilliseconds) {
    const std::pair<double, const char*> cases[] = {
        {0.0, "00:00:00.000"},       {3.5124, "00:00:03.512"},    {59.9996, "00:01:00.000"},
        {3599.9996, "01:00:00.000"}, {90061.001, "25:01:01.001"},
    };
    for (const auto& [seconds, stamp] : cases) EXPECT_EQ(elapsedStamp(seconds), stamp) << seconds;
}

TEST(TrafficFormatTest, HexThenAPrintableColumnThatLinesUp) {
    const std::pair<Bytes, std::string> cases[] = {
        {{}, "|"},
        {{0x0A, 0x00}, "0A 00"},
        {{0x1F, 0x20, 0x41, 0x7E, 0x7F, 0xFF}, "1F 20 41 7E 7F FF"},
    };
    for (const auto& [bytes, hex] : cases) {
        const std::string out = hexWithText(bytes);
        EXPECT_THAT(out, StartsWith(hex == "|" ? "  " : hex));
        EXPECT_EQ(out.find('|'), 49u) << hex;
    }
    EXPECT_THAT(hexWithText(Bytes{0x1F, 0x20, 0x41, 0x7E, 0x7F, 0xFF}), EndsWith("|. A~..|"));
    const Bytes seventeen(17, 0x31);
    EXPECT_THAT(hexWithText(seventeen), EndsWith("31 31  |11111111111111111|"));
}

}  // namespace
}  // namespace tessra
