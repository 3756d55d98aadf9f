#include <algorithm>

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
    bool textWritten(int box) const {
        return std::find(macView.textWrites.begin(), macView.textWrites.end(), box) !=
               macView.textWrites.end();
    }
};

TEST_F(MacSave, SendsHeaderPasswordAndAddressEachInItsOwnOpening) {
    setAddress(0x00, 0x12, 0xAB);
    save();
    ASSERT_EQ(port.openings.size(), 3u);
    EXPECT_EQ(port.bytesPerOpening(),
              (std::vector<Bytes>{kHeader, kPassword, addressBytes(0x00, 0x12, 0xAB)}));
    // Header and password go one byte per write; the address in one write.
    EXPECT_EQ(port.openings[0].writes.size(), 6u);
    EXPECT_EQ(port.openings[1].writes.size(), 7u);
    EXPECT_EQ(port.openings[2].writes, (std::vector<Bytes>{addressBytes(0x00, 0x12, 0xAB)}));
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(op.messages.empty());
    EXPECT_GE(op.maxBusyDepth, 1);
}

TEST_F(MacSave, AsksForThePasswordOncePerRun) {
    save();
    ASSERT_EQ(op.questions.size(), 1u);
    EXPECT_EQ(op.questions[0].first, "Input level1 password : ");
    EXPECT_EQ(op.questions[0].second, "Supervisor Password");
    EXPECT_TRUE(state.mblnLevel1Passed);
    mac.Command13_Click();  // no answer queued: a second question would read as cancelled
    EXPECT_EQ(op.questions.size(), 1u);
    EXPECT_EQ(port.openings.size(), 6u);
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(MacSave, WrongPasswordSendsNothingAndDoesNotAdvance) {
    setAddress(0x01, 0x02, 0x03);
    macView.checked = true;
    for (const std::string wrong : {"kovak", "Kovak ", "KOVAK", "Kova", "x"}) {
        op.messages.clear();
        save(wrong);
        EXPECT_EQ(op.messages, (std::vector<Message>{{"Invalid Level1 Password", ""}})) << wrong;
    }
    EXPECT_TRUE(port.openings.empty());
    EXPECT_FALSE(state.mblnLevel1Passed);
    EXPECT_EQ(address(), (identity::MacOctets{0x01, 0x02, 0x03}));
}

TEST_F(MacSave, TellsTheObserverEachAddressSentAndNoRefusedOne) {
    std::vector<identity::MacOctets> told;
    mac.onAddressWritten([&](identity::MacOctets written) {
        EXPECT_EQ(port.openings.size() % 3, 0u);  // after the third command
        told.push_back(written);
    });
    setAddress(0x10, 0xFF, 0xFE);
    macView.checked = true;
    save("kovak");
    save();
    save();
    save();  // refused: past the last address of the range
    EXPECT_EQ(told, (std::vector<identity::MacOctets>{{0x10, 0xFF, 0xFE}, {0x10, 0xFF, 0xFF}}));
}

TEST_F(MacSave, CancelledPasswordSendsNothingAndIsAskedAgain) {
    macView.checked = true;
    mac.Command13_Click();  // cancelled: empty text
    EXPECT_EQ(op.messages, (std::vector<Message>{{"Invalid Level1 Password", ""}}));
    EXPECT_TRUE(port.openings.empty());
    EXPECT_EQ(address(), (identity::MacOctets{0, 0, 0}));
    save();
    EXPECT_EQ(op.questions.size(), 2u);
    EXPECT_EQ(port.openings.size(), 3u);
}

// The boxes that follow an increment, and only those, are rewritten.
TEST_F(MacSave, IncrementRewritesTheBoxesTheCarryReached) {
    struct Case {
        identity::MacOctets from, to;
        std::map<int, std::string> rewritten;  // box -> text
    };
    const Case cases[] = {
        {{0x00, 0x00, 0x05}, {0x00, 0x00, 0x06}, {{6, "6"}}},
        {{0x00, 0x00, 0xFF}, {0x00, 0x01, 0x00}, {{5, "1"}, {6, "0"}}},
        {{0x0F, 0xFF, 0xFF}, {0x10, 0x00, 0x00}, {{4, "10"}, {5, "0"}, {6, "0"}}},
        // Above the maximum's 4th octet: a plain carry, no message.
        {{0x20, 0xFF, 0xFF}, {0x21, 0x00, 0x00}, {{4, "21"}, {5, "0"}, {6, "0"}}},
    };
    macView.checked = true;
    save();  // the password, once
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        setAddress(c.from.mac4, c.from.mac5, c.from.mac6);
        macView.textWrites.clear();
        port.openings.clear();
        mac.Command13_Click();
        ASSERT_EQ(port.openings.size(), 3u);
        EXPECT_EQ(port.bytesPerOpening()[2], addressBytes(c.from.mac4, c.from.mac5, c.from.mac6));
        EXPECT_EQ(address(), c.to);
        for (int box = 4; box <= 6; ++box) {
            const auto it = c.rewritten.find(box);
            EXPECT_EQ(textWritten(box), it != c.rewritten.end()) << box;
            if (it != c.rewritten.end()) {
                EXPECT_EQ(macView.texts[box], it->second) << box;
            }
        }
        EXPECT_EQ(macView.spinners,
                  (std::map<int, int>{{1, c.to.mac4}, {2, c.to.mac5}, {3, c.to.mac6}}));
        EXPECT_TRUE(op.messages.empty());
        EXPECT_TRUE(macView.checkEnabled);
    }
}

