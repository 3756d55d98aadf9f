// The ledger on both engines, through its public interface.
#include <gtest/gtest.h>
#include <signal.h>

#include <QElapsedTimer>
#include <cstdio>
#include <set>
#include <thread>
#include <vector>

#include "ScratchLedger.h"
#include "ledger/Ledger.h"
#include "ledger/SqlConnection.h"

#ifndef TESSRA_LEDGER_RESERVER
#error "TESSRA_LEDGER_RESERVER must name the ledger_reserver program"
#endif

namespace tessra::ledger {

namespace {

constexpr Mac kFirst = kDefaultRange.first;
Stamp at(QString station, QString port, std::optional<int> code = {}, QString note = {}) {
    Stamp stamp;
    stamp.station = std::move(station);
    stamp.port = std::move(port);
    stamp.customerCode = code;
    stamp.note = std::move(note);
    return stamp;
}

const Stamp kStamp = at("bench-3", "COM2", 17);

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
        {MacState::Written, at("station-2", "/dev/ttyUSB0", 200)},
        {MacState::Verified, at("station-3", {})},
        {MacState::Failed, at({}, "COM3", 5)},
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

    const auto listed = ledger->records();
    ASSERT_TRUE(listed.ok()) << listed.error.toStdString();
    ASSERT_EQ(listed->size(), 306);
    for (qsizetype i = 0; i < listed->size(); ++i) EXPECT_EQ((*listed)[i].address, kFirst + Mac(i));
    EXPECT_TRUE((*listed)[1].writtenTime.isValid() && !(*listed)[3].writtenTime.isValid());
}

TEST_P(LedgerTest, ExplainsAnUnreachableLedger) {
    const QString where = scratch_.unreachable();
    const auto opened = Ledger::open(where);
    ASSERT_FALSE(opened.ok());
    EXPECT_TRUE(opened.error.startsWith("cannot open the ledger") &&
                opened.error.contains(scratch_.folder()))
        << opened.error.toStdString();
}

// Version 1 checked the state against four names; its rows survive the move.
TEST_P(LedgerTest, MovesVersionOneUpAndRefusesANewerSchema) {
    for (const char* sql :
         {"CREATE TABLE ledger_meta (key TEXT PRIMARY KEY, value TEXT NOT NULL)",
          "INSERT INTO ledger_meta VALUES ('schema_version', '1')",
          "CREATE TABLE mac_ledger (address BIGINT PRIMARY KEY, state TEXT NOT NULL CHECK (state "
          "IN ('reserved', 'written', 'verified', 'failed')), time_utc TEXT NOT NULL, station "
          "TEXT NOT NULL, port TEXT NOT NULL, customer_code INTEGER)",
          "CREATE TABLE reserve_floor (range_first BIGINT PRIMARY KEY, held_below BIGINT NOT NULL)",
          "INSERT INTO mac_ledger VALUES (11391293456384, 'written', "
          "'2025-01-02T03:04:05.006Z', 'old', 'COM9', 7)"})
        ASSERT_FALSE(scratch_.query(sql).startsWith("error")) << sql;
    auto ledger = open();
    ASSERT_TRUE(ledger);
    EXPECT_EQ(scratch_.query("SELECT value FROM ledger_meta WHERE key = 'schema_version'"), "3");
    ASSERT_TRUE(ledger->advance(kFirst, MacState::Abandoned, at("new", {}, {}, "gone")).ok());
    const auto moved = ledger->find(kFirst);
    ASSERT_TRUE(moved.ok() && moved->has_value());
    EXPECT_EQ((*moved)->station, "new");
    EXPECT_EQ((*moved)->port, "COM9");
    EXPECT_EQ((*moved)->customerCode, 7);
    EXPECT_EQ((*moved)->note, "gone");
    ledger.reset();
    scratch_.query("UPDATE ledger_meta SET value = '4' WHERE key = 'schema_version'");
    const auto opened = Ledger::open(scratch_.location());
    ASSERT_FALSE(opened.ok());
    EXPECT_EQ(opened.fault, Fault::NewerSchema);
    EXPECT_TRUE(opened.error.contains("schema version 4, newer than this program knows (3)"))
        << opened.error.toStdString();
}

// A row moves on only from the state its writer expects; an address in any
// state is refused by address unless taken back with again.
TEST_P(LedgerTest, MovesOnlyAlongTheStateMachine) {
    auto ledger = open();
    ASSERT_TRUE(ledger);
    Stamp unit = at("s1", "COM2", 42);
    unit.recipe = "line-7";
    unit.recipeHash = "ab12";
    unit.settingsBlock = "00 02 01 00";
    const struct {
        Mac address;
        MacState to;
        Fault expected;
    } steps[] = {
        {kFirst, MacState::Verified, Fault::None},  // reconciled straight from reserved
        {kFirst, MacState::Written, Fault::Moved},  // never back
        {kFirst, MacState::Verified, Fault::None},  // more of the unit recorded
        {kFirst, MacState::Replaced, Fault::None},  // its unit moved to another address
        {kFirst + 1, MacState::Written, Fault::None},
        {kFirst + 1, MacState::Written, Fault::Moved},  // a second writer loses
        {kFirst + 1, MacState::Failed, Fault::None},
        {kFirst + 1, MacState::Abandoned, Fault::Moved},
        {kFirst + 1, MacState::Replaced, Fault::Moved},  // only what was verified
        {kFirst + 2, MacState::Failed, Fault::Moved},    // never held
    };
    ASSERT_EQ(reserve(*ledger, 2), (std::vector<Mac>{kFirst, kFirst + 1}));
    for (const auto& s : steps)
        EXPECT_EQ(ledger->advance(s.address, s.to, unit).fault, s.expected)
            << macText(s.address).toStdString() << " " << stateText(s.to).toStdString();
    for (Mac held : {kFirst, kFirst + 1}) {
        const Status refused = ledger->reserveAddress(held, unit, false);
        EXPECT_EQ(refused.fault, Fault::Held) << refused.error.toStdString();
    }
    EXPECT_TRUE(ledger->reserveAddress(kFirst + 1, kStamp, true).ok());
    const MacRecord again = ledger->find(kFirst + 1)->value();
    EXPECT_EQ(again.state, MacState::Reserved);
    EXPECT_TRUE(again.note.startsWith("again (was failed since ")) << again.note.toStdString();
    const MacRecord unitRow = ledger->find(kFirst)->value();
    EXPECT_EQ(unitRow.recipeHash + " " + unitRow.settingsBlock, "ab12 00 02 01 00");
    const auto open = ledger->unfinished({}, "bench-3", "COM2");
    ASSERT_TRUE(open.ok());
    ASSERT_EQ(open->size(), 1);
    EXPECT_EQ(open->front().address, kFirst + 1);
}

// A failed first address is skipped; a held last one makes the range full.
// A factory address is held, never taken back; a row it had keeps its state.
TEST_P(LedgerTest, HandsOutNeitherFactoryAddressesNorPastARangesEnd) {
    auto ledger = open();
    ASSERT_TRUE(ledger);
    ASSERT_TRUE(ledger->mark(kFirst, MacState::Failed, kStamp).ok());
    ASSERT_TRUE(ledger->declareFactory(kFirst, at("s", "p", {}, "seen twice")).ok());
    ASSERT_TRUE(ledger->declareFactory(kFirst + 2, at("s", "p", {}, "declared")).ok());
    EXPECT_EQ(reserve(*ledger, 3, {kFirst, kFirst + 2}), std::vector<Mac>{kFirst + 1});
    EXPECT_EQ(reserve(*ledger, 2, {kFirst + 5, kFirst + 5}), std::vector<Mac>{kFirst + 5});
    EXPECT_FALSE(ledger->freeAddress({kFirst + 5, kFirst + 5})->has_value());
    EXPECT_EQ(ledger->freeAddress(kDefaultRange)->value(), kFirst + 3);
    EXPECT_EQ(ledger->reserveAddress(kFirst + 2, kStamp, true).fault, Fault::Held);
    const MacRecord failed = ledger->find(kFirst)->value();
    EXPECT_TRUE(failed.state == MacState::Failed && failed.factory);
    EXPECT_EQ(ledger->find(kFirst + 2)->value().state, MacState::Factory);
}

// Two runs of one station name whose COM1 reaches two devices, or of two
// hosts: each settles only rows of its own device whose run has provably
// ended, never a row of a run that goes on.
TEST_P(LedgerTest, SettlesOnlyRowsOfItsDeviceWhoseRunHasEnded) {
    auto ledger = open();
    ASSERT_TRUE(ledger);
    Stamp here = at("line-1", "COM1");
    here.device = "/dev/ttyUSB0";
    ASSERT_EQ(reserve(*ledger, 1), std::vector<Mac>{kFirst});  // an unknown device
    for (Mac a = kFirst + 1; a <= kFirst + 7; ++a)
        ASSERT_TRUE(ledger->reserveAddress(a, here, false).ok());
    const qint64 parent = ::getppid();  // the run that goes on
    const struct {
        const char* set;  // what the row's owner is changed to
        bool ended;
    } rows[] = {
        {"owner_pid = owner_pid", true},                          // an earlier unit of this run
        {"owner_pid = PARENT, owner_start = STARTED", false},     // a run that goes on
        {"owner_pid = PARENT, owner_start = STARTED + 1", true},  // its number taken anew
        {"owner_boot = 'an earlier boot'", true},
        {"owner_machine = '', owner_host = ''", true},  // an older program's row, by station
        {"owner_machine = 'another host', owner_host = 'another host'", false},
        {"device = '/dev/ttyUSB1'", false},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const QString set = QString(rows[i].set)
                                .replace("PARENT", QString::number(parent))
                                .replace("STARTED", QString::number(processStart(parent)));
        ASSERT_FALSE(scratch_
                         .query("UPDATE mac_ledger SET " + set +
                                " WHERE address = " + QString::number(kFirst + 1 + i))
                         .startsWith("error"));
    }
    const auto found = ledger->unfinished(here.device, here.station, here.port);
    ASSERT_TRUE(found.ok()) << found.error.toStdString();
    ASSERT_EQ(found->size(), 5);
    for (const MacRecord& row : *found) {
        const std::size_t i = row.address - kFirst - 1;
        EXPECT_EQ(*ledger->ownerEnded(row), rows[i].ended) << rows[i].set;
    }
    EXPECT_EQ(found->front().owner, thisProcess());
    // On a shared server the lease decides: a session that holds it keeps
    // the row of the other boot.
    if (scratch_.postgres()) {
        const qint64 other = leaseKey(found->at(3).owner);
        const auto server = parseLedgerLocation(scratch_.location());
        ASSERT_TRUE(openConnection(*server, "lease").ok());
        {
            QSqlQuery lease(QSqlDatabase::database("lease", false));
            ASSERT_TRUE(
                lease.exec(QStringLiteral("SELECT pg_advisory_lock_shared(%1)").arg(other)));
            EXPECT_FALSE(*ledger->ownerEnded(found->at(3)));
            // As the session's end would, but at once rather than a moment later.
            ASSERT_TRUE(
                lease.exec(QStringLiteral("SELECT pg_advisory_unlock_shared(%1)").arg(other)));
            EXPECT_TRUE(*ledger->ownerEnded(found->at(3)));
        }
        closeConnection("lease");
    }
}

// A server that stops answering with the connection open ends the statement
// within the bound; a restarted one is reached again.
TEST_P(LedgerTest, EndsAStatementTheServerNeverAnswersAndConnectsAgain) {
    if (!scratch_.postgres()) GTEST_SKIP() << "a server's fault";
    const QString name = QStringLiteral("frozen_%1").arg(::getpid());
    auto opened = Ledger::open(scratch_.location() + "&application_name=" + name, {false, 300});
    ASSERT_TRUE(opened.ok()) << opened.error.toStdString();
    Ledger& ledger = **opened;
    const auto backend = [&] {
        return scratch_
            .query("SELECT pid FROM pg_stat_activity WHERE application_name = '" + name + "'")
            .toInt();
    };
    const int frozen = backend();
    ASSERT_GT(frozen, 0);
    ASSERT_EQ(::kill(frozen, SIGSTOP), 0);
    // Woken at the latest after 5 s even if the bound fails, or the server could not stop.
    std::jthread thaw([frozen](std::stop_token stop) {
        for (int i = 0; i < 50 && !stop.stop_requested(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ::kill(frozen, SIGCONT);
    });
    QElapsedTimer waited;
    waited.start();
    const Result<Reservation> unanswered = ledger.reserve(kStamp);
    const qint64 ms = waited.elapsed();
    thaw.request_stop();
    thaw.join();
    EXPECT_EQ(unanswered.fault, Fault::TimedOut) << unanswered.error.toStdString();
    EXPECT_GE(ms, 300 + kAnswerMarginMs);
    EXPECT_LT(ms, 300 + kAnswerMarginMs + 1000);
    ASSERT_TRUE(ledger.reconnect().ok());
    EXPECT_EQ(reserve(ledger, 1), std::vector<Mac>{kFirst});
    // A restart ends the session; the call waits until it has ended.
    scratch_.query(QStringLiteral("SELECT pg_terminate_backend(%1, 5000)").arg(backend()));
    EXPECT_FALSE(ledger.find(kFirst).ok());
    ASSERT_TRUE(ledger.reconnect().ok());
    EXPECT_EQ(reserve(ledger, 1), std::vector<Mac>{kFirst + 1});
}

// No wait outlasts the limit: a rollback-journal SQLite file or a PostgreSQL
// table locked by another connection gives TimedOut.
TEST_P(LedgerTest, GivesUpWaitingForALockInTime) {
    if (!scratch_.postgres()) {  // a new file's first open, whose journal switch needs it alone
        const auto fresh = parseLedgerLocation(scratch_.folder() + "/fresh.sqlite");
        ASSERT_TRUE(openConnection(*fresh, "fresh").ok());
        QSqlQuery lock(QSqlDatabase::database("fresh", false));
        for (const char* sql :
             {"PRAGMA journal_mode = DELETE", "BEGIN EXCLUSIVE", "CREATE TABLE t (a INTEGER)"})
            ASSERT_TRUE(lock.exec(sql)) << sql;
        QElapsedTimer waited;
        waited.start();
        EXPECT_EQ(Ledger::open(fresh->path, {false, 300}).fault, Fault::TimedOut);
        EXPECT_LT(waited.elapsed(), 1500);
        closeConnection("fresh");
    }
    ASSERT_TRUE(open());
    if (!scratch_.postgres()) {
        ASSERT_EQ(scratch_.query("PRAGMA journal_mode = DELETE").toLower(), "delete");
    }
    const auto holder = parseLedgerLocation(scratch_.location());
    ASSERT_TRUE(openConnection(*holder, "holder").ok());
    {
        QSqlQuery lock(QSqlDatabase::database("holder", false));
        for (const char* sql :
             {"BEGIN", scratch_.postgres() ? "LOCK TABLE mac_ledger IN ACCESS EXCLUSIVE MODE"
                                           : "INSERT INTO reserve_floor VALUES (1, 1)"})
            ASSERT_TRUE(lock.exec(sql)) << lock.lastError().text().toStdString();
        if (!scratch_.postgres()) {  // readers are refused only by an exclusive lock
            ASSERT_TRUE(lock.exec("PRAGMA locking_mode = EXCLUSIVE") &&
                        lock.exec("UPDATE reserve_floor SET held_below = 2"));
        }
    }
    QElapsedTimer waited;
    waited.start();
    auto opened = Ledger::open(scratch_.location(), {false, 300});
    Fault fault = opened.fault;
    if (opened.ok()) fault = (*opened)->reserve(kStamp).fault;
    EXPECT_EQ(fault, Fault::TimedOut) << opened.error.toStdString();
    EXPECT_LT(waited.elapsed(), 5000);
    closeConnection("holder");
}

// Listing needs no write access, and a state of a newer program is shown.
TEST_P(LedgerTest, ReadsOnlyAndShowsUnknownStates) {
    // Where nothing was ever recorded (a new database, an empty file) reads as empty.
    QFile file(scratch_.location());
    ASSERT_TRUE(scratch_.postgres() || file.open(QIODevice::WriteOnly));
    const auto empty = Ledger::open(scratch_.location(), kReadOnly);
    ASSERT_TRUE(empty.ok() && (*empty)->records().ok()) << empty.error.toStdString();
    EXPECT_TRUE((*empty)->records()->isEmpty());
    ASSERT_TRUE(open());
    scratch_.query(QStringLiteral("INSERT INTO mac_ledger (address, state, time_utc, station, port)"
                                  " VALUES (%1, 'retired', '', 's', 'p')")
                       .arg(kFirst));
    auto reader = Ledger::open(scratch_.location(), {true, kDefaultWaitMs});
    ASSERT_TRUE(reader.ok()) << reader.error.toStdString();
    const auto listed = (*reader)->records();
    ASSERT_TRUE(listed.ok() && listed->size() == 1) << listed.error.toStdString();
    EXPECT_EQ(listed->front().state, MacState::Unknown);
    EXPECT_EQ(listed->front().stateName, "retired");
    EXPECT_FALSE((*reader)->reserve(kStamp).ok());
}

// Runs ledger_reserver once per argument list at the same moment; every
// address printed, and each process's exit status.
std::pair<std::multiset<std::string>, std::vector<int>> race(
    const QString& location, const std::vector<std::string>& arguments) {
    std::vector<FILE*> pipes;
    for (const std::string& a : arguments) {
        const std::string command =
            "'" TESSRA_LEDGER_RESERVER "' '" + location.toStdString() + "' " + a;
        pipes.push_back(::popen(command.c_str(), "r"));
    }
    std::multiset<std::string> addresses;
    std::vector<int> statuses;
    for (FILE* pipe : pipes) {
        if (!pipe) continue;
        char line[64];
        while (std::fgets(line, sizeof line, pipe))
            addresses.insert(QString(line).trimmed().toStdString());
        statuses.push_back(::pclose(pipe));
    }
    return {addresses, statuses};
}

// Four processes open the new ledger and reserve at the same moment.
TEST_P(LedgerTest, FourProcessesNeverGetTheSameAddress) {
    constexpr int kProcesses = 4, kEach = 100;
    const auto [addresses, statuses] =
        race(scratch_.location(), std::vector<std::string>(kProcesses, std::to_string(kEach)));
    EXPECT_EQ(statuses, std::vector<int>(kProcesses, 0));
    std::multiset<std::string> lowest;
    for (Mac a = kFirst; a < kFirst + kProcesses * kEach; ++a)
        lowest.insert(macText(a).toStdString());
    EXPECT_EQ(addresses, lowest);
}

// Four processes take one address by name: one wins. Then two take the
// same addresses by name beside two taking the next free ones.
TEST_P(LedgerTest, AnAddressTakenByNameGoesToOneProcess) {
    const std::string first = macText(kFirst).toStdString();
    const auto one = race(scratch_.location(), std::vector<std::string>(4, first + " 1"));
    EXPECT_EQ(one.first, std::multiset<std::string>{first});
    const std::string named = macText(kFirst + 1).toStdString() + " 60";
    const auto mixed = race(scratch_.location(), {named, "30", named, "30"});
    EXPECT_EQ(mixed.second, std::vector<int>(4, 0));
    EXPECT_EQ(std::set<std::string>(mixed.first.begin(), mixed.first.end()).size(),
              mixed.first.size());
    // Every row the ledger holds went to exactly one process.
    auto ledger = open();
    ASSERT_TRUE(ledger);
    EXPECT_EQ(ledger->records()->size(), qsizetype(mixed.first.size()) + 1);
}

INSTANTIATE_TEST_SUITE_P(Sqlite, LedgerTest, ::testing::Values(Engine::Sqlite));
INSTANTIATE_TEST_SUITE_P(Postgres, LedgerTest, ::testing::Values(Engine::Postgres));

}  // namespace
}  // namespace tessra::ledger
