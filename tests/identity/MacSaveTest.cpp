#include <set>

#include "IdentityFixture.h"

namespace tessra::testing {
namespace {

using Message = FakeOperator::Message;

const Bytes kHeader{0x01, 0x39, 0x36, 0x02, 0x37, 0x00};
const Bytes kPassword{'K', 'o', 'v', 'a', 'k', 0x00, 0x00};
Bytes addressBytes(std::uint8_t m4, std::uint8_t m5, std::uint8_t m6) {
    return {0x0A, 0x5C, 0x3E, m4, m5, m6, 0x00, 0x00};
}
const Message kMaximum{"The maximum value has been reached.", "Project1"};

class MacSave : public IdentityFixture {
protected:
    void save(const std::string& answer = "Kovak") {
        op.answers.push_back(answer);
        mac.Command13_Click();
    }
};

TEST_F(MacSave, SendsHeaderPasswordAndAddressEachInItsOwnOpeningAndAsksThePasswordOnce) {
    setAddress(0x00, 0x12, 0xAB);
    save();
    mac.Command13_Click();  // no answer queued: a second question would read as cancelled
    const std::vector<Bytes> once{kHeader, kPassword, addressBytes(0x00, 0x12, 0xAB)};
    std::vector<Bytes> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(port.bytesPerOpening(), twice);
    // Header and password go one byte per write; the address in one write.
    EXPECT_EQ(port.openings[0].writes.size(), 6u);
    EXPECT_EQ(port.openings[1].writes.size(), 7u);
    EXPECT_EQ(port.openings[2].writes.size(), 1u);
    EXPECT_EQ(op.questions, (std::vector<std::pair<std::string, std::string>>{
                                {"Input level1 password : ", "Supervisor Password"}}));
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(address(), (identity::MacOctets{0x00, 0x12, 0xAB})) << "no increment unchecked";
}

TEST_F(MacSave, WrongOrCancelledPasswordSendsNothingAndIsAskedAgain) {
    setAddress(0x01, 0x02, 0x03);
    macView.checked = true;
    for (const std::string wrong : {"kovak", "Kovak ", "KOVAK", ""}) save(wrong);
    EXPECT_EQ(op.messages, std::vector<Message>(4, {"Invalid Level1 Password", ""}));
    EXPECT_EQ(op.questions.size(), 4u);
    EXPECT_TRUE(port.openings.empty());
    EXPECT_EQ(address(), (identity::MacOctets{0x01, 0x02, 0x03}));
}

// The boxes that the carry reached, and only those, are rewritten.
TEST_F(MacSave, IncrementRewritesTheBoxesTheCarryReached) {
    setAddress(0x00, 0x00, 0xFF);
    macView.checked = true;
    macView.textWrites.clear();
    save();
    EXPECT_EQ(port.bytesPerOpening().at(2), addressBytes(0x00, 0x00, 0xFF));
    EXPECT_EQ(address(), (identity::MacOctets{0x00, 0x01, 0x00}));
    const std::set<int> rewritten(macView.textWrites.begin(), macView.textWrites.end());
    EXPECT_EQ(rewritten, (std::set<int>{5, 6}));
    EXPECT_EQ(macView.texts[5], "1");
    EXPECT_EQ(macView.texts[6], "0");
    EXPECT_EQ(macView.spinners, (std::map<int, int>{{1, 0x00}, {2, 0x01}, {3, 0x00}}));
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(MacSave, MaximumIsWrittenOnceThenSavesAreRefusedUntilASpinnerMoves) {
    setAddress(0x10, 0xFF, 0xFF);
    macView.checked = true;
    save();
    mac.Command13_Click();
    EXPECT_EQ(port.bytesPerOpening(),
              (std::vector<Bytes>{kHeader, kPassword, addressBytes(0x10, 0xFF, 0xFF)}));
    EXPECT_EQ(op.messages, (std::vector<Message>{kMaximum, kMaximum}));
    EXPECT_FALSE(macView.checkEnabled);
    EXPECT_EQ(address(), (identity::MacOctets{0x10, 0xFF, 0xFF}));

    op.messages.clear();
    macView.setSpinner(3, 0xFE);
    // Check1 stays checked while disabled, so the address still advances.
    for (int click = 0; click < 3; ++click) mac.Command13_Click();
    const auto sent = port.bytesPerOpening();
    ASSERT_EQ(sent.size(), 9u);
    EXPECT_EQ(sent[5], addressBytes(0x10, 0xFF, 0xFE));
    EXPECT_EQ(sent[8], addressBytes(0x10, 0xFF, 0xFF));
    EXPECT_EQ(op.messages, (std::vector<Message>{kMaximum, kMaximum}));
}

TEST_F(MacSave, SpinnerMovedDuringADsrWaitChangesNeitherWriteNorIncrement) {
    setAddress(0x01, 0x02, 0x03);
    macView.checked = true;
    bool moved = false;
    op.onProcessEvents = [&] {
        if (moved) return;
        moved = true;
        macView.setSpinner(1, 0x33);
        macView.setSpinner(3, 0x77);
    };
    save();
    EXPECT_EQ(port.bytesPerOpening().at(2), addressBytes(0x01, 0x02, 0x03));
    EXPECT_EQ(address(), (identity::MacOctets{0x01, 0x02, 0x04}));
    // The boxes and spinners show the address that now stands.
    EXPECT_EQ(macView.texts[4], "1");
    EXPECT_EQ(macView.texts[6], "4");
    EXPECT_EQ(macView.spinners, (std::map<int, int>{{1, 0x01}, {2, 0x02}, {3, 0x04}}));
}

TEST_F(MacSave, CloseDuringTheSaveStillSendsAllThreePartsAndShowsNoBox) {
    port.dsrAsserted = false;
    op.closeAtPoll = 2;  // in the first part's DSR wait
    setAddress(0x00, 0x12, 0xAB);
    macView.checked = true;
    save();
    EXPECT_EQ(address(), (identity::MacOctets{0x00, 0x12, 0xAC})) << "sent, so counted";
    EXPECT_EQ(port.bytesPerOpening(),
              (std::vector<Bytes>{kHeader, kPassword, addressBytes(0x00, 0x12, 0xAB)}));
    EXPECT_TRUE(op.messages.empty());
    EXPECT_TRUE(op.windowClosed);
}

}  // namespace
}  // namespace tessra::testing
