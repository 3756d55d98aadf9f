// MAC programming, reconciliation and unit provisioning against a fake
// printer and a scratch SQLite ledger; recipes as files.
#include <gtest/gtest.h>

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "fakes/FakePrinter.h"
#include "ledger/SqlConnection.h"
#include "provision/MacProgramming.h"
#include "provision/ProvisionFormat.h"
#include "recipe/Recipe.h"
#include "settings/SettingsFile.h"

namespace tessra::provision {
namespace {

using ledger::MacState;
using testing::FakePrinter;
using printer::FailureKind;
constexpr ledger::Mac kFirst = 0x0A5C3E001000;
constexpr printer::SettingsBlock kBlock{0x00, 0x06, 0x01, 0x00};

class ProvisionTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto opened = ledger::Ledger::open(path("ledger.sqlite"), {false, 300});
        ASSERT_TRUE(opened.ok()) << opened.error.toStdString();
        ledger_ = std::move(*opened);
        write("unit.tessra", *settings::formatSettingsFile(settings::decodeBlock(kBlock).select));
    }
    QString path(const QString& name) const { return dir_.filePath(name); }
    void write(const QString& name, const std::string& text) const {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.data(), qint64(text.size()));
    }
    recipe::RecipeResult recipe(const std::string& extra = {}) {
        write("line.recipe",
              "tessra-recipe 1\nname = line-7\nsettings = unit.tessra # here\n"
              "mac-range = 0A:5C:3E:00:10:00-0A:5C:3E:00:1F:FF\n"
              "customer-code = 42\nwireless = wifi-station\n" +
                  extra);
        return recipe::loadRecipe(path("line.recipe"));
    }
    MacState stateOf(ledger::Mac address) {
        const auto found = ledger_->find(address);
        return found.ok() && found->has_value() ? (*found)->state : MacState::Unknown;
    }

    QTemporaryDir dir_;
    std::unique_ptr<ledger::Ledger> ledger_;
    FakePrinter printer_;
};

TEST_F(ProvisionTest, RefusesABadRecipeWithFileAndLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"colour = red\n", "line.recipe:7: unknown key \"colour\""},
        {"name = again\n", "line.recipe:7: name is given again (first on line 2)"},
        {"receipt = maybe\n", "line.recipe:7: receipt must be yes or no"},
    };
    for (const auto& [extra, error] : cases)
        EXPECT_TRUE(recipe(extra).error.contains(QString::fromStdString(error)))
            << recipe(extra).error.toStdString();
    write("line.recipe", "tessra-recipe 1\nname = x\nsettings = none.tessra\n");
    EXPECT_TRUE(recipe::loadRecipe(path("line.recipe"))
                    .error.endsWith(":4: missing keys: mac-range,customer-code"));
    write("unit.tessra", "tessra-settings 1\nColour = red\n");
    EXPECT_TRUE(recipe().error.contains("unit.tessra:2: unknown group"));
}

// Defects: a port that cannot be opened used an address; a late reply was
// taken as the read-back; a failed address was written again without again.
TEST_F(ProvisionTest, ProgramsAnAddressAndRecordsEveryEnd) {
    MacRequest request;
    request.range = {kFirst, kFirst + 0xFF};
    printer_.failures["readMac"] = {FailureKind::PortUnavailable};
    EXPECT_EQ(programMac(printer_, *ledger_, request).exitCode(), 3);
    EXPECT_TRUE(ledger_->records()->isEmpty());

    printer_.lateReplies = {printer_.mac, printer_.mac};  // the probe takes the first
    const MacResult late = programMac(printer_, *ledger_, request);
    EXPECT_EQ(late.exitCode(), 0) << late.message.toStdString();
    EXPECT_EQ(late.readBack, kFirst);
    EXPECT_EQ(stateOf(kFirst), MacState::Verified);

    printer_.failures["readMac"] = {FailureKind::NoReply, FailureKind::NoReply,
                                    FailureKind::NoReply};
    printer_.calls.clear();
    request.printerAnswered = true;
    EXPECT_EQ(programMac(printer_, *ledger_, request).exitCode(), 1);
    EXPECT_EQ(stateOf(kFirst + 1), MacState::Failed);
    request.address = kFirst + 1;
    EXPECT_EQ(programMac(printer_, *ledger_, request).exitCode(), 2);
    request.again = true;
    EXPECT_EQ(programMac(printer_, *ledger_, request).exitCode(), 0);
    EXPECT_EQ(std::count(printer_.calls.begin(), printer_.calls.end(), "writeMac"), 2);
}

