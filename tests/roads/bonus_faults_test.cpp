// Fault injection over the bonus road as hosts drive it: on the demo
// company's June bonus, every statement the road sends is failed in turn.
// Either the road committed and every stored row equals a fault-free road's,
// or nothing changed and the road report names the step, the run and the
// employee.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "payroll/datasource.h"
#include "payroll/host.h"
#include "payroll/report.h"
#include "payroll/roads.h"
#include "platform/db/connection.h"
#include "support/host_program.h"
#include "support/scratch_db.h"
#include "support/test_connection.h"

namespace {

std::vector<std::string> Rows(const std::string& sql) {
    G_DataSource ds;
    EXPECT_TRUE(ds.OnExecuteSQL(CString(sql))) << sql;
    std::vector<std::string> out;
    const std::vector<std::string> columns = {"EMP_CD", "RVRS_YM", "SQ", "PYTP_FG",
                                              "CODE",   "A1",      "A2", "A3"};
    for (long r = 0; r < ds.OnGetRecordCount(); ++r) {
        std::string row;
        for (const std::string& c : columns) row += ds.OnGetFieldValue(CString(c), r).str() + "|";
        out.push_back(row);
    }
    std::sort(out.begin(), out.end());
    return out;
}

// What the bonus road writes: the summary rows and the deduction rows.
std::vector<std::string> Dump() {
    std::vector<std::string> all = Rows(
        "SELECT EMP_CD, RVRS_YM, SQ, PYTP_FG, 'S' CODE, TXST_AM A1, INTX_AM A2, RSTX_AM A3 "
        "FROM HPOMNPY");
    for (const std::string& r :
         Rows("SELECT EMP_CD, RVRS_YM, SQ, PYTP_FG, DDCT_CD CODE, DDCT_AM A1, DUMMY1 A2, '' A3 "
              "FROM HPOMPDD"))
        all.push_back(r);
    return all;
}

class BonusFaultsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::getenv("PAYROLL_TEST_DB")) GTEST_SKIP() << "runs on its own SQLite files";
        base_ = payroll::testing::TempPath("bonus_base") + ".db";
        work_ = payroll::testing::TempPath("bonus_work") + ".db";
        const payroll::testing::HostRun demo = payroll::testing::RunHost(
            {"--db", "sqlite:" + base_, "--quiet", "demo", "--employees", "6"});
        ASSERT_EQ(demo.exit_code, 0) << demo.err;
    }
    void TearDown() override {
        payroll::CloseDatabase();
        for (const std::string& p : {base_, work_}) payroll::testing::RemoveDatabaseFiles(p);
    }
    // A fresh copy of the demo database, open, with the June bonus's key.
    void Fresh() {
        payroll::CloseDatabase();
        std::filesystem::copy_file(base_, work_, std::filesystem::copy_options::overwrite_existing);
        std::string error;
        ASSERT_TRUE(payroll::testing::OpenDatabaseFile(work_, false, &error)) << error;
        std::vector<HPHONPD_YMD_FMT> keys;
        ASSERT_TRUE(payroll::BonusRunsWithResults("1000", "200206", &keys, &error)) << error;
        ASSERT_EQ(keys.size(), 1u);
        key_ = keys[0];
        // The stored bonus taxes are wiped first, so that a road that
        // commits must have written every one of them again.
        payroll::db::Connection& c = *payroll::db::Connection::Current();
        ASSERT_TRUE(
            c.Execute("UPDATE HPOMNPY SET TXST_AM=0, INTX_AM=0, RSTX_AM=0 WHERE "
                      "RVRS_YM='200206' AND SQ=2",
                      &error))
            << error;
        ASSERT_TRUE(
            c.Execute("UPDATE HPOMPDD SET DDCT_AM=0 WHERE RVRS_YM='200206' AND SQ=2", &error))
            << error;
        payroll::ResetTransactionOutcome();
        payroll::BeginRoadReport("bonus-tax");
    }
    // The road in its transaction, as the host program runs it.
    bool Road() {
        G_DataSource tx;
        if (!tx.OnBeginTrans()) return false;
        CSalaryCalcurate engine;
        if (!payroll::TaxBonusRun(engine, key_, {}, 1, nullptr)) {
            tx.OnRollbackTrans();
            return false;
        }
        return tx.OnCommitTrans();
    }
    std::string base_, work_;
    HPHONPD_YMD_FMT key_{};
};

TEST_F(BonusFaultsTest, EveryStatementFailingInTurn) {
    ASSERT_NO_FATAL_FAILURE(Fresh());
    const std::vector<std::string> before = Dump();
    std::vector<std::string> sent;
    payroll::testing::TestConnection::Current()->SetRecorder(
        [&sent](std::string_view text) { sent.emplace_back(text); });
    ASSERT_TRUE(Road());
    payroll::testing::TestConnection::Current()->SetRecorder({});
    const std::vector<std::string> reference = Dump();
    ASSERT_NE(reference, before);
    ASSERT_GT(sent.size(), 20u);
    const payroll::RoadReport clean = payroll::CurrentRoadReport();
    EXPECT_EQ(clean.outcome, payroll::RoadOutcome::kCommitted);
    EXPECT_GT(clean.employees, 0);
    EXPECT_EQ(clean.results_stored, clean.employees);

    int rolledBack = 0;
    for (std::size_t k = 1; k <= sent.size(); ++k) {
        ASSERT_NO_FATAL_FAILURE(Fresh());
        payroll::testing::TestConnection::Current()->FailAt(static_cast<long>(k));
        const bool committed = Road();
        payroll::testing::TestConnection::Current()->FailAt(0);
        const std::string what =
            "statement " + std::to_string(k) + ": " + sent[k - 1].substr(0, 80);
        const payroll::RoadReport report = payroll::CurrentRoadReport();
        if (committed) {
            EXPECT_EQ(Dump(), reference) << what;
        } else {
            ++rolledBack;
            EXPECT_EQ(Dump(), before) << what;
            EXPECT_FALSE(report.failed_step.empty()) << what;
            EXPECT_NE(report.failed_run.find("200206"), std::string::npos) << what;
            EXPECT_EQ(report.results_stored, 0) << what;
        }
    }
    // Nearly every statement serves a stored amount.
    EXPECT_GT(rolledBack, static_cast<int>(sent.size()) / 2);
}

}  // namespace
