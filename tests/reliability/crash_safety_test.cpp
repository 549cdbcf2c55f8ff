// Crash safety of the roads on a database file: the host program is killed
// with SIGKILL at 20 statement texts spread over a year recalculation and
// over a 5,000-employee run build. After every kill the file must open
// cleanly, pass PRAGMA integrity_check and hold exactly the rows it held
// before the road started or exactly the rows a complete road leaves behind,
// never anything in between. A kill past the commit must find the committed
// rows: what the road reported committed survives the crash.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "payroll/datasource.h"
#include "payroll/host.h"
#include "platform/db/connection.h"
#include "support/build_fixture.h"
#include "support/scratch_db.h"
#include "tests/reliability/db_state.h"
#include "tests/reliability/host_process.h"

namespace payroll::reliability {
namespace {

constexpr int kKills = 20;

// A file copy of a closed database (its log checkpointed into the file, or
// copied with it).
void CopyDatabase(const std::string& from, const std::string& to) {
    testing::RemoveDatabaseFiles(to);
    for (const char* suffix : {"", "-wal"})
        if (std::filesystem::exists(from + suffix))
            std::filesystem::copy_file(from + suffix, to + suffix);
}

struct KillSummary {
    int survived = 0;
    int found_before = 0;
    int found_after = 0;
    long texts = 0;
};

class CrashSafetyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        PAYROLL_SKIP_ON_POSTGRES();
        base_ = TempPath("base.db");
        work_ = TempPath("work.db");
        log_ = TempPath("statements.log");
    }
    void TearDown() override {
        CloseDatabase();
        testing::RemoveDatabaseFiles(base_);
        testing::RemoveDatabaseFiles(work_);
        std::remove(log_.c_str());
    }

    // Kills the road at kKills points of its statement texts, each on a
    // fresh copy of the base database, and checks what every kill left.
    KillSummary KillRoad(const std::vector<std::string>& road) {
        KillSummary summary;
        const DbState before = ReadDbState(base_);
        EXPECT_EQ(before.integrity, "ok") << before.error;

        // A complete run: its state is the only other one allowed, and its
        // statement log says how many texts there are to kill at.
        CopyDatabase(base_, work_);
        std::remove(log_.c_str());
        const HostRun full =
            RunHost(WithDb(work_, road), Hooked({"PAYROLL_STATEMENT_LOG=" + log_}));
        EXPECT_EQ(full.exit_code, 0) << full.err;
        EXPECT_NE(LastLine(full.out).find("committed"), std::string::npos) << full.out;
        const DbState after = ReadDbState(work_);
        EXPECT_EQ(after.integrity, "ok") << after.error;
        EXPECT_FALSE(after.SameRows(before)) << "the road changed nothing: the test proves nothing";
        summary.texts = static_cast<long>(ReadStatementLog(log_).size());
        EXPECT_GE(summary.texts, kKills);
        if (::testing::Test::HasFailure()) return summary;

        bool committed_seen = false;
        for (int i = 0; i < kKills; ++i) {
            const long k = 1 + i * (summary.texts - 1) / (kKills - 1);
            CopyDatabase(base_, work_);
            const HostRun killed = RunHost(
                WithDb(work_, road), Hooked({"PAYROLL_KILL_AT_STATEMENT=" + std::to_string(k)}));
            EXPECT_EQ(killed.signal, SIGKILL) << "kill point " << k << ": " << killed.err;
            const DbState state = ReadDbState(work_);
            const bool sound = state.opened && state.integrity == "ok" && state.error.empty();
            const bool is_before = sound && state.SameRows(before);
            const bool is_after = sound && state.SameRows(after);
            EXPECT_TRUE(sound) << "kill point " << k << ": " << state.integrity << state.error;
            EXPECT_TRUE(is_before || is_after)
                << "kill point " << k << " of " << summary.texts
                << " left a state between the two; differs from the state before in: "
                << DescribeDifference(before, state)
                << "; from the state after in: " << DescribeDifference(after, state);
            // Texts only go forward: once a kill finds the work committed,
            // every later kill must find it too.
            EXPECT_FALSE(committed_seen && is_before) << "kill point " << k << " lost a commit";
            committed_seen = committed_seen || is_after;
            if (is_before || is_after) ++summary.survived;
            if (is_before) ++summary.found_before;
            if (is_after) ++summary.found_after;
        }
        return summary;
    }

    void Report(const char* road, const KillSummary& s) {
        std::printf(
            "[ crash    ] %s: %d of %d kills survived over %ld statement texts (%d found the "
            "state before, %d the committed state)\n",
            road, s.survived, kKills, s.texts, s.found_before, s.found_after);
        RecordProperty(std::string(road) + "_kills_survived", s.survived);
    }

