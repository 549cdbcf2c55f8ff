// The build road as hosts run it: every pass of a combined run, its refresh
// and the closing removal of its leavers commit as one, and a failure
// anywhere, the commit included, leaves every table as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "payroll/host.h"
#include "payroll/roads.h"
#include "platform/db/connection.h"
#include "platform/lang/lang_util.h"
#include "support/build_fixture.h"

namespace {

using namespace payroll::testing;

// Pay types 001 and 002 paid on one date: A under both, B (type 002) under
// 002 only, C retired before the window with rows of the run.
class BuildRoadTest : public BuildFixture {
  protected:
    void SetUp() override {
        BuildFixture::SetUp();
        Seed();
    }
    void Seed() {
        run_ = SeedRun{};
        run_.combined = "001";
        run_.pay_types = {"001", "002"};
        run_.extra_types = {{"002", "002"}};
        SeedRunCalendar(run_);
        EmployeeSeed a, b, c;
        a.emp = "A";
        b.emp = "B";
        b.htyp = "002";
        c.emp = "C";
        c.retire = "20020101";
        SeedEmployees("1000", {a, b, c});
        SeedExec(
            "INSERT INTO HPOMPPD (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PAY_CD, PAY_AM) VALUES "
            "('1000', '200203', 1, '001', 'C', 'P90', 5)");
        SeedExec(
            "INSERT INTO HPOMNPY (CO_CD, EMP_CD, RVRS_YM, SQ, PYTP_FG) VALUES ('1000', 'C', "
            "'200203', 1, '001')");
        key_ = SeedKey(run_, "001");
        before_ = WrittenTablesSnapshot();
    }
    payroll::RoadResult Build() {
        payroll::BuildChoices choices;
        choices.refresh = true;
        return payroll::BuildPayRun(key_, choices);
    }
    void ExpectNothingChanged() {
        EXPECT_EQ(payroll::db::Connection::Current()->depth(), 0);
        EXPECT_EQ(WrittenTablesSnapshot(), before_);
    }
    SeedRun run_;
    std::vector<std::string> before_;
};

TEST_F(BuildRoadTest, EveryPassAndTheLeaversCommitAsOne) {
    const payroll::RoadResult r = Build();
    ASSERT_EQ(r.outcome, payroll::RoadOutcome::kCommitted) << r.reason;
    EXPECT_TRUE(r.reason.empty());
    ASSERT_EQ(r.report.passes.size(), 2u);
    EXPECT_EQ(SeedCount("HPOMPPD", "EMP_CD='C'"), 0);
    EXPECT_GT(SeedCount("HPOMPPD", "EMP_CD='B' AND PYTP_FG='002'"), 0);
    EXPECT_EQ(r.report.outcome, payroll::RoadOutcome::kCommitted);
    EXPECT_GT(r.report.Inserted(), 0);
    EXPECT_EQ(payroll::db::Connection::Current()->depth(), 0);
}

TEST_F(BuildRoadTest, AFailedClosingDeleteTakesEveryPassWithIt) {
    std::string error;
    ASSERT_TRUE(RefuseWrites("HPOMNPY", "DELETE", "", "no deletes today", &error)) << error;
    const payroll::RoadResult r = Build();
    EXPECT_EQ(r.outcome, payroll::RoadOutcome::kRolledBack);
    EXPECT_NE(r.reason.find("FileterSempData_DELETE error"), std::string::npos) << r.reason;
    EXPECT_NE(r.reason.find("no deletes today"), std::string::npos) << r.reason;
    ExpectNothingChanged();
}

TEST_F(BuildRoadTest, AFailedPassStopsTheRoadBeforeTheNextPassWrites) {
    std::string error;
    ASSERT_TRUE(RefuseWrites("HPOMPPD", "INSERT", "NEW.PYTP_FG = '001'", "no pay of 001", &error))
        << error;
    const payroll::RoadResult r = Build();
    EXPECT_EQ(r.outcome, payroll::RoadOutcome::kRolledBack);
    EXPECT_NE(r.reason.find("no pay of 001"), std::string::npos) << r.reason;
    // Pay type 002 was not built on its own after 001 rolled back.
    ExpectNothingChanged();
}

// A pass that fails rolls the road back, and the next pass then fails for
// want of the road's transaction: the road names the failure that came
// first, with its own message, not what followed from it.
TEST_F(BuildRoadTest, TheRoadNamesTheFailureThatCameFirst) {
    // Where the first pass reads its item lists, in a road that commits.
    Record();
    ASSERT_EQ(Build().outcome, payroll::RoadOutcome::kCommitted);
    const auto items = std::find_if(sent_.begin(), sent_.end(), [](const std::string& text) {
        return text.find("FROM HPHPOYM") != std::string::npos;
    });
    ASSERT_NE(items, sent_.end());
    const long k = static_cast<long>(items - sent_.begin()) + 1;
    ASSERT_NO_FATAL_FAILURE(FreshDatabase());
    SeedCompany();
    ASSERT_NO_FATAL_FAILURE(Seed());
    FailAt(k);
    const payroll::RoadResult r = Build();
    EXPECT_EQ(r.outcome, payroll::RoadOutcome::kRolledBack);
    EXPECT_EQ(r.report.failed_step, "Load_HPHPOYM error");
    EXPECT_EQ(r.report.detail, "injected fault");
    EXPECT_EQ(r.reason, "Load_HPHPOYM error: injected fault");
    ASSERT_EQ(r.report.passes.size(), 2u);
    EXPECT_FALSE(r.report.passes[1].committed);
    EXPECT_NE(r.report.passes[1].note, r.report.failed_step);
    ExpectNothingChanged();
}

// The commit itself refused: a constraint checked only when the
// transaction commits.
TEST_F(BuildRoadTest, AFailedCommitSaysSoAndKeepsNothing) {
    payroll::db::Backend& backend = payroll::db::Connection::Current()->backend();
    std::string error;
    const std::string sql =
        TestDatabaseIsPostgres()
            ? "CREATE FUNCTION refuse_commit() RETURNS trigger LANGUAGE plpgsql AS $b$ BEGIN "
              "RAISE EXCEPTION 'refused at commit'; END $b$; CREATE CONSTRAINT TRIGGER "
              "refuse_commit AFTER INSERT ON HPOMPPD DEFERRABLE INITIALLY DEFERRED FOR EACH ROW "
              "EXECUTE FUNCTION refuse_commit()"
            : "PRAGMA foreign_keys = ON; CREATE TABLE PARENT_ROW (ID INTEGER PRIMARY KEY); "
              "CREATE TABLE CHILD_ROW (PARENT INTEGER REFERENCES PARENT_ROW (ID) DEFERRABLE "
              "INITIALLY DEFERRED); CREATE TRIGGER refuse_commit AFTER INSERT ON HPOMPPD BEGIN "
              "INSERT INTO CHILD_ROW VALUES (42); END";
    ASSERT_TRUE(backend.RunNative(sql, &error)) << error;
    const payroll::RoadResult r = Build();
    EXPECT_EQ(r.outcome, payroll::RoadOutcome::kRolledBack);
    EXPECT_NE(r.reason.find("commit"), std::string::npos) << r.reason;
    EXPECT_EQ(payroll::LastTransactionOutcome(), payroll::TransactionOutcome::kRolledBack);
    // The person is told the results were not saved (language text 1203).
    const std::string shown = Messages().empty() ? "" : Messages().back().str();
    const std::string said = TheLangUtil().GetLangString(1203).str();
    EXPECT_EQ(shown.substr(0, 20), said.substr(0, 20)) << shown;
    ExpectNothingChanged();
}

TEST_F(BuildRoadTest, NobodyQualifiedChangesNothing) {
    key_.DIV_FILTER = "ZZZ";
    const payroll::RoadResult r = Build();
    EXPECT_EQ(r.outcome, payroll::RoadOutcome::kNotEnded);
    EXPECT_FALSE(r.reason.empty());
    ExpectNothingChanged();
}

}  // namespace
