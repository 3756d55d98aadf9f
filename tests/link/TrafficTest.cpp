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
};

TEST_F(TrafficPortTest, ACommandLogsOpeningBytesOutDsrAndCloseInOrder) {
    link.runExclusive([&] { link.sendCommand(Bytes{0x0A, 0x00}, 1, 0); });
    EXPECT_EQ(lines(), (std::vector<std::string>{
                           "00:00:00.000  COM1 opened: /dev/fake1 at 9600,n,8,1",
                           "00:00:00.000  " + sent({0x0A}),
                           "00:00:00.000  " + sent({0x00}),
                           "00:00:00.000  DSR asserted, waited 0 ms, 1 check",
                           "00:00:00.000  COM1 closed",
                       }));
    EXPECT_EQ(device.bytesPerOpening(), (std::vector<Bytes>{{0x0A, 0x00}}));
}

TEST_F(TrafficPortTest, AReplyWaitThatEndsInACloseIsAnInferredTimeOutThatShowsTheUnreadBytes) {
    device.responder = [](const testing::FakePort::Opening&, const Bytes&) {
        return Bytes{0x0A, 0x0B};
    };
    link.runExclusive([&] {
        if (link.openSelectedPort() && link.write(Bytes{0x01, 0x39, 0x36, 0x02, 0x24}))
            link.waitForReply(4, std::chrono::milliseconds(300));
    });
    EXPECT_THAT(
        lines(),
        ElementsAre(
            HasSubstr("opened"), HasSubstr("sent"),
            AllOf(HasSubstr("no reply read: 2 bytes waiting after 3"),
                  EndsWith(" checks, then the port closed: inferred a reply time-out")),
            EndsWith("unread    " + hexWithText(Bytes{0x0A, 0x0B}) + "  dropped at the close"),
            EndsWith("COM1 closed")));
}

// The MAC save writes the password a byte at a time: each is left out, the last too.
TEST_F(TrafficPortTest, EveryByteOfThePasswordIsLeftOut) {
    port.hide(SecretBytes(Bytes{0x0A}, 2));
    link.runExclusive([&] {
        if (link.openSelectedPort())
            for (const std::uint8_t b : Bytes{0x0A, 'p', 'w', 0x00}) link.write(Bytes{b});
    });
    const auto hidden = EndsWith("sent      1 bytes, 1 of the password: not shown");
    EXPECT_THAT(lines(), ElementsAre(HasSubstr("opened"), EndsWith(sent({0x0A})), hidden, hidden,
                                     EndsWith(sent({0x00})), HasSubstr("closed")));
}

// Past an hour the minutes start again; DEL is no printable character.
TEST(TrafficFormat, MinutesWrapAtAnHourAndDelIsADot) {
    EXPECT_EQ(elapsedStamp(3723.004), "01:02:03.004");
    EXPECT_THAT(hexWithText(Bytes{0x41, 0x7F, 0x20}), EndsWith("|A. |"));
}

}  // namespace
}  // namespace tessra
