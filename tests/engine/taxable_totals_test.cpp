#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/common/row_counts.h"
#include "engine/tax/exemptions.h"
#include "payroll/salary_calcurate.h"
#include "platform/db/connection.h"
#include "support/company_builder.h"
#include "support/engine_fixture.h"
#include "support/run_key_builder.h"

namespace {

using namespace payroll::testing;
using payroll::exemptions::Classify;
using payroll::exemptions::Limits;
using payroll::exemptions::PayRow;
using payroll::exemptions::Totals;

// ---- The classification on its own ------------------------------------------

PayRow Taxable(double amount, const char* code = "P10") {
    return {code, amount, "001", "001", ""};
}
PayRow Exempt(const char* cls, double amount) {
    return {"P20", amount, "001", "002", cls};
}

Limits SomeLimits() {
    Limits l;
    l.overtime_yearly = 2400000;
    l.class002 = 100000;
    l.class003 = 100000;
    l.class004 = 200000;
    l.class005 = 50000;
    l.overtime_ceiling = 1000000;
    return l;
}

TEST(ExemptionsTest, ClassesAndTheirLimits) {
    struct Case {
        const char* what;
        std::vector<PayRow> rows;
        double taxable, other, class006;
    } cases[] = {
        {"class 003 above its per-row limit", {Exempt("003", 150000)}, 50000, 100000, 0},
        {"class 003: the limit applies to each row",
         {Exempt("003", 100000), Exempt("003", 100000)},
         0,
         200000,
         0},
        {"class 002: the limit applies to the total",
         {Exempt("002", 100000), Exempt("002", 100000)},
         100000,
         100000,
         0},
        {"class 002 within its limit", {Exempt("002", 60000), Exempt("002", 40000)}, 0, 100000, 0},
        {"class 004 has its own limit", {Exempt("004", 250000)}, 50000, 200000, 0},
        {"class 005 has its own limit", {Exempt("005", 50000), Exempt("005", 50001)}, 1, 100000, 0},
        {"class 006 is kept apart", {Exempt("006", 70000)}, 0, 0, 70000},
        {"other classes are exempt without limit",
         {Exempt("", 5000000), Exempt("999", 1)},
         0,
         5000001,
         0},
        {"taxable rows", {Taxable(1000), Taxable(2000)}, 3000, 0, 0},
        {"rows without an item or a tax flag are not classified",
         {{"P30", 500, "", "", ""}, {"", 700, "001", "001", ""}},
         0,
         0,
         0},
    };
    for (const Case& c : cases) {
        int asked = 0;
        Totals t = Classify(c.rows, SomeLimits(), "001", [&] {
            ++asked;
            return 0.0;
        });
        EXPECT_DOUBLE_EQ(t.taxable, c.taxable) << c.what;
        EXPECT_DOUBLE_EQ(t.other_exempt, c.other) << c.what;
        EXPECT_DOUBLE_EQ(t.class006, c.class006) << c.what;
        EXPECT_DOUBLE_EQ(t.exempt_overtime, 0) << c.what;
        EXPECT_DOUBLE_EQ(t.bonus_taxable, 0) << c.what;
        EXPECT_EQ(asked, 0) << c.what;
    }
}

TEST(ExemptionsTest, Overtime) {
    const Limits limits = SomeLimits();  // yearly 2,400,000; ceiling 1,000,000
    struct Case {
        const char* what;
        const char* type;
        std::vector<PayRow> rows;
        double granted;  // exempt overtime of the year so far
        double taxable, exempt;
        bool asked;
    } cases[] = {
        {"part of the yearly limit left",
         "002",
         {Exempt("001", 200000)},
         2300000,
         100000,
         100000,
         true},
        {"exactly at the yearly limit", "002", {Exempt("001", 100000)}, 2300000, 0, 100000, true},
        {"one won above the yearly limit",
         "002",
         {Exempt("001", 100001)},
         2300000,
         1,
         100000,
         true},
        {"the limit used up before", "002", {Exempt("001", 50000)}, 2500000, 50000, 0, true},
        {"another employee type", "001", {Exempt("001", 200000)}, 0, 200000, 0, false},
        {"no employee type", "", {Exempt("001", 200000)}, 0, 200000, 0, false},
        {"pay exactly at the ceiling",
         "002",
         {Taxable(900000), Exempt("002", 50000), Exempt("002", 50000), Exempt("001", 30000)},
         0,
         900000,
         30000,
         true},
        {"pay one won above the ceiling",
         "002",
         {Taxable(900001), Exempt("002", 50000), Exempt("002", 50000), Exempt("001", 30000)},
         0,
         930001,
         0,
         false},
        // The ceiling weighs all class-002 pay, also the part within its limit.
        {"class-002 pay counts toward the ceiling",
         "002",
         {Taxable(850000), Exempt("002", 150001), Exempt("001", 30000)},
         0,
         850000 + 50001 + 30000,
         0,
         false},
    };
    for (const Case& c : cases) {
        bool asked = false;
        Totals t = Classify(c.rows, limits, c.type, [&] {
            asked = true;
            return c.granted;
        });
        EXPECT_DOUBLE_EQ(t.taxable, c.taxable) << c.what;
        EXPECT_DOUBLE_EQ(t.exempt_overtime, c.exempt) << c.what;
        EXPECT_EQ(asked, c.asked) << c.what;
    }
}

TEST(ExemptionsTest, SalaryBonusLinesAndBonusTypeItems) {
    std::vector<PayRow> rows = {
        {"P00", 2000000, "001", "001", ""},  // base salary, taxable
        {"V00", 500000, "201", "001", ""},   // bonus line of a bonus-type item
        {"V10", 300000, "2", "001", ""},     // bonus-type item
        {"P00", 100000, "", "", ""},         // no item: salary line only
        {"V00", 1000, "001", "002", "006"},
    };
    Totals t = Classify(rows, Limits{}, "001", nullptr);
    EXPECT_DOUBLE_EQ(t.salary, 2100000);
    EXPECT_DOUBLE_EQ(t.bonus, 501000);
    EXPECT_DOUBLE_EQ(t.taxable, 2000000);
    EXPECT_DOUBLE_EQ(t.bonus_taxable, 800000);
    EXPECT_DOUBLE_EQ(t.class006, 1000);
    // No limits: every limited class is wholly taxable.
    Totals z = Classify({Exempt("002", 10), Exempt("003", 20), Exempt("001", 30)}, Limits{}, "002",
                        [] { return 0.0; });
    EXPECT_DOUBLE_EQ(z.taxable, 60);
    EXPECT_DOUBLE_EQ(z.other_exempt, 0);
}

// ---- The steps on the database ---------------------------------------------

class TaxableTotalsTest : public DatabaseFixture {
  protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        SeedCompanySettings();
        SeedLimit("1000", "001", "2400000");
        SeedLimit("1000", "002", "100000");
        SeedLimit("1000", "003", "100000");
        SeedLimit("1000", "007", "1000000");
        SeedPayItem("1000", "2002", "001", "P00", "001", "");
        SeedPayItem("1000", "2002", "001", "P10", "002", "001");  // overtime
        SeedPayItem("1000", "2002", "001", "P20", "002", "003");
        SeedPayItem("1000", "2002", "001", "P30", "002", "002");
        SeedPayItem("1000", "2002", "001", "V00", "001", "");
        SeedEmployeeRow("1000", "E1", "002", "D1");
        SeedEmployeeRow("1000", "E2", "001", "D1");
        key_ = RunKeyBuilder::Monthly("1000", "200203", "1", "001")
                   .PayList("001")
                   .AllFilters()
                   .Build();
    }
    void Bind() { ASSERT_EQ(engine_.init(&key_), 1); }
    // Runs the three steps for one employee on a cleared record.
    double Totals(const char* employee) {
        std::memset(&record_, 0, sizeof record_);
        EXPECT_EQ(engine_.OpenSEMP(employee), 1);
        EXPECT_EQ(engine_.LoadDataIncom(employee, 1), 1);
        return engine_.GetSalaryTotalCalc(employee, 2002, &record_);
    }
    static void Pay(const char* employee, const char* code, const char* amount,
                    const char* month = "200203", const char* payType = "001") {
        SeedPayRow("HPITMPD", "1000", month, 1, payType, employee, code, amount);
    }
    static void Stored(const char* employee, const char* month, int sq, const char* payType,
                       const char* exemptOvertime) {
        SeedExec(std::string("INSERT INTO HPOMNPY (CO_CD, EMP_CD, RVRS_YM, SQ, PYTP_FG, EWTE_AM) "
                             "VALUES ('1000', '") +
                 employee + "', '" + month + "', " + std::to_string(sq) + ", '" + payType + "', " +
                 exemptOvertime + ")");
    }

