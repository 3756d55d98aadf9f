// Every MAC Address Save of the window lands in the ledger; the save never
// depends on it.
#include <QScrollBar>
#include <QTemporaryDir>

#include "WindowFixture.h"
#include "app/MacSaveLedger.h"

namespace tessra::testing {
namespace {

constexpr ledger::Mac kSaved = 0x0A5C'3E01'02FE;

class MacSaveLedgerTest : public WindowTest {
protected:
    QTemporaryDir dir;
    QString location = dir.filePath("ledger.sqlite");

    void attach(const QString& where) {
        recorder =
            std::make_unique<app::MacSaveLedger>(form->macFrame(), form->lineChoice(), op, where);
    }
    void save() {
        form->VScroll[1]->setValue(0x01);
        form->VScroll[2]->setValue(0x02);
        form->VScroll[3]->setValue(0xFE);
        op.answers = {"Kovak"};
        form->Command13_Click();
    }
    std::unique_ptr<ledger::Ledger> openLedger() const {
        auto opened = ledger::Ledger::open(location);
        EXPECT_TRUE(opened.ok()) << opened.error.toStdString();
        return std::move(*opened);
    }
    // The save's three commands went out whatever the ledger did.
    void expectSaveSent() const {
        ASSERT_EQ(port.openings.size(), 3u);
        EXPECT_EQ(port.openings[2].bytes(),
                  (Bytes{0x0A, 0x5C, 0x3E, 0x01, 0x02, 0xFE, 0x00, 0x00}));
        EXPECT_TRUE(op.messages.empty());
    }

    std::unique_ptr<app::MacSaveLedger> recorder;
};

TEST_F(MacSaveLedgerTest, ASaveIsRecordedAsWrittenWithItsPort) {
    attach(location);
    save();
    expectSaveSent();
    EXPECT_EQ(op.statusLines.back(), "0A:5C:3E:01:02:FE recorded as written in the ledger");
    const auto record = openLedger()->find(kSaved);
    ASSERT_TRUE(record.ok() && *record);
    EXPECT_EQ((*record)->state, ledger::MacState::Written);
    EXPECT_EQ((*record)->port, "COM1");
}

TEST_F(MacSaveLedgerTest, AnAddressAlreadyHeldIsSavedAndTheStatusSaysWhenAndWhere) {
    {
        ledger::Stamp elsewhere{"line-2", "COM4", std::nullopt};
        ASSERT_TRUE(openLedger()->mark(kSaved, ledger::MacState::Verified, elsewhere).ok());
    }
    attach(location);
    save();
    expectSaveSent();
    const std::string status = op.statusLines.back();
    EXPECT_TRUE(status.starts_with("0A:5C:3E:01:02:FE was already in the ledger (verified 2"))
        << status;
    EXPECT_NE(status.find(" on station line-2, port COM4); recorded as written again"),
              std::string::npos)
        << status;
}

TEST_F(MacSaveLedgerTest, AnUnreachableLedgerLeavesTheSaveAsItIs) {
    QFile plain(dir.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    attach(dir.filePath("plain/ledger.sqlite"));  // no folder can be made there
    save();
    expectSaveSent();
    EXPECT_TRUE(op.statusLines.back().starts_with("The ledger was not updated: "))
        << op.statusLines.back();
}

}  // namespace
}  // namespace tessra::testing
