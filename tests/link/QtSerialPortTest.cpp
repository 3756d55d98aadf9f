// The real QSerialPort adapter against a pseudo-terminal whose master the
// test holds, standing in for the printer.
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "fakes/FakeClock.h"
#include "fakes/FakeLineChoice.h"
#include "fakes/FakeOperator.h"
#include "fakes/PortLocks.h"
#include "fakes/QtTestApplication.h"
#include "link/PrinterLink.h"
#include "link/QtSerialPort.h"

namespace tessra {
namespace {

// A late reply to an earlier request must not pass for the next one's, nor a
// lock a killed run left empty keep the port for half a minute.
TEST(QtSerialPortTest, InputWaitingBeforeTheOpenIsDiscardedAndAReplyIsSeenWithoutAnEventLoop) {
    testing::testApplication();
    int master = -1;
    int slave = -1;
    char name[256] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    termios raw{};
    ::tcgetattr(master, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(master, TCSANOW, &raw);
    ::setenv("TESSRA_COM1", name, 1);
    const auto send = [&](const Bytes& bytes) {
        ASSERT_EQ(::write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    };
    QtSerialPort port;
    testing::FakeClock clock;
    testing::FakeOperator op;
    testing::FakeLineChoice line;
    PrinterLink link{port, clock, op, line};

    send({0x3F, 0xAE, 0x5A});
    testing::ageEmptyPortLocks(name, 5, true);  // left by a run killed as it locked the port
    ASSERT_TRUE(link.openSelectedPort());
    EXPECT_EQ(port.bytesWaiting(), 0);
    send({0x00, 0x02, 0x01, 0x00});
    EXPECT_TRUE(link.waitForReply(4, std::chrono::milliseconds(500)));
    EXPECT_EQ(port.readAll(), (Bytes{0x00, 0x02, 0x01, 0x00}));
    link.closePort();
    ::close(master);
    ::close(slave);
}

}  // namespace
}  // namespace tessra