    std::string base_, work_, log_;
};

// A year of a generated company, built, recalculated and taxed by the demo;
// its stored income and resident taxes are then put off, so that the
// recalculation has every result row to rewrite.
TEST_F(CrashSafetyTest, YearRecalculationIsAllOrNothing) {
    const HostRun demo = RunHost(WithDb(base_, {"demo", "--employees", "40", "--fresh"}), Hooked());
    ASSERT_EQ(demo.exit_code, 0) << demo.err;
    {
        std::string error;
        ASSERT_TRUE(OpenDatabase("sqlite:" + base_, &error)) << error;
        G_DirectSQL sql;
        ASSERT_TRUE(sql.OnExecuteQuery("UPDATE HPOMNPY SET INTX_AM = INTX_AM + 10, RSTX_AM = 1"))
            << LastDatabaseError();
        CloseDatabase();
    }
    const KillSummary s = KillRoad({"recalc-tax", "--company", "1000", "--year", "2002"});
    Report("recalc-tax", s);
    EXPECT_EQ(s.survived, kKills);
    // The kill points reach from the first text to the last, so both
    // outcomes occur: nothing written, and everything written.
    EXPECT_GT(s.found_before, 0);
}

// A run of 5,000 employees built into an empty pay-row table pair: one
// transaction of many insert batches.
TEST_F(CrashSafetyTest, RunBuildIsAllOrNothing) {
    {
        std::string error;
        ASSERT_TRUE(testing::OpenDatabaseFile(base_, true, &error)) << error;
        testing::SeedCompany();
        testing::SeedRun run;
        testing::SeedRunCalendar(run);
        testing::SeedEmployees("1000", testing::NumberedEmployees(5000));
        // The names the picker joins in, so that the host program finds the run.
        testing::SeedExec(
            "INSERT INTO SCTRL_D (CO_CD, CTRL_CD, CTD_CD, CTD_NM) VALUES "
            "('1000','P4','001','monthly pay'), ('1000','SC','002','separate')");
        ASSERT_FALSE(::testing::Test::HasFailure());
        CloseDatabase();
    }
    const KillSummary s = KillRoad(
        {"build-run", "--company", "1000", "--month", "200203", "--run", "1", "--table-set", "1"});
    Report("build-run", s);
    EXPECT_EQ(s.survived, kKills);
    // The build's commit follows its last statement text (the host program
    // reads its counts from the road report, not from the tables), so every
    // kill point leaves the rows of before.
    EXPECT_EQ(s.found_before, kKills);
}

// The demo's combined June run (pay types 100 and 110) built again with its
// refresh after its rows were taken out: every pass, the refresh and the
// closing deletes are one transaction, so a kill anywhere, between the
// passes too, leaves the rows of before.
TEST_F(CrashSafetyTest, CombinedRunBuildIsAllOrNothing) {
    const HostRun demo = RunHost(WithDb(base_, {"demo", "--employees", "30", "--fresh"}), Hooked());
    ASSERT_EQ(demo.exit_code, 0) << demo.err;
    {
        std::string error;
        ASSERT_TRUE(OpenDatabase("sqlite:" + base_, &error)) << error;
        G_DirectSQL sql;
        ASSERT_TRUE(sql.OnExecuteQuery(
            "DELETE FROM HPOMPPD WHERE RVRS_YM='200206' AND SQ=1 AND EMP_CD > 'E000010'; "
            "DELETE FROM HPOMPDD WHERE RVRS_YM='200206' AND SQ=1 AND EMP_CD > 'E000010'"))
            << LastDatabaseError();
        CloseDatabase();
    }
    const KillSummary s = KillRoad(
        {"build-run", "--company", "1000", "--month", "200206", "--run", "1", "--refresh"});
    Report("combined build-run", s);
    EXPECT_EQ(s.survived, kKills);
    EXPECT_EQ(s.found_before, kKills);
}

// The durability the README promises rests on these settings of every file
// connection the library opens.
TEST_F(CrashSafetyTest, FileDatabasesRunInWalModeWithFullSync) {
    std::string error;
    ASSERT_TRUE(OpenDatabase("sqlite:" + base_, &error)) << error;
    G_DataSource rows;
    ASSERT_TRUE(rows.OnExecuteSQL("SELECT journal_mode FROM pragma_journal_mode"))
        << LastDatabaseError();
    EXPECT_EQ(rows.OnGetFieldValue("journal_mode", 0), "wal");
    ASSERT_TRUE(rows.OnExecuteSQL("SELECT synchronous FROM pragma_synchronous"))
        << LastDatabaseError();
    EXPECT_EQ(rows.OnGetFieldValue("synchronous", 0), "2");  // FULL
}

}  // namespace
}  // namespace payroll::reliability
