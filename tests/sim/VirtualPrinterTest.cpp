// The real virtual printer, started as a process, talked to through the
// utility's own serial adapter with COM1 pointed at it.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "fakes/FakeLineChoice.h"
#include "fakes/FakeOperator.h"
#include "fakes/QtTestApplication.h"
#include "fakes/VirtualPrinterProcess.h"
#include "link/PrinterLink.h"
#include "link/QtClock.h"
#include "link/QtSerialPort.h"

namespace tessra {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const Bytes kReset{0x1B, 0x40};
const Bytes kReadRequest{0x01, 0x39, 0x36, 0x02, 0x30};

class VirtualPrinter : public ::testing::Test {
protected:
    void SetUp() override {
        testing::testApplication();
        ::setenv("TESSRA_COM1", printer_.link().c_str(), 1);
    }
    void TearDown() override { stop(); }

    void start(std::vector<std::string> extra = {}) {
        ASSERT_TRUE(printer_.start(std::move(extra)));
    }
    void stop() {
        if (!printer_.stop()) ADD_FAILURE() << "the printer did not stop on SIGTERM";
    }
    std::string transcript() const { return printer_.transcript(); }
    bool waitForLine(const std::string& line, std::chrono::milliseconds limit = 800ms) const {
        return printer_.waitForLine(line, limit);
    }

    // A request on COM1 at the given settings; whatever came back within the limit.
    Bytes request(const std::string& settings, const std::vector<Bytes>& writes, int expect,
                  std::chrono::milliseconds limit = 400ms) {
        QtSerialPort port;
        EXPECT_TRUE(port.setSettings(settings));
        EXPECT_TRUE(port.open(1)) << port.lastError();
        for (const Bytes& w : writes) EXPECT_TRUE(port.write(w)) << port.lastError();
        const auto deadline = Clock::now() + limit;
        while (expect > 0 && port.bytesWaiting() < expect && Clock::now() < deadline) {
            std::this_thread::sleep_for(5ms);
        }
        Bytes reply = port.readAll();
        port.close();
        return reply;
    }

    testing::VirtualPrinterProcess printer_;
};

TEST_F(VirtualPrinter, FeedingThroughTheUtilitysLinkAppearsInTheTranscript) {
    start();
    QtSerialPort port;
    QtClock clock;
    testing::FakeOperator op;
    testing::FakeLineChoice line;  // COM1, 9600, None
    PrinterLink link(port, clock, op, line);
    const std::array<std::uint8_t, 2> feeding{0x0A, 0x00};
    link.runExclusive([&] { link.Send_Data(feeding, 1, 0); });
    EXPECT_TRUE(op.messages.empty());
    EXPECT_TRUE(waitForLine("9600: feed\n")) << transcript();
}

TEST_F(VirtualPrinter, OnlyARequestAtThePrintersSpeedGetsTheBlock) {
    start();
    EXPECT_TRUE(request("19200,n,8,1", {kReset, kReadRequest}, 4, 300ms).empty());
    EXPECT_TRUE(waitForLine("9600: not understood: 7 bytes at 19200 bps\n")) << transcript();
    // Parity cannot be told apart on a pseudo-terminal: only the speed counts.
    EXPECT_EQ(request("9600,e,8,1", {kReset, kReadRequest}, 4), (Bytes{0x00, 0x02, 0x01, 0x00}));
    EXPECT_TRUE(waitForLine("9600: settings read 00 02 01 00\n")) << transcript();
}

TEST_F(VirtualPrinter, SettingsWriteMovesThePrinterToTheNewSpeed) {
    start();
    request("9600,n,8,1", {{0x01, 0x39, 0x36, 0x02, 0x31}, {0x00, 0x06, 0x01, 0x00}}, 0);
    ASSERT_TRUE(waitForLine("115200: listening at 115200 bps\n")) << transcript();
    EXPECT_TRUE(request("9600,n,8,1", {kReadRequest}, 4, 300ms).empty());
    EXPECT_EQ(request("115200,n,8,1", {kReadRequest}, 4), (Bytes{0x00, 0x06, 0x01, 0x00}));
}

TEST_F(VirtualPrinter, NoReplyNeverAnswers) {
    start({"--no-reply"});
    EXPECT_TRUE(request("9600,n,8,1", {kReadRequest}, 4, 300ms).empty());
    EXPECT_TRUE(waitForLine("9600: settings read 00 02 01 00 (no reply)\n")) << transcript();
}

TEST_F(VirtualPrinter, StateSurvivesARestartAndTheLinkGoesOnExit) {
    const std::string state = (printer_.dir() / "flash").string();
    start({"--state", state});
    request("9600,n,8,1", {{0x01, 0x39, 0x36, 0x02, 0x25, 0x07}}, 0);
    ASSERT_TRUE(waitForLine("9600: customer code write 7\n")) << transcript();
    stop();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(printer_.link())));
    EXPECT_NE(transcript().find("9600: stopped\n"), std::string::npos);

    start({"--state", state});
    EXPECT_EQ(request("9600,n,8,1", {{0x01, 0x39, 0x36, 0x02, 0x24, 0x00}}, 1), Bytes{0x07});
}

TEST_F(VirtualPrinter, DamagedStateFileStartsWithTheDefaults) {
    const std::string state = (printer_.dir() / "flash").string();
    std::ofstream(state) << "block zz\n";
    start({"--state", state});
    EXPECT_EQ(request("9600,n,8,1", {kReadRequest}, 4), (Bytes{0x00, 0x02, 0x01, 0x00}));
}

}  // namespace
}  // namespace tessra
