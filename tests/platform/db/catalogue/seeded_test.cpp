// A handful of the catalogue's statements run for real against a few seeded
// rows: the rows they return show that schema and translation keep the
// statements' meaning, not only that they prepare.
#include <gtest/gtest.h>
#include <strings.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/platform/db/catalogue/catalogue.h"
#include "tests/platform/db/catalogue/scratch_db.h"

namespace payroll::catalogue {
namespace {

class Seeded : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(LoadCatalogue(&entries_, &error)) << error;
        ASSERT_TRUE(db_.ApplySchema(&error)) << error;
    }

    void Seed(const std::string& sql) {
        std::string error;
        ASSERT_TRUE(db_.ExecNative(sql, &error)) << error << "\n  in: " << sql;
    }

    // Runs the catalogue entry of that name; an empty result on failure.
    Result RunEntry(const std::string& name) {
        Result result;
        const Entry* entry = FindEntry(entries_, name);
        if (entry == nullptr) {
            ADD_FAILURE() << "no catalogue entry '" << name << "'";
            return result;
        }
        std::string error;
        EXPECT_TRUE(db_.Run(entry->text, &result, &error)) << name << ": " << error;
        return result;
    }

    // Runs a native query (to look at what a statement wrote).
    Result Query(const std::string& sql) {
        Result result;
        std::string error;
        EXPECT_TRUE(db_.Run(sql, &result, &error)) << error;
        return result;
    }

    std::vector<Entry> entries_;
    ScratchDb db_;
};

// The value of `column` (by name, any case) in row `row`.
std::string Cell(const Result& result, size_t row, const char* column) {
    if (row >= result.rows.size()) return "<no row>";
    for (size_t c = 0; c < result.columns.size(); ++c) {
        if (strcasecmp(result.columns[c].c_str(), column) == 0) return result.rows[row][c];
    }
    return "<no column>";
}

double Amount(const Result& result, size_t row, const char* column) {
    const std::string text = Cell(result, row, column);
    return text.empty() || text[0] == '<' ? -1.0 : std::stod(text);
}

std::vector<std::string> ColumnValues(const Result& result, const char* column) {
    std::vector<std::string> values;
    for (size_t r = 0; r < result.rows.size(); ++r) values.push_back(Cell(result, r, column));
    return values;
}

TEST_F(Seeded, PickerListsTheRunsOfTheMonthWithTheirNames) {
    Seed(
        "INSERT INTO HPHPYFQ (CO_CD, RVRS_YM, SQ, PAY_DT, CCIS_YN) VALUES"
        " ('1000','200203',1,'20020325','002'), ('1000','200203',2,'20020310','001'),"
        " ('1000','200203',3,'20020330','002'), ('1000','200202',1,'20020225','002')");
    Seed(
        "INSERT INTO HPHONPD (CO_CD, RVRS_YM, SQ, PYTP_FG, RTCM_FG, JNCM_FG) VALUES"
        " ('1000','200203',1,'001','000','000'), ('1000','200203',2,'001','000','000'),"
        " ('1000','200203',2,'002','100','000'), ('1000','200203',3,'009','000','000'),"
        " ('1000','200202',1,'001','000','000')");
    Seed(
        "INSERT INTO SCTRL_D (CO_CD, CTRL_CD, CTD_CD, CTD_NM, CTD_NMK) VALUES"
        " ('1000','P4','001','급여','Salary'), ('1000','P4','002','상여','Bonus'),"
        " ('1000','SC','001','통합','Combined'), ('1000','SC','002','개별','Single')");

    const Result runs = RunEntry("pay runs of a month");
    // Ordered by pay date: the combined run of the 10th with both pay types,
    // then the run of the 25th. Run 3 has no name for its pay type: not listed.
    ASSERT_EQ(runs.rows.size(), 3u);
    std::set<std::pair<std::string, std::string>> combined;
    for (size_t r = 0; r < 2; ++r) {
        EXPECT_EQ(Cell(runs, r, "SQ"), "2");
        EXPECT_EQ(Cell(runs, r, "NM2"), "통합");
        combined.insert({Cell(runs, r, "PYTP_FG"), Cell(runs, r, "NM1")});
    }
    EXPECT_EQ(combined,
              (std::set<std::pair<std::string, std::string>>{{"001", "급여"}, {"002", "상여"}}));
    EXPECT_EQ(Cell(runs, 2, "SQ"), "1");
    EXPECT_EQ(Cell(runs, 2, "PAY_DT"), "20020325");
    EXPECT_EQ(Cell(runs, 2, "NM1"), "급여");
    EXPECT_EQ(Cell(runs, 2, "NM2"), "개별");

    const Result second = RunEntry("pay runs of a month, second name columns");
    ASSERT_EQ(second.rows.size(), 3u);
    EXPECT_EQ(Cell(second, 2, "NM1"), "Salary");
    EXPECT_EQ(Cell(second, 2, "NM2"), "Single");
}

