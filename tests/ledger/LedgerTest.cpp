// The ledger on both engines, through its public interface.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <vector>

#include "ScratchLedger.h"
#include "ledger/Ledger.h"

#ifndef TESSRA_LEDGER_RESERVER
#error "TESSRA_LEDGER_RESERVER must name the ledger_reserver program"
#endif

namespace tessra::ledger {

namespace {

constexpr Mac kFirst = kDefaultRange.first;
const Stamp kStamp{QStringLiteral("bench-3"), QStringLiteral("COM2"), 17};

class LedgerTest : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override {
        if (!scratch_.problem.isEmpty()) {
            if (scratch_.problem.startsWith(QStringLiteral("TESSRA_TEST_PG_LOCATION")))
                GTEST_SKIP() << scratch_.problem.toStdString();
            FAIL() << scratch_.problem.toStdString();
        }
    }

    std::unique_ptr<Ledger> open() {
        Result<std::unique_ptr<Ledger>> opened = Ledger::open(scratch_.location());
        EXPECT_TRUE(opened.ok()) << opened.error.toStdString();
        return opened.ok() ? std::move(*opened) : nullptr;
    }

    std::vector<Mac> reserve(Ledger& ledger, int count, MacRange range = kDefaultRange) {
        std::vector<Mac> addresses;
        for (int i = 0; i < count; ++i) {
            const Result<Reservation> r = ledger.reserve(kStamp, range);
            if (!r.ok() || r->rangeFull()) break;
            addresses.push_back(*r->address);
        }
        return addresses;
    }

