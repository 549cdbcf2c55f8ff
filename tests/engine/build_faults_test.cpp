// Every statement of a small build, refresh and combined run fails in turn
// (the test connection's FailAt(k)); afterwards the database holds either what it held before or
// a complete result of the steps that went on: never half a run, never a
// half-done deletion or refresh.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "payroll/diagnostics.h"
#include "payroll/host.h"
#include "platform/db/connection.h"
#include "support/build_fixture.h"

namespace {

using payroll::db::Connection;
using payroll::testing::TestConnection;
using namespace payroll::testing;
using Snapshot = std::vector<std::string>;

class BuildFaultsTest : public DatabaseFixture {
  protected:
    // A fresh database with the company, the run, three employees (one a
    // leaver of the month) and rows the run already has.
    void FreshWorld() {
        ASSERT_NO_FATAL_FAILURE(FreshDatabase());
        SeedCompany();
        SeedRunCalendar(run_);
        EmployeeSeed a, b, gone;
        a.emp = "A";
        b.emp = "B";
        b.htyp = "002";
        gone.emp = "GONE";
        gone.retire = "20020101";
        SeedEmployees("1000", {a, b, gone});
        for (const char* emp : {"A", "GONE"})
            for (const char* t : {"HPITMPD", "HPOMPPD"})
                SeedExec(std::string("INSERT INTO ") + t +
                         " (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PYDD_FG, PAY_CD, PAY_AM, "
                         "DEPT_CD) VALUES ('1000', '200203', 1, '001', '" +
                         emp + "', 'P2', 'P00', 10, 'OLD')");
        for (const char* t : {"HPITMDD", "HPOMPDD"})
            SeedExec(std::string("INSERT INTO ") + t +
                     " (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PYDD_FG, DDCT_CD, DDCT_AM) VALUES "
                     "('1000', '200203', 1, '001', 'GONE', 'P3', 'S00', 1)");
        SeedExec(
            "INSERT INTO HPOMNPY (CO_CD, EMP_CD, RVRS_YM, SQ, PYTP_FG) VALUES ('1000', "
            "'GONE', '200203', 1, '001')");
        engine_ = std::make_unique<CSalaryCalcurate>();
        HPHONPD_YMD_FMT key = SeedKey(run_, "001");
        ASSERT_EQ(engine_->init(&key), 1);
    }

    // Runs `road` on a fresh world, failing text k (0: none); the texts
    // sent, the road's result and the database afterwards.
    template <typename Road>
    int RunWithFault(long k, Road road, Snapshot* after, std::vector<std::string>* texts) {
        FreshWorld();
        if (texts) {
            texts->clear();
            TestConnection::Current()->SetRecorder(
                [texts](std::string_view t) { texts->emplace_back(t); });
        }
        if (k > 0) FailAt(k);
        const int result = road(*engine_);
        TestConnection::Current()->SetRecorder(nullptr);
        FailAt(0);
        EXPECT_EQ(Connection::Current()->depth(), 0) << "a transaction was left open at " << k;
        *after = WrittenTablesSnapshot();
        return result;
    }

    Snapshot Before() {
        FreshWorld();
        return WrittenTablesSnapshot();
    }

