// The default pay rows: their texts, the look-up indexes against the scans
// they replace, the batches, and the rows a build leaves in the database.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "engine/build/default_row_text.h"
#include "engine/build/row_index.h"
#include "engine/common/row_counts.h"
#include "platform/db/catalogue/catalogue_text.h"
#include "platform/db/connection.h"
#include "platform/lang/lang_util.h"
#include "support/build_fixture.h"

namespace {

using namespace payroll::default_rows;
using namespace payroll::testing;

using payroll::catalogue::CatalogueText;

RowValues Sample(const char* table, const char* cls, const char* code, const char* amount,
                 const char* dummy1, const char* tax) {
    return RowValues{table, "1000", "P01", "DV1", "D01",  "J01",  "E0001", "200203",
                     "1",   "001",  cls,   code,  amount, dummy1, "R01",   tax};
}

TEST(DefaultRowTextTest, TextsMatchTheTemplates) {
    EXPECT_EQ(InsertText(1, Sample("HPOMPPD ", "P2", "P00", "0", "  ", "001")),
              CatalogueText("default pay row"));
    EXPECT_EQ(InsertText(1, Sample("HPITMPD ", "P2", "P10", "0", "  ", "002")),
              CatalogueText("default pay row, table set 0"));
    EXPECT_EQ(InsertText(2, Sample("HPOMPDD ", "P3", "S00", "150000.0000", "  ", "")),
              CatalogueText("default deduction row, pension amount"));
    EXPECT_EQ(InsertText(2, Sample("HPITMDD ", "P3", "T00", "0", "2002012520020224", "")),
              CatalogueText("default deduction row, income tax window"));
    EXPECT_EQ(StatutoryDeleteText("HPOMPDD ", "1000", "200203", "1", "001"),
              CatalogueText("statutory deductions of the other pay types"));
    EXPECT_EQ(DefaultAmountUpdate("HPOMPDD ", "150000.0000", "1000", "E0001", "200203", "001", "1",
                                  "S00"),
              CatalogueText("deduction default amount"));
}

TEST(DefaultRowTextTest, QuotedValuesAreEscapedAndAmountsAreNumbers) {
    RowValues v = Sample("HPOMPPD ", "P2", "P'0", "1e3", "  ", "0'1");
    v.employee = "E'%s";
    v.department = "D''";
    const std::string text = InsertText(1, v);
    EXPECT_NE(text.find("'D''''','J01','E''%s'"), std::string::npos) << text;
    EXPECT_NE(text.find("'P''0',1000.0000, '  ','R01','0''1' )"), std::string::npos) << text;
    // A value ends at its first NUL, quoted or not, as a C text does.
    using namespace std::string_view_literals;
    v.project = "J0\0'1"sv;
    v.sq = "1\0 OR 1=1"sv;
    const std::string cut = InsertText(1, v);
    EXPECT_NE(cut.find("'J0','E''%s','200203',1,'001'"), std::string::npos) << cut;

    struct Case {
        const char* in;
        const char* out;
    } numbers[] = {
        {"", "0"},          {"0", "0"},        {"150000", "150000"}, {"-12.5", "-12.5"},
        {"12.", "12.0000"}, {"abc", "0.0000"}, {"1e400", "0.0000"},  {"7 OR 1=1", "7.0000"},
        {".5", "0.5000"},   {"1.25", "1.25"},
    };
    for (const Case& c : numbers) EXPECT_EQ(SqlNumber(c.in), c.out) << c.in;

    struct Amount {
        const char* code;
        int flag;
        const char *naps, *hifa, *out;
    } amounts[] = {
        {"S00", 1, "150000", "50000", "150000"}, {"S10", 1, "150000", "50000", "50000"},
        {"S00", 0, "150000", "50000", "0"},      {"S00", 1, "", "50000", "0"},
        {"S10", 1, "150000", "", "0"},           {"S20", 1, "150000", "50000", "0"},
    };
    for (const Amount& a : amounts)
        EXPECT_EQ(DefaultAmount(a.code, a.flag, a.naps, a.hifa), a.out) << a.code << a.flag;
}

TEST(DefaultRowTextTest, BatchesOfFiveHundredThenFiveHundredAndOne) {
    struct Case {
        long ordinal, batch;
    } cases[] = {{0, 0}, {499, 0}, {500, 1}, {1000, 1}, {1001, 2}, {1501, 2}, {1502, 3}};
    for (const Case& c : cases) EXPECT_EQ(BatchOf(c.ordinal), c.batch) << c.ordinal;
    EXPECT_EQ(BatchesFor(0), 0);
    EXPECT_EQ(BatchesFor(500), 1);
    EXPECT_EQ(BatchesFor(501), 2);
    EXPECT_EQ(BatchesFor(1200), 3);
    // The largest run fits well inside the batches that are sent; past
    // them a build fails instead of leaving texts out.
    EXPECT_LE(BatchesFor(CSalaryCalcurate::kMaxRosterEmployees), CSalaryCalcurate::kSentBatches);
    EXPECT_GT(BatchesFor(500 + 501 * 499 + 1), CSalaryCalcurate::kSentBatches);
}

// --- The indexes against the scans ---------------------------------------

TEST(RowIndexTest, ExistingRowsAnswerAsTheScans) {
    std::mt19937 random(7);
    const char* emps[] = {"E1", "E2", "E3", "E4", ""};
    const char* codes[] = {"P00", "P10", "S00", ""};
    for (int round = 0; round < 40; ++round) {
        payroll::RecordTable<payroll::PayListRecord> table;
        const int rows = static_cast<int>(random() % 30);
        table.Allocate(rows);
        for (int r = 0; r < rows; ++r) {
            table.at(r)->EMP_CD = emps[random() % 5];
            table.at(r)->PAY_CD = codes[random() % 4];
            table.at(r)->PAY_AM = random() % 3 == 0 ? "" : "100";
        }
        // Counts below, at and beyond the rows held (reads stop at the table).
        for (long long count :
             {0LL, static_cast<long long>(rows / 2), static_cast<long long>(rows), rows + 50LL}) {
            const payroll::row_index::ExistingRows index(table, count);
            for (const char* e : emps) {
                EXPECT_EQ(index.AmountFlag(e), payroll::row_index::ScanAmountFlag(table, count, e))
                    << round << " " << e;
                for (const char* c : codes)
                    for (long long first = -1; first <= rows + 1; ++first)
                        EXPECT_EQ(index.Has(e, c, first),
                                  payroll::row_index::ScanRow(table, count, first, e, c))
                            << round << " " << e << " " << c << " " << first;
            }
        }
    }
}

TEST(RowIndexTest, AmountFlagLooksOnlyAtTheFirstRunOfRows) {
    payroll::RecordTable<payroll::PayListRecord> table;
    table.Allocate(4);
    const char* rows[][2] = {{"E1", ""}, {"E2", "5"}, {"E1", "7"}, {"E1", "9"}};
    for (int r = 0; r < 4; ++r) {
        table.at(r)->EMP_CD = rows[r][0];
        table.at(r)->PAY_AM = rows[r][1];
    }
    const payroll::row_index::ExistingRows index(table, 4);
    EXPECT_EQ(index.AmountFlag("E1"), 0);  // later amounts are not in the first run
    EXPECT_EQ(index.AmountFlag("E2"), 1);
    EXPECT_EQ(index.AmountFlag("E9"), 0);
    payroll::RecordTable<payroll::PayListRecord> unallocated;
    EXPECT_FALSE(payroll::row_index::ExistingRows(unallocated, 10).Has("E1", "P00"));
}

TEST(RowIndexTest, MasterPositionsAnswerAsTheScan) {
    payroll::RecordTable<SEMP_FMT> master;
    master.Allocate(6);
    const char* codes[] = {"E3", "E1", "E3", "", "E7", "E1"};
    for (int m = 0; m < 6; ++m) master.at(m)->EMP_CD = codes[m];
    for (long long count : {0LL, 2LL, 6LL, 20LL}) {
        const payroll::row_index::MasterPositions index(master, count);
        for (const char* e : {"E1", "E3", "E7", "E9", ""})
            EXPECT_EQ(index.Find(e), payroll::row_index::ScanMasterPosition(master, count, e))
                << e << " " << count;
    }
    // The first match wins; an empty code ends the search.
    EXPECT_EQ(payroll::row_index::MasterPositions(master, 6).Find("E3"), 0);
    EXPECT_EQ(payroll::row_index::MasterPositions(master, 6).Find("E7"), -1);
}

// --- Builds on the database ---------------------------------------------------

class DefaultRowsTest : public BuildFixture {
  protected:
    void SetUp() override { BuildFixture::SetUp(); }
    // Roster, item lists and default rows, as the build driver runs them.
    int Build() {
        if (engine_.Load_SEMP(1) != 1) return -1;
        if (engine_.Load_HPHPOYM() != 1) return -2;
        return engine_.SetAllSempInsert();
    }
    // The run's calendar and `count` numbered employees.
    void SeedRunOf(int count) {
        SeedRunCalendar(run_);
        SeedEmployees("1000", NumberedEmployees(count));
    }
    // Binds the engine to the run under that pay type, building into table
    // set 1.
    void BindToTableSet1(const std::string& pay_type) {
        Bind(run_, pay_type);
        engine_.m_nTableSet = 1;
    }
    std::string Amount(const std::string& table, const std::string& emp, const std::string& code) {
        return Scalar("SELECT DDCT_AM FROM " + table + " WHERE EMP_CD='" + emp + "' AND DDCT_CD='" +
                      code + "'");
    }
    SeedRun run_;
};

TEST_F(DefaultRowsTest, EveryMissingRowOnceWithItsValues) {
    SeedRunCalendar(run_);
    auto people = NumberedEmployees(3);
    people[2].naps = "";  // no pension amount in the master
    SeedEmployees("1000", people);
    // E0001 already has P00 (with an amount) and S10 under this pay type;
    // E0003 has a pay row with an amount; E0002 has nothing.
    SeedExec(
        "INSERT INTO HPOMPPD (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PYDD_FG, PAY_CD, PAY_AM) "
        "VALUES ('1000', '200203', 1, '001', 'E0001', 'P2', 'P00', 2000000) "
        "INSERT INTO HPOMPPD (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PYDD_FG, PAY_CD, PAY_AM) "
        "VALUES ('1000', '200203', 1, '001', 'E0003', 'P2', 'P10', 1000) "
        "INSERT INTO HPOMPDD (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PYDD_FG, DDCT_CD, DDCT_AM) "
        "VALUES ('1000', '200203', 1, '001', 'E0001', 'P3', 'S10', 7)");
    BindToTableSet1("001");
    ASSERT_EQ(Build(), 1);
    EXPECT_EQ(Depth(), 0);
    EXPECT_EQ(payroll::LastTransactionOutcome(), payroll::TransactionOutcome::kCommitted);

    // Two pay items and three deductions each, less the rows that existed.
    EXPECT_EQ(SeedCount("HPOMPPD", "EMP_CD='E0001'"), 2);
    EXPECT_EQ(SeedCount("HPOMPPD", "EMP_CD='E0001' AND PAY_CD='P00'"), 1);
    EXPECT_EQ(SeedCount("HPOMPPD", "EMP_CD='E0002'"), 2);
    EXPECT_EQ(SeedCount("HPOMPDD", "EMP_CD='E0001'"), 3);
    EXPECT_EQ(SeedCount("HPOMPDD", "EMP_CD='E0001' AND DDCT_CD='S10'"), 1);
    EXPECT_EQ(SeedCount("HPOMPDD", ""), 9);
    EXPECT_EQ(Scalar("SELECT PAY_AM FROM HPOMPPD WHERE EMP_CD='E0002' AND PAY_CD='P00'"), "0");

    // Statutory amounts: with pay amounts the master's, else 0; an empty
    // master amount also 0.
    EXPECT_EQ(Amount("HPOMPDD", "E0001", "S00"), "150000");
    EXPECT_EQ(Amount("HPOMPDD", "E0001", "S10"), "7");  // the existing row stays
    EXPECT_EQ(Amount("HPOMPDD", "E0002", "S00"), "0");
    EXPECT_EQ(Amount("HPOMPDD", "E0002", "S10"), "0");
    EXPECT_EQ(Amount("HPOMPDD", "E0003", "S00"), "0");
    EXPECT_EQ(Amount("HPOMPDD", "E0003", "S10"), "50000");

    // The income-tax row carries the employee's window, the others two blanks.
    EXPECT_EQ(Scalar("SELECT DUMMY1 FROM HPOMPDD WHERE EMP_CD='E0002' AND DDCT_CD='T00'"),
              "2002022520020324");
    EXPECT_EQ(Scalar("SELECT DUMMY1 FROM HPOMPDD WHERE EMP_CD='E0002' AND DDCT_CD='S00'"), "  ");
    // Organisation from the roster and master; tax flag from the item.
    EXPECT_EQ(Scalar("SELECT DIV_CD || DEPT_CD || PJT_CD || PRTY_CD || DUMMY2 || DUMMY3 "
                     "FROM HPOMPPD WHERE EMP_CD='E0002' AND PAY_CD='P10'"),
              "DV1D01J01P01R01001");

    // Built again, the run gains nothing.
    ASSERT_EQ(Build(), 1);
    EXPECT_EQ(SeedCount("HPOMPPD", ""), 6);
    EXPECT_EQ(SeedCount("HPOMPDD", ""), 9);
}

TEST_F(DefaultRowsTest, TableSetsChooseTheTables) {
    SeedRunOf(2);
    Bind(run_, "001");
    const char* tables[3][2] = {
        {"HPITMPD", "HPITMDD"}, {"HPOMPPD", "HPOMPDD"}, {"HTOWTRT", "HTOWTDR"}};
    for (int set = 0; set < 3; ++set) {
        engine_.m_nTableSet = set;
        ASSERT_EQ(Build(), 1) << set;
        for (int other = 0; other < 3; ++other) {
            const long expected_pay = other <= set ? 4 : 0;
            EXPECT_EQ(SeedCount(tables[other][0], ""), expected_pay) << set << other;
            EXPECT_EQ(SeedCount(tables[other][1], ""), expected_pay / 2 * 3) << set << other;
        }
    }
}

TEST_F(DefaultRowsTest, TwelveHundredEmployeesGoInThreeBatchesPerKind) {
    SeedRunOf(1200);
    BindToTableSet1("001");
    Record();
    ASSERT_EQ(Build(), 1);
    auto rows_in = [](const std::string& batch) {
        long n = 0;
        for (std::size_t at = batch.find("INSERT INTO"); at != std::string::npos;
             at = batch.find("INSERT INTO", at + 1))
            ++n;
        return n;
    };
    std::vector<long> pay, deductions;
    for (const std::string& t : SentWith("INSERT INTO HPOMPPD")) pay.push_back(rows_in(t));
    for (const std::string& t : SentWith("INSERT INTO HPOMPDD")) deductions.push_back(rows_in(t));
    EXPECT_EQ(pay, (std::vector<long>{500L * 2, 501L * 2, 199L * 2}));
    EXPECT_EQ(deductions, (std::vector<long>{500L * 3, 501L * 3, 199L * 3}));
    EXPECT_EQ(SeedCount("HPOMPPD", ""), 2400);
    // Every batch ran inside the one transaction of the build.
    EXPECT_EQ(payroll::LastTransactionOutcome(), payroll::TransactionOutcome::kCommitted);
    // The texts per employee have a place for every roster position; each
    // text was let go once its batch took it, as was each batch once it ran.
    EXPECT_EQ(engine_.m_strRowSQL[0].size(), 1200u);
    for (const auto& kind : engine_.m_strRowSQL)
        EXPECT_TRUE(
            std::all_of(kind.begin(), kind.end(), [](const CString& t) { return t.IsEmpty(); }));
    for (const auto& kind : engine_.m_strBatch)
        EXPECT_TRUE(
            std::all_of(kind.begin(), kind.end(), [](const CString& t) { return t.IsEmpty(); }));
}

TEST_F(DefaultRowsTest, SecondPayTypeOfACombinedRunGetsNoStatutoryRows) {
    run_.combined = "001";
    run_.pay_types = {"001", "002"};
    run_.deduction_items = {"S00", "S10", "S20", "T00", "T10", "T20", "X10"};
    SeedRunOf(2);
    // A statutory row of the second pay type left from earlier.
    SeedDeductionRow("HPOMPDD", "1000", "200203", 1, "002", "E0001", "T10", "5");
    BindToTableSet1("002");
    Record();
    ASSERT_EQ(Build(), 1);
    EXPECT_EQ(SeedCount("HPOMPDD", "PYTP_FG='002'"), 2);  // X10 of each employee
    EXPECT_EQ(SeedCount("HPOMPDD", "PYTP_FG='002' AND DDCT_CD='X10'"), 2);
    EXPECT_EQ(SentWith("DELETE FROM  HPOMPDD  WHERE CO_CD='1000' AND RVRS_YM='200203' AND SQ=1 "
                       "AND PYTP_FG <> '001'")
                  .size(),
              1u);
}

// Pay types paid separately are separate runs: building one keeps the
// statutory rows (the stored income tax) the other pay type's run holds in
// the same month and sequence.
TEST_F(DefaultRowsTest, SeparatePayTypesKeepEachOthersStatutoryRows) {
    run_.combined = "002";
    SeedRunOf(2);
    SeedDeductionRow("HPOMPDD", "1000", "200203", 1, "200", "E0001", "T00", "840120");
    BindToTableSet1("001");
    Record();
    ASSERT_EQ(Build(), 1);
    EXPECT_TRUE(SentWith("DELETE").empty());
    EXPECT_EQ(SeedCount("HPOMPDD", "PYTP_FG='200' AND DDCT_CD='T00' AND DDCT_AM=840120"), 1);
}

// A key without a head pay type cannot tell the run's statutory rows from
// the others': it is refused before anything is written.
TEST_F(DefaultRowsTest, AKeyWithoutHeadPayTypeIsRefused) {
    run_.combined = "001";
    SeedRunOf(2);
    SeedDeductionRow("HPOMPDD", "1000", "200203", 1, "200", "E0001", "T00", "840120");
    HPHONPD_YMD_FMT key = SeedKey(run_, "001");
    key.PYTP_HEAD = "";
    Record();
    EXPECT_EQ(engine_.init(&key), 0);
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages().back(), TheLangUtil().GetLangString(1200));
    EXPECT_TRUE(sent_.empty());
    // Reached past the check, the build still deletes nothing.
    engine_.m_HPHONPD = SeedKey(run_, "001");
    engine_.m_HPHONPD.PYTP_HEAD = "";
    engine_.m_nTableSet = 1;
    EXPECT_NE(Build(), 1);
    EXPECT_TRUE(SentWith("DELETE").empty());
    EXPECT_EQ(SeedCount("HPOMPDD", "PYTP_FG='200' AND DDCT_CD='T00'"), 1);
}

