#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "payroll/salary_calcurate.h"
#include "platform/db/connection.h"
#include "platform/text/sql_text.h"
#include "support/company_builder.h"
#include "support/engine_fixture.h"
#include "support/run_key_builder.h"

namespace {

using namespace payroll::testing;

// Stored results of earlier runs and the current run's fresh record, for
// the prior-period totals of employee E1 of company 1000.
class PriorTotalsTest : public DatabaseFixture {
  protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        SeedCompanySettings("1000");
        std::memset(&record_, 0, sizeof record_);
    }

    // Binds the engine to run `sq` of `payType` in `month`.
    void Bind(const char* month, const char* sq, const char* payType,
              const char* combined = "002") {
        HPHONPD_YMD_FMT key = RunKeyBuilder::Monthly("1000", month, sq, payType)
                                  .PayList(payType)
                                  .AllFilters()
                                  .Build();
        key.CCIS_YN = combined;
        ASSERT_EQ(engine_.init(&key), 1);
    }

    // A stored result row.
    static void Stored(const char* month, int sq, const char* payType, double tpay, double tbon,
                       double txst, double intx, const char* emp = "E1", double spic = 0,
                       const char* div = "DV1") {
        SeedExec(
            "INSERT INTO HPOMNPY (CO_CD, EMP_CD, RVRS_YM, SQ, PYTP_FG, DIV_CD, TPAY_AM, TBON_AM, "
            "TXST_AM, INTX_AM, SPIC_AM) VALUES ('1000', '" +
            std::string(emp) + "', '" + month + "', " + std::to_string(sq) + ", '" + payType +
            "', '" + payroll::sql::Escape(div) + "', " + std::to_string(tpay) + ", " +
            std::to_string(tbon) + ", " + std::to_string(txst) + ", " + std::to_string(intx) +
            ", " + std::to_string(spic) + ")");
    }

    // A run of the company's run calendar (only its pay types are read here).
    static void Run(const char* month, int sq, const char* payType) {
        SeedExec("INSERT INTO HPHONPD (CO_CD, RVRS_YM, SQ, PYTP_FG) VALUES ('1000', '" +
                 std::string(month) + "', " + std::to_string(sq) + ", '" + payType + "')");
    }

    // Earlier results of E1 in 2002 around a June bonus run (200206, SQ 2,
    // pay type 200), and rows that must not count.
    static void SeedYear() {
        Stored("200112", 1, "100", 999, 0, 9, 9);              // before the year
        Stored("200201", 1, "100", 1000000, 0, 0, 10000);      // January salary
        Stored("200203", 2, "200", 0, 500000, 400000, 40000);  // March bonus
        Stored("200206", 1, "100", 1000000, 0, 0, 10000);      // June salary
        Stored("200206", 2, "200", 0, 2000000, 1, 1);          // the current run
        Stored("200206", 3, "200", 0, 7, 7, 7);                // a later run of its type
        Stored("200206", 3, "101", 100, 0, 0, 0);              // a later run of another type
        Stored("200207", 1, "100", 5555, 0, 5, 5);             // after the period
        Stored("200203", 1, "100", 444, 0, 4, 4, "E2");        // another employee
    }

    ScopedRegistry registry_{""};
    CSalaryCalcurate engine_;
    HPOMNPY_FMT record_;
};