    ScopedRegistry registry_{""};
    SeedRun run_;
    std::unique_ptr<CSalaryCalcurate> engine_;
};

int Build(CSalaryCalcurate& e) {
    return e._GetSalaryPepleList(1);
}
int Refresh(CSalaryCalcurate& e) {
    // The refresh reports its own outcome only through the database.
    e.GetSempDataUpdate__(0);
    return payroll::LastTransactionOutcome() == payroll::TransactionOutcome::kCommitted ? 1 : 0;
}

TEST_F(BuildFaultsTest, AFailedBuildLeavesTheDatabaseAsItWas) {
    const Snapshot before = Before();
    Snapshot done;
    std::vector<std::string> texts;
    ASSERT_EQ(RunWithFault(0, Build, &done, &texts), 1);
    ASSERT_NE(done, before);
    ASSERT_GT(texts.size(), 8u);
    for (long k = 1; k <= static_cast<long>(texts.size()); ++k) {
        Snapshot after;
        const int result = RunWithFault(k, Build, &after, nullptr);
        // Every statement of the build matters: its failure fails the build,
        // and the build then leaves nothing behind.
        EXPECT_EQ(result, 0) << "text " << k << ": " << texts[k - 1].substr(0, 120);
        EXPECT_EQ(after, before) << "text " << k << ": " << texts[k - 1].substr(0, 120);
        EXPECT_NE(payroll::LastTransactionOutcome(), payroll::TransactionOutcome::kCommitted);
    }
    Snapshot after;
    EXPECT_EQ(RunWithFault(static_cast<long>(texts.size()) + 1, Build, &after, nullptr), 1);
    EXPECT_EQ(after, done);
}

TEST_F(BuildFaultsTest, ARefreshIsNeverLeftHalfDone) {
    const Snapshot before = Before();
    // The leaver removal alone, and the whole refresh.
    FreshWorld();
    engine_->m_nTableSet = 0;
    ASSERT_EQ(engine_->FileterSempData(), 1);
    const Snapshot deleted = WrittenTablesSnapshot();
    Snapshot whole;
    std::vector<std::string> texts;
    ASSERT_EQ(RunWithFault(0, Refresh, &whole, &texts), 1);
    // The refresh alone: the same world where GONE has not left.
    FreshWorld();
    SeedExec("UPDATE SEMP SET RTR_DT=NULL WHERE EMP_CD='GONE'");
    engine_->GetSempDataUpdate__(0);
    const Snapshot refreshed = WrittenTablesSnapshot();
    ASSERT_NE(deleted, before);
    ASSERT_NE(refreshed, before);
    ASSERT_NE(whole, deleted);

    bool after_delete = false;
    for (long k = 1; k <= static_cast<long>(texts.size()); ++k) {
        const std::string& text = texts[k - 1];
        Snapshot after;
        RunWithFault(k, Refresh, &after, nullptr);
        // Up to and with the deletion, the filter fails and the refresh goes
        // on without it; after it, the refresh rolls back and the deletion,
        // run whole before, stays.
        EXPECT_EQ(after, after_delete ? deleted : refreshed)
            << "text " << k << ": " << text.substr(0, 120);
        if (text.rfind("DELETE FROM HPITMPD", 0) == 0) after_delete = true;
    }
    EXPECT_TRUE(after_delete);
}

TEST_F(BuildFaultsTest, CombinedRunsKeepEachPassAndTheRemovalWhole) {
    run_.combined = "001";
    run_.pay_types = {"001", "002"};
    run_.extra_types = {{"002", "002"}};
    auto road = [](CSalaryCalcurate& e) {
        e.GetSempDataUpdate__(1);
        return e._GetSalaryPepleList(1);
    };
    // What a pass or the removal writes, per table: all of it or none.
    const struct Part {
        const char* what;
        std::vector<std::pair<const char*, const char*>> rows;  // table, condition
    } parts[] = {
        {"pass 001",
         {{"HPOMPPD", "EMP_CD='A' AND PYTP_FG='001' AND PAY_CD='P10'"},
          {"HPOMPDD", "EMP_CD='A' AND PYTP_FG='001'"}}},
        {"pass 002", {{"HPOMPPD", "PYTP_FG='002'"}}},
        {"removal", {{"HPOMPPD", "EMP_CD='GONE'"}, {"HPOMNPY", "EMP_CD='GONE'"}}},
    };
    Snapshot done;
    std::vector<std::string> texts;
    ASSERT_EQ(RunWithFault(0, road, &done, &texts), 1);
    ASSERT_EQ(SeedCount("HPOMPPD", "EMP_CD='GONE'"), 0);
    std::vector<std::vector<long>> full;
    for (const Part& p : parts) {
        full.emplace_back();
        for (const auto& [table, where] : p.rows) full.back().push_back(SeedCount(table, where));
    }
    FreshWorld();
    std::vector<std::vector<long>> empty;
    for (const Part& p : parts) {
        empty.emplace_back();
        for (const auto& [table, where] : p.rows) empty.back().push_back(SeedCount(table, where));
    }
    for (long k = 1; k <= static_cast<long>(texts.size()); ++k) {
        Snapshot after;
        RunWithFault(k, road, &after, nullptr);
        for (std::size_t i = 0; i < std::size(parts); ++i) {
            std::vector<long> now;
            for (const auto& [table, where] : parts[i].rows) now.push_back(SeedCount(table, where));
            EXPECT_TRUE(now == full[i] || now == empty[i])
                << parts[i].what << " half done at text " << k << ": "
                << texts[k - 1].substr(0, 120);
        }
    }
}

TEST_F(BuildFaultsTest, LeaverDeletionFailingHalfWayRemovesNothing) {
    FreshWorld();
    // The third of the five deletions fails inside the database.
    std::string error;
    ASSERT_TRUE(RefuseWrites("HPOMPPD", "DELETE", "", "refused", &error)) << error;
    const Snapshot before = WrittenTablesSnapshot();
    engine_->m_nTableSet = 0;
    EXPECT_EQ(engine_->FileterSempData(), 0);
    EXPECT_EQ(WrittenTablesSnapshot(), before);
    EXPECT_EQ(SeedCount("HPITMPD", "EMP_CD='GONE'"), 1);
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages().back(), "FileterSempData_DELETE error");
    EXPECT_EQ(payroll::LastEngineFailure().step, "FileterSempData_DELETE error");
}

TEST_F(BuildFaultsTest, AFailedLaterBatchTakesTheEarlierOnesWithIt) {
    FreshWorld();
    SeedEmployees("1000", NumberedEmployees(700));
    std::vector<std::string> texts;
    TestConnection::Current()->SetRecorder([&texts](std::string_view t) { texts.emplace_back(t); });
    const Snapshot before = WrittenTablesSnapshot();
    // Find the second pay batch in a build that is then undone.
    ASSERT_EQ(engine_->Load_SEMP(1), 1);
    ASSERT_EQ(engine_->Load_HPHPOYM(), 1);
    texts.clear();
    FailAt(0);
    long second = 0, batches = 0;
    {
        // Count how many texts the insert step sends before its second batch.
        ASSERT_EQ(engine_->SetAllSempInsert(), 1);
        for (std::size_t i = 0; i < texts.size(); ++i)
            if (texts[i].rfind("INSERT INTO HPITMPD", 0) == 0 && ++batches == 2)
                second = static_cast<long>(i) + 1;
    }
    ASSERT_EQ(batches, 2);
    // Again from the start, failing that batch.
    FreshWorld();
    SeedEmployees("1000", NumberedEmployees(700));
    engine_->m_nTableSet = 0;
    ASSERT_EQ(engine_->Load_SEMP(1), 1);
    ASSERT_EQ(engine_->Load_HPHPOYM(), 1);
    FailAt(second);
    EXPECT_EQ(engine_->SetAllSempInsert(), 0);
    TestConnection::Current()->SetRecorder(nullptr);
    EXPECT_EQ(WrittenTablesSnapshot(), before);
    EXPECT_EQ(Connection::Current()->depth(), 0);
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages().back(), "All_InsertData error");
}

}  // namespace
