#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fakes/FakeClock.h"
#include "fakes/FakeLineChoice.h"
#include "fakes/FakeOperator.h"
#include "fakes/FakeOptionPanel.h"
#include "fakes/FakePort.h"
#include "fakes/LinkTest.h"
#include "settings/SettingsExchange.h"
#include "settings/SettingsTexts.h"

namespace tessra {
namespace {

using settings::Group;
using settings::Selections;
using testing::FakeClock;
using testing::FakeLineChoice;
using testing::FakeOperator;
using testing::FakeOptionPanel;
using testing::FakePort;

const Bytes kResetBytes{0x1B, 0x40};
const Bytes kReadRequestBytes{0x01, 0x39, 0x36, 0x02, 0x30};
const Bytes kKoreanBlock{0x3F, 0xAE, 0x5A, 0xDC};
const std::string kTimeout = "Communication Error.(5 Sec Time out)";

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

constexpr std::size_t at(Group g) {
    return static_cast<std::size_t>(g);
}

Selections koreanSelections() {
    Selections s;
    s[at(Group::Codepage)] = 63;
    s[at(Group::SerialBaudrate)] = 6;
    s[at(Group::SerialParityBit)] = 2;
    s[at(Group::SerialHandshaking)] = 1;
    s[at(Group::ErrorSound)] = 2;
    s[at(Group::UsbMode)] = 2;
    s[at(Group::ExtBuzzer)] = 1;
    s[at(Group::AutocutMode)] = 2;
    s[at(Group::Autocut)] = 2;
    s[at(Group::PrintSpeed)] = 4;
    s[at(Group::Width)] = 1;
    s[at(Group::FontSystem)] = 1;
    s[at(Group::PaperType)] = 6;
    return s;
}

class ExchangeTest : public testing::LinkTest {
protected:
    ExchangeTest() { panel.current = testing::startupSelections(); }

    void run(int mode, std::optional<int> readMode = kAutoReadMember) {
        start = clock.now;
        mblnReady = false;
        SettingsContext context{link, panel, block, mblnReady, readMode};
        link.runExclusive([&] {
            Comm_Setting(context, mode,
                         mode == kWriteSettings ? " Setting Complete" : " Read Complete");
        });
    }
    void read(std::optional<int> readMode) { run(kReadSettings, readMode); }

    // The printer answers the read request only at these line settings.
    void printerAt(const std::string& settings, Bytes reply) {
        port.responder = [settings, reply](const FakePort::Opening& o, const Bytes& written) {
            if (o.settings == settings && written == kReadRequestBytes) return reply;
            return Bytes{};
        };
    }
    void printerAnswers(Bytes reply) {
        port.responder = [reply](const FakePort::Opening&, const Bytes& written) {
            return written == kReadRequestBytes ? reply : Bytes{};
        };
    }
    double elapsed() const { return clock.now - start; }

    FakeOptionPanel panel;
    settings::Block block{};
    bool mblnReady = false;
    double start = 0;
};

// ---- automatic read ---------------------------------------------------------

TEST_F(ExchangeTest, AutoReadFindsThePrinterAt115200EvenOnTheFifthAttempt) {
    printerAt("115200,e,8,1", kKoreanBlock);
    read(kAutoReadMember);

    ASSERT_EQ(port.openings.size(), 5u);
    const std::vector<std::string> tried{"9600,n,8,1", "9600,e,8,1", "9600,o,8,1", "115200,n,8,1",
                                         "115200,e,8,1"};
    for (std::size_t k = 0; k < tried.size(); ++k) {
        EXPECT_EQ(port.openings[k].settings, tried[k]);
        EXPECT_EQ(port.openings[k].portNumber, 1);
    }
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(port.openings[k].writes, (std::vector<Bytes>{kResetBytes, kReadRequestBytes}));
    }
    EXPECT_EQ(port.openings[4].writes,
              (std::vector<Bytes>{kResetBytes, kReadRequestBytes, bytesOf(" Read Complete\r\n")}));