TEST_F(DefaultRowsTest, EmployeeWithoutMasterRecordGetsNoRows) {
    SeedRunOf(3);
    BindToTableSet1("001");
    ASSERT_EQ(engine_.Load_SEMP(1), 1);
    ASSERT_EQ(engine_.Load_HPHPOYM(), 1);
    // Gone from the master after the roster was read.
    SeedExec("DELETE FROM SEMP WHERE EMP_CD='E0002'");
    ASSERT_EQ(engine_.SetAllSempInsert(), 1);
    EXPECT_EQ(SeedCount("HPOMPPD", "EMP_CD='E0002'"), 0);
    EXPECT_EQ(SeedCount("HPOMPPD", ""), 4);
    EXPECT_TRUE(engine_.m_strRowSQL[0][1].IsEmpty());
}

TEST_F(DefaultRowsTest, QuotesAndPercentInCodesAreStoredVerbatim) {
    run_.pay_items = {"P'%"};
    SeedRunCalendar(run_);
    EmployeeSeed odd;
    odd.emp = "E'%s";
    odd.dept = "D'1";
    odd.pjt = "J%n";
    odd.naps = "1e3";  // a number in exponent form
    SeedEmployees("1000", {odd});
    SeedExec(
        "INSERT INTO HPOMPPD (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PAY_CD, PAY_AM) "
        "VALUES ('1000', '200203', 1, '001', 'E''%s', 'X', 1)");
    BindToTableSet1("001");
    ASSERT_EQ(Build(), 1);
    EXPECT_EQ(Scalar("SELECT DEPT_CD || PJT_CD || PAY_CD FROM HPOMPPD WHERE "
                     "EMP_CD='E''%s' AND PAY_CD<>'X'"),
              "D'1J%nP'%");
    EXPECT_EQ(Amount("HPOMPDD", "E''%s", "S00"), "1000");
}

