// The build driver: a run's single pass, the rule flags of bonus runs, and
// combined runs with their passes per pay type and the closing removal of
// the leavers no pay type took on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/db/connection.h"
#include "platform/lang/lang_util.h"
#include "support/build_fixture.h"

namespace {

using namespace payroll::testing;

class BuildDriverTest : public BuildFixture {
  protected:
    SeedRun run_;
};

TEST_F(BuildDriverTest, OneRunIsOnePass) {
    SeedRunCalendar(run_);
    SeedEmployees("1000", NumberedEmployees(3));
    Bind(run_, "001");
    Record();
    ASSERT_EQ(engine_._GetSalaryPepleList(1), 1);
    EXPECT_EQ(engine_.m_nTableSet, 1);
    EXPECT_EQ(SeedCount("HPOMPPD", "PYTP_FG='001'"), 6);
    EXPECT_EQ(SeedCount("HPOMPDD", "PYTP_FG='001'"), 9);
    EXPECT_EQ(payroll::LastTransactionOutcome(), payroll::TransactionOutcome::kCommitted);
    EXPECT_EQ(Depth(), 0);
    // No pay-type list and no leaver removal for a run of one pay type.
    EXPECT_TRUE(SentWith("FROM HPHONPD").empty());
    EXPECT_TRUE(SentWith("DELETE FROM HPOMPPD").empty());
    // The existing-row lists are released at the end of the pass.
    EXPECT_FALSE(engine_.m_PAY_LIST[0].allocated());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(BuildDriverTest, BonusRunRuleFlags) {
    run_.pay_types = {"201"};
    SeedRunCalendar(run_);
    SeedExec("UPDATE HPHWTPT SET BNST_DT='20020101', BNED_DT='20020228'");
    SeedEmployees("1000", NumberedEmployees(1));
    struct Case {
        const char *combined, *retire_code, *join_code;
        int retire_strict, join_strict;
        const char* clause;
    } cases[] = {
        // Retirement rule on, join rule off: J and R are both the window's end.
        {"001", "000", "100", 1, 0, "(S.JOIN_DT<= '20020228' AND S.RTR_DT > '20020228' )"},
        {"002", "000", "000", 1, 1, "(S.JOIN_DT< '20020101' AND S.RTR_DT > '20020228' )"},
        {"002", "100", "000", 0, 1, "(S.JOIN_DT< '20020101' AND S.RTR_DT >= '20020101' )"},
        {"002", "001", "001", 0, 0, "(S.JOIN_DT<='20020228' AND S.RTR_DT >= '20020101' )"},
    };
    for (const Case& c : cases) {
        run_.combined = c.combined;
        HPHONPD_YMD_FMT key = SeedKey(run_, "201");
        key.RTCM_FG = c.retire_code;
        key.JNCM_FG = c.join_code;
        ASSERT_EQ(engine_.init(&key), 1);
        Record();
        EXPECT_EQ(engine_._GetSalaryPepleList(2), 1) << c.combined << c.retire_code;
        EXPECT_EQ(engine_.m_nRetireStrict, c.retire_strict) << c.combined << c.retire_code;
        EXPECT_EQ(engine_.m_nJoinStrict, c.join_strict) << c.combined << c.join_code;
        const std::vector<std::string> rosters = SentWith("FROM SEMP S WHERE");
        ASSERT_FALSE(rosters.empty());
        EXPECT_NE(rosters.back().find(c.clause), std::string::npos) << rosters.back();
    }
}

// Pay types 001 and 002 on one pay date; type 002 employees are paid only
// under pay type 002.
// Two runs of one month for two employee types: building the first with its
// refresh removes its own leaver from the whole month, and leaves the rows
// of the other run's employee alone, whom the first run has no window for.
TEST_F(BuildDriverTest, RefreshKeepsTheRowsOfAnotherRunsEmployeeType) {
    SeedRun office;   // SQ 1: employee type 001
    SeedRun factory;  // SQ 2: employee type 002
    factory.sq = 2;
    factory.pay_date = "20020326";
    factory.pay_types = {"002"};
    factory.types = {"002"};
    SeedRunCalendar(office);
    SeedRunCalendar(factory);
    EmployeeSeed stay, leaver, worker;
    stay.emp = "A";
    leaver.emp = "L";
    leaver.retire = "20020101";  // retired before SQ 1's window
    worker.emp = "B";
    worker.htyp = "002";
    SeedEmployees("1000", {stay, leaver, worker});
    SeedExec(
        "INSERT INTO HPOMPPD (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PYDD_FG, PAY_CD, PAY_AM) "
        "VALUES ('1000', '200203', 1, '001', 'L', 'P2', 'P00', 100)");

    Bind(factory, "002");
    ASSERT_EQ(engine_._GetSalaryPepleList(1), 1);
    const long factoryRows = SeedCount("HPOMPPD", "EMP_CD='B' AND SQ=2");
    ASSERT_GT(factoryRows, 0);

    Bind(office, "001");
    ASSERT_EQ(engine_.GetSempDataUpdate__(1), 1);
    ASSERT_EQ(engine_._GetSalaryPepleList(1), 1);
    EXPECT_EQ(SeedCount("HPOMPPD", "EMP_CD='B' AND SQ=2"), factoryRows);
    EXPECT_EQ(SeedCount("HPOMPPD", "EMP_CD='L'"), 0);
    EXPECT_GT(SeedCount("HPOMPPD", "EMP_CD='A' AND SQ=1"), 0);
}

class CombinedRunTest : public BuildDriverTest {
  protected:
    void SetUp() override {
        BuildDriverTest::SetUp();
        run_.combined = "001";
        run_.pay_types = {"001", "002"};
        run_.extra_types = {{"002", "002"}};
        SeedRunCalendar(run_);
        EmployeeSeed a, b, c;
        a.emp = "A";  // paid under pay type 001
        b.emp = "B";  // paid under pay type 002 only
        b.htyp = "002";
        c.emp = "C";  // retired before the window
        c.retire = "20020101";
        SeedEmployees("1000", {a, b, c});
        for (const char* emp : {"A", "B", "C"}) {
            SeedExec(std::string("INSERT INTO HPOMPPD (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, "
                                 "PAY_CD, PAY_AM) VALUES ('1000', '200203', 1, '001', '") +
                     emp + "', 'P90', 5)");
            SeedExec(std::string("INSERT INTO HPOMNPY (CO_CD, EMP_CD, RVRS_YM, SQ, PYTP_FG) "
                                 "VALUES ('1000', '") +
                     emp + "', '200203', 1, '001')");
        }
        Bind(run_, "001");
    }
    std::string Mark(const char* emp) {
        for (int r = 0; r < engine_.m_nLeaverCnt; ++r)
            if (engine_.m_Leaver.at(r)->EMP_CD == emp) return engine_.m_Leaver.at(r)->CHK.Str();
        return "(none)";
    }
};

TEST_F(CombinedRunTest, LeaverFoundInTheSecondPayTypeStays) {
    ASSERT_EQ(engine_.GetSempDataUpdate__(1), 1);
    // B's type has a window under the second pay type only: he is judged
    // there, and stays.
    EXPECT_NE(Mark("B"), "1");
    EXPECT_NE(Mark("B"), "(none)");
    EXPECT_EQ(Mark("C"), "1");
    Record();
    ASSERT_EQ(engine_._GetSalaryPepleList(1), 1);
    EXPECT_NE(Mark("B"), "1");
    EXPECT_EQ(Mark("C"), "1");
    EXPECT_EQ(engine_.m_HPHONPD.PYTP_FG.Str(), "002");  // the last pay type processed

    const std::vector<std::string> deletes = SentWith("DELETE FROM HPOMPPD");
    ASSERT_EQ(deletes.size(), 1u);
    EXPECT_EQ(deletes[0],
              "DELETE FROM HPOMPPD WHERE CO_CD='1000' AND RVRS_YM='200203' AND SQ=1 AND PYTP_FG "
              "IN ('001','002') AND (EMP_CD='C' ) \n "
              "DELETE FROM HPOMPDD WHERE CO_CD='1000' AND RVRS_YM='200203' AND SQ=1 AND PYTP_FG "
              "IN ('001','002') AND (EMP_CD='C' ) \n "
              "DELETE FROM HPOMNPY WHERE CO_CD='1000' AND RVRS_YM='200203' AND SQ=1 AND PYTP_FG "
              "IN ('001','002') AND (EMP_CD='C' ) \n ");
    EXPECT_EQ(SeedCount("HPOMPPD", "EMP_CD='C'"), 0);
    EXPECT_EQ(SeedCount("HPOMNPY", "EMP_CD='C'"), 0);
    EXPECT_EQ(SeedCount("HPOMNPY", "EMP_CD='B'"), 1);
    // A was built under both pay types, B under 002; statutory rows only
    // under the first.
    EXPECT_EQ(SeedCount("HPOMPPD", "EMP_CD='A' AND PYTP_FG='001' AND PAY_CD<>'P90'"), 2);
    EXPECT_EQ(SeedCount("HPOMPPD", "EMP_CD='B' AND PYTP_FG='002'"), 2);
    EXPECT_EQ(SeedCount("HPOMPPD", "EMP_CD='A' AND PYTP_FG='002'"), 2);  // type 001 is in both
    EXPECT_EQ(SeedCount("HPOMPDD", "EMP_CD='B' AND PYTP_FG='002'"), 0);
    EXPECT_EQ(SeedCount("HPOMPDD", "EMP_CD='A' AND PYTP_FG='001'"), 3);
}

TEST_F(CombinedRunTest, EmptyPayTypeInTheListIsSkipped) {
    SeedExec("INSERT INTO HPHONPD (CO_CD, RVRS_YM, SQ, PYTP_FG) VALUES ('1000', '200203', 1, '')");
    Record();
    ASSERT_EQ(engine_._GetSalaryPepleList(1), 1);
    // Two rosters, 001 and 002, each counted and read.
    EXPECT_EQ(SentWith("FROM SEMP S WHERE").size(), 4u);
    EXPECT_EQ(engine_.m_HPHONPD.PYTP_FG.Str(), "002");
    // Without a leaver list nothing is removed.
    EXPECT_TRUE(SentWith("DELETE FROM HPOMPPD").empty());
}

TEST_F(CombinedRunTest, LeaversAreKeptWhenThePayTypesCannotBeRead) {
    ASSERT_EQ(engine_.GetSempDataUpdate__(1), 1);
    FailAt(1);  // the pay-type count
    EXPECT_EQ(engine_._GetSalaryPepleList(1), 0);
    EXPECT_EQ(SeedCount("HPOMPPD", "EMP_CD='C'"), 1);
    EXPECT_EQ(SeedCount("HPOMNPY", "EMP_CD='C'"), 1);
    ASSERT_GE(Messages().size(), 2u);
    EXPECT_EQ(Messages()[0], TheLangUtil().GetLangString(1006));
}

TEST_F(CombinedRunTest, FailedPassIsNotReportedAsSuccess) {
    // Pay type 001 has no items: its pass fails, 002 is still built.
    SeedExec("DELETE FROM HPHPOYM WHERE PYTP_FG='001'");
    EXPECT_EQ(engine_._GetSalaryPepleList(1), 0);
    EXPECT_EQ(SeedCount("HPOMPPD", "PYTP_FG='002'"), 4);
    EXPECT_EQ(SeedCount("HPOMPPD", "PYTP_FG='001' AND PAY_CD<>'P90'"), 0);
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages()[0], TheLangUtil().GetLangString(1004));
}

TEST_F(BuildDriverTest, RunWithoutItemsWritesNothingAndEndsItsTransaction) {
    SeedRunCalendar(run_);
    SeedEmployees("1000", NumberedEmployees(2));
    SeedExec("DELETE FROM HPHPOYM");
    Bind(run_, "001");
    payroll::ResetTransactionOutcome();
    EXPECT_EQ(engine_._GetSalaryPepleList(1), 0);
    EXPECT_EQ(Depth(), 0);
    EXPECT_EQ(payroll::LastTransactionOutcome(), payroll::TransactionOutcome::kRolledBack);
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages().back(), TheLangUtil().GetLangString(1004));
    EXPECT_EQ(SeedCount("HPOMPPD", ""), 0);
    // The next build is not nested in a transaction left open.
    SeedExec(
        "INSERT INTO HPHPOYM (CO_CD, RVRS_YM, SQ, PYTP_FG, PYDD_FG, PYDD_CD) VALUES "
        "('1000', '200203', 1, '001', 'P2', 'P00') INSERT INTO HPHPOYM (CO_CD, RVRS_YM, SQ, "
        "PYTP_FG, PYDD_FG, PYDD_CD) VALUES ('1000', '200203', 1, '001', 'P3', 'S00')");
    EXPECT_EQ(engine_._GetSalaryPepleList(1), 1);
    EXPECT_EQ(payroll::LastTransactionOutcome(), payroll::TransactionOutcome::kCommitted);
    EXPECT_EQ(SeedCount("HPOMPPD", ""), 2);
}

