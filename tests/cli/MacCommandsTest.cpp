// mac show, write and next with the password and the ledger.
#include <QFile>

#include "CliFixture.h"

namespace tessra::testing {
namespace {

class Mac : public CliFixture {
protected:
    Mac() { password = "Kovak"; }
    int mac(const QStringList& arguments) {
        return run(QStringList{"--line", "9600,n,8,1", "mac"} + arguments);
    }
};

TEST_F(Mac, ShowPrintsTheAddressWithColons) {
    printer.mac = {0x0A, 0x5C, 0x3E, 0x10, 0x0B, 0xFF};
    EXPECT_EQ(mac({"show"}), 0);
    EXPECT_EQ(out.str(), "0A:5C:3E:10:0B:FF\n");
}

TEST_F(Mac, WithoutAPasswordNothingIsSentNorRecorded) {
    password.reset();
    EXPECT_EQ(mac({"next"}), 2);
    EXPECT_TRUE(said("needs the level-1 password: set TESSRA_PASSWORD"));
    password = "kovak";
    EXPECT_EQ(run({"mac", "write", "0A:5C:3E:00:00:07"}), 2);  // not even the printer search
    EXPECT_TRUE(said("Invalid Level1 Password"));
    EXPECT_TRUE(port.openings.empty());
    EXPECT_FALSE(QFile::exists(ledgerPath()));
}

// A declared factory address is never handed out.
TEST_F(Mac, NextTakesTheLowestFreeAddressAndVerifiesIt) {
    EXPECT_EQ(run({"ledger", "factory", "0A:5C:3E:00:00:01"}), 0) << err.str();
    for (const std::string expected : {"0A:5C:3E:00:00:00", "0A:5C:3E:00:00:02"}) {
        EXPECT_EQ(mac({"next"}), 0) << err.str();
        EXPECT_EQ(out.str(), expected + " written and verified\n");
    }
    EXPECT_EQ(printer.mac, (Bytes{0x0A, 0x5C, 0x3E, 0x00, 0x00, 0x02}));
    EXPECT_EQ(run({"ledger", "list", "--csv"}), 0);
    const std::string listed = out.str();
    EXPECT_NE(listed.find("\n0A:5C:3E:00:00:00,verified,"), std::string::npos) << listed;
    EXPECT_NE(listed.find("\n0A:5C:3E:00:00:01,factory,"), std::string::npos) << listed;
}

TEST_F(Mac, AnUnreachableLedgerIsExitThreeBeforeAnythingIsSent) {
    QFile plain(file("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    EXPECT_EQ(run({"--ledger", file("plain/ledger.sqlite"), "mac", "next"}), 3);
    EXPECT_TRUE(said("; nothing was written to the printer"));
    EXPECT_EQ(run({"--ledger", file("plain/ledger.sqlite"), "ledger", "list"}), 3);
    EXPECT_EQ(err.str().find("printer"), std::string::npos) << err.str();
    EXPECT_TRUE(port.openings.empty());
}

}  // namespace
}  // namespace tessra::testing
