// What the core adds to the link: failure kinds, refused arguments, the stop,
// stale input and the found block.
#include <gtest/gtest.h>

#include "fakes/FakePort.h"
#include "link/ForwardingPort.h"
#include "printer/LinkPrinter.h"

namespace tessra::testing {
namespace {

using printer::FailureKind;

struct Core : ::testing::Test {
    FakeClock clock;
    FakePort port{clock};
    bool stopping = false;
    printer::LinkPrinter printer{port, clock, 3, [this] { return stopping; }};
    Bytes block{0x00, 0x02, 0x01, 0x00};
    Core() {
        port.responder = [this](const FakePort::Opening& o, const Bytes& w) -> Bytes {
            if (o.settings != "9600,n,8,1") return {};
            if (w.size() == 5 && w[4] == 0x30) return block;
            if (w.size() == 6 && w[4] == 0x24) return {0x2A};
            return {};
        };
    }
};

TEST_F(Core, EachFailureHasItsKind) {
    port.dsrAsserted = false;
    EXPECT_EQ(printer.run("feed").failure().kind, FailureKind::NoReply);
    port.dsrAsserted = true;
    block[0] = 0x40;  // no code page
    EXPECT_EQ(printer.readBlock().failure().kind, FailureKind::ReplyRejected);
    port.failWriteAt = 0;  // the next write, counted over the port's life
    for (const auto& o : port.openings) port.failWriteAt += static_cast<int>(o.writes.size());
    EXPECT_EQ(printer.readMac().failure().kind, FailureKind::WriteFailed);
    port.failOpen = true;
    port.openFailure = PortFailure::Busy;
    const auto failed = printer.readCustomerCode();
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.failure().kind, FailureKind::PortUnavailable);
    EXPECT_EQ(failed.failure().port, PortFailure::Busy);
    EXPECT_EQ(failed.failure().device, "/dev/fake3");
    EXPECT_EQ(failed.failure().reason, port.openError);
}

TEST_F(Core, RefusedArgumentsAndAStopSendNothing) {
    const printer::MacAddress foreign{0x00, 0x11, 0x22, 0x00, 0x00, 0x01};
    const printer::MacAddress own{0x0A, 0x5C, 0x3E, 0x00, 0x00, 0x01};
    EXPECT_EQ(printer.writeMac(foreign, "Kovak").failure().kind, FailureKind::ArgumentRefused);
    EXPECT_EQ(printer.writeMac(own, "kovak").failure().kind, FailureKind::ArgumentRefused);
    EXPECT_EQ(printer.writeCustomerCode(0).failure().kind, FailureKind::ArgumentRefused);
    EXPECT_EQ(printer.run("erase-everything").failure().kind, FailureKind::ArgumentRefused);
    EXPECT_EQ(printer.setWireless(4).failure().kind, FailureKind::ArgumentRefused);
    stopping = true;
    EXPECT_EQ(printer.find().failure().kind, FailureKind::Stopped);
    EXPECT_EQ(printer.writeMac(own, "Kovak").failure().kind, FailureKind::Stopped);
    EXPECT_TRUE(port.openings.empty());
}

// The late answer of an earlier, killed run waits at the port as it opens.
struct StalePort final : ForwardingPort {
    FakePort& fake;
    explicit StalePort(FakePort& port) : ForwardingPort(port), fake(port) {}
    bool open(int portNumber) override {
        const bool opened = fake.open(portNumber);
        fake.received = {0x07};
        return opened;
    }
};

TEST_F(Core, AStaleAnswerWaitingAtTheOpenIsNotTakenForTheReply) {
    StalePort stale(port);
    printer::LinkPrinter reader(stale, clock, 1);
    EXPECT_EQ(*reader.readCustomerCode(), 0x2A);
    reader.setDrainBeforeRead(false);
    EXPECT_EQ(*reader.readCustomerCode(), 0x07);
}

TEST_F(Core, TheFoundBlockIsReadOnceThenAskedFor) {
    printer.useLine({6, 0});
    ASSERT_EQ(*printer.find(), (printer::Line{2, 0}));
    EXPECT_EQ(printer.lineSettings(), "9600,n,8,1");
    const auto openings = port.openings.size();
    EXPECT_EQ(*printer.readBlock(), (printer::SettingsBlock{0x00, 0x02, 0x01, 0x00}));
    EXPECT_EQ(port.openings.size(), openings);
    EXPECT_TRUE(printer.readBlock());
    EXPECT_EQ(port.openings.size(), openings + 1);
}

}  // namespace
}  // namespace tessra::testing