TEST_F(Seeded, RosterSelectsByJoinAndRetirementDates) {
    Seed(
        "INSERT INTO SDEPT (CO_CD, DEPT_CD, DIV_CD) VALUES ('1000','D01','DV1'), "
        "('1000','D02','DV2')");
    // The catalogue's rosters cover the window 20020125-20020224 of type 001/001.
    Seed(
        "INSERT INTO SEMP (CO_CD, EMP_CD, KOR_NM, KOR_NMK, DEPT_CD, PRTY_CD, HTYP_CD, PYSP_FG,"
        " EMPL_FG, JOIN_DT, RTR_DT) VALUES"
        " ('1000','E01','김','Kim','D01','P01','001','001','001','20010101',NULL),"
        " ('1000','E02','이','Lee','D01','P01','001','001','001','20010101','00000000'),"
        " ('1000','E03','박','Park','D01','P02','001','001','001','20010101',''),"
        " ('1000','E04','최','Choi','D01','P01','001','001','001','20010101','20020124'),"
        " ('1000','E05','정','Jung','D01','P01','001','001','001','20010101','20020125'),"
        " ('1000','E06','강','Kang','D01','P01','001','001','001','20020224',NULL),"
        " ('1000','E07','조','Cho','D01','P01','001','001','001','20020225',NULL),"
        " ('1000','E08','윤','Yoon','D01','P01','001','001','001','2001011',NULL),"
        " ('1000','E09','장','Jang','D01','P01','001','001','002','20010101',NULL),"
        " ('1000','E10','임','Lim','D02','P01','001','001','001','20010101',NULL),"
        " ('1000','E11','한','Han','D01','P01','002','001','001','20010101',NULL),"
        " ('1000','E12','오','Oh','D01','P01','001','001','001',NULL,NULL),"
        " ('2000','E13','서','Seo','D01','P01','001','001','001','20010101',NULL)");

    // Department D01; joined by the window's end; not retired before its start.
    const Result all = RunEntry("roster of a run, every division");
    EXPECT_EQ(ColumnValues(all, "EMP_CD"),
              (std::vector<std::string>{"E01", "E02", "E03", "E05", "E06"}));
    EXPECT_EQ(Cell(all, 0, "KOR_NM"), "김");

    // Division DV1 and job group P01 under the join rule: joined before the
    // window's start.
    const Result division = RunEntry("roster of a run, one division");
    EXPECT_EQ(ColumnValues(division, "EMP_CD"), (std::vector<std::string>{"E01", "E02", "E05"}));
    EXPECT_EQ(Cell(division, 0, "KOR_NM"), "Kim");
}