    ScopedRegistry registry_{""};
    CSalaryCalcurate engine_;
    HPHONPD_YMD_FMT key_;
    HPOMNPY_FMT record_;
};

TEST_F(TaxableTotalsTest, EmployeeAttributes) {
    Bind();
    SeedExec("INSERT INTO SCTRL_D (CO_CD, CTRL_CD, CTD_CD, RMK_DC) VALUES ('1000','G2','002','r')");
    ASSERT_EQ(engine_.OpenSEMP("E1"), 1);
    const SEMP_FMT* e = engine_.m_SEMP_ALL.at(0);
    EXPECT_EQ(e->EMP_CD.View(), "E1");
    EXPECT_EQ(e->HTYP_CD.View(), "002");
    EXPECT_EQ(e->DEPT_CD.View(), "D1");
    EXPECT_EQ(e->CDIV_CD.View(), "DVD1");
    EXPECT_EQ(e->DUMMY2.View(), "d2");
    EXPECT_EQ(e->RMK_DC.View(), "r");
    EXPECT_EQ(std::atof(e->NAPS_AM.c_str()), 90000);
    EXPECT_EQ(std::atoi(e->TDFR_SN.c_str()), 2);
    EXPECT_TRUE(e->DIV_TO_CD.IsEmpty());
    EXPECT_EQ(engine_.m_nRowCount[payroll::engine::kEmployeeRows], 1);
}