TEST_F(PriorTotalsTest, MonthRangeTotalsLeaveOutTheCurrentAndLaterRuns) {
    Bind("200206", "2", "200");
    SeedYear();
    Record();
    double pay = -1, base = -1, tax = -1;
    engine_.GetBonersTotal("1000", "200201", "200206", "E1", "2", "ignored", &pay, &base, &tax);
    // January 1,000,000 + March bonus 500,000 + June salary 1,000,000 + the
    // later run of another pay type 100.
    EXPECT_DOUBLE_EQ(pay, 2500100);
    EXPECT_DOUBLE_EQ(base, 400000);
    EXPECT_DOUBLE_EQ(tax, 60000);
    ASSERT_FALSE(sent_.empty());
    EXPECT_EQ(sent_.back(),
              "SELECT  SUM(TPAY_AM  - (CASE WHEN RVRS_YM='200206' AND SQ>=2  AND PYTP_FG LIKE "
              "'200' THEN TPAY_AM ELSE 0 END ) ) TPAY_AM , SUM(TBON_AM  - (CASE WHEN "
              "RVRS_YM='200206' AND SQ>=2  AND PYTP_FG LIKE '200' THEN TBON_AM ELSE 0 END ) ) "
              "TBON_AM , SUM(TXST_AM  - (CASE WHEN RVRS_YM='200206' AND SQ>=2  AND PYTP_FG LIKE "
              "'200' THEN TXST_AM ELSE 0 END ) ) TXST_AM , SUM(INTX_AM  - (CASE WHEN "
              "RVRS_YM='200206' AND SQ>=2  AND PYTP_FG LIKE '200' THEN INTX_AM ELSE 0 END ) ) "
              "INTX_AM   FROM HPOMNPY   WHERE   CO_CD='1000' AND  RVRS_YM   BETWEEN '200201'  AND "
              "'200206' AND  EMP_CD='E1'   GROUP BY EMP_CD ");

    // An earlier run of the same month with a smaller SQ counts: from SQ 3
    // on, the current run's own bonus is in the totals.
    engine_.GetBonersTotal("1000", "200206", "200206", "E1", "3", "", &pay, &base, &tax);
    EXPECT_DOUBLE_EQ(pay, 1000000 + 2000000 + 100);
    EXPECT_DOUBLE_EQ(base, 1);
    EXPECT_DOUBLE_EQ(tax, 10001);

    // Nothing stored in the range: zeros.
    engine_.GetBonersTotal("1000", "199901", "199912", "E1", "2", "", &pay, &base, &tax);
    EXPECT_DOUBLE_EQ(pay + base + tax, 0);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PriorTotalsTest, MonthRangeTotalsOfOneDivision) {
    HPHONPD_YMD_FMT key =
        RunKeyBuilder::Monthly("1000", "200206", "2", "200").PayList("200").AllFilters().Build();
    key.DIV_FILTER = "DV'2";
    ASSERT_EQ(engine_.init(&key), 1);
    Stored("200201", 1, "100", 1000, 0, 0, 0, "E1", 0, "DV'2");
    Stored("200202", 1, "100", 2000, 0, 0, 0, "E1", 0, "DV1");
    double pay = 0, base = 0, tax = 0;
    engine_.GetBonersTotal("1000", "200201", "200206", "E1", "2", "", &pay, &base, &tax);
    EXPECT_DOUBLE_EQ(pay, 1000);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PriorTotalsTest, MonthRangeTotalsRefuseBadInput) {
    SeedYear();
    double pay = -1, base = -1, tax = -1;
    // No run bound: zeros, nothing sent.
    Record();
    engine_.GetBonersTotal("1000", "200201", "200206", "E1", "2", "", &pay, &base, &tax);
    EXPECT_DOUBLE_EQ(pay + base + tax, 0);
    EXPECT_TRUE(sent_.empty());

    Bind("200206", "2", "200");
    sent_.clear();
    // A sequence that is no number never reaches the database.
    pay = base = tax = -1;
    engine_.GetBonersTotal("1000", "200201", "200206", "E1", "2 OR 1=1", "", &pay, &base, &tax);
    EXPECT_DOUBLE_EQ(pay + base + tax, 0);
    EXPECT_TRUE(sent_.empty());
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "GetBonersTotal error");
    // Quotes in the values are data, not statement text.
    engine_.GetBonersTotal("1000", "2002'01", "200206", "E'1", "2", "", &pay, &base, &tax);
    EXPECT_DOUBLE_EQ(pay, 0);
    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_FALSE(SentWith("EMP_CD='E''1'").empty());
    // Null outputs are skipped.
    engine_.GetBonersTotal("1000", "200201", "200206", "E1", "2", "", nullptr, &base, nullptr);
    EXPECT_DOUBLE_EQ(base, 400000);
}

