#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/SettingsTransaction.h"
#include "fakes/FakeOptionPanel.h"
#include "fakes/LinkTest.h"
#include "printer/LinkPrinter.h"
#include "settings/SettingsTexts.h"

namespace tessra {
namespace {

using settings::Selections;
using testing::FakeOptionPanel;
using testing::FakePort;

const Bytes kReset{0x1B, 0x40};
const Bytes kReadRequest{0x01, 0x39, 0x36, 0x02, 0x30};
const Bytes kReply{0x3F, 0xAE, 0x5A, 0xDC};  // the printer's settings block
const std::string kTimeout = "Communication Error.(5 Sec Time out)";

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// What the printer's settings block 3F AE 5A DC selects.
Selections koreanSelections() {
    return {63, 6, 2, 1, 2, 2, 1, 2, 2, 4, 1, 1, 6};
}

// How the port and the person behave during one exchange.
struct Script {
    bool dsr = true;
    bool failOpen = false;
    int failWriteAt = -1;
    int closeAtPoll = 0;
};

class ExchangeTest : public testing::LinkTest {
protected:
    ExchangeTest() { panel.current = testing::startupSelections(); }

    void run(int mode, std::optional<int> readMode = kAutoReadMember, const Script& script = {}) {
        port.dsrAsserted = script.dsr;
        port.failOpen = script.failOpen;
        port.failWriteAt = script.failWriteAt;
        if (script.closeAtPoll != 0) op.closeAtPoll = script.closeAtPoll;
        start = clock.now;
        ready = false;
        SettingsContext context{printer, panel, block, ready, readMode};
        printer.inOneOperation([&] {
            Comm_Setting(context, mode,
                         mode == kWriteSettings ? " Setting Complete" : " Read Complete");
        });
        EXPECT_TRUE(ready);
    }
    void printerAnswers(Bytes reply) {
        port.responder = [reply](const FakePort::Opening&, const Bytes& written) {
            return written == kReadRequest ? reply : Bytes{};
        };
    }
    double elapsed() const { return clock.now - start; }