    ScratchLedger scratch_{GetParam()};
};

TEST_P(LedgerTest, RecordsEveryStateWithItsStamp) {
    auto ledger = open();
    ASSERT_TRUE(ledger);
    const QDateTime before = QDateTime::currentDateTimeUtc().addMSecs(-1);
    ASSERT_EQ(reserve(*ledger, 1), std::vector<Mac>{kFirst});
    const std::pair<MacState, Stamp> steps[] = {
        {MacState::Reserved, kStamp},
        {MacState::Written, {"station-2", "/dev/ttyUSB0", 200}},
        {MacState::Verified, {"station-3", QString(), std::nullopt}},
        {MacState::Failed, {QString(), "COM3", 5}},
    };
    for (const auto& [state, stamp] : steps) {
        if (state != MacState::Reserved) {
            ASSERT_TRUE(ledger->mark(kFirst, state, stamp).ok());
        }
        const auto found = ledger->find(kFirst);
        ASSERT_TRUE(found.ok() && found->has_value()) << found.error.toStdString();
        const MacRecord& record = **found;
        EXPECT_EQ(record.state, state);
        EXPECT_EQ(record.station, stamp.station);
        EXPECT_EQ(record.port, stamp.port);
        EXPECT_EQ(record.customerCode, stamp.customerCode);
        EXPECT_TRUE(record.time >= before && record.time <= QDateTime::currentDateTimeUtc());
        EXPECT_EQ(record.time.timeSpec(), Qt::UTC);
    }
    EXPECT_FALSE(ledger->mark(kFirst, MacState::Reserved, kStamp).ok());
    EXPECT_FALSE(ledger->mark(kLastMac + 1, MacState::Written, kStamp).ok());
    const auto absent = ledger->find(kFirst + 1);
    ASSERT_TRUE(absent.ok());
    EXPECT_FALSE(absent->has_value());
}

// Long enough a run of held addresses for the search to start past them. No
// address is handed out twice, not one that failed, nor after a restart.
TEST_P(LedgerTest, ReservesTheLowestNeverHeldAddressAndListsInOrder) {
    auto ledger = open();
    ASSERT_TRUE(ledger);
    // Outside any reservation, in no particular order.
    const std::set<Mac> outside{kFirst + 300, kFirst + 4, kFirst + 1, kFirst + 3};
    for (Mac a : outside) {
        const MacState state = a == kFirst + 3 ? MacState::Failed : MacState::Written;
        ASSERT_TRUE(ledger->mark(a, state, kStamp).ok());
    }
    std::vector<Mac> expected;
    for (Mac a = kFirst; a < kFirst + 304; ++a) {
        if (!outside.count(a)) expected.push_back(a);
    }
    EXPECT_EQ(reserve(*ledger, 300), expected);
    ledger = open();
    ASSERT_TRUE(ledger);
    EXPECT_EQ(reserve(*ledger, 1), std::vector<Mac>{kFirst + 304});
    EXPECT_EQ(reserve(*ledger, 1, {kFirst + 2, kDefaultRange.last}),
              std::vector<Mac>{kFirst + 305});
    EXPECT_EQ(reserve(*ledger, 1, {kFirst + 1, kFirst + 299}), std::vector<Mac>{});

    const auto listed = ledger->records();
    ASSERT_TRUE(listed.ok()) << listed.error.toStdString();
    ASSERT_EQ(listed->size(), 306);
    for (qsizetype i = 0; i < listed->size(); ++i) EXPECT_EQ((*listed)[i].address, kFirst + Mac(i));
}

TEST_P(LedgerTest, ReportsAFullRange) {
    auto ledger = open();
    ASSERT_TRUE(ledger);
    const MacRange tiny{kFirst + 10, kFirst + 12};
    ASSERT_TRUE(ledger->mark(tiny.first + 1, MacState::Written, kStamp).ok());
    EXPECT_EQ(reserve(*ledger, 5, tiny), (std::vector<Mac>{tiny.first, tiny.last}));
    const Result<Reservation> full = ledger->reserve(kStamp, tiny);
    ASSERT_TRUE(full.ok()) << full.error.toStdString();
    EXPECT_TRUE(full->rangeFull());
    // Beside the full range the lowest address is still free.
    EXPECT_EQ(reserve(*ledger, 1), std::vector<Mac>{kFirst});
}

TEST_P(LedgerTest, ExplainsAnUnreachableLedger) {
    const QString where = scratch_.unreachable();
    const auto opened = Ledger::open(where);
    ASSERT_FALSE(opened.ok());
    EXPECT_TRUE(opened.error.startsWith("cannot open the ledger") &&
                opened.error.contains(scratch_.folder()))
        << opened.error.toStdString();
}

TEST_P(LedgerTest, CreatesSchemaVersionOneAndRefusesANewerOne) {
    ASSERT_TRUE(open());
    EXPECT_EQ(scratch_.query("SELECT value FROM ledger_meta WHERE key = 'schema_version'"), "1");
    scratch_.query("UPDATE ledger_meta SET value = '2' WHERE key = 'schema_version'");
    const auto opened = Ledger::open(scratch_.location());
    ASSERT_FALSE(opened.ok());
    EXPECT_TRUE(opened.error.contains("schema version 2, newer than this program knows (1)"))
        << opened.error.toStdString();
}

// Four processes open the new ledger and reserve at the same moment.
TEST_P(LedgerTest, FourProcessesNeverGetTheSameAddress) {
    constexpr int kProcesses = 4, kEach = 100;
    const std::string command = "'" TESSRA_LEDGER_RESERVER "' '" +
                                scratch_.location().toStdString() + "' " + std::to_string(kEach);
    std::vector<FILE*> pipes;
    for (int i = 0; i < kProcesses; ++i) pipes.push_back(::popen(command.c_str(), "r"));
    std::multiset<std::string> addresses;
    for (FILE* pipe : pipes) {
        ASSERT_TRUE(pipe);
        char line[64];
        while (std::fgets(line, sizeof line, pipe))
            addresses.insert(QString(line).trimmed().toStdString());
        EXPECT_EQ(::pclose(pipe), 0);
    }
    std::multiset<std::string> lowest;
    for (Mac a = kFirst; a < kFirst + kProcesses * kEach; ++a)
        lowest.insert(macText(a).toStdString());
    EXPECT_EQ(addresses, lowest);
}

INSTANTIATE_TEST_SUITE_P(Sqlite, LedgerTest, ::testing::Values(Engine::Sqlite));
INSTANTIATE_TEST_SUITE_P(Postgres, LedgerTest, ::testing::Values(Engine::Postgres));

}  // namespace
}  // namespace tessra::ledger