// Defects: written was recorded after the bytes went out, and a ledger lost
// after the write gave exit 3. The next start settles the row.
TEST_F(ProvisionTest, AWriteTheLedgerCannotRecordIsExitFourAndReconciled) {
    MacRequest request;
    request.stamp.port = "COM4";
    request.range = {kFirst, kFirst + 0xFF};
    const auto location = ledger::parseLedgerLocation(path("ledger.sqlite"));
    printer_.onWriteMac = [&] {
        EXPECT_EQ(stateOf(kFirst), MacState::Written);
        ASSERT_TRUE(ledger::openConnection(*location, "locker").ok());
        QSqlQuery lock(QSqlDatabase::database("locker", false));
        EXPECT_TRUE(lock.exec("BEGIN EXCLUSIVE"));
    };
    const MacResult lost = programMac(printer_, *ledger_, request);
    EXPECT_EQ(lost.exitCode(), 4);
    EXPECT_TRUE(lost.message.startsWith("0A:5C:3E:00:10:00 written, not recorded"));
    ledger::closeConnection("locker");
    EXPECT_EQ(stateOf(kFirst), MacState::Written);

    ASSERT_TRUE(ledger_->reserveAddress(kFirst + 5, request.stamp, false).ok());
    const ReconcileResult settled = reconcile(printer_, *ledger_, request.stamp);
    EXPECT_EQ(settled.verified, 1);
    EXPECT_EQ(settled.abandoned, 1);
    EXPECT_EQ(stateOf(kFirst), MacState::Verified);
    EXPECT_EQ(stateOf(kFirst + 5), MacState::Abandoned);
}

struct Steps : StepSink {
    void step(const StepReport& r) override { lines.push_back(stepText(r)); }
    std::vector<std::string> lines;
};

TEST_F(ProvisionTest, ProvisionsAUnitAndKeepsItsAddressTheNextTime) {
    const recipe::RecipeResult loaded = recipe();
    ASSERT_TRUE(loaded.recipe) << loaded.error.toStdString();
    const recipe::Recipe& r = *loaded.recipe;
    UnitContext context;
    context.port = "COM4";
    Steps first, second;
    const UnitSummary made = provisionUnit(printer_, r, *ledger_, context, first);
    EXPECT_EQ(made.exitCode, 0) << made.message.toStdString();
    EXPECT_EQ(printer_.block, kBlock);
    EXPECT_EQ(printer_.onLine, lineOfBlock(kBlock));
    EXPECT_EQ(printer_.code, 42);
    EXPECT_EQ(printer_.printed[3], "Recipe line-7 " + r.hash.left(8).toStdString());
    const auto row = ledger_->find(kFirst);
    ASSERT_TRUE(row.ok() && row->has_value());
    EXPECT_EQ((*row)->state, MacState::Verified);
    EXPECT_EQ((*row)->recipeHash, r.hash);
    EXPECT_EQ((*row)->customerCode, 42);

    const UnitSummary again = provisionUnit(printer_, r, *ledger_, context, second);
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(again.mac, kFirst);
    EXPECT_EQ(first.lines[4], "mac 0A:5C:3E:00:10:00 written and verified");
    EXPECT_EQ(second.lines[3], "settings unchanged");
    EXPECT_EQ(second.lines[4], "mac 0A:5C:3E:00:10:00 unchanged");
    EXPECT_EQ(ledger_->records()->size(), 1);
}

}  // namespace
}  // namespace tessra::provision