    printer::LinkPrinter printer{port, clock, op, line};
    FakeOptionPanel panel;
    settings::Block block{};
    bool ready = false;
    double start = 0;
};

// ---- automatic read -----------------------------------------------------------

TEST_F(ExchangeTest, AutoReadTriesAll21SettingsHandlingEventsBetweenThemThenShowsOneMessage) {
    std::vector<double> eventTimes;
    op.onProcessEvents = [&] { eventTimes.push_back(clock.now); };
    run(kReadSettings);

    std::vector<std::string> want;
    for (const char* speed : {"9600", "115200", "57600", "38400", "19200", "4800", "2400"}) {
        for (const char* parity : {",n,8,1", ",e,8,1", ",o,8,1"})
            want.push_back(std::string(speed) + parity);
    }
    std::vector<std::string> tried;
    for (const auto& o : port.openings) tried.push_back(o.settings);
    EXPECT_EQ(tried, want);
    EXPECT_EQ(op.messages, (std::vector<testing::FakeOperator::Message>{{kTimeout, "Project1"}}));
    EXPECT_EQ(op.statusLines.back(), kNoAnswerAtAnySpeed);
    EXPECT_EQ(line.detectedSpeed, -1);
    ASSERT_EQ(eventTimes.size(), 21u);
    double previous = start;
    for (const double t : eventTimes) {
        EXPECT_GT(t - previous, 0.3);
        EXPECT_LT(t - previous, 0.32);
        previous = t;
    }
}

// Leaves the port open at the second attempt's line: the guard closes it.
TEST_F(ExchangeTest, CloseDuringAnAutomaticReadEndsItAfterTheAttemptUnderWay) {
    int requests = 0;
    port.responder = [&](const FakePort::Opening&, const Bytes& written) {
        // Closed in the first pass of the second attempt's wait.
        if (written == kReadRequest && ++requests == 2) op.closeAtPoll = op.polls + 1;
        return Bytes{};
    };
    run(kReadSettings);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(op.windowClosed);
    EXPECT_EQ(port.openings.size(), 2u);
    EXPECT_GT(elapsed(), 2 * 0.3) << "the attempt under way waits its 0.3 s";
    EXPECT_LT(elapsed(), 2 * 0.3 + 0.01);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(op.statusLines.back(), "Trying 9600,e,8,1 (2/21)");
}

// ---- reads that end in one attempt -------------------------------------------

enum class Sent { Nothing, Reset, Request, Confirmation };

struct ReadCase {
    const char* name;
    std::optional<int> readMode;
    Bytes reply;  // the printer's answer to the read request
    Script script;
    std::vector<std::string> messages;
    Sent sent;       // by the last opening
    bool shown;      // the option groups show the reply, else they are unchanged
    double seconds;  // how long the read takes, to within 50 ms
};

class ReadExchange : public ExchangeTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadExchange, EndsAsExpected) {
    const ReadCase& c = GetParam();
    printerAnswers(c.reply);
    const Selections before = panel.current;
    run(kReadSettings, c.readMode, c.script);
    EXPECT_EQ(op.messageTexts(), c.messages);
    const std::vector<std::vector<Bytes>> wire{
        {},
        {kReset},
        {kReset, kReadRequest},
        {kReset, kReadRequest, bytesOf(" Read Complete\r\n")}};
    if (c.sent == Sent::Nothing) {
        EXPECT_TRUE(port.openings.empty());
    } else {
        ASSERT_FALSE(port.openings.empty());
        EXPECT_EQ(port.openings.back().writes, wire[static_cast<std::size_t>(c.sent)]);
    }
    EXPECT_EQ(panel.current, c.shown ? koreanSelections() : before);
    EXPECT_EQ(op.windowClosed, c.script.closeAtPoll != 0);
    EXPECT_GE(elapsed(), c.seconds);
    EXPECT_LT(elapsed(), c.seconds + 0.05);
}

const Bytes kRejected{0x40, 0xAE, 0x5A, 0xDC};
const std::vector<std::string> kTimedOut{kTimeout};
const std::vector<std::string> kFailed{"Port Error"};
const std::vector<std::string> kCheckCable{"unpluge Cable,Please check Cable!"};
constexpr int kManual = kManualReadMember;
constexpr int kAuto = kAutoReadMember;
constexpr Script kNoDsr{.dsr = false};
constexpr Script kOpenFails{.failOpen = true};
constexpr Script kRequestFails{.failWriteAt = 1};
constexpr Script kClosedAfterTheReply{.closeAtPoll = 1};

INSTANTIATE_TEST_SUITE_P(
    Reads, ReadExchange,
    ::testing::Values(
        ReadCase{"Manual", kManual, kReply, {}, {}, Sent::Confirmation, true, 0},
        ReadCase{"Auto", kAuto, kReply, {}, {}, Sent::Confirmation, true, 0},
        ReadCase{"Silent", kManual, {}, {}, kTimedOut, Sent::Request, false, 2.0},
        ReadCase{"ThreeBytes", kManual, {0, 0, 1}, {}, kTimedOut, Sent::Request, false, 2.0},
        ReadCase{"Rejected", kManual, kRejected, {}, kTimedOut, Sent::Request, false, 0},
        ReadCase{"AutoRejected", kAuto, kRejected, {}, kTimedOut, Sent::Request, false, 0},
        ReadCase{"NoDsr", kManual, kReply, kNoDsr, kCheckCable, Sent::Confirmation, true, 1.0},
        ReadCase{"OpenFails", kManual, kReply, kOpenFails, kFailed, Sent::Nothing, false, 0},
        ReadCase{"AutoOpenFails", kAuto, kReply, kOpenFails, kFailed, Sent::Nothing, false, 0},
        ReadCase{"RequestFails", kManual, kReply, kRequestFails, kFailed, Sent::Reset, false, 0},
        ReadCase{"Closed", kManual, kReply, kClosedAfterTheReply, {}, Sent::Request, true, 0},
        ReadCase{"NoReadMethod", std::nullopt, kReply, {}, {}, Sent::Nothing, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- write ----------------------------------------------------------------------

TEST_F(ExchangeTest, WriteSendsEachItemAsOneWriteAtTheChosenLine) {
    panel.current = koreanSelections();
    line.speed = "57600";
    line.parity = 1;
    block = {0x11, 0x22, 0x33, 0x44};
    run(kWriteSettings, kAuto, kNoDsr);  // the block stands though DSR did not come

    ASSERT_EQ(port.openings.size(), 1u);
    EXPECT_EQ(port.openings[0].settings, "57600,e,8,1");
    const std::vector<Bytes> want{
        kReset,
        {0x1B, 0x61, 0x01},
        bytesOf(" Setting Complete\r\n"),
        {0x1B, 0x61, 0x00},
        bytesOf("\r\n" + std::string(42, '=')),
        bytesOf("\r\n\r\n\r\n\r\n\r\n"),
        {0x1B, 0x21, 0x00},
        {0x1B, 0x69},
        kReset,
        {0x01, 0x39, 0x36, 0x02, 0x31},
        kReply,
    };
    EXPECT_EQ(port.openings[0].writes, want);
    EXPECT_EQ(block, (settings::Block{0x3F, 0xAE, 0x5A, 0xDC}));
    EXPECT_GE(elapsed(), 1.2) << "the DSR wait and the pause";
}

}  // namespace
}  // namespace tessra
