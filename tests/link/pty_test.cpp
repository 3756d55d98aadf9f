// The real QSerialPort adapter against a pseudo-terminal whose master the
// test holds, standing in for the printer.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include "fakes/FakeClock.h"
#include "fakes/FakeLineChoice.h"
#include "fakes/FakeOperator.h"
#include "fakes/QtTestApplication.h"
#include "link/PrinterLink.h"
#include "link/QtSerialPort.h"

extern char** environ;

namespace tessra {
namespace {

class Pty {
public:
    Pty() {
        char name[256] = {};
        if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) return;
        // A program this test starts must not hold the printer's side too.
        ::fcntl(master_, F_SETFD, FD_CLOEXEC);
        ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
        termios t{};
        ::tcgetattr(master_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(master_, TCSANOW, &t);
        path_ = name;
    }
    ~Pty() {
        if (master_ >= 0) ::close(master_);
        if (slave_ >= 0) ::close(slave_);
    }
    bool ok() const { return !path_.empty(); }
    const std::string& path() const { return path_; }
    int master() const { return master_; }

    void send(const Bytes& bytes) const {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // Everything that has arrived at the printer side, waiting at most the
    // given time for the first byte.
    Bytes drain(int firstByteTimeoutMs = 200) const {
        Bytes out;
        int timeout = firstByteTimeoutMs;
        pollfd p{master_, POLLIN, 0};
        while (::poll(&p, 1, timeout) > 0 && (p.revents & POLLIN)) {
            std::uint8_t buf[256];
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n <= 0) break;
            out.insert(out.end(), buf, buf + n);
            timeout = 20;
        }
        return out;
    }
    speed_t outputSpeed() const {
        termios t{};
        ::tcgetattr(master_, &t);
        return ::cfgetospeed(&t);
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

// Another program holding a line: the holder's process, from its "holding"
// line until the object goes.
class PortHolder {
public:
    explicit PortHolder(const std::string& device) {
        int toChild[2];
        int fromChild[2];
        if (::pipe(toChild) != 0 || ::pipe(fromChild) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, toChild[1]);
        posix_spawn_file_actions_addclose(&actions, fromChild[0]);
        std::string program = TESSRA_PORT_HOLDER;
        std::string path = device;
        char* argv[] = {program.data(), path.data(), nullptr};
        if (::posix_spawn(&pid_, argv[0], &actions, nullptr, argv, environ) != 0) pid_ = 0;
        posix_spawn_file_actions_destroy(&actions);
        ::close(toChild[0]);
        ::close(fromChild[1]);
        input_ = toChild[1];
        output_ = fromChild[0];
    }
    ~PortHolder() {
        if (input_ >= 0) ::close(input_);  // lets it go
        if (output_ >= 0) ::close(output_);
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    }
    // True once the holder has the line open (within two seconds).
    bool holding() const {
        pollfd p{output_, POLLIN, 0};
        char line[16] = {};
        return pid_ > 0 && ::poll(&p, 1, 2000) > 0 && ::read(output_, line, sizeof line - 1) > 0 &&
               std::string(line).starts_with("holding");
    }
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = 0;
    int input_ = -1;
    int output_ = -1;
};

class PtyLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::testApplication();
        ASSERT_TRUE(pty.ok());
        ::setenv("TESSRA_COM1", pty.path().c_str(), 1);
        ::setenv("TESSRA_COM2", "/nonexistent/tessra-port", 1);
    }

