// The roster refresh: the leaver rule at the window edges, the statements
// of the filter, the deletions by table set, the marks of a combined run,
// and the attribute refresh.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/build/refresh_text.h"
#include "engine/common/calendar.h"
#include "platform/db/catalogue/catalogue_text.h"
#include "support/build_fixture.h"

namespace {

using namespace payroll::refresh;
using namespace payroll::testing;

using payroll::catalogue::CatalogueText;

int Day(const char* text) {
    return payroll::calendar::DayNumberOfText(text);
}

TEST(LeaverRuleTest, WindowEdgesUnderBothRules) {
    const int from = Day("20100101"), to = Day("20100131"), none = Day("00000000");
    struct Case {
        const char *join, *retire;
        bool join_strict, retire_strict, leaver;
    } cases[] = {
        {"20000101", "20091231", false, false, true},   // retired before the start
        {"20000101", "20100101", false, false, false},  // retired on the start
        {"20100201", "00000000", false, false, true},   // joined after the end
        {"20100131", "00000000", false, false, false},  // joined on the end
        {"20000101", "20100131", false, true, true},    // retired on the end, strict
        {"20000101", "20100201", false, true, false},   // retired after the end, strict
        {"20100101", "00000000", true, false, true},    // joined on the start, strict
        {"20091231", "00000000", true, false, false},   // joined before the start, strict
        {"20100201", "00000000", false, true, true},    // join rule off still marks late joiners
        {"20100201", "20091231", false, false, true},   // both reasons: one mark
        {"00000000", "00000000", false, false, false},  // no dates at all
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsLeaver(Day(c.join), Day(c.retire), from, to, c.join_strict, c.retire_strict),
                  c.leaver)
            << c.join << " " << c.retire << " " << c.join_strict << c.retire_strict;
    // The rule itself, without a window, would mark every employee with a
    // real join date; the filter therefore never judges such an employee.
    EXPECT_TRUE(IsLeaver(Day("20000101"), none, none, none, false, false));
}

TEST(LeaverRuleTest, StatementsMatchTheTemplates) {
    std::string list;
    AppendEmployee(&list, "E0001");
    AppendEmployee(&list, "E0002");
    EXPECT_EQ(list, CatalogueText("leaver list"));
    // Every statement names the run's sequence and pay types: the month's
    // other runs are never part of a run's leavers.
    const std::string run = RunRowsCondition("1", {"001", "002"});
    EXPECT_EQ(run, CatalogueText("run rows"));
    EXPECT_EQ(RunRowsCondition("2", {}), " AND SQ=2 AND PYTP_FG IN ('')");
    EXPECT_EQ(LeaverDeleteText("1000", "200203", run, list, 0),
              CatalogueText("leaver deletes, table set 0"));
    EXPECT_EQ(LeaverDeleteText("1000", "200203", run, list, 1),
              CatalogueText("leaver deletes, other table sets"));
    EXPECT_EQ(LeaverDeleteText("1000", "200203", run, list, 2),
              CatalogueText("leaver deletes, other table sets"));
    EXPECT_EQ(LeaverQuery("HPITMPD ", "HPITMDD ", "1000", "200203", run),
              CatalogueText("leaver filter"));
    EXPECT_EQ(LeaverQuery("HPOMPPD ", "HPOMPDD ", "1000", "200203", run),
              CatalogueText("leaver filter, table set 1"));

    const std::string one_type = PayTypeCondition(false, "001");
    EXPECT_EQ(one_type, CatalogueText("refresh pay-type condition"));
    EXPECT_EQ(PayTypeCondition(true, "001"), "");
    EXPECT_EQ(RefreshText(RefreshTable::kPay, "HPOMPPD ", "1000", "200203", "1", one_type, "2002"),
              CatalogueText("refresh pay rows: organisation and tax flag"));
    EXPECT_EQ(RefreshText(RefreshTable::kPay, "HPITMPD ", "1000", "200203", "1", "", "2002"),
              CatalogueText("refresh pay rows of every pay type, table set 0"));
    EXPECT_EQ(
        RefreshText(RefreshTable::kDeduction, "HPOMPDD ", "1000", "200203", "1", one_type, "2002"),
        CatalogueText("refresh deduction rows"));
    EXPECT_EQ(RefreshText(RefreshTable::kDeduction, "HTOWTDR ", "1000", "200203", "1", "", "2002"),
              CatalogueText("refresh deduction rows, table set 2"));
    EXPECT_EQ(
        RefreshText(RefreshTable::kResults, "HPOMNPY", "1000", "200203", "1", one_type, "2002"),
        CatalogueText("refresh results"));

    // Codes are escaped wherever they stand between quotes.
    list.clear();
    AppendEmployee(&list, "E'1");
    EXPECT_EQ(list, "EMP_CD='E''1' ");
    EXPECT_NE(LeaverDeleteText("1'0", "2002%d", RunRowsCondition("1", {"0'1"}), list, 1)
                  .find("CO_CD='1''0' AND RVRS_YM='2002%d' AND SQ=1 AND PYTP_FG IN ('0''1')"),
              std::string::npos);
}

// --- On the database -----------------------------------------------------------

// Employees of the seeded run (window 20020225-20020324 for type 001).
std::vector<EmployeeSeed> Staff() {
    auto make = [](const char* emp, const char* join, const char* retire, const char* type) {
        EmployeeSeed e;
        e.emp = emp;
        e.join = join;
        e.retire = retire;
        e.htyp = type;
        return e;
    };
    return {
        make("STAY", "20000101", "", "001"),
        make("OLD", "20000101", "20020224", "001"),   // retired before the start
        make("EDGE", "20000101", "20020324", "001"),  // retired on the end
        make("LATE", "20020325", "", "001"),          // joined after the end
        make("T2", "20000101", "", "002"),            // a type this run does not pay
    };
}

// A row in each pay, deduction and result table for the employee.
void SeedRows(const std::string& emp, const std::string& month, const std::string& pay_type) {
    const std::string keys = "VALUES ('1000', '" + month + "', 1, '" + pay_type + "', '" + emp;
    const std::string pay_row =
        " (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PYDD_FG, PAY_CD, PAY_AM, DEPT_CD) " + keys +
        "', 'P2', 'P00', 1, 'OLD')";
    const std::string deduction_row =
        " (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PYDD_FG, DDCT_CD, DDCT_AM, DEPT_CD) " + keys +
        "', 'P3', 'S00', 1, 'OLD')";
    for (const char* t : {"HPITMPD", "HPOMPPD", "HTOWTRT"})
        SeedExec(std::string("INSERT INTO ") + t + pay_row);
    for (const char* t : {"HPITMDD", "HPOMPDD", "HTOWTDR"})
        SeedExec(std::string("INSERT INTO ") + t + deduction_row);
    SeedExec(
        "INSERT INTO HPOMNPY (CO_CD, EMP_CD, RVRS_YM, SQ, PYTP_FG, DEPT_CD) VALUES ('1000', '" +
        emp + "', '" + month + "', 1, '" + pay_type + "', 'OLD')");
}

class LeaverFilterTest : public BuildFixture {
  protected:
    void SetUp() override {
        BuildFixture::SetUp();
        SeedRunCalendar(run_);
        SeedEmployees("1000", Staff());
        for (const EmployeeSeed& e : Staff()) SeedRows(e.emp, "200203", "001");
        SeedRows("OLD", "200202", "001");  // another month: never touched
    }
    std::vector<std::string> Marked() {
        std::vector<std::string> out;
        for (int r = 0; r < engine_.m_nLeaverCnt; ++r)
            if (engine_.m_Leaver.at(r)->CHK == "1")
                out.push_back(engine_.m_Leaver.at(r)->EMP_CD.Str());
        std::sort(out.begin(), out.end());
        return out;
    }
    long RowsOf(const std::string& emp, const char* table) {
        return SeedCount(table, "EMP_CD='" + emp + "' AND RVRS_YM='200203'");
    }
    SeedRun run_;
};

TEST_F(LeaverFilterTest, TableSetZeroRemovesLeaversFromAllFiveTables) {
    Bind(run_, "001");
    engine_.m_nTableSet = 0;
    ASSERT_EQ(engine_.FileterSempData(), 1);
    // T2's type has no window in this run: his rows belong to another run.
    EXPECT_EQ(Marked(), (std::vector<std::string>{"LATE", "OLD"}));
    // The window of the employee's type is written into the list.
    for (int r = 0; r < engine_.m_nLeaverCnt; ++r) {
        const payroll::LeaverRecord* row = engine_.m_Leaver.at(r);
        if (row->HTYP_CD == "001") {
            EXPECT_EQ(row->nFROM.Str(), "20020225");
            EXPECT_EQ(row->nTO.Str(), "20020324");
        }
    }
    for (const char* t : {"HPITMPD", "HPITMDD", "HPOMPPD", "HPOMPDD", "HPOMNPY"}) {
        for (const char* gone : {"OLD", "LATE"}) EXPECT_EQ(RowsOf(gone, t), 0) << t << gone;
        for (const char* kept : {"STAY", "EDGE", "T2"}) EXPECT_EQ(RowsOf(kept, t), 1) << t << kept;
    }
    EXPECT_EQ(RowsOf("OLD", "HTOWTRT"), 1);  // table set 2 is not among them
    EXPECT_EQ(SeedCount("HPITMPD", "EMP_CD='OLD' AND RVRS_YM='200202'"), 1);
}

TEST_F(LeaverFilterTest, OtherTableSetsRemoveFromThreeTablesAndRetireRuleWidens) {
    // The run made a bonus run (pay type 201) with the same window, whose
    // strict retirement code excludes retiring by the window's end.
    for (const char* t : {"HPHONPD", "HPHWTPT", "HPITMPD", "HPITMDD", "HPOMPPD", "HPOMPDD",
                          "HTOWTRT", "HTOWTDR", "HPOMNPY"})
        SeedExec(std::string("UPDATE ") + t + " SET PYTP_FG='201' WHERE RVRS_YM='200203'");
    SeedExec("UPDATE HPHWTPT SET BNST_DT='20020225', BNED_DT='20020324'");
    run_.pay_types = {"201"};
    key_ = SeedKey(run_, "201");
    key_.RTCM_FG = "000";
    ASSERT_EQ(engine_.init(&key_), 1);
    engine_.m_nTableSet = 2;
    ASSERT_EQ(engine_.FileterSempData(), 1);
    EXPECT_EQ(Marked(), (std::vector<std::string>{"EDGE", "LATE", "OLD"}));
    for (const char* t : {"HPOMPPD", "HPOMPDD", "HPOMNPY"}) EXPECT_EQ(RowsOf("EDGE", t), 0) << t;
    for (const char* t : {"HPITMPD", "HPITMDD", "HTOWTRT", "HTOWTDR"})
        EXPECT_EQ(RowsOf("EDGE", t), 1) << t;
}

TEST_F(LeaverFilterTest, CombinedRunOnlyMarks) {
    run_.combined = "001";
    Bind(run_, "001");
    engine_.m_nTableSet = 0;
    Record();
    ASSERT_EQ(engine_.FileterSempData(), 1);
    EXPECT_EQ(Marked(), (std::vector<std::string>{"LATE", "OLD"}));
    EXPECT_TRUE(SentWith("DELETE").empty());
    EXPECT_EQ(RowsOf("OLD", "HPITMPD"), 1);
}

TEST_F(LeaverFilterTest, NobodyToCheckIsNoFailureToShow) {
    run_.month = "200204";
    Bind(run_, "001");
    EXPECT_EQ(engine_.FileterSempData(), 0);
    EXPECT_EQ(engine_.m_nLeaverCnt, 0);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(LeaverFilterTest, RefreshCopiesTheCurrentAttributes) {
    SeedExec(
        "UPDATE SEMP SET DEPT_CD='D02', PJT_CD='J09', PRTY_CD='P07', HRSP_CD='R05' WHERE "
        "EMP_CD='STAY'");
    SeedExec(
        "INSERT INTO HPOMPPD (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PYDD_FG, PAY_CD, DEPT_CD) "
        "VALUES ('1000', '200203', 1, '002', 'STAY', 'P2', 'P10', 'OLD')");
    Bind(run_, "001");
    Record();
    ASSERT_EQ(engine_.GetSempDataUpdate__(1), 1);
    EXPECT_EQ(engine_.m_nTableSet, 1);
    EXPECT_EQ(payroll::LastTransactionOutcome(), payroll::TransactionOutcome::kCommitted);
    EXPECT_EQ(SentWith("UPDATE ").size(), 3u);  // pay (with tax flag), deductions, results
    EXPECT_EQ(Scalar("SELECT DIV_CD || DEPT_CD || PJT_CD || PRTY_CD || DUMMY2 || DUMMY3 FROM "
                     "HPOMPPD WHERE EMP_CD='STAY' AND PYTP_FG='001'"),
              "DV2D02J09P07R05001");
    EXPECT_EQ(Scalar("SELECT DEPT_CD FROM HPOMPDD WHERE EMP_CD='STAY'"), "D02");
    EXPECT_EQ(Scalar("SELECT DEPT_CD || HRSP_CD || HTYP_CD FROM HPOMNPY WHERE EMP_CD='STAY'"),
              "D02R05001");
    // Rows of another pay type are not part of this run.
    EXPECT_EQ(Scalar("SELECT DEPT_CD FROM HPOMPPD WHERE EMP_CD='STAY' AND PYTP_FG='002'"), "OLD");
    // Table set 1 leaves set 0 alone.
    EXPECT_EQ(Scalar("SELECT DEPT_CD FROM HPITMPD WHERE EMP_CD='STAY'"), "OLD");

    // Table set 0 refreshes its two tables only; a combined run every pay type.
    run_.combined = "001";
    HPHONPD_YMD_FMT key = SeedKey(run_, "001");
    ASSERT_EQ(engine_.init(&key), 1);
    Record();
    ASSERT_EQ(engine_.GetSempDataUpdate__(0), 1);
    EXPECT_EQ(SentWith("UPDATE ").size(), 2u);
    EXPECT_TRUE(SentWith("UPDATE HPOMNPY").empty());
    EXPECT_EQ(Scalar("SELECT DEPT_CD FROM HPITMPD WHERE EMP_CD='STAY'"), "D02");
}

TEST_F(LeaverFilterTest, BadTableSetAndKeyAreRefused) {
    Bind(run_, "001");
    Record();
    EXPECT_EQ(engine_.GetSempDataUpdate__(3), 0);
    EXPECT_EQ(engine_.GetSempDataUpdate__(-1), 0);
    EXPECT_TRUE(sent_.empty());
    EXPECT_EQ(Messages().size(), 2u);
    engine_.m_HPHONPD.RVRS_YM = "20023";
    EXPECT_EQ(engine_.GetSempDataUpdate__(0), 0);
    EXPECT_EQ(engine_.FileterSempData(), 0);
    EXPECT_EQ(engine_.DataDelete_Copy("x"), 1);
}

}  // namespace
