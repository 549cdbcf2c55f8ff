// The month's close after the tax road, worked by hand on the year company
// (tests/engine/tax_road_fixture.h): an office worker (E01, type 001) and a
// production worker (E02, type 002) in March 2002, every figure from gross
// pay to net pay.
#include <gtest/gtest.h>

#include <string>

#include "payroll/reading.h"
#include "payroll/roads.h"
#include "support/company_builder.h"
#include "tests/engine/tax_road_fixture.h"

namespace {

using payroll::testing::Amount;
using payroll::testing::SeedCount;
using payroll::testing::TaxRoadTest;

class MonthCloseTest : public TaxRoadTest {
  protected:
    void SetUp() override {
        TaxRoadTest::SetUp();
        SeedYearCompany();
        // What the agencies bill each month: pension and health insurance.
        Exec("UPDATE SEMP SET NAPS_AM=90000, HIFA_AM=35000 WHERE EMP_CD='E01'");
        Exec("UPDATE SEMP SET NAPS_AM=40500, HIFA_AM=15750 WHERE EMP_CD='E02'");
    }
    payroll::RoadResult Recalculate(bool close = true) {
        return payroll::RecalculateTax("1000", "2002", 1, false, nullptr, close);
    }
    double Row(const char* emp, const char* code, int sq = 1) {
        return Amount(Scalar(std::string("SELECT DDCT_AM FROM HPOMPDD WHERE EMP_CD='") + emp +
                             "' AND RVRS_YM='200203' AND SQ=" + std::to_string(sq) +
                             " AND DDCT_CD='" + code + "'"));
    }
    payroll::reading::ResultLine Line(const char* emp) {
        payroll::reading::MonthResults month;
        std::string error;
        EXPECT_TRUE(payroll::reading::ReadMonthResults("1000", "200203", 1, 0, &month, &error))
            << error;
        for (const payroll::reading::ResultLine& line : month.lines)
            if (line.employee == emp) return line;
        ADD_FAILURE() << "no line for " << emp;
        return {};
    }
};

TEST_F(MonthCloseTest, AMonthWorkedByHandFromGrossToNet) {
    const payroll::RoadResult r = Recalculate();
    ASSERT_EQ(r.outcome, payroll::RoadOutcome::kCommitted) << r.reason;

    // E01: pay P00 2,000,000 + P10 150,000 + P20 100,000 = 2,250,000 gross,
    // taxable 2,150,000. Income tax 66,740 (the year driver's: 5% of
    // 2,134,970 less 40,000, cut to tens). Resident tax 10% of it: 6,674,
    // cut to tens 6,670. Pension 90,000 and health 35,000 as billed.
    // Employment insurance 0.5% of 2,150,000 = 10,750. S30 7,000 and R01
    // 5,030 stay as they were.
    const payroll::reading::ResultLine e01 = Line("E01");
    EXPECT_EQ(e01.gross, 2250000);
    EXPECT_EQ(e01.taxable, 2150000);
    EXPECT_EQ(e01.income_tax, 66740);
    EXPECT_EQ(e01.resident_tax, 6670);
    EXPECT_EQ(e01.pension, 90000);
    EXPECT_EQ(e01.health, 35000);
    EXPECT_EQ(e01.employment, 10750);
    EXPECT_EQ(e01.other_deductions, 7000 + 5030);
    // 90,000 + 35,000 + 10,750 + 66,740 + 6,670 + 12,030 = 221,190.
    EXPECT_EQ(e01.total_deductions, 221190);
    EXPECT_EQ(e01.net, 2250000 - 221190);
    // The result row carries the deductions by the persistence mapping.
    EXPECT_EQ(Stored("E01", "200203", "HIFE_AM"), 90000);
    EXPECT_EQ(Stored("E01", "200203", "NAPE_AM"), 35000);
    EXPECT_EQ(Stored("E01", "200203", "DDCT_AM"), 10750);
    EXPECT_EQ(Stored("E01", "200203", "RSTX_AM"), 6670);

    // E02: pay 900,000 + meal 80,000 + overtime 200,000 = 1,180,000 gross,
    // taxable 900,000 below the first bracket: no income tax. His run has
    // no T10 and no S20 row: none is added. Pension 40,500, health 15,750.
    const payroll::reading::ResultLine e02 = Line("E02");
    EXPECT_EQ(e02.gross, 1180000);
    EXPECT_EQ(e02.income_tax, 0);
    EXPECT_EQ(e02.pension, 40500);
    EXPECT_EQ(e02.health, 15750);
    EXPECT_EQ(e02.resident_tax, 0);
    EXPECT_EQ(e02.employment, 0);
    EXPECT_EQ(e02.net, 1180000 - 56250);
    EXPECT_EQ(SeedCount("HPOMPDD", "EMP_CD='E02' AND DDCT_CD IN ('T10','S20')"), 0);
}

TEST_F(MonthCloseTest, ARaisedBasePayCarriesThroughAfterTheRecalculation) {
    ASSERT_EQ(Recalculate().outcome, payroll::RoadOutcome::kCommitted);
    const std::vector<std::string> once = Dump();
    // Twice the same: the close changes no row the second time.
    ASSERT_EQ(Recalculate().outcome, payroll::RoadOutcome::kCommitted);
    EXPECT_EQ(Dump(), once);

    // Base pay 2,500,000: taxable 2,650,000, base 2,634,970, tax 5% less
    // 40,000 = 91,748.5, cut to 91,740; resident 9,170; employment 13,250.
    Exec(
        "UPDATE HPOMPPD SET PAY_AM=2500000 WHERE EMP_CD='E01' AND RVRS_YM='200203' AND "
        "PAY_CD='P00'");
    ASSERT_EQ(Recalculate().outcome, payroll::RoadOutcome::kCommitted);
    EXPECT_EQ(Row("E01", "T00"), 91740);
    EXPECT_EQ(Row("E01", "T10"), 9170);
    EXPECT_EQ(Row("E01", "S20"), 13250);
    EXPECT_EQ(Stored("E01", "200203", "RSTX_AM"), 9170);
    EXPECT_EQ(Line("E01").net, 2750000 - (90000 + 35000 + 13250 + 91740 + 9170 + 12030));
}

TEST_F(MonthCloseTest, PensionAndHealthOnceAMonthInTheFirstSalaryRun) {
    AddRun("200203", 2, "001");
    AddPay("200203", 2, "001", "E01", "P00", 300000);
    AddDeduction("200203", 2, "001", "E01", "S00", 12345, "DV1", "D01", "P1");
    AddDeduction("200203", 2, "001", "E01", "S10", 2345, "DV1", "D01", "P1");
    ASSERT_EQ(Recalculate().outcome, payroll::RoadOutcome::kCommitted);
    EXPECT_EQ(Row("E01", "S00", 1), 90000);
    EXPECT_EQ(Row("E01", "S10", 1), 35000);
    EXPECT_EQ(Row("E01", "S00", 2), 0);
    EXPECT_EQ(Row("E01", "S10", 2), 0);
}

TEST_F(MonthCloseTest, WithoutTheCloseTheRowsStayAsTheTaxRoadLeavesThem) {
    ASSERT_EQ(Recalculate(false).outcome, payroll::RoadOutcome::kCommitted);
    EXPECT_EQ(Row("E01", "T10"), 100);  // as seeded
    EXPECT_EQ(Row("E01", "S00"), 0);    // the tax road clears the insurance
    EXPECT_EQ(Row("E01", "S20"), 0);
}

TEST_F(MonthCloseTest, AYearWithoutItsResidentTaxRateStopsAndKeepsNothing) {
    const std::vector<std::string> before = Dump();
    Exec("DELETE FROM HPMLBEC");
    // The year's law is checked before anything begins.
    const payroll::RoadResult r = Recalculate();
    EXPECT_EQ(r.outcome, payroll::RoadOutcome::kNotEnded);
    EXPECT_NE(r.reason.find("HPMLBEC"), std::string::npos) << r.reason;
    EXPECT_EQ(Dump(), before);
}

}  // namespace
