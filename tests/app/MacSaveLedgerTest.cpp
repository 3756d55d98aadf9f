// Every MAC Address Save of the window lands in the ledger; the save never
// depends on it.
#include <QScrollBar>
#include <QTemporaryDir>

#include "WindowFixture.h"
#include "app/MacSaveLedger.h"

namespace tessra::testing {
namespace {

constexpr ledger::Mac kSaved = 0x0A5C'3E01'02FE;
const Bytes kSavedBytes{0x0A, 0x5C, 0x3E, 0x01, 0x02, 0xFE, 0x00, 0x00};

class MacSaveLedgerTest : public WindowTest {
protected:
    QTemporaryDir dir;
    QString location = dir.filePath("ledger.sqlite");
    std::unique_ptr<app::MacSaveLedger> recorder;

    void attach(const QString& where) {
        recorder =
            std::make_unique<app::MacSaveLedger>(form->macFrame(), form->lineChoice(), op, where);
    }
    // Saves 01 02 FE; its commands go out whatever the ledger does.
    void save() {
        form->VScroll[1]->setValue(0x01);
        form->VScroll[2]->setValue(0x02);
        form->VScroll[3]->setValue(0xFE);
        op.answers = {"Kovak"};
        form->Command13_Click();
        ASSERT_FALSE(port.openings.empty());
        EXPECT_EQ(port.openings.back().bytes(), kSavedBytes);
        EXPECT_TRUE(op.messages.empty());
    }
};

// Saving an address the ledger already holds says when and where it was used.
TEST_F(MacSaveLedgerTest, ASaveIsRecordedAsWrittenWithItsPortAndWarnsOfAnEarlierUse) {
    {
        const auto opened = ledger::Ledger::open(location);
        ASSERT_TRUE(opened.ok()) << opened.error.toStdString();
        ASSERT_TRUE(
            (*opened)->mark(kSaved, ledger::MacState::Verified, {"line-2", "COM4", {}}).ok());
    }
    attach(location);
    save();
    const std::string status = op.statusLines.back();
    EXPECT_TRUE(status.starts_with("0A:5C:3E:01:02:FE was already in the ledger (verified 2"))
        << status;
    EXPECT_TRUE(status.ends_with(" on station line-2, port COM4); recorded as written again"))
        << status;
    const auto record = (*ledger::Ledger::open(location))->find(kSaved);
    ASSERT_TRUE(record.ok() && *record);
    EXPECT_EQ((*record)->state, ledger::MacState::Written);
    EXPECT_EQ((*record)->port, "COM1");
}

TEST_F(MacSaveLedgerTest, AnUnreachableLedgerLeavesTheSaveAsItIs) {
    QFile plain(dir.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    attach(dir.filePath("plain/ledger.sqlite"));  // no folder can be made there
    save();
    EXPECT_TRUE(op.statusLines.back().starts_with("The ledger was not updated: "))
        << op.statusLines.back();
}

}  // namespace
}  // namespace tessra::testing
