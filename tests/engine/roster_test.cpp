// The roster of a run: the statement's text (window clauses, filters), the
// employees it selects at the window edges under both rule flags, the item
// lists and the pay types of the pay date.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "engine/build/roster_statement.h"
#include "engine/common/row_counts.h"
#include "platform/db/catalogue/catalogue_text.h"
#include "platform/db/connection.h"
#include "platform/lang/lang_util.h"
#include "support/build_fixture.h"

namespace {

using payroll::roster::RosterFilter;
using payroll::roster::Window;
using namespace payroll::testing;

using payroll::catalogue::CatalogueText;

// The window of the catalogue's samples: 20020125 to 20020224.
const Window kSample{"001", "001", "20020125", "20020224"};

TEST(RosterStatementTest, WindowClausesMatchTheFourTemplates) {
    struct Case {
        bool join_strict, retire_strict;
        const char* entry;
        const char* join_limit;
        const char* retire_limit;
    } cases[] = {
        {false, false, "roster window clause, no strict rule", "20020224", "20020125"},
        {false, true, "roster window clause, retire strict", "20020224", "20020224"},
        {true, false, "roster window clause, join strict", "20020125", "20020125"},
        {true, true, "roster window clause, join and retire strict", "20020125", "20020224"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(payroll::roster::WindowClause(kSample, c.join_strict, c.retire_strict),
                  CatalogueText(c.entry))
            << c.entry;
        EXPECT_EQ(payroll::roster::JoinLimit(kSample, c.join_strict), c.join_limit) << c.entry;
        EXPECT_EQ(payroll::roster::RetireLimit(kSample, c.retire_strict), c.retire_limit)
            << c.entry;
    }
}

TEST(RosterStatementTest, BaseStatementsAndFilters) {
    RosterFilter f{"S.KOR_NM", "1000", "ALL", "ALL", "ALL", false, false};
    EXPECT_EQ(payroll::roster::RosterStatement(f, {}), CatalogueText("roster without windows"));

    EXPECT_EQ(payroll::roster::DepartmentCondition("D01"),
              CatalogueText("roster department condition"));
    EXPECT_EQ(payroll::roster::JobGroupCondition("P01"),
              CatalogueText("roster job-group condition"));
    EXPECT_EQ(payroll::roster::DepartmentCondition("ALL"), "");
    EXPECT_EQ(payroll::roster::JobGroupCondition("ALL"), "");

    // One division: the SDEPT join; the department condition stays empty.
    f = RosterFilter{"S.KOR_NMK", "1000", "DV1", "ALL", "P01", true, false};
    std::string text = payroll::roster::RosterStatement(f, {kSample});
    EXPECT_NE(text.find("FROM SEMP S, SDEPT T WHERE   S.CO_CD='1000' AND S.EMPL_FG !='002' AND "
                        "S.CO_CD=T.CO_CD AND S.DEPT_CD=T.DEPT_CD AND T.DIV_CD='DV1'   and "
                        "S.PRTY_CD='P01'   AND (  "),
              std::string::npos)
        << text;
}

// The text the statement had when its window clauses were part of a second
// format pass, for data without '%': the text this build must keep.
std::string DoubleFormatted(const RosterFilter& f, const std::vector<Window>& windows) {
    std::string tmpl =
        f.division == "ALL"
            ? "SELECT S.CO_CD, S.EMP_CD, %s KOR_NM, S.PRTY_CD, S.DEPT_CD , S.PJT_CD , S.HTYP_CD, "
              "S.HRSP_CD, S.HCLS_CD, S.HOPR_CD , S.PYSP_FG, S.JOIN_DT,  S.RTR_DT, S.ENRL_FG , "
              "S.NAPS_AM, S.HIFA_AM FROM SEMP S WHERE   S.CO_CD='%s' AND S.EMPL_FG !='002' %s %s "
            : "SELECT S.CO_CD, S.EMP_CD, %s KOR_NM, S.PRTY_CD, S.DEPT_CD , S.PJT_CD , S.HTYP_CD, "
              "S.HRSP_CD, S.HCLS_CD, S.HOPR_CD , S.PYSP_FG, S.JOIN_DT,  S.RTR_DT, S.ENRL_FG , "
              "S.NAPS_AM, S.HIFA_AM FROM SEMP S, SDEPT T WHERE   S.CO_CD='%s' AND S.EMPL_FG "
              "!='002' AND S.CO_CD=T.CO_CD AND S.DEPT_CD=T.DEPT_CD AND T.DIV_CD='%s'  %s %s ";
    if (!windows.empty()) {
        tmpl += "AND (  ";
        for (std::size_t i = 0; i < windows.size(); ++i) {
            if (i) tmpl += " OR ";
            tmpl += payroll::roster::WindowClause(windows[i], f.join_strict, f.retire_strict);
        }
        tmpl += " ) ";
    }
    tmpl += " ORDER BY EMP_CD";
    const std::string dept = payroll::roster::DepartmentCondition(f.department);
    const std::string prty = payroll::roster::JobGroupCondition(f.job_group);
    char buf[8192];
    if (f.division == "ALL")
        std::snprintf(buf, sizeof buf, tmpl.c_str(), f.name_column.c_str(), f.company.c_str(),
                      dept.c_str(), prty.c_str());
    else
        std::snprintf(buf, sizeof buf, tmpl.c_str(), f.name_column.c_str(), f.company.c_str(),
                      f.division.c_str(), dept.c_str(), prty.c_str());
    return buf;
}

TEST(RosterStatementTest, SameTextAsTheTwoPassFormatForOrdinaryData) {
    const std::vector<Window> two = {kSample, {"002", "003", "20020201", "20020228"}};
    for (bool join : {false, true})
        for (bool retire : {false, true})
            for (const char* div : {"ALL", "DV1"})
                for (const char* dept : {"ALL", "D01"}) {
                    RosterFilter f{"S.KOR_NM", "1000", div, dept, "P02", join, retire};
                    EXPECT_EQ(payroll::roster::RosterStatement(f, two), DoubleFormatted(f, two))
                        << join << retire << div << dept;
                }
}

TEST(RosterStatementTest, PercentAndQuotesInDataStayData) {
    const Window odd{"0%s", "1'1", "2002%d01", "20020231"};
    RosterFilter f{"S.KOR_NM", "10'0", "D%V", "D'%n", "P%", false, false};
    const std::string text = payroll::roster::RosterStatement(f, {odd});
    EXPECT_NE(text.find("S.HTYP_CD='0%s' AND  S.PYSP_FG='1''1'"), std::string::npos) << text;
    EXPECT_NE(text.find("S.JOIN_DT<='20020231' AND S.RTR_DT >= '2002%d01'"), std::string::npos);
    EXPECT_NE(text.find("S.CO_CD='10''0'"), std::string::npos);
    EXPECT_NE(text.find("T.DIV_CD='D%V'"), std::string::npos);
    EXPECT_NE(text.find("and S.DEPT_CD='D''%n'  "), std::string::npos);
    EXPECT_NE(text.find("and S.PRTY_CD='P%'  "), std::string::npos);
}

// --- On the database ---------------------------------------------------------

// The window of the seeded run: 20020225 to 20020324.
std::vector<EmployeeSeed> EdgeEmployees() {
    auto make = [](const char* emp, const char* join, const char* retire) {
        EmployeeSeed e;
        e.emp = emp;
        e.join = join;
        e.retire = retire;
        return e;
    };
    std::vector<EmployeeSeed> people = {
        make("J0224", "20020224", ""),          // joined the day before the start
        make("J0225", "20020225", ""),          // joined on the start
        make("J0324", "20020324", ""),          // joined on the end
        make("J0325", "20020325", ""),          // joined after the end
        make("R0224", "20000101", "20020224"),  // retired the day before the start
        make("R0225", "20000101", "20020225"),  // retired on the start
        make("R0324", "20000101", "20020324"),  // retired on the end
        make("R0325", "20000101", "20020325"),  // retired after the end
        make("RZERO", "20000101", "00000000"),  // "00000000": not retired
        make("SHORT", "2002011", ""),           // a join date of seven characters
    };
    EmployeeSeed blank = make("RBLNK", "20000101", "");
    people.push_back(blank);
    EmployeeSeed gone = make("EMPL2", "20000101", "");
    gone.empl_fg = "002";
    people.push_back(gone);
    EmployeeSeed other = make("TYPE2", "20000101", "");
    other.htyp = "002";  // a type the run has no window for
    people.push_back(other);
    return people;
}

class RosterTest : public BuildFixture {
  protected:
    void SetUp() override {
        BuildFixture::SetUp();
        SeedRunCalendar(run_);
    }
    std::vector<std::string> Roster() {
        std::vector<std::string> out;
        out.reserve(static_cast<std::size_t>(engine_.m_nRowCount[payroll::engine::kRosterRows]));
        for (int i = 0; i < engine_.m_nRowCount[payroll::engine::kRosterRows]; ++i)
            out.push_back(engine_.m_SEMP.at(i)->EMP_CD.Str());
        return out;
    }
    SeedRun run_;
};

TEST_F(RosterTest, EmployeesAtTheWindowEdgesUnderBothRules) {
    SeedEmployees("1000", EdgeEmployees());
    Bind(run_, "001");
    const std::vector<std::string> always = {"J0224", "R0325", "RBLNK", "RZERO"};
    struct Case {
        int join_strict, retire_strict;
        std::vector<std::string> also;
    } cases[] = {
        {0, 0, {"J0225", "J0324", "R0225", "R0324"}},
        {0, 1, {"J0225", "J0324"}},
        {1, 0, {"R0225", "R0324"}},
        {1, 1, {}},
    };
    for (const Case& c : cases) {
        engine_.m_nJoinStrict = c.join_strict;
        engine_.m_nRetireStrict = c.retire_strict;
        Record();
        ASSERT_EQ(engine_.Load_SEMP(1), 1);
        std::vector<std::string> expected = always;
        expected.insert(expected.end(), c.also.begin(), c.also.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Roster(), expected) << c.join_strict << c.retire_strict;

        // The text sent is the whole statement with the seeded window.
        RosterFilter f{"S.KOR_NM",          "1000", "ALL", "ALL", "ALL", c.join_strict == 1,
                       c.retire_strict == 1};
        const std::string text =
            payroll::roster::RosterStatement(f, {{"001", "001", "20020225", "20020324"}});
        EXPECT_EQ(engine_.m_strSempQuery, text.c_str());
        EXPECT_FALSE(SentWith(text).empty());
        // The build's transaction is open until the default rows end it.
        EXPECT_EQ(Depth(), 1);
        engine_.m_dsRoster[0].OnRollbackTrans();
    }
}

TEST_F(RosterTest, FiltersAndNameColumn) {
    auto people = NumberedEmployees(4);
    people[1].dept = "D02";  // division DV2
    people[2].prty = "P02";
    people[3].dept = "D02";
    people[3].prty = "P02";
    SeedEmployees("1000", people);
    struct Case {
        const char *div, *dept, *prty;
        std::vector<std::string> expected;
    } cases[] = {
        {"", "", "", {"E0001", "E0002", "E0003", "E0004"}},
        {"DV2", "", "", {"E0002", "E0004"}},
        {"", "D01", "", {"E0001", "E0003"}},
        {"", "", "P02", {"E0003", "E0004"}},
        {"DV2", "D02", "P02", {"E0004"}},
    };
    for (const Case& c : cases) {
        HPHONPD_YMD_FMT key = SeedKey(run_, "001");
        key.DIV_FILTER = c.div;
        key.DEPT_FILTER = c.dept;
        key.PRTY_FILTER = c.prty;
        ASSERT_EQ(engine_.init(&key), 1);
        ASSERT_EQ(engine_.Load_SEMP(1), 1) << c.div << c.dept << c.prty;
        EXPECT_EQ(Roster(), c.expected) << c.div << c.dept << c.prty;
        engine_.m_dsRoster[0].OnRollbackTrans();
    }
    engine_.m_bLangDefault = 0;
    ASSERT_EQ(engine_.Load_SEMP(0), 1);
    EXPECT_NE(engine_.m_strSempQuery.Find("S.KOR_NMK KOR_NM"), -1);
    engine_.m_bLangDefault = 1;
    ASSERT_EQ(engine_.Load_SEMP(0), 1);
    EXPECT_NE(engine_.m_strSempQuery.Find("S.KOR_NM KOR_NM"), -1);
}

TEST_F(RosterTest, BuildOnlyTouchesNothingButTheWindows) {
    SeedEmployees("1000", NumberedEmployees(2));
    Bind(run_, "001");
    Record();
    EXPECT_EQ(engine_.Load_SEMP(0), 1);
    EXPECT_TRUE(SentWith("FROM SEMP S").empty());
    EXPECT_EQ(Depth(), 0);
    EXPECT_NE(engine_.m_strSempQuery.Find(" ORDER BY EMP_CD"), -1);
}

TEST_F(RosterTest, CodesWithQuotesAndPercentRunSafely) {
    EmployeeSeed odd;
    odd.emp = "E'%s1";
    odd.dept = "D'%d";
    SeedEmployees("1000", {odd});
    SeedExec("INSERT INTO SDEPT (CO_CD, DEPT_CD, DIV_CD) VALUES ('1000', 'D''%d', 'D%V')");
    HPHONPD_YMD_FMT key = SeedKey(run_, "001");
    key.DIV_FILTER = "D%V";
    key.DEPT_FILTER = "D'%d";
    ASSERT_EQ(engine_.init(&key), 1);
    ASSERT_EQ(engine_.Load_SEMP(1), 1);
    EXPECT_EQ(Roster(), std::vector<std::string>{"E'%s1"});
    engine_.m_dsRoster[0].OnRollbackTrans();
}

TEST_F(RosterTest, EmptyRosterAndMissingWindows) {
    Bind(run_, "001");
    EXPECT_EQ(engine_.Load_SEMP(1), 0);  // nobody in the company
    EXPECT_EQ(engine_.m_nRowCount[payroll::engine::kRosterRows], 0);
    EXPECT_EQ(Depth(), 0);
    EXPECT_TRUE(Messages().empty());

    // A pay type without window rows: the window step's message, no roster.
    SeedEmployees("1000", NumberedEmployees(1));
    engine_.m_HPHONPD.PYTP_FG = "009";
    EXPECT_EQ(engine_.Load_SEMP(1), 0);
    EXPECT_EQ(Depth(), 0);
    EXPECT_FALSE(Messages().empty());
}

TEST_F(RosterTest, RunsBeyondTheLimitAreRefusedBeforeAnythingIsWritten) {
    // 100,001 employees, written natively for speed.
    std::string error;
    const std::string code =
        TestDatabaseIsPostgres() ? "'E' || LPAD(CAST(i AS TEXT), 6, '0')" : "printf('E%06d', i)";
    ASSERT_TRUE(payroll::db::Connection::Current()->backend().RunNative(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100001) "
        "INSERT INTO SEMP (CO_CD, EMP_CD, HTYP_CD, PYSP_FG, JOIN_DT, EMPL_FG) "
        "SELECT '1000', " +
            code + ", '001', '001', '20000101', '001' FROM n",
        &error))
        << error;
    Bind(run_, "001");
    EXPECT_EQ(engine_.Load_SEMP(1), 0);
    EXPECT_EQ(engine_.m_nRowCount[payroll::engine::kRosterRows], 0);
    EXPECT_EQ(Depth(), 0);
    ASSERT_FALSE(Messages().empty());
    EXPECT_NE(Messages().back().Find("100000"), -1) << Messages().back().c_str();
    // The build stops there: no row of the run exists.
    EXPECT_EQ(engine_._GetSalaryPepleList(1), 0);
    EXPECT_EQ(SeedCount("HPOMPPD", ""), 0);
}

TEST_F(RosterTest, ItemListsAndPayTypes) {
    SeedExec(
        "INSERT INTO HPHONPD (CO_CD, RVRS_YM, SQ, PYTP_FG) VALUES ('1000', '200203', 1, "
        "'002')");
    Bind(run_, "001");
    ASSERT_EQ(engine_.Load_HPHPOYM(), 1);
    ASSERT_EQ(engine_.m_nDfmListCnt[0], 2);
    ASSERT_EQ(engine_.m_nDfmListCnt[1], 3);
    std::set<std::string> pay, deductions;
    for (int i = 0; i < 2; ++i) pay.insert(engine_.m_DFM_LIST[0].at(i)->PYDD_CD.Str());
    for (int i = 0; i < 3; ++i) deductions.insert(engine_.m_DFM_LIST[1].at(i)->PYDD_CD.Str());
    EXPECT_EQ(pay, (std::set<std::string>{"P00", "P10"}));
    EXPECT_EQ(deductions, (std::set<std::string>{"S00", "S10", "T00"}));
    EXPECT_EQ(engine_.m_DFM_LIST[0].at(0)->TAX_FG.Str(), "001");

    int count = -1;
    ASSERT_EQ(engine_.GetPYSP_MAX(&count), 1);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(engine_.m_PYTP_FG.at(0)->PYTP_FG.Str(), "001");
    EXPECT_EQ(engine_.m_PYTP_FG.at(1)->PYTP_FG.Str(), "002");
    EXPECT_EQ(engine_.m_PYTP_FG.at(1)->RMK_DC.Str(), "1000");

    // A run without deduction items: the lists are not complete.
    SeedExec("DELETE FROM HPHPOYM WHERE PYDD_FG='P3'");
    EXPECT_EQ(engine_.Load_HPHPOYM(), 0);
    EXPECT_EQ(engine_.m_nDfmListCnt[1], 0);
    // A month without runs has no pay types, which is no failure.
    engine_.m_HPHONPD.RVRS_YM = "200204";
    count = -1;
    EXPECT_EQ(engine_.GetPYSP_MAX(&count), 1);
    EXPECT_EQ(count, 0);
}

TEST_F(RosterTest, FailedPayTypeQueryShowsItsMessage) {
    Bind(run_, "001");
    FailAt(2);  // the query after its count
    int count = -1;
    EXPECT_EQ(engine_.GetPYSP_MAX(&count), 0);
    EXPECT_EQ(count, -1);
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages().back(), TheLangUtil().GetLangString(1006));
}

}  // namespace