TEST_F(MacSave, UncheckedLeavesTheBoxesAlone) {
    setAddress(0x00, 0x00, 0xFF);
    macView.textWrites.clear();
    save();
    EXPECT_TRUE(macView.textWrites.empty());
    EXPECT_EQ(address(), (identity::MacOctets{0x00, 0x00, 0xFF}));
}

TEST_F(MacSave, ConsecutiveSavesWriteConsecutiveAddresses) {
    setAddress(0x00, 0x00, 0xFE);
    macView.checked = true;
    save();
    mac.Command13_Click();
    mac.Command13_Click();
    const auto sent = port.bytesPerOpening();
    ASSERT_EQ(sent.size(), 9u);
    EXPECT_EQ(sent[2], addressBytes(0x00, 0x00, 0xFE));
    EXPECT_EQ(sent[5], addressBytes(0x00, 0x00, 0xFF));
    EXPECT_EQ(sent[8], addressBytes(0x00, 0x01, 0x00));
}

TEST_F(MacSave, MaximumWritesTheLastAddressAndKeepsIt) {
    setAddress(0x10, 0xFF, 0xFF);
    macView.checked = true;
    save();
    EXPECT_EQ(port.bytesPerOpening()[2], addressBytes(0x10, 0xFF, 0xFF));
    EXPECT_EQ(op.messages, (std::vector<Message>{kMaximum}));
    EXPECT_FALSE(macView.checkEnabled);
    EXPECT_TRUE(macView.checked);
    EXPECT_EQ(address(), (identity::MacOctets{0x10, 0xFF, 0xFF}));
    EXPECT_EQ(macView.texts[4], "10");
    EXPECT_EQ(macView.texts[5], "FF");
    EXPECT_EQ(macView.texts[6], "FF");
    EXPECT_EQ(macView.spinners, (std::map<int, int>{{1, 0x10}, {2, 0xFF}, {3, 0xFF}}));
}

TEST_F(MacSave, AfterTheMaximumSavesAreRefusedUntilASpinnerMoves) {
    setAddress(0x10, 0xFF, 0xFF);
    macView.checked = true;
    save();
    op.messages.clear();
    mac.Command13_Click();
    mac.Command13_Click();
    EXPECT_EQ(port.openings.size(), 3u);
    EXPECT_EQ(op.messages, (std::vector<Message>{kMaximum, kMaximum}));

    op.messages.clear();
    macView.moveSpinner(3, 0xFE);
    mac.Command13_Click();
    ASSERT_EQ(port.openings.size(), 6u);
    EXPECT_EQ(port.bytesPerOpening()[5], addressBytes(0x10, 0xFF, 0xFE));
    EXPECT_TRUE(op.messages.empty());
    // Check1 stays checked while disabled, so the address still advances.
    EXPECT_EQ(address(), (identity::MacOctets{0x10, 0xFF, 0xFF}));

    mac.Command13_Click();
    EXPECT_EQ(port.bytesPerOpening()[8], addressBytes(0x10, 0xFF, 0xFF));
    EXPECT_EQ(op.messages, (std::vector<Message>{kMaximum}));
    mac.Command13_Click();
    EXPECT_EQ(port.openings.size(), 9u);
}

