// Closing the window during a MAC load, a customer code read or a MAC save
// against a silent printer: the work under way ends whole, no box appears,
// the port is closed and the window closes once the click has returned.
#include "IdentityFixture.h"

namespace tessra::testing {
namespace {

class CloseDuringIdentity;

struct Case {
    const char* what;
    void (*click)(CloseDuringIdentity&);
    std::vector<Bytes> wire;  // per opening
};

class CloseDuringIdentity : public IdentityFixture, public ::testing::WithParamInterface<Case> {
public:
    static void loadMac(CloseDuringIdentity& t) { t.mac.Command12_Click(); }
    static void readCode(CloseDuringIdentity& t) { t.code.Command20_Click(0); }
    static void saveMac(CloseDuringIdentity& t) {
        t.setAddress(0x00, 0x12, 0xAB);
        t.macView.checked = true;
        t.op.answers = {"Kovak"};
        t.mac.Command13_Click();
    }
};

TEST_P(CloseDuringIdentity, EndsTheWorkUnderWayAndShowsNoBox) {
    port.dsrAsserted = false;  // a save's DSR waits would each time out
    op.closeAtPoll = 2;        // in the reply wait, or in the save's first DSR wait
    SCOPED_TRACE(GetParam().what);
    GetParam().click(*this);
    EXPECT_EQ(port.bytesPerOpening(), GetParam().wire);
    EXPECT_TRUE(op.messages.empty()) << op.messages.front().text;
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(op.windowClosed);
}

const Bytes kMacRead{0x01, 0x39, 0x36, 0x02, 0x36};
const Bytes kCodeRead{0x01, 0x39, 0x36, 0x02, 0x24, 0x00};
INSTANTIATE_TEST_SUITE_P(
    Clicks, CloseDuringIdentity,
    ::testing::Values(Case{"MAC load", &CloseDuringIdentity::loadMac, {kMacRead}},
                      Case{"customer code read", &CloseDuringIdentity::readCode, {kCodeRead}},
                      Case{"MAC save: all three parts still go",
                           &CloseDuringIdentity::saveMac,
                           {{0x01, 0x39, 0x36, 0x02, 0x37, 0x00},
                            {'K', 'o', 'v', 'a', 'k', 0x00, 0x00},
                            {0x0A, 0x5C, 0x3E, 0x00, 0x12, 0xAB, 0x00, 0x00}}}),
    [](const auto& info) { return std::to_string(info.index); });

}  // namespace
}  // namespace tessra::testing