TEST_F(DefaultRowsTest, LoneStepsOnTheirOwn) {
    SeedRunOf(2);
    BindToTableSet1("001");
    EXPECT_EQ(engine_.LoadOld_HPITMPD(), 1);
    EXPECT_EQ(engine_.GetMax_HPITMPD(), 1);
    ASSERT_EQ(engine_.OpenSEMP_ALL(), 1);
    ASSERT_EQ(engine_.m_nRowCount[payroll::engine::kEmployeeRows], 2);
    EXPECT_EQ(engine_.m_SEMP_ALL.at(1)->EMP_CD.Str(), "E0002");
    EXPECT_EQ(engine_.m_SEMP_ALL.at(1)->CDIV_CD.Str(), "DV1");
    EXPECT_EQ(engine_.m_SEMP_ALL.at(1)->NAPS_AM.Str(), "150000");
    SeedExec(
        "INSERT INTO HPOMPPD (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PAY_CD, PAY_AM) "
        "VALUES ('1000', '200203', 1, '001', 'E0002', 'P10', 1)");
    ASSERT_EQ(engine_.Load_HPITMPD("E0002"), 1);
    ASSERT_EQ(engine_.m_nPayListCnt[0], 1);
    EXPECT_EQ(engine_.SearhCode_PAY_CD(0, "E0002", 0, "P10"), 1);
    EXPECT_EQ(engine_.SearhCode_PAY_CD(1, "E0002", 0, "P10"), 0);
    EXPECT_EQ(engine_.SearhCode_PAY_CD(0, "E0002", 0, ""), 0);
    EXPECT_EQ(engine_.SearhCode_PAY_CD(0, "E0002", 7, "P10"), 0);

    // InsertData and UpdateData append to the employee's texts; a position
    // outside the run's limit is refused.
    ASSERT_EQ(engine_.Load_SEMP(1), 1);
    engine_.m_dsRoster[0].OnRollbackTrans();
    engine_.m_strRowSQL[1].clear();
    EXPECT_EQ(engine_.InsertData(1, 2, 1, "E0002", "S00", 1, ""), 1);
    EXPECT_NE(engine_.m_strRowSQL[1][1].Find("'S00',150000, '  ','R01',''"), -1)
        << engine_.m_strRowSQL[1][1].c_str();
    EXPECT_EQ(engine_.InsertData(0, 2, 1, "E0001", "S00", -1, ""), 1);
    EXPECT_TRUE(engine_.m_strRowSQL[1][0].IsEmpty());
    EXPECT_EQ(engine_.UpdateData(1, 2, 1, "E0002", "S10", 0), 1);
    EXPECT_NE(engine_.m_strRowSQL[1][1].Find("UPDATE HPOMPDD  SET DDCT_AM=50000 WHERE"), -1);
    EXPECT_EQ(engine_.InsertData(CSalaryCalcurate::kMaxRosterEmployees, 1, 0, "E", "P", 0, ""), 0);
    EXPECT_EQ(engine_.InsertData(-1, 1, 0, "E", "P", 0, ""), 0);
    EXPECT_EQ(engine_.UpdateData(0, 3, 0, "E", "S00", 0), 0);
}

}  // namespace