TEST_F(Seeded, SummaryReplaceKeepsOneRowPerEmployeeAndRun) {
    RunEntry("summary replace");
    RunEntry("summary replace");
    Result row = RunEntry("summary row");
    ASSERT_EQ(row.rows.size(), 1u);
    EXPECT_DOUBLE_EQ(Amount(row, 0, "TPAY_AM"), 2500000.0);
    EXPECT_DOUBLE_EQ(Amount(row, 0, "INTX_AM"), 45000.0);
    EXPECT_DOUBLE_EQ(Amount(row, 0, "RSTX_AM"), 4500.0);
    EXPECT_EQ(Cell(row, 0, "EXCL_YN"), "0");
    EXPECT_EQ(Cell(row, 0, "DIV_CD"), "DV1");

    // Under the run's division, department and job-group filters the delete
    // finds the stored row again, so the insert replaces it.
    RunEntry("summary replace, every pay type");
    row = RunEntry("summary row");
    ASSERT_EQ(row.rows.size(), 1u);
    EXPECT_EQ(Cell(row, 0, "EXCL_YN"), "1");

    const Result stored = RunEntry("stored values of the current run");
    ASSERT_EQ(stored.rows.size(), 1u);
    EXPECT_DOUBLE_EQ(Amount(stored, 0, "TXST_AM"), 2300000.0);
}

TEST_F(Seeded, RefreshCopiesOrganisationFromTheMaster) {
    Seed(
        "INSERT INTO SEMP (CO_CD, EMP_CD, DEPT_CD, PJT_CD, PRTY_CD, HRSP_CD) VALUES"
        " ('1000','E0001','D02','J02','P02','R02')");
    Seed("INSERT INTO SDEPT (CO_CD, DEPT_CD, DIV_CD) VALUES ('1000','D02','DV2')");
    Seed(
        "INSERT INTO HPMPDFM (CO_CD, RVRS_YM, PYTP_FG, PYDD_FG, PYDD_CD, TAX_FG) VALUES"
        " ('1000','2002','001','P2','P00','002')");
    RunEntry("default pay row");  // E0001, item P00, organisation DV1/D01/J01/P01/R01
    Seed(
        "INSERT INTO HPOMPPD (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PYDD_FG, PAY_CD, DIV_CD,"
        " DEPT_CD, DUMMY3) VALUES ('1000','200203',1,'001','E0002','P2','P00','DV1','D01','001')");

    RunEntry("refresh pay rows: organisation and tax flag");
    const Result rows = Query(
        "SELECT EMP_CD, DIV_CD, DEPT_CD, PJT_CD, PRTY_CD, DUMMY2, DUMMY3 FROM HPOMPPD ORDER BY "
        "EMP_CD");
    ASSERT_EQ(rows.rows.size(), 2u);
    EXPECT_EQ(rows.rows[0],
              (std::vector<std::string>{"E0001", "DV2", "D02", "J02", "P02", "R02", "002"}));
    // An employee without a master record keeps his organisation; the tax
    // flag comes from the item definition alone.
    EXPECT_EQ(Cell(rows, 1, "DIV_CD"), "DV1");
    EXPECT_EQ(Cell(rows, 1, "DEPT_CD"), "D01");
    EXPECT_EQ(Cell(rows, 1, "DUMMY3"), "002");
}

