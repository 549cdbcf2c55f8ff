// The monthly income tax of a company that withholds by the year's
// simplified table, on the law of 2002 as shipped (resources/law/2002):
// the published cells of the table, households worked by hand, the bonus
// tax of a one-month period agreeing with it, and a year without its table.
//
// The working of every case below, as a person checks it against the law
// of 2002 (소득세법 and its 시행령 as they stood for 2002 income):
//   1. The pay is placed in its cell of the table: cells 5,000 wide below
//      1,500,000, 10,000 wide below 3,000,000, 20,000 wide below 10,000,000
//      (the pay itself from 10,000,000); the annual pay is 12 × the cell's
//      midpoint.
//   2. Earned-income deduction of the annual pay: all of it to 5,000,000;
//      then 45 % to 15,000,000; 15 % to 30,000,000; 10 % to 45,000,000;
//      5 % above.
//   3. Basic deductions 1,000,000 a person; a household of one gets
//      1,000,000 more and one of two 500,000 more.
//   4. Standard deduction: 600,000 up to two persons, 1,800,000 from three.
//   5. National pension: 12 × 4.5 % of the standard monthly income of the
//      grade the cell's midpoint falls in (at most 162,000 a month).
//   6. Rate table 9 % to 10,000,000, 18 % to 40,000,000 (less 900,000),
//      27 % to 80,000,000 (less 4,500,000), 36 % above (less 11,700,000).
//   7. Credit: 45 % of the tax up to 500,000, then 225,000 + 30 % of the
//      rest, at most 400,000 a year.
//   8. The month's tax: (tax - credit) / 12, cut to tens; under 1,000 won
//      nothing is withheld.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "payroll/company.h"
#include "payroll/diagnostics.h"
#include "payroll/host.h"
#include "payroll/salary_calcurate.h"
#include "support/company_builder.h"
#include "support/engine_fixture.h"
#include "support/run_key_builder.h"

namespace {

using namespace payroll::testing;

class WithholdingTableTest : public DatabaseFixture {
  protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        SeedCompanySettings("1000");
        std::vector<payroll::folder::LawTable> tables;
        std::string error;
        ASSERT_TRUE(payroll::folder::LoadLaw(PAYROLL_SOURCE_DIR "/resources/law", &tables, &error))
            << error;
        payroll::ResetTransactionOutcome();
        SeedEmployeeRow("1000", "E1", "001");
        SeedExec(
            "INSERT INTO syscfg (CO_CD, CTR_CD, CTR_FG, CTR_NB, USE_YN, FG_TY) VALUES "
            "('1000', '21', '002', 0, '001', '001')");
    }

    // Binds a June run of E1 with the household given: a spouse or not and
    // the dependants.
    void Bind(const char* payType, bool spouse, int dependants) {
        HPHONPD_YMD_FMT key = RunKeyBuilder::Monthly("1000", "200206", "2", payType)
                                  .PayList(payType)
                                  .AllFilters()
                                  .Build();
        ASSERT_EQ(engine_.init(&key), 1);
        engine_.m_nTableSet = 1;
        ASSERT_EQ(engine_.OpenSEMP("E1"), 1);
        SEMP_FMT* e = engine_.m_SEMP_ALL.at(0);
        e->SPUS_YN = spouse ? "001" : "000";
        e->TDFR_SN = std::to_string(dependants).c_str();
        e->SUFR_SN = "0";
    }

    // The month's income tax of a monthly taxable pay, as the tax step
    // computes and keeps it.
    double MonthlyTax(double pay, bool spouse, int dependants) {
        Bind("100", spouse, dependants);
        std::memset(&engine_.m_HPOMNPY, 0, sizeof engine_.m_HPOMNPY);
        engine_.m_HPOMNPY.TPAY_AM = pay;
        EXPECT_EQ(engine_.GetCalcIncomeAndResTax("E1", 1, ""), 1);
        return engine_.m_HPOMNPY.INTX_AM;
    }