    Pty pty;
    QtSerialPort port;
    testing::FakeClock clock;
    testing::FakeOperator op;
    testing::FakeLineChoice line;
    PrinterLink link{port, clock, op, line};
};

TEST_F(PtyLinkTest, CommandArrivesWhole) {
    const Bytes selfTest{0x1D, 0x28, 0x41, 0x30, 0x30, 0x02, 0x02, 0x00};
    link.runExclusive([&] { link.Send_Data(selfTest, 7, 0); });
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(pty.drain(), selfTest);
    EXPECT_TRUE(op.messages.empty()) << "a pseudo-terminal counts as DSR asserted";
}

TEST_F(PtyLinkTest, HundredOneByteWritesAllArriveBeforeTheClose) {
    Bytes buffer(101);
    for (std::size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<std::uint8_t>(i * 7);
    link.runExclusive([&] { link.Send_Data(buffer, 100, 0); });
    EXPECT_EQ(pty.drain(), buffer);
}

TEST_F(PtyLinkTest, ChosenSpeedReachesTheLine) {
    line.speed = "57600";
    line.parity = 1;  // a pseudo-terminal cannot carry parity; the open must still succeed
    ASSERT_TRUE(link.Open_Port()) << op.statusLines.back();
    EXPECT_EQ(pty.outputSpeed(), static_cast<speed_t>(B57600));
    link.closePort();
    line.speed = "2400";
    ASSERT_TRUE(link.Open_Port());
    EXPECT_EQ(pty.outputSpeed(), static_cast<speed_t>(B2400));
}

TEST_F(PtyLinkTest, InputWaitingBeforeTheOpenIsDiscarded) {
    pty.send({0x3F, 0xAE, 0x5A});  // a late reply to an earlier request
    ASSERT_TRUE(link.Open_Port());
    EXPECT_EQ(port.bytesWaiting(), 0);
    pty.send({0x00, 0x02, 0x01, 0x00});
    EXPECT_TRUE(link.waitForReply(4, std::chrono::milliseconds(500)));
    EXPECT_EQ(port.readAll(), (Bytes{0x00, 0x02, 0x01, 0x00}));
}

TEST_F(PtyLinkTest, ReplyIsSeenWithoutAnEventLoop) {
    ASSERT_TRUE(link.Open_Port());
    ASSERT_TRUE(link.write(Bytes{0x01, 0x39, 0x36, 0x02, 0x30}));
    EXPECT_EQ(pty.drain(), (Bytes{0x01, 0x39, 0x36, 0x02, 0x30}));
    pty.send({0x00, 0x02, 0x01, 0x00, 0x99, 0x98});
    ASSERT_TRUE(link.waitForReply(4, std::chrono::milliseconds(500)));
    EXPECT_EQ(port.readAll().size(), 6u);
}

TEST_F(PtyLinkTest, WaitForInputSleepsUntilABytesArrivesOrTheLimit) {
    using namespace std::chrono_literals;
    const auto took = [&](std::chrono::milliseconds limit) {
        const auto began = std::chrono::steady_clock::now();
        port.waitForInput(limit);
        return std::chrono::steady_clock::now() - began;
    };
    ASSERT_TRUE(link.Open_Port());
    EXPECT_GE(took(100ms), 95ms);
    pty.send({0x07});
    EXPECT_LT(took(2000ms), 500ms);
    EXPECT_EQ(port.bytesWaiting(), 1);
    link.closePort();
    EXPECT_LT(took(2000ms), 500ms) << "a closed port does not wait";
}

TEST_F(PtyLinkTest, PortHeldByAnotherProgramIsAPortErrorThatNamesIt) {
    {
        PortHolder other(pty.path());
        ASSERT_TRUE(other.holding());
        link.runExclusive([&] { link.Send_Data(Bytes{0x0A, 0x00}, 1, 0); });
        EXPECT_EQ(op.messageTexts(), std::vector<std::string>{"Port Error"});
        ASSERT_FALSE(op.statusLines.empty());
        EXPECT_EQ(port.lastFailure(), PortFailure::Busy);
        // This test has the master side: it is the printer, not a competitor.
        const std::string advice = "To fix: " + pty.path() +
                                   " is held by tessra_port_holder (pid " +
                                   std::to_string(other.pid()) + "); close it";
        EXPECT_NE(op.statusLines.back().find(advice), std::string::npos) << op.statusLines.back();
        EXPECT_FALSE(port.isOpen());
    }
    EXPECT_TRUE(pty.drain(50).empty());
    EXPECT_TRUE(link.Open_Port()) << "free again once the other program let go";
}

TEST_F(PtyLinkTest, MissingDeviceIsAPortError) {
    line.port = 1;
    link.runExclusive([&] { link.Send_Data(Bytes{0x0A, 0x00}, 1, 0); });
    EXPECT_EQ(op.messageTexts(), std::vector<std::string>{"Port Error"});
    EXPECT_NE(op.statusLines.back().find("COM2 (/nonexistent/tessra-port): "), std::string::npos);
}

TEST_F(PtyLinkTest, DefaultDeviceNames) {
    ::unsetenv("TESSRA_COM7");
    EXPECT_EQ(port.deviceName(7), "/dev/ttyS6");
    EXPECT_EQ(port.deviceName(1), pty.path());
}

TEST_F(PtyLinkTest, AGivenDeviceWinsOverTheEnvironmentAndIsOpened) {
    port.useDevice(2, pty.path());  // TESSRA_COM2 names a missing device
    EXPECT_EQ(port.deviceName(2), pty.path());
    line.port = 1;
    link.runExclusive([&] { link.Send_Data(Bytes{0x0A, 0x00}, 1, 0); });
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(pty.drain(50), (Bytes{0x0A, 0x00}));
}

}  // namespace
}  // namespace tessra