TEST_F(BuildDriverTest, BadInputIsRefusedWithoutWriting) {
    SeedRunCalendar(run_);
    SeedEmployees("1000", NumberedEmployees(2));
    Bind(run_, "001");
    Record();
    EXPECT_EQ(engine_._GetSalaryPepleList(5), 0);  // no such table set
    EXPECT_TRUE(sent_.empty());
    engine_.m_HPHONPD.RVRS_YM = "2002031";  // a month of the wrong length
    EXPECT_EQ(engine_._GetSalaryPepleList(1), 0);
    EXPECT_EQ(engine_.GetSalaryPepleList(), 0);
    EXPECT_TRUE(sent_.empty());
    engine_.m_HPHONPD.RVRS_YM = "200203";
    engine_.m_HPHONPD.SQ = "1 OR 1=1";  // a sequence that is no number
    EXPECT_EQ(engine_._GetSalaryPepleList(1), 0);
    EXPECT_TRUE(sent_.empty());
    EXPECT_EQ(SeedCount("HPOMPPD", ""), 0);
}

// A run's leavers are removed from that run only, judged by the rules its
// roster is built with.
class RunScopeTest : public BuildDriverTest {
  protected:
    // Rows of an employee in a run: a pay row and a result.
    void SeedRows(const char* emp, int sq, const char* pay_type) {
        const std::string values = std::string("'1000', '200203', ") + std::to_string(sq) + ", '" +
                                   pay_type + "', '" + emp + "'";
        SeedExec(
            "INSERT INTO HPOMPPD (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PYDD_FG, PAY_CD, "
            "PAY_AM) VALUES (" +
            values + ", 'P2', 'P00', 100)");
        SeedExec("INSERT INTO HPOMNPY (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, INTX_AM) VALUES (" +
                 values + ", 7)");
    }
    long Rows(const char* emp, int sq) {
        const std::string where = std::string("EMP_CD='") + emp + "' AND SQ=" + std::to_string(sq);
        return SeedCount("HPOMPPD", where) + SeedCount("HPOMNPY", where);
    }
};