    ScopedRegistry registry_{""};
    CSalaryCalcurate engine_;
};

// The cells of the table as announced for a household of four (the
// employee, a spouse, two dependants).
//   2,000,000: cell 2,005,000, annual 24,060,000; deduction 9,500,000 +
//     15 % of 9,060,000 = 10,859,000; persons 4,000,000; standard
//     1,800,000; pension grade 1,920,000-2,020,000, 4.5 % of 1,970,000 =
//     88,650 × 12 = 1,063,800. Base 6,337,200; tax 9 % = 570,348; credit
//     225,000 + 30 % of 70,348 = 246,104.4; (570,348 - 246,104.4) / 12 =
//     27,020.3 -> 27,020.
//   4,000,000: cell 4,010,000, annual 48,120,000; deduction 13,250,000 +
//     5 % of 3,120,000 = 13,406,000; pension 162,000 × 12 = 1,944,000; base
//     26,970,000; tax 18 % less 900,000 = 3,954,600; credit 400,000;
//     3,554,600 / 12 = 296,216.7 -> 296,210.
//   6,000,000: cell 6,010,000, annual 72,120,000; deduction 14,606,000;
//     base 49,770,000; tax 27 % less 4,500,000 = 8,937,900; less 400,000,
//     / 12 = 711,491.7 -> 711,490.
//   1,000,000: annual 12,030,000 is less than its deductions: no tax.
TEST_F(WithholdingTableTest, ThePublishedCellsOfTheTableForAHouseholdOfFour) {
    EXPECT_DOUBLE_EQ(MonthlyTax(1000000, true, 2), 0);
    EXPECT_DOUBLE_EQ(MonthlyTax(2000000, true, 2), 27020);
    EXPECT_DOUBLE_EQ(MonthlyTax(4000000, true, 2), 296210);
    EXPECT_DOUBLE_EQ(MonthlyTax(6000000, true, 2), 711490);
    EXPECT_TRUE(Messages().empty());
}

// Households worked by hand.
//   Office worker, 3,000,000, a spouse and a child (three persons): cell
//     3,010,000, annual 36,120,000; deduction 11,750,000 + 10 % of
//     6,120,000 = 12,362,000; persons 3,000,000; standard 1,800,000;
//     pension grade 2,920,000-3,020,000: 4.5 % of 2,970,000 = 133,650 × 12
//     = 1,603,800. Base 17,354,200; tax 18 % less 900,000 = 2,223,756;
//     credit 400,000; 1,823,756 / 12 = 151,979.7 -> 151,970.
//   Single, 1,500,000: cell 1,505,000 (the first 10,000 cell), annual
//     18,060,000; deduction 9,500,000 + 15 % of 3,060,000 = 9,959,000;
//     own 1,000,000 + one-person 1,000,000; standard 600,000; pension
//     1,470,000 × 4.5 % = 66,150 × 12 = 793,800. Base 4,707,200; tax
//     423,648; credit 45 % = 190,641.6; 233,006.4 / 12 = 19,417.2 -> 19,410.
//   A family of five, 4,500,000 (spouse and three dependants): annual
//     54,120,000; deduction 13,250,000 + 5 % of 9,120,000 = 13,706,000;
//     persons 5,000,000; standard 1,800,000; pension 1,944,000. Base
//     31,670,000; tax 4,800,600; less 400,000, / 12 = 366,716.7 -> 366,710.
TEST_F(WithholdingTableTest, HouseholdsWorkedByHand) {
    EXPECT_DOUBLE_EQ(MonthlyTax(3000000, true, 1), 151970);
    EXPECT_DOUBLE_EQ(MonthlyTax(1500000, false, 0), 19410);
    EXPECT_DOUBLE_EQ(MonthlyTax(4500000, true, 3), 366710);
}