TEST_F(PriorTotalsTest, AFailedRangeStatementShowsItsTitleAndCountsZero) {
    Bind("200206", "2", "200");
    SeedYear();
    FailAt(1);
    double pay = -1, base = -1, tax = -1;
    engine_.GetBonersTotal("1000", "200201", "200206", "E1", "2", "", &pay, &base, &tax);
    EXPECT_DOUBLE_EQ(pay + base + tax, 0);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "GetBonersTotal error");
}

TEST_F(PriorTotalsTest, SubstituteSalaryOfABonusMonth) {
    Bind("200206", "2", "200");
    Stored("200204", 1, "101", 900000, 0, 1, 2);
    Stored("200205", 1, "100", 0, 0, 0, 0);  // no taxable pay: not a substitute
    Stored("200205", 2, "100", 1100000, 0, 3, 4);
    Stored("200205", 3, "100", 1200000, 0, 5, 6);
    Stored("200205", 4, "200", 0, 8000000, 7, 8);  // a bonus, not regular pay
    Stored("200206", 2, "200", 0, 2000000, 0, 0);  // the bonus run itself

    // No salary row of type 100 in June: the latest earlier month's first
    // regular-pay row with taxable pay stands in.
    double pay = -1, base = -1, tax = -1;
    engine_.GetBONES_EMPTY_values("E1", &pay, &base, &tax);
    EXPECT_DOUBLE_EQ(pay, 1100000);
    EXPECT_DOUBLE_EQ(base, 3);
    EXPECT_DOUBLE_EQ(tax, 4);

    // A salary row without pay is no salary.
    Stored("200206", 1, "100", 0, 0, 0, 0);
    engine_.GetBONES_EMPTY_values("E1", &pay, &base, &tax);
    EXPECT_DOUBLE_EQ(pay, 1100000);

    // With its salary the month needs no substitute.
    SeedExec("UPDATE HPOMNPY SET TPAY_AM=1000 WHERE RVRS_YM='200206' AND PYTP_FG='100'");
    engine_.GetBONES_EMPTY_values("E1", &pay, &base, &tax);
    EXPECT_DOUBLE_EQ(pay + base + tax, 0);

    // No earlier regular pay at all: zeros.
    engine_.GetBONES_EMPTY_values("E9", &pay, &base, &tax);
    EXPECT_DOUBLE_EQ(pay + base + tax, 0);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PriorTotalsTest, SubstituteSalaryFailures) {
    // Without a run key the outputs stay as they were.
    double pay = -1, base = -2, tax = -3;
    engine_.GetBONES_EMPTY_values("E1", &pay, &base, &tax);
    EXPECT_DOUBLE_EQ(pay, -1);
    EXPECT_DOUBLE_EQ(tax, -3);

    Bind("200206", "2", "200");
    Stored("200205", 2, "100", 1100000, 0, 3, 4);
    FailAt(2);  // the earlier-months statement
    engine_.GetBONES_EMPTY_values("E1", &pay, &base, &tax);
    EXPECT_DOUBLE_EQ(pay + base + tax, 0);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "GetBONES_EMPTY_values_2 error");

    FailAt(1);
    engine_.GetBONES_EMPTY_values("E1", &pay, &base, &tax);
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[1], "GetBONES_EMPTY_values error");
}

TEST_F(PriorTotalsTest, JuneBonusAfterAnEarlierBonusRunCoversSixMonths) {
    Bind("200206", "2", "200");
    SeedYear();
    Run("200203", 2, "200");
    record_.TBON_AM = 3000000;
    record_.TPAY_AM = 10;
    record_.TXST_AM = 123;  // not part of the period totals here
    SALARY_TOTAL_x total{0, 777, 888};
    int months = -1;
    double pay = engine_.GetYmdTotalBones("E1", &months, &total, &record_);
    EXPECT_EQ(months, 6);
    EXPECT_DOUBLE_EQ(pay, 3000010 + 2500100);
    EXPECT_DOUBLE_EQ(total.TXST_TOTAL, 400000);  // assigned, not added
    EXPECT_DOUBLE_EQ(total.INTX_TOTAL, 60000);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PriorTotalsTest, AnEarlierBonusRunWithoutTheEmployeesBonusStillOpensThePeriod) {
    Bind("200206", "2", "200");
    Run("200204", 1, "201");  // a bonus run that paid E1 nothing
    record_.TBON_AM = 1000000;
    SALARY_TOTAL_x total{};
    int months = 0;
    EXPECT_DOUBLE_EQ(engine_.GetYmdTotalBones("E1", &months, &total, &record_), 1000000);
    EXPECT_EQ(months, 6);
}