TEST_F(RunScopeTest, BonusRefreshLeavesTheSalaryRunsRowsAlone) {
    SeedRun salary;  // SQ 1, window 20020225-20020324
    SeedRun bonus;
    bonus.sq = 2;
    bonus.pay_date = "20020328";
    bonus.pay_types = {"201"};
    SeedRunCalendar(salary);
    SeedExec("DELETE FROM HHFAACC");  // each run seeds the cut-off of type 001
    SeedRunCalendar(bonus);
    SeedExec("UPDATE HPHWTPT SET BNST_DT='20020101', BNED_DT='20020331' WHERE SQ=2");
    EmployeeSeed stay, retired;
    stay.emp = "A";
    retired.emp = "R";
    retired.retire = "20020320";  // paid his salary; a leaver of the bonus's strict rule
    SeedEmployees("1000", {stay, retired});
    for (const char* emp : {"A", "R"}) {
        SeedRows(emp, 1, "001");
        SeedRows(emp, 2, "201");
    }
    key_ = SeedKey(bonus, "201");
    key_.RTCM_FG = "000";
    ASSERT_EQ(engine_.init(&key_), 1);
    ASSERT_EQ(engine_.GetSempDataUpdate__(1), 1);
    EXPECT_EQ(Rows("R", 2), 0);  // his bonus rows go
    EXPECT_EQ(Rows("R", 1), 2);  // his salary rows and result stay
    EXPECT_EQ(Rows("A", 1), 2);
    EXPECT_EQ(Rows("A", 2), 2);
    // The same rule builds the bonus's roster: he is no member of it either.
    ASSERT_EQ(engine_._GetSalaryPepleList(1), 1);
    EXPECT_EQ(Rows("R", 2), 0);
    EXPECT_EQ(Rows("R", 1), 2);
}