TEST_F(MacSave, LastAddressOfAllIsAMaximumToo) {
    setAddress(0xFF, 0xFF, 0xFF);
    macView.checked = true;
    save();
    EXPECT_EQ(port.bytesPerOpening()[2], addressBytes(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(op.messages, (std::vector<Message>{kMaximum}));
    EXPECT_EQ(address(), (identity::MacOctets{0xFF, 0xFF, 0xFF}));
    mac.Command13_Click();
    EXPECT_EQ(port.openings.size(), 3u);
}

TEST_F(MacSave, SpinnerMovedDuringADsrWaitChangesNeitherWriteNorIncrement) {
    setAddress(0x01, 0x02, 0x03);
    macView.checked = true;
    bool moved = false;
    op.onProcessEvents = [&] {
        if (moved) return;
        moved = true;
        macView.moveSpinner(1, 0x33);
        macView.moveSpinner(3, 0x77);
    };
    save();
    ASSERT_EQ(port.openings.size(), 3u);
    EXPECT_EQ(port.bytesPerOpening()[2], addressBytes(0x01, 0x02, 0x03));
    EXPECT_EQ(address(), (identity::MacOctets{0x01, 0x02, 0x04}));
    // The boxes and spinners show the address that now stands.
    EXPECT_EQ(macView.texts[4], "1");
    EXPECT_EQ(macView.texts[6], "4");
    EXPECT_EQ(macView.spinners, (std::map<int, int>{{1, 0x01}, {2, 0x02}, {3, 0x04}}));
}

TEST_F(MacSave, SpinnerMovedDuringADsrWaitWithoutIncrementStaysForTheNextSave) {
    setAddress(0x01, 0x02, 0x03);
    bool moved = false;
    op.onProcessEvents = [&] {
        if (moved) return;
        moved = true;
        macView.moveSpinner(2, 0x44);
    };
    save();
    EXPECT_EQ(port.bytesPerOpening()[2], addressBytes(0x01, 0x02, 0x03));
    EXPECT_EQ(address(), (identity::MacOctets{0x01, 0x44, 0x03}));
    EXPECT_EQ(macView.texts[5], "44");
}

TEST_F(MacSave, WithoutDsrEachCallTimesOutAndTheIncrementStillFollows) {
    port.dsrAsserted = false;
    setAddress(0x00, 0x00, 0x07);
    macView.checked = true;
    save();
    EXPECT_EQ(port.openings.size(), 3u);
    EXPECT_EQ(op.messageTexts(),
              std::vector<std::string>(3, "Communication Error.(5 Sec Time out)"));
    EXPECT_EQ(address(), (identity::MacOctets{0x00, 0x00, 0x08}));
}

TEST_F(MacSave, ClickOnLoadDuringTheSaveIsDropped) {
    op.onProcessEvents = [&] { mac.Command12_Click(); };
    save();
    EXPECT_EQ(port.openings.size(), 3u);
    for (const auto& o : port.openings) EXPECT_NE(o.bytes(), (Bytes{0x01, 0x39, 0x36, 0x02, 0x36}));
}

TEST_F(MacSave, SpinnerHandlersShowTheOctet) {
    macView.moveSpinner(1, 10);
    EXPECT_EQ(state.mbytMac4, 10);
    EXPECT_EQ(macView.texts[4], "A");
    macView.moveSpinner(2, 0x1F);
    EXPECT_EQ(macView.texts[5], "1F");
    macView.moveSpinner(3, 0);
    EXPECT_EQ(macView.texts[6], "00");  // unchanged value: no change event
    macView.moveSpinner(3, 255);
    macView.moveSpinner(3, 0);
    EXPECT_EQ(macView.texts[6], "0");
}

}  // namespace
}  // namespace tessra::testing