TEST_F(PriorTotalsTest, JuneBonusWithoutAnEarlierBonusRunIsOneMonth) {
    Bind("200206", "2", "200");
    SeedYear();
    Run("200206", 3, "200");  // later in the month: not earlier
    Run("200206", 2, "200");  // the run itself
    Run("200206", 1, "100");  // not a bonus run
    record_.TBON_AM = 3000000;
    SALARY_TOTAL_x total{0, 777, 888};
    int months = 0;
    double pay = engine_.GetYmdTotalBones("E1", &months, &total, &record_);
    EXPECT_EQ(months, 1);
    // June alone: its salary and the later run of another pay type.
    EXPECT_DOUBLE_EQ(pay, 3000000 + 1000000 + 100);
    EXPECT_DOUBLE_EQ(total.TXST_TOTAL, 0);
    EXPECT_DOUBLE_EQ(total.INTX_TOTAL, 10000);
}

TEST_F(PriorTotalsTest, ABonusMonthWithoutSalaryBorrowsTheLatestRegularPay) {
    Bind("200206", "2", "200");
    Stored("200205", 1, "100", 1100000, 0, 50, 60);
    record_.TBON_AM = 2000000;
    SALARY_TOTAL_x total{};
    int months = 0;
    double pay = engine_.GetYmdTotalBones("E1", &months, &total, &record_);
    EXPECT_EQ(months, 1);
    EXPECT_DOUBLE_EQ(pay, 2000000 + 1100000);
    EXPECT_DOUBLE_EQ(total.TXST_TOTAL, 50);
    EXPECT_DOUBLE_EQ(total.INTX_TOTAL, 60);
}

TEST_F(PriorTotalsTest, ABonusOfItsOwnMonthIsTheRunAlone) {
    Bind("200206", "2", "210");
    SeedYear();
    Run("200203", 2, "200");
    record_.TBON_AM = 700000;
    record_.TPAY_AM = 5;
    record_.TXST_AM = 11;
    record_.INTX_AM = 22;
    SALARY_TOTAL_x total{0, 100, 200};
    int months = 0;
    Record();
    EXPECT_DOUBLE_EQ(engine_.GetYmdTotalBones("E1", &months, &total, &record_), 700005);
    EXPECT_EQ(months, 1);
    EXPECT_DOUBLE_EQ(total.TXST_TOTAL, 111);  // added
    EXPECT_DOUBLE_EQ(total.INTX_TOTAL, 222);
    EXPECT_TRUE(sent_.empty());
}

TEST_F(PriorTotalsTest, AJanuaryRunAssignsTheMonthsEarlierRuns) {
    Bind("200201", "2", "200");
    Stored("200201", 1, "100", 1000000, 0, 30, 10000);
    Stored("200201", 2, "200", 0, 4000000, 1, 1);  // the run itself
    Stored("200112", 3, "200", 0, 9000000, 9, 9);  // last year
    Run("200112", 3, "200");
    record_.TBON_AM = 4000000;
    record_.TXST_AM = 5;
    record_.INTX_AM = 6;
    SALARY_TOTAL_x total{0, 999, 999};
    int months = 0;
    EXPECT_DOUBLE_EQ(engine_.GetYmdTotalBones("E1", &months, &total, &record_), 5000000);
    EXPECT_EQ(months, 1);
    EXPECT_DOUBLE_EQ(total.TXST_TOTAL, 35);
    EXPECT_DOUBLE_EQ(total.INTX_TOTAL, 10006);
}