TEST_F(Seeded, OuterJoinsKeepThePreservedSide) {
    Seed(
        "INSERT INTO SEMP (CO_CD, EMP_CD, KOR_NM, REFR_YN, ENRL_FG, EMPL_FG, HRSP_CD, HCLS_CD,"
        " EMIS_YN, SPUS_YN) VALUES ('1000','E0001','김','001','001','001','R01','C01','001',NULL)");
    // ENRL_FG 001 has a name only in group S2, not in its own group HE.
    Seed(
        "INSERT INTO SCTRL_D (CO_CD, CTRL_CD, CTD_CD, CTD_NM) VALUES"
        " ('1000','S2','001','Resident'), ('1000','G4','C01','Class one')");
    const Result person = RunEntry("employee personnel record");
    ASSERT_EQ(person.rows.size(), 1u);
    EXPECT_EQ(Cell(person, 0, "NM1"), "Resident");
    EXPECT_EQ(Cell(person, 0, "NM2"), "");
    EXPECT_EQ(Cell(person, 0, "NM5"), "Class one");
    EXPECT_EQ(Cell(person, 0, "EMIS_YN"), "O");
    EXPECT_EQ(Cell(person, 0, "NM11"), "X");

    // Bonus runs before the current one, with or without a bonus for E0001.
    Seed(
        "INSERT INTO HPHONPD (CO_CD, RVRS_YM, SQ, PYTP_FG) VALUES ('1000','200201',1,'200'),"
        " ('1000','200202',1,'200'), ('1000','200203',1,'200'), ('1000','200202',2,'100')");
    Seed(
        "INSERT INTO HPOMNPY (CO_CD, EMP_CD, RVRS_YM, SQ, PYTP_FG, TBON_AM) VALUES"
        " ('1000','E0001','200201',1,'200',500000), ('1000','E0002','200202',1,'200',300000)");
    const Result bonus = RunEntry("earlier bonus runs with the employee's bonus");
    ASSERT_EQ(bonus.rows.size(), 2u);
    EXPECT_EQ(Cell(bonus, 0, "RVRS_YM"), "200202");
    EXPECT_EQ(Cell(bonus, 0, "TBON"), "");
    EXPECT_EQ(Cell(bonus, 1, "RVRS_YM"), "200201");
    EXPECT_DOUBLE_EQ(Amount(bonus, 1, "TBON"), 500000.0);

    // Pay totals: the host's employee list is the preserved side.
    Seed("INSERT INTO H_SEMP (CO_CD, EMP_CD) VALUES ('1000','E0001'), ('1000','E0002')");
    Seed(
        "INSERT INTO HPOMPPD (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PYDD_FG, PAY_CD, PAY_AM) VALUES"
        " ('1000','200203',1,'001','E0001','P2','P00',1000000),"
        " ('1000','200203',1,'001','E0001','P2','P10',200000.5)");
    const Result totals = RunEntry("pay totals of a run, no filters");
    ASSERT_EQ(totals.rows.size(), 2u);
    const size_t e1 = Cell(totals, 0, "EMP_CD") == "E0001" ? 0 : 1;
    EXPECT_EQ(Cell(totals, e1, "EMP_CD"), "E0001");
    EXPECT_DOUBLE_EQ(Amount(totals, e1, "PAY_AM"), 1200000.5);
    EXPECT_EQ(Cell(totals, 1 - e1, "EMP_CD"), "");
}

TEST_F(Seeded, LeaverFilterListsEmployeesWithRealDates) {
    Seed(
        "INSERT INTO SEMP (CO_CD, EMP_CD, JOIN_DT, RTR_DT, HTYP_CD) VALUES"
        " ('1000','E0001','20010101','20020110','001'), ('1000','E0002','2001011','','001'),"
        " ('1000','E0003','20010101',NULL,'002'), ('1000','E0004','20010101',NULL,'001')");
    Seed(
        "INSERT INTO HPITMPD (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD) VALUES"
        " ('1000','200203',1,'001','E0001'), ('1000','200203',1,'001','E0002'),"
        " ('1000','200203',1,'001','E0003'), ('1000','200202',1,'001','E0004')");
    Seed(
        "INSERT INTO HPITMDD (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD) VALUES"
        " ('1000','200203',1,'001','E0001')");

    const Result leavers = RunEntry("leaver filter");
    // E0002 has no date of eight characters; E0004 has no row this month. The
    // statement has no ORDER BY: look the rows up by employee.
    std::vector<std::string> found = ColumnValues(leavers, "EMP_CD");
    std::sort(found.begin(), found.end());
    ASSERT_EQ(found, (std::vector<std::string>{"E0001", "E0003"}));
    const size_t e1 = Cell(leavers, 0, "EMP_CD") == "E0001" ? 0 : 1;
    EXPECT_EQ(Cell(leavers, e1, "RTR_DT"), "20020110");
    EXPECT_EQ(Cell(leavers, 1 - e1, "JOIN_DT"), "20010101");
    EXPECT_EQ(Cell(leavers, 1 - e1, "RTR_DT"), "00000000");
    EXPECT_EQ(Cell(leavers, 1 - e1, "HTYP_CD"), "002");
    for (size_t r = 0; r < leavers.rows.size(); ++r) EXPECT_NE(Cell(leavers, r, "CHK"), "1");
}

}  // namespace
}  // namespace payroll::catalogue