TEST_F(TaxableTotalsTest, AnUnknownEmployeeClearsThePreviousOne) {
    Bind();
    Pay("E9", "P10", "200000");
    ASSERT_EQ(engine_.OpenSEMP("E1"), 1);
    EXPECT_EQ(engine_.OpenSEMP("E9"), 0);
    EXPECT_EQ(engine_.m_nRowCount[payroll::engine::kEmployeeRows], 0);
    const SEMP_FMT* e = engine_.m_SEMP_ALL.at(0);
    EXPECT_TRUE(e->EMP_CD.IsEmpty());
    EXPECT_TRUE(e->HTYP_CD.IsEmpty());
    EXPECT_TRUE(e->DEPT_CD.IsEmpty());
    EXPECT_TRUE(e->CDIV_CD.IsEmpty());
    // The totals of E9 no longer borrow E1's type "002": overtime is taxable.
    std::memset(&record_, 0, sizeof record_);
    ASSERT_EQ(engine_.LoadDataIncom("E9", 1), 1);
    EXPECT_DOUBLE_EQ(engine_.GetSalaryTotalCalc("E9", 2002, &record_), 200000);
    EXPECT_DOUBLE_EQ(record_.EWTE_AM, 0);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(TaxableTotalsTest, TheEmployeeBufferIsRebuiltWhenMissing) {
    Bind();
    engine_.m_SEMP_ALL.Free();
    ASSERT_EQ(engine_.OpenSEMP("E2"), 1);
    EXPECT_EQ(engine_.m_SEMP_ALL.capacity(), 5u);
    EXPECT_EQ(engine_.m_SEMP_ALL.at(0)->EMP_CD.View(), "E2");
    engine_.m_SEMP_ALL.Free();
    EXPECT_EQ(engine_.OpenSEMP("nobody"), 0);
    EXPECT_TRUE(engine_.m_SEMP_ALL.at(0)->EMP_CD.IsEmpty());
}

TEST_F(TaxableTotalsTest, TotalsOfAnEmployee) {
    Bind();
    Pay("E1", "P00", "900000");
    Pay("E1", "P20", "150000");  // class 003: 50,000 above its limit
    Pay("E1", "P30", "60000");   // class 002
    Pay("E1", "P30", "60000");   // class 002: 20,000 above its limit on the total
    Pay("E1", "P10", "200000");  // overtime
    Pay("E1", "V00", "10000");
    Pay("E1", "X99", "5000");                     // no item
    Pay("E1", "P00", "777", "200203", "201");     // another pay type of the month
    Pay("E2", "P00", "123");                      // another employee
    Stored("E1", "200201", 1, "001", "2000000");  // granted earlier in the year
    Stored("E1", "200202", 1, "001", "300000");
    Stored("E1", "200203", 1, "001", "55555");   // this run's own row does not count
    Stored("E1", "200112", 1, "001", "999999");  // another year
    record_.TBON_AM = 0;
    double result = Totals("E1");
    // Taxable rows 910,000 plus 50,000 of class 003 give X = 960,000; with
    // the class-002 pay K = 120,000 that is 1,080,000, above the 1,000,000
    // ceiling, so all overtime is taxable. The class-002 limit leaves 20,000
    // of K taxable: 980,000 + 200,000.
    EXPECT_DOUBLE_EQ(record_.TPAY_AM, 980000 + 200000);
    EXPECT_DOUBLE_EQ(result, 1180000);
    EXPECT_DOUBLE_EQ(record_.SALY_AM, 900000);
    EXPECT_DOUBLE_EQ(record_.BONUS_AM, 10000);
    EXPECT_DOUBLE_EQ(record_.EWTE_AM, 0);
    EXPECT_DOUBLE_EQ(record_.ETTE_AM, 100000 + 100000);

    // Within the ceiling the year's earlier exemption decides: 2,300,000 was
    // granted, 100,000 of the 200,000 remain exempt.
    SeedExec("DELETE FROM HPITMPD WHERE PAY_CD IN ('P20', 'P30')");
    result = Totals("E1");
    EXPECT_DOUBLE_EQ(record_.EWTE_AM, 100000);
    EXPECT_DOUBLE_EQ(record_.TPAY_AM, 910000 + 100000);
    EXPECT_DOUBLE_EQ(result, 1010000);
    EXPECT_DOUBLE_EQ(record_.ETTE_AM, 0);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(TaxableTotalsTest, BonusTypeItemsRaiseTheBonusTotal) {
    // A bonus run: its items are bonus-type items.
    SeedPayItem("1000", "2002", "201", "B00", "001", "");
    SeedPayItem("1000", "2002", "201", "B10", "002", "001");
    key_ = RunKeyBuilder::Monthly("1000", "200203", "1", "201").PayList("201").AllFilters().Build();
    Bind();
    Pay("E2", "B00", "400000", "200203", "201");
    Pay("E2", "B10", "1000", "200203", "201");
    std::memset(&record_, 0, sizeof record_);
    record_.TBON_AM = 50000;  // added to, never replaced
    record_.TPAY_AM = 777;    // replaced
    ASSERT_EQ(engine_.OpenSEMP("E2"), 1);
    ASSERT_EQ(engine_.LoadDataIncom("E2", 1), 1);
    double result = engine_.GetSalaryTotalCalc("E2", 2002, &record_);
    EXPECT_DOUBLE_EQ(record_.TBON_AM, 450000);
    EXPECT_DOUBLE_EQ(record_.TPAY_AM, 1000);  // type "001": overtime taxable
    EXPECT_DOUBLE_EQ(result, 451000);
    EXPECT_DOUBLE_EQ(record_.SALY_AM, 0);
}

TEST_F(TaxableTotalsTest, CombinedRunsSelectWithoutAPayTypeCondition) {
    key_.CCIS_YN = "001";
    key_.PYTP_FG = "001";
    Bind();
    Pay("E1", "P10", "300000");
    Record();
    Totals("E1");
    const std::string rows =
        "SELECT * FROM HPITMPD  WHERE CO_CD='1000' AND EMP_CD='E1' AND RVRS_YM='200203' AND "
        "PYDD_FG='P2' AND SQ=1  ";
    const std::string night =
        "select a.EWTE_AM-b.EWTE_AM SUM_AM from  ( select SUM(EWTE_AM) EWTE_AM from HPOMNPY WHERE "
        "CO_CD='1000' AND EMP_CD='E1' AND RVRS_YM LIKE '2002%' )a, ( select EWTE_AM from HPOMNPY "
        "WHERE CO_CD='1000' AND EMP_CD='E1' AND RVRS_YM='200203' AND SQ=1   )b ";
    // count, attributes, rows, night total, and (no row of the run stored
    // yet) the year's sum alone
    ASSERT_EQ(sent_.size(), 5u);
    EXPECT_EQ(sent_[2], rows);
    EXPECT_EQ(sent_[3], night);
    EXPECT_EQ(sent_[4],
              "select SUM(EWTE_AM) SUM_AM from HPOMNPY WHERE CO_CD='1000' AND EMP_CD='E1' AND "
              "RVRS_YM LIKE '2002%' ");
    // Nothing stored this year: nothing counts as granted.
    EXPECT_DOUBLE_EQ(record_.EWTE_AM, 300000);

    // A single pay type carries its condition.
    key_.CCIS_YN = "002";
    Bind();
    sent_.clear();
    Totals("E1");
    ASSERT_EQ(sent_.size(), 5u);
    EXPECT_EQ(sent_[2], rows.substr(0, rows.size() - 1) + "AND PYTP_FG='001'  ");
    EXPECT_NE(sent_[3].find("AND SQ=1  AND PYTP_FG='001'  )b "), std::string::npos) << sent_[3];
}

TEST_F(TaxableTotalsTest, TableSetsAndKinds) {
    Bind();
    struct Case {
        int set, kind;
        const char* table;
        const char* lineKind;
    } cases[] = {
        {0, 2, "HPITMPD ", "P2"}, {1, 0, "HPOMPPD ", "P2"},  {2, 4, "HTOWTRT ", "P2"},
        {0, 1, "HPITMDD ", "P3"}, {1, -1, "HPOMPDD ", "P3"}, {2, 3, "HTOWTDR ", "P3"},
        {3, 2, "", "P2"},         {9, 2, "", "P2"},          {-4, 1, "", "P3"},
    };
    for (const Case& c : cases) {
        engine_.m_nTableSet = c.set;
        CString sql = engine_.QueryString(c.kind, "E'1", 1);
        EXPECT_EQ(sql.Left(static_cast<int>(std::strlen("SELECT * FROM ")) +
                           static_cast<int>(std::strlen(c.table)) + 1),
                  std::string("SELECT * FROM ") + c.table + " ")
            << c.set << " " << c.kind;
        EXPECT_NE(sql.Find((std::string("PYDD_FG='") + c.lineKind + "'").c_str()), -1);
        EXPECT_NE(sql.Find("EMP_CD='E''1'"), -1);
    }
}

TEST_F(TaxableTotalsTest, AnIncompleteKeyTouchesNothing) {
    Bind();
    Pay("E1", "P00", "100");
    engine_.m_HPHONPD.SQ = "1;";
    Record();
    record_.TPAY_AM = 7;
    EXPECT_EQ(engine_.OpenSEMP("E1"), 0);
    EXPECT_EQ(engine_.QueryString(2, "E1", 1), "");
    EXPECT_EQ(engine_.LoadDataIncom("E1", 1), 0);
    EXPECT_DOUBLE_EQ(engine_.GetNightTotal("E1"), 0);
    EXPECT_DOUBLE_EQ(engine_.GetSalaryTotalCalc("E1", 2002, &record_), 0);
    EXPECT_DOUBLE_EQ(record_.TPAY_AM, 7);
    EXPECT_EQ(engine_.ChkTotalPay(2, ""), 0);
    EXPECT_DOUBLE_EQ(engine_.GetSalaryTotalCalc("E1", 2002, nullptr), 0);
    EXPECT_TRUE(sent_.empty());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(TaxableTotalsTest, PayRowsThatFailToLoad) {
    Bind();
    SeedExec("DROP TABLE HPITMPD");
    EXPECT_EQ(engine_.LoadDataIncom("E1", 1), 0);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "QueryString error");
    // The cursor holds nothing after the failure: no pay at all.
    std::memset(&record_, 0, sizeof record_);
    EXPECT_EQ(engine_.OpenSEMP("E1"), 1);
    EXPECT_DOUBLE_EQ(engine_.GetSalaryTotalCalc("E1", 2002, &record_), 0);
}

// ---- Pay totals per employee and the grid's default deductions -------------

TEST_F(TaxableTotalsTest, PayTotalList) {
    SeedExec("INSERT INTO H_SEMP (CO_CD, EMP_CD) VALUES ('1000','E1'), ('1000','E2')");
    Pay("E1", "P00", "1000");
    Pay("E1", "P10", "234.5");
    Pay("E2", "P00", "10");
    Pay("E2", "P00", "99", "200203", "201");
    Bind();
    Record();
    ASSERT_EQ(engine_.ChkTotalPay(0, ""), 1);
    ASSERT_EQ(engine_.m_nRowCount[payroll::engine::kPayCheckRows], 2);
    EXPECT_EQ(engine_.m_ChkPay.at(0)->EMP_CD.View(), "E1");
    EXPECT_DOUBLE_EQ(std::atof(engine_.m_ChkPay.at(0)->PAY_AM.c_str()), 1234.5);
    EXPECT_DOUBLE_EQ(std::atof(engine_.m_ChkPay.at(1)->PAY_AM.c_str()), 10);
    ASSERT_FALSE(sent_.empty());
    EXPECT_NE(sent_[0].find("PYDD_FG='P2'   and PYTP_FG='001'     )A"), std::string::npos)
        << sent_[0];

    // One employee; the combined-run code keeps the pay-type condition, the
    // division filter "001" drops it.
    key_.CCIS_YN = "001";
    Bind();
    sent_.clear();
    ASSERT_EQ(engine_.ChkTotalPay(0, "E2"), 1);
    EXPECT_EQ(engine_.m_nRowCount[payroll::engine::kPayCheckRows], 1);
    EXPECT_DOUBLE_EQ(std::atof(engine_.m_ChkPay.at(0)->PAY_AM.c_str()), 10);
    EXPECT_NE(sent_[0].find("and PYTP_FG='001' "), std::string::npos);
    key_.DIV_FILTER = "001";
    Bind();
    sent_.clear();
    ASSERT_EQ(engine_.ChkTotalPay(0, "E2"), 1);
    EXPECT_EQ(sent_[0].find("PYTP_FG"), std::string::npos) << sent_[0];
    EXPECT_NE(sent_[0].find("and DIV_CD='001'  "), std::string::npos) << sent_[0];
    EXPECT_EQ(engine_.m_nRowCount[payroll::engine::kPayCheckRows],
              0);  // no row carries division 001
    EXPECT_TRUE(Messages().empty());
}

TEST_F(TaxableTotalsTest, PayTotalsOfTablesWithoutPayAmounts) {
    Pay("E1", "P00", "1000");
    Bind();
    struct Case {
        int set, kind;
    } cases[] = {{0, 1}, {2, 2}, {0, 100}, {-5, 0}};
    for (const Case& c : cases) {
        driver_.Clear();
        engine_.m_nTableSet = c.set;
        EXPECT_EQ(engine_.ChkTotalPay(c.kind, ""), 0) << c.set << " " << c.kind;
        ASSERT_EQ(Messages().size(), 1u);
        EXPECT_EQ(Messages()[0], "ChkTotalPay error");
        EXPECT_EQ(engine_.m_nRowCount[payroll::engine::kPayCheckRows], 0);
    }
}

TEST_F(TaxableTotalsTest, DefaultDeductionTexts) {
    Pay("E1", "P00", "1000");
    Bind();
    SeedExec(
        "INSERT INTO HPITMDD (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PYDD_FG, DDCT_CD, DDCT_AM) "
        "VALUES ('1000','200203',1,'001','E1','P3','T00',10), "
        "('1000','200203',1,'001','E1','P3','S00',0), ('1000','200203',1,'001','E1','P3','S10',5)");
    G_DataSource grid, deductions;
    ASSERT_TRUE(grid.OnExecuteSQL("SELECT EMP_CD FROM SEMP WHERE CO_CD='1000' ORDER BY EMP_CD"));
    ASSERT_TRUE(deductions.OnExecuteSQL("SELECT DDCT_CD, DDCT_AM FROM HPITMDD ORDER BY DDCT_CD"));
    CString pension = "-", health = "-";
    int pensionRow = -1, healthRow = -1;
    EXPECT_EQ(
        engine_.GetSempValue(0, &grid, &deductions, &pension, &health, &pensionRow, &healthRow), 1);
    EXPECT_DOUBLE_EQ(std::atof(pension.c_str()), 90000);
    EXPECT_EQ(pensionRow, 0);
    EXPECT_EQ(health, "-");  // a health deduction already stands
    EXPECT_EQ(healthRow, -1);

    // With the pay totals failing to load, both default to "0".
    engine_.m_nTableSet = 2;
    EXPECT_EQ(
        engine_.GetSempValue(0, &grid, &deductions, &pension, &health, &pensionRow, &healthRow), 1);
    EXPECT_EQ(pension, "0");
    EXPECT_EQ(health, "0");
    EXPECT_EQ(healthRow, 1);

    // No such grid row, no grid, no outputs.
    EXPECT_EQ(
        engine_.GetSempValue(5, &grid, &deductions, &pension, &health, &pensionRow, &healthRow), 0);
    EXPECT_EQ(engine_.GetSempValue(0, nullptr, &deductions, &pension, &health, nullptr, nullptr),
              0);
    engine_.m_nTableSet = 0;
    EXPECT_EQ(engine_.GetSempValue(0, &grid, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(engine_.GetSempValue(0, &grid, &deductions, nullptr, nullptr, nullptr, nullptr), 1);
}

}  // namespace