TEST_F(PriorTotalsTest, AFailedBonusRunStatementEndsWithZero) {
    Bind("200206", "2", "200");
    SeedYear();
    record_.TBON_AM = 1;
    SALARY_TOTAL_x total{};
    int months = 42;
    FailAt(1);
    EXPECT_DOUBLE_EQ(engine_.GetYmdTotalBones("E1", &months, &total, &record_), 0);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "GetYmdTotalBones error");
    // Null arguments and an unbound engine give 0.
    EXPECT_DOUBLE_EQ(engine_.GetYmdTotalBones("E1", nullptr, &total, &record_), 0);
    CSalaryCalcurate unbound;
    EXPECT_DOUBLE_EQ(unbound.GetYmdTotalBones("E1", &months, &total, &record_), 0);
}

TEST_F(PriorTotalsTest, MonthTotalOfTheOtherRegularRuns) {
    Bind("200206", "1", "100");
    record_.TPAY_AM = 2000000;
    SALARY_TOTAL_x total{0, 0, 777};
    // The only regular run of the month, nothing stored: the record alone.
    EXPECT_DOUBLE_EQ(engine_.GetYmdTotalPay("E1", &total, &record_), 2000000);
    EXPECT_DOUBLE_EQ(total.INTX_TOTAL, 777);

    Stored("200206", 1, "100", 1999999, 0, 0, 99);  // the current run, stored
    Stored("200206", 2, "101", 300000, 0, 0, 3000);
    Stored("200206", 3, "301", 40000, 0, 0, 400);
    Stored("200206", 4, "401", 5000, 0, 0, 50);
    Stored("200206", 5, "200", 0, 9000000, 0, 90000);  // bonus: not regular
    Stored("200205", 1, "100", 8000000, 0, 0, 80000);  // another month
    EXPECT_DOUBLE_EQ(engine_.GetYmdTotalPay("E1", &total, &record_), 2345000);
    EXPECT_DOUBLE_EQ(total.INTX_TOTAL, 3450);  // assigned
    EXPECT_TRUE(Messages().empty());

    FailAt(1);
    EXPECT_DOUBLE_EQ(engine_.GetYmdTotalPay("E1", &total, &record_), 0);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "GetYmdTotalPay error");
}

TEST_F(PriorTotalsTest, CurrentPayReplacesWhatIsStoredForTheRun) {
    Bind("200206", "2", "200");
    record_.TPAY_AM = 10;
    record_.TBON_AM = 1000;
    record_.TXST_AM = 100;
    record_.INTX_AM = 20;
    record_.SPIC_AM = 3;
    // Nothing stored yet: the record's values are simply added.
    double running = 5000;
    SALARY_TOTAL_x total{0, 400, 50};
    EXPECT_EQ(engine_.GetCurrentPay("E1", record_, &running, &total), 1);
    EXPECT_DOUBLE_EQ(running, 6010);
    EXPECT_DOUBLE_EQ(total.TXST_TOTAL, 500);
    EXPECT_DOUBLE_EQ(total.INTX_TOTAL, 73);

    // Stored values of the run (this pay type only) are taken out first.
    Stored("200206", 2, "200", 1, 2000, 300, 40, "E1", 5);
    Stored("200206", 2, "201", 7, 7, 7, 7, "E1", 7);
    running = 5000;
    total = {0, 400, 50};
    EXPECT_EQ(engine_.GetCurrentPay("E1", record_, &running, &total), 1);
    EXPECT_DOUBLE_EQ(running, 5000 - 2001 + 1010);
    EXPECT_DOUBLE_EQ(total.TXST_TOTAL, 400 - 300 + 100);
    EXPECT_DOUBLE_EQ(total.INTX_TOTAL, 50 - 40 - 5 + 3 + 20);
    EXPECT_EQ(engine_.GetCurrentPay("E1", record_, nullptr, &total), 0);
}

TEST_F(PriorTotalsTest, CurrentPayOfACombinedRunCoversEveryPayType) {
    Bind("200206", "2", "200", "001");
    Stored("200206", 2, "200", 1, 2000, 300, 40, "E1", 5);
    Stored("200206", 2, "201", 7, 7, 7, 7, "E1", 7);
    Record();
    double running = 0;
    SALARY_TOTAL_x total{};
    EXPECT_EQ(engine_.GetCurrentPay("E1", record_, &running, &total), 1);
    EXPECT_DOUBLE_EQ(running, -2015);
    EXPECT_TRUE(SentWith("PYTP_FG").empty());
}

}  // namespace