    EXPECT_EQ(line.detectedSpeed, 6);
    EXPECT_EQ(line.detectedParity, 1);
    EXPECT_EQ(line.speed, "115200");
    EXPECT_EQ(panel.current, koreanSelections());
    EXPECT_TRUE(op.messages.empty());
    EXPECT_TRUE(mblnReady);
    EXPECT_FALSE(port.isOpen());
    EXPECT_NE(std::find(op.statusLines.begin(), op.statusLines.end(), "Trying 115200,e,8,1 (5/21)"),
              op.statusLines.end());
    EXPECT_EQ(op.statusLines.back(), "Printer found at 115200,e,8,1");
    // Between the four unanswered attempts, after the decode, and in the DSR wait.
    EXPECT_EQ(op.eventPasses, 6);
    // Four unanswered attempts; a read makes no pause after the confirmation.
    EXPECT_GT(elapsed(), 4 * 0.3);
    EXPECT_LT(elapsed(), 4 * 0.3 + 0.1);
}

TEST_F(ExchangeTest, AutoReadTriesAll21SettingsThenShowsOneMessage) {
    std::vector<double> requestTimes;
    port.responder = [&](const FakePort::Opening&, const Bytes& written) {
        if (written == kReadRequestBytes) requestTimes.push_back(clock.now);
        return Bytes{};
    };
    read(kAutoReadMember);

    std::vector<std::string> want;
    for (const char* speed : {"9600", "115200", "57600", "38400", "19200", "4800", "2400"}) {
        for (const char* parity : {",n,8,1", ",e,8,1", ",o,8,1"}) {
            want.push_back(std::string(speed) + parity);
        }
    }
    std::vector<std::string> tried;
    for (const auto& o : port.openings) {
        tried.push_back(o.settings);
        EXPECT_EQ(o.writes, (std::vector<Bytes>{kResetBytes, kReadRequestBytes}));
    }
    EXPECT_EQ(tried, want);
    EXPECT_EQ(op.messageTexts(), std::vector<std::string>{kTimeout});
    EXPECT_EQ(op.messages[0].title, "Project1");
    EXPECT_EQ(op.statusLines.back(), kNoAnswerAtAnySpeed);
    EXPECT_EQ(line.detectedSpeed, -1);
    EXPECT_EQ(line.speed, "9600");
    EXPECT_TRUE(mblnReady);
    EXPECT_FALSE(port.isOpen());
    EXPECT_GE(elapsed(), 6.3);
    EXPECT_LT(elapsed(), 6.6);
    ASSERT_EQ(requestTimes.size(), 21u);
    for (std::size_t k = 1; k < requestTimes.size(); ++k) {
        EXPECT_GT(requestTimes[k] - requestTimes[k - 1], 0.3);
        EXPECT_LT(requestTimes[k] - requestTimes[k - 1], 0.32);
    }
}

TEST_F(ExchangeTest, NoAnswerAdviceGoesToTheLogOncePerRun) {
    std::vector<std::string> logged;
    link.firstHints().connect([&](const std::string& text) { logged.push_back(text); });
    read(kAutoReadMember);
    read(kAutoReadMember);
    EXPECT_EQ(logged, std::vector<std::string>{std::string(kNoAnswerAtAnySpeed)});
}

TEST_F(ExchangeTest, AutoReadLetsTheWindowHandleEventsOnlyBetweenAttempts) {
    std::vector<double> eventTimes;
    op.onProcessEvents = [&] { eventTimes.push_back(clock.now); };
    std::vector<double> requestTimes;
    port.responder = [&](const FakePort::Opening&, const Bytes& written) {
        if (written == kReadRequestBytes) requestTimes.push_back(clock.now);
        return Bytes{};
    };
    read(kAutoReadMember);
    ASSERT_EQ(eventTimes.size(), 21u);
    for (std::size_t k = 0; k < 21; ++k) EXPECT_GT(eventTimes[k] - requestTimes[k], 0.3);
    EXPECT_GT(op.repaints, 0);
}

TEST_F(ExchangeTest, AutoReadWithARejectedReplyPrintsNoConfirmation) {
    printerAt("9600,n,8,1", {0x40, 0x00, 0x01, 0x00});
    const Selections before = panel.current;
    read(kAutoReadMember);
    ASSERT_EQ(port.openings.size(), 1u);
    EXPECT_EQ(port.openings[0].writes, (std::vector<Bytes>{kResetBytes, kReadRequestBytes}));
    EXPECT_EQ(op.messageTexts(), std::vector<std::string>{kTimeout});
    EXPECT_EQ(panel.current, before);
    EXPECT_TRUE(mblnReady);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(ExchangeTest, AutoReadOpenFailureShowsPortErrorOnce) {
    port.failOpen = true;
    read(kAutoReadMember);
    EXPECT_EQ(op.messageTexts(), std::vector<std::string>{"Port Error"});
    EXPECT_TRUE(port.openings.empty());
    EXPECT_TRUE(mblnReady);
    EXPECT_LT(elapsed(), 0.01);
}

// ---- manual read --------------------------------------------------------------

TEST_F(ExchangeTest, ManualReadUsesTheCombosAndPrintsTheConfirmation) {
    line.speed = "19200";
    line.parity = 2;
    line.port = 3;
    printerAnswers(kKoreanBlock);
    read(kManualReadMember);
    ASSERT_EQ(port.openings.size(), 1u);
    EXPECT_EQ(port.openings[0].portNumber, 4);
    EXPECT_EQ(port.openings[0].settings, "19200,o,8,1");
    EXPECT_EQ(port.openings[0].writes,
              (std::vector<Bytes>{kResetBytes, kReadRequestBytes, bytesOf(" Read Complete\r\n")}));
    EXPECT_EQ(panel.current, koreanSelections());
    EXPECT_EQ(line.detectedSpeed, -1);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_TRUE(mblnReady);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(ExchangeTest, ManualReadWaitsTwoSecondsWithoutHandlingEvents) {
    std::vector<double> eventTimes;
    op.onProcessEvents = [&] { eventTimes.push_back(clock.now - start); };
    read(kManualReadMember);
    EXPECT_EQ(op.messageTexts(), std::vector<std::string>{kTimeout});
    EXPECT_GE(elapsed(), 2.0);
    EXPECT_LT(elapsed(), 2.05);
    ASSERT_EQ(eventTimes.size(), 1u);  // after the message, none while polling
    EXPECT_GE(eventTimes[0], 2.0);
    EXPECT_EQ(port.openings[0].writes, (std::vector<Bytes>{kResetBytes, kReadRequestBytes}));
    EXPECT_TRUE(mblnReady);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(ExchangeTest, ManualReadAcceptsAReplyJustBeforeTwoSeconds) {
    clock.onSleep = [&](double now) {
        if (now - start >= 1.95 && port.isOpen() && port.received.empty()) {
            port.received = {0x00, 0x00, 0x01, 0x00};
        }
    };
    panel.current[at(Group::Codepage)] = 7;
    read(kManualReadMember);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(panel.current[at(Group::Codepage)], 0);
    EXPECT_EQ(port.openings[0].writes.size(), 3u);
}

TEST_F(ExchangeTest, ThreeByteReplyTimesOut) {
    printerAnswers({0x00, 0x00, 0x01});
    const Selections before = panel.current;
    read(kManualReadMember);
    EXPECT_EQ(op.messageTexts(), std::vector<std::string>{kTimeout});
    EXPECT_EQ(panel.current, before);
    EXPECT_EQ(port.openings[0].writes.size(), 2u);
    EXPECT_GE(elapsed(), 2.0);
}

TEST_F(ExchangeTest, SixByteReplyDecodesTheFirstFour) {
    printerAnswers({0x3F, 0xAE, 0x5A, 0xDC, 0x40, 0x00});
    read(kManualReadMember);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(panel.current, koreanSelections());
    EXPECT_EQ(port.openings[0].writes.back(), bytesOf(" Read Complete\r\n"));
}

TEST_F(ExchangeTest, RejectedReplyPrintsNoConfirmation) {
    printerAnswers({0x40, 0xAE, 0x5A, 0xDC});
    const Selections before = panel.current;
    read(kManualReadMember);
    EXPECT_EQ(op.messageTexts(), std::vector<std::string>{kTimeout});
    EXPECT_EQ(panel.current, before);
    EXPECT_EQ(port.openings[0].writes, (std::vector<Bytes>{kResetBytes, kReadRequestBytes}));
    EXPECT_TRUE(mblnReady);
}

TEST_F(ExchangeTest, ReadConfirmationWithoutDsrAsksToCheckTheCable) {
    printerAnswers(kKoreanBlock);
    port.dsrAsserted = false;
    read(kManualReadMember);
    EXPECT_EQ(op.messageTexts(), std::vector<std::string>{"unpluge Cable,Please check Cable!"});
    EXPECT_EQ(panel.current, koreanSelections());
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(mblnReady);
    EXPECT_GT(elapsed(), 1.0);  // the 1 s DSR wait, no pause
    EXPECT_LT(elapsed(), 1.05);
}

TEST_F(ExchangeTest, ManualReadOpenFailureShowsPortError) {
    port.failOpen = true;
    read(kManualReadMember);
    EXPECT_EQ(op.messageTexts(), std::vector<std::string>{"Port Error"});
    EXPECT_TRUE(mblnReady);
}

TEST_F(ExchangeTest, ReadWithNoReadModeSendsNothing) {
    read(std::nullopt);
    EXPECT_TRUE(port.openings.empty());
    EXPECT_TRUE(op.messages.empty());
    EXPECT_TRUE(mblnReady);
}

TEST_F(ExchangeTest, WriteFailureStopsTheRead) {
    port.failWriteAt = 1;  // the read request
    read(kManualReadMember);
    EXPECT_EQ(op.messageTexts(), std::vector<std::string>{"Port Error"});
    EXPECT_EQ(port.openings[0].writes, std::vector<Bytes>{kResetBytes});
    EXPECT_TRUE(mblnReady);
    EXPECT_FALSE(port.isOpen());
}

// ---- write ----------------------------------------------------------------------

TEST_F(ExchangeTest, WriteSendsEachItemAsOneWrite) {
    panel.current = koreanSelections();
    line.speed = "57600";
    line.parity = 1;
    block = {0x11, 0x22, 0x33, 0x44};
    run(kWriteSettings);

    ASSERT_EQ(port.openings.size(), 1u);
    EXPECT_EQ(port.openings[0].settings, "57600,e,8,1");
    const std::vector<Bytes> want{
        {0x1B, 0x40},
        {0x1B, 0x61, 0x01},
        bytesOf(" Setting Complete\r\n"),
        {0x1B, 0x61, 0x00},
        bytesOf("\r\n" + std::string(42, '=')),
        bytesOf("\r\n\r\n\r\n\r\n\r\n"),
        {0x1B, 0x21, 0x00},
        {0x1B, 0x69},
        {0x1B, 0x40},
        {0x01, 0x39, 0x36, 0x02, 0x31},
        {0x3F, 0xAE, 0x5A, 0xDC},
    };
    EXPECT_EQ(port.openings[0].writes, want);
    EXPECT_EQ(block, (settings::Block{0x3F, 0xAE, 0x5A, 0xDC}));
    EXPECT_TRUE(op.messages.empty());
    EXPECT_TRUE(mblnReady);
    EXPECT_FALSE(port.isOpen());
    EXPECT_GE(elapsed(), 0.2);  // the pause
}

TEST_F(ExchangeTest, WriteWithoutDsrShowsTheTimeOutAndStillPauses) {
    port.dsrAsserted = false;
    double closedAt = -1;
    op.onMessage = [&](const FakeOperator::Message&) { closedAt = clock.now; };
    run(kWriteSettings);
    EXPECT_EQ(op.messageTexts(), std::vector<std::string>{kTimeout});
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(mblnReady);
    EXPECT_GT(closedAt - start, 1.0);
    EXPECT_GE(clock.now - closedAt, 0.2);
}

TEST_F(ExchangeTest, WriteOpenFailureShowsPortErrorAndBuildsNothing) {
    port.failOpen = true;
    block = {0x11, 0x22, 0x33, 0x44};
    run(kWriteSettings);
    EXPECT_EQ(op.messageTexts(), std::vector<std::string>{"Port Error"});
    EXPECT_EQ(block, (settings::Block{0x11, 0x22, 0x33, 0x44}));
    EXPECT_TRUE(mblnReady);
    EXPECT_LT(elapsed(), 0.01);  // no pause
}

TEST_F(ExchangeTest, WriteFailureMidCommandStopsTheTransaction) {
    port.failWriteAt = 3;
    run(kWriteSettings);
    EXPECT_EQ(op.messageTexts(), std::vector<std::string>{"Port Error"});
    EXPECT_EQ(port.openings[0].writes.size(), 3u);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(mblnReady);
    EXPECT_LT(elapsed(), 0.01);
}

// ---- other clicks during the exchange --------------------------------------------

TEST_F(ExchangeTest, AnotherPortOperationClickedDuringTheDsrWaitIsDropped) {
    port.dsrAsserted = false;
    const std::array<std::uint8_t, 3> cut{0x1B, 0x69, 0x00};
    int clicks = 0;
    bool ran = false;
    op.onProcessEvents = [&] {
        ++clicks;
        link.Send_Data(cut, 2, 0);
        EXPECT_FALSE(link.runExclusive([&] { ran = true; }));
    };
    run(kWriteSettings);
    EXPECT_GT(clicks, 0);
    EXPECT_FALSE(ran);
    ASSERT_EQ(port.openings.size(), 1u);
    EXPECT_EQ(port.openings[0].writes.size(), 11u);
    EXPECT_TRUE(mblnReady);
}

TEST_F(ExchangeTest, ExchangeRunsAsOnePortOperation) {
    bool inside = false;
    port.responder = [&](const FakePort::Opening&, const Bytes&) {
        inside = link.inOperation();
        return Bytes{};
    };
    run(kWriteSettings);
    EXPECT_TRUE(inside);
    EXPECT_FALSE(link.inOperation());
    EXPECT_EQ(op.busyDepth, 0);
    EXPECT_EQ(op.maxBusyDepth, 1);
}

// ---- closing the window during a read ------------------------------------------

TEST_F(ExchangeTest, CloseDuringAnAutomaticReadEndsItAfterTheAttemptUnderWay) {
    int requests = 0;
    port.responder = [&](const FakePort::Opening&, const Bytes& written) {
        // Closed in the first pass of the second attempt's wait.
        if (written == kReadRequestBytes && ++requests == 2) op.closeAtPoll = op.polls + 1;
        return Bytes{};
    };
    read(kAutoReadMember);
    EXPECT_EQ(port.openings.size(), 2u);
    EXPECT_GT(elapsed(), 2 * 0.3) << "the attempt under way waits its 0.3 s";
    EXPECT_LT(elapsed(), 2 * 0.3 + 0.01);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(op.statusLines.back(), "Trying 9600,e,8,1 (2/21)");
    EXPECT_TRUE(mblnReady);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(op.windowClosed);
}

TEST_F(ExchangeTest, CloseAfterAReplyShowsTheBlockButPrintsNoConfirmation) {
    printerAnswers(kKoreanBlock);
    op.closeAtPoll = 1;  // the pass after the decode
    read(kManualReadMember);
    EXPECT_EQ(panel.current, koreanSelections());
    EXPECT_EQ(port.bytesPerOpening(),
              (std::vector<Bytes>{{0x1B, 0x40, 0x01, 0x39, 0x36, 0x02, 0x30}}));
    EXPECT_TRUE(op.messages.empty());
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(op.windowClosed);
}

}  // namespace
}  // namespace tessra