TEST_F(RunScopeTest, StrictJoinCodeOfASalaryRunRemovesNoJoiner) {
    SeedRunCalendar(run_);
    EmployeeSeed joiner;
    joiner.emp = "J";
    joiner.join = "20020301";  // inside the window 20020225-20020324
    SeedEmployees("1000", {joiner});
    SeedRows("J", 1, "001");
    key_ = SeedKey(run_, "001");
    key_.JNCM_FG = "000";  // the strict join rule is a bonus run's
    ASSERT_EQ(engine_.init(&key_), 1);
    ASSERT_EQ(engine_.GetSempDataUpdate__(1), 1);
    EXPECT_EQ(Rows("J", 1), 2);
    EXPECT_EQ(SeedCount("HPOMPPD", "EMP_CD='J' AND PAY_AM=100"), 1);
}

TEST_F(CombinedRunTest, LeaverWithAWindowUnderTheSecondPayTypeOnlyIsRemoved) {
    EmployeeSeed d;
    d.emp = "D";
    d.htyp = "002";  // a window under pay type 002 only
    d.retire = "20020101";
    SeedEmployees("1000", {d});
    SeedExec(
        "INSERT INTO HPOMPPD (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PAY_CD, PAY_AM) VALUES "
        "('1000', '200203', 1, '002', 'D', 'P90', 5)");
    ASSERT_EQ(engine_.GetSempDataUpdate__(1), 1);
    EXPECT_EQ(Mark("D"), "1");
    ASSERT_EQ(engine_._GetSalaryPepleList(1), 1);
    EXPECT_EQ(SeedCount("HPOMPPD", "EMP_CD='D'"), 0);
    EXPECT_EQ(SeedCount("HPOMPPD", "EMP_CD='C'"), 0);
    EXPECT_GT(SeedCount("HPOMPPD", "EMP_CD='B'"), 0);
}

}  // namespace