// A pay on a cell boundary takes the cell above it; one won below, the
// cell below. Household of four.
//   3,000,000: cell 3,010,000 (20,000 wide from 3,000,000), annual
//     36,120,000, base 16,354,200 (as the office worker above, one person
//     more), tax 2,043,756; less 400,000, / 12 = 136,979.7 -> 136,970.
//   2,999,999: cell 2,990,000-3,000,000, midpoint 2,995,000, annual
//     35,940,000; deduction 11,750,000 + 10 % of 5,940,000 = 12,344,000;
//     pension as above 1,603,800; base 16,192,200; tax 2,014,596; less
//     400,000, / 12 = 134,549.7 -> 134,540.
//   From 10,000,000 the pay is not placed in a cell: 12,000,000 is 144,000,000
//     a year; the deduction stops at that of 120,000,000 (17,000,000);
//     base 144,000,000 - 17,000,000 - 4,000,000 - 1,800,000 - 1,944,000 =
//     119,256,000; tax 36 % less 11,700,000 = 31,232,160; less 400,000,
//     / 12 = 2,569,346.7 -> 2,569,340.
TEST_F(WithholdingTableTest, CellBoundariesAndPaysBeyondTheTable) {
    EXPECT_DOUBLE_EQ(MonthlyTax(3000000, true, 2), 136970);
    EXPECT_DOUBLE_EQ(MonthlyTax(2999999, true, 2), 134540);
    EXPECT_DOUBLE_EQ(MonthlyTax(12000000, true, 2), 2569340);
}

// Single, 900,000: cell 902,500, annual 10,830,000; deduction 5,000,000 +
// 45 % of 5,830,000 = 7,623,500; own and one-person 2,000,000; standard
// 600,000; pension grade 820,000-920,000: 4.5 % of 870,000 = 39,150 × 12 =
// 469,800. Base 136,700; tax 12,303; credit 45 % = 5,536.35; 6,766.65 / 12
// = 563.9 -> 560: under 1,000 won, not withheld. 915,000 gives 970, not
// withheld either; the small-amount rule is the bonus road's.
TEST_F(WithholdingTableTest, ATaxUnderAThousandWonIsNotWithheld) {
    EXPECT_DOUBLE_EQ(MonthlyTax(900000, false, 0), 0);
    EXPECT_DOUBLE_EQ(MonthlyTax(915000, false, 0), 0);
    EXPECT_GT(MonthlyTax(1000000, false, 0), 1000);
}

// The bonus tax of a bonus paid on its own in June (a period of one month,
// nothing withheld before) is the same computation as the month's tax.
TEST_F(WithholdingTableTest, TheBonusOfOneMonthIsTaxedAsThatMonthsPay) {
    for (double pay : {1500000.0, 2000000.0, 3333333.0, 4000000.0, 7777777.0}) {
        const double monthly = MonthlyTax(pay, true, 1);
        Bind("210", true, 1);
        std::memset(&engine_.m_HPOMNPY, 0, sizeof engine_.m_HPOMNPY);
        engine_.m_HPOMNPY.TBON_AM = pay;
        ASSERT_EQ(engine_.GetCalcBonus("E1", 1, ""), 1);
        EXPECT_DOUBLE_EQ(engine_.m_HPOMNPY.INTX_AM, monthly) << pay;
    }
}

// A year whose table cells are missing is not taxed from an empty table:
// the step fails and names the table.
TEST_F(WithholdingTableTest, AYearWithoutItsTableIsNotTaxed) {
    SeedExec("DELETE FROM HPFSTIA");
    payroll::ClearLastFailure();
    Bind("100", true, 2);
    std::memset(&engine_.m_HPOMNPY, 0, sizeof engine_.m_HPOMNPY);
    engine_.m_HPOMNPY.TPAY_AM = 4000000;
    EXPECT_EQ(engine_.GetCalcIncomeAndResTax("E1", 1, ""), 0);
    EXPECT_DOUBLE_EQ(engine_.m_HPOMNPY.INTX_AM, 0);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPOMNPY"), "0");
    const payroll::EngineFailure failure = payroll::LastEngineFailure();
    EXPECT_NE(failure.detail.find("HPFSTIA"), std::string::npos) << failure.detail;
}

}  // namespace
