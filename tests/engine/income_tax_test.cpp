// The monthly income tax: the bracket arithmetic as pure functions, the two
// rate-table look-ups against the database, and the per-employee step's
// handling of failed look-ups.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/tax/income_tax_math.h"
#include "payroll/diagnostics.h"
#include "payroll/salary_calcurate.h"
#include "platform/db/connection.h"
#include "tests/engine/tax_road_fixture.h"

namespace {

using payroll::tax::CreditAmount;
using payroll::tax::CreditBracket;
using payroll::testing::TaxRoadTest;

TEST(IncomeTaxMath, MonthlyTaxBase) {
    struct Case {
        double pay, bonus, r;
        const char *refr, *dummy2, *dummy3;
        double base;
    } cases[] = {
        {2150000, 0, 5030, "002", "10000", "20000", 2134970},   // DUMMY2 unless REFR_YN is 001
        {1000000, 50000, 0, "001", "10000", "20000", 1030000},  // REFR_YN 001 takes DUMMY3
        {1000000, 0, 0, "002", "", "20000", 1000000},           // an empty text deducts nothing
        {1000000, 0, 0, "001", "10000", "", 1000000},
        {1000000, 0, 0, "002", "abc", "", 1000000},         // non-numeric reads as 0
        {1000000, 0, 0, "002", "1500.5won", "", 998499.5},  // leading number only
        {0, 0, 300, "", "", "", -300},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(
            payroll::tax::MonthlyTaxBase(c.pay, c.bonus, c.r, c.refr, c.dummy2, c.dummy3), c.base)
            << c.pay << " " << c.refr << " " << c.dummy2 << " " << c.dummy3;
}

TEST(IncomeTaxMath, RateBracketTax) {
    EXPECT_DOUBLE_EQ(payroll::tax::RateBracketTax(2134970, 0.05, 40000), 66748.5);
    EXPECT_DOUBLE_EQ(payroll::tax::RateBracketTax(500000, 0, 0), 0);
    EXPECT_DOUBLE_EQ(payroll::tax::RateBracketTax(500000, 0, 1000), 0);  // rate 0: no tax at all
    EXPECT_DOUBLE_EQ(payroll::tax::RateBracketTax(500000, -0.1, 0), 0);
    EXPECT_DOUBLE_EQ(payroll::tax::RateBracketTax(100, 0.1, 50), -40);  // not clipped, not rounded
}

TEST(IncomeTaxMath, CreditBrackets) {
    // Credit 55% up to 500,000, then 275,000 + 30% of the rest; cap 400,000 a year.
    const std::vector<CreditBracket> table = {
        {0, 500000, 0, 0.55, 400000},
        {500000, 0, 275000, 0.30, 400000},
    };
    struct Case {
        double amount;
        bool monthly;
        double credit;
    } cases[] = {
        {0, false, 0},            // the lower bound is exclusive: no bracket
        {-10, false, 0},          // nothing matches
        {100, false, 55},         // 0.55 x 100
        {101, false, 55},         // 55.55 rounded down a year
        {101, true, 55.55 / 12},  // a twelfth, not rounded
        {500000, false, 275000},  // the upper bound is inclusive: first bracket
        {500000, true, 275000.0 / 12},
        {500001, false, 275000},  // 275,000.3 in the open bracket, floored
        {600000, false, 305000},  // 275,000 + 0.3 x 100,000
        {600000, true, 305000.0 / 12},
        {1000000, false, 400000},        // 425,000 capped at the ceiling
        {1000000, true, 400000.0 / 12},  // 425,000 / 12 capped at a twelfth of it
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(CreditAmount(c.amount, table, c.monthly), c.credit)
            << c.amount << (c.monthly ? " monthly" : " yearly");

    // The first bracket that holds wins, in table order.
    const std::vector<CreditBracket> overlapping = {{0, 0, 100, 0, 1000}, {0, 500, 999, 0, 1000}};
    EXPECT_DOUBLE_EQ(CreditAmount(50, overlapping, false), 100);
    EXPECT_DOUBLE_EQ(CreditAmount(50, {}, false), 0);
    // A ceiling of 0 caps everything at 0.
    EXPECT_DOUBLE_EQ(CreditAmount(50, {{0, 0, 100, 0, 0}}, true), 0);
}

class IncomeTaxTest : public TaxRoadTest {
  protected:
    void SetUp() override {
        TaxRoadTest::SetUp();
        SeedSettings();
        engine_.m_HPHONPD = Key("200203", "1", "001");
    }

    CSalaryCalcurate engine_;
};

TEST_F(IncomeTaxTest, RateBracketLookUp) {
    struct Case {
        double base, tax;
    } cases[] = {
        {0, 0},                // the first bracket has rate 0
        {999999.99, 0},        // below 1,000,000: still the first bracket
        {1000000, 10000},      // the lower bound is inclusive: 5% less 40,000
        {2999999, 109999.95},  // the upper bound is exclusive
        {3000000, 120000},     // the open top bracket: 10% less 180,000
        {50000000, 4820000},
        {-5, 0},  // no bracket at all
    };
    for (const Case& c : cases)
        EXPECT_NEAR(engine_.GetTaxAmountMath(c.base, 1), c.tax, 1e-6) << c.base;
    EXPECT_TRUE(Messages().empty());

    Record();
    engine_.GetTaxAmountMath(1000000, 0);
    ASSERT_EQ(sent_.size(), 1u);
    EXPECT_EQ(sent_[0],
              "select * from HPFTITC where CO_CD='0000' and RVRS_YY='2002' AND ( (1000000.000000 "
              ">= TXSS_AM AND 1000000.000000 <TXSE_AM ) OR (1000000.000000 >= TXSS_AM AND "
              "TXSE_AM=0 ) ) ");
}

TEST_F(IncomeTaxTest, RateLookUpFailureGivesNoTax) {
    FailAt(1);
    EXPECT_EQ(engine_.GetTaxAmountMath(2000000, 1), 0);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "GetPersonTax error");

    // An incomplete key sends nothing.
    Record();
    engine_.m_HPHONPD.PAY_DT = "";
    EXPECT_EQ(engine_.GetTaxAmountMath(2000000, 1), 0);
    EXPECT_EQ(engine_.GetTaxAmount(2000000, 1), 0);
    EXPECT_TRUE(sent_.empty());
}

TEST_F(IncomeTaxTest, CreditLookUpWalksTheTableInSequenceOrder) {
    // Stored out of order: the walk follows SQ.
    Exec(
        "INSERT INTO HPFLICH (CO_CD, RVRS_YY, SQ, TXSS_AM, TXSE_AM, PRDA_AM, TXDD_RT, ICAM_AM) "
        "VALUES ('0000','2002',2,500000,0,275000,0.3,400000), "
        "('0000','2002',1,0,500000,0,0.55,400000), ('0000','2003',1,0,0,999,0,999)");
    EXPECT_DOUBLE_EQ(engine_.GetTaxAmount(500000, 0), 275000);
    EXPECT_DOUBLE_EQ(engine_.GetTaxAmount(500001, 0), 275000);
    EXPECT_DOUBLE_EQ(engine_.GetTaxAmount(600000, 1), 305000.0 / 12);
    EXPECT_DOUBLE_EQ(engine_.GetTaxAmount(1000000, 0), 400000);
    EXPECT_DOUBLE_EQ(engine_.GetTaxAmount(1000000, 7), 400000.0 / 12);
    EXPECT_DOUBLE_EQ(engine_.GetTaxAmount(0, 0), 0);
}

// One employee of type 001 in division DV1 (DUMMY2 10,000) with 2,000,000
// of base pay and an R deduction of 5,030: base 1,984,970, tax 59,248.5.
class EmployeeTaxTest : public IncomeTaxTest {
  protected:
    void SetUp() override {
        IncomeTaxTest::SetUp();
        AddEmployee("E01", "D01", "J01", "001", "P1", "002");
        AddRun("200203", 1, "001");
        AddPay("200203", 1, "001", "E01", "P00", 2000000);
        AddDeduction("200203", 1, "001", "E01", "R01", 5030);
        AddDeduction("200203", 1, "001", "E01", "S00", 100);
        HPHONPD_YMD_FMT key = Key("200203", "1", "001");
        ASSERT_EQ(engine_.init(&key), 1);
    }
};

TEST_F(EmployeeTaxTest, TaxIsRoundedByTheCutOffCode) {
    EXPECT_EQ(engine_.SumIncomTax("E01", 1, 1, 0, ""), 1);
    EXPECT_DOUBLE_EQ(engine_.m_HPOMNPY.INTX_AM, 59240);  // "006": truncated to tens
    EXPECT_DOUBLE_EQ(Stored("E01", "200203", "INTX_AM"), 59240);
    EXPECT_EQ(DeductionRow("E01", "200203", "T00"), "59240.0000|  ");  // no window table
    EXPECT_TRUE(Messages().empty());
}

// A look-up that fails would store a tax computed as if it had found
// nothing (unrounded, or 0): nothing is stored, and the step fails.
TEST_F(EmployeeTaxTest, FailedLookUpsStoreNoResult) {
    struct Case {
        const char* table;
        int mode;
        const char* message;
    } cases[] = {{"HPMPDFM", 1, "QUERY ERROR.."},  // the cut-off code
                 {"HPFTITC", 11, "GetPersonTax error"}};
    for (const Case& c : cases) {
        Native(std::string("DROP TABLE ") + c.table);  // the definitions are loaded already
        EXPECT_EQ(engine_.SumIncomTax("E01", 1, c.mode, 0, ""), 0) << c.table;
        ASSERT_FALSE(Messages().empty()) << c.table;
        EXPECT_EQ(Messages()[0], c.message);
        EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPOMNPY"), "0") << c.table;
        EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPOMPDD WHERE DDCT_CD='T00' AND DDCT_AM<>0"), "0");
        driver_.Clear();
    }
}

TEST_F(EmployeeTaxTest, PayRowsThatCannotBeReadStopTheEmployee) {
    Native("DROP TABLE HPOMPPD");
    EXPECT_EQ(engine_.SumIncomTax("E01", 1, 1, 0, ""), 0);
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages().back(), "open 2 error");
    EXPECT_EQ(payroll::LastEngineFailure().step, "open 2 error");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPOMNPY"), "0");
}

TEST_F(EmployeeTaxTest, OtherModesKeepTheStoredTax) {
    AddSummary("200203", 1, "001", "E01", 0);
    Exec("UPDATE HPOMNPY SET INTX_AM=777");
    Record();
    EXPECT_EQ(engine_.SumIncomTax("E01", 1, 3, 0, ""), 1);
    for (const std::string& text : sent_) {
        EXPECT_EQ(text.find("HPFTITC"), std::string::npos) << text;
        EXPECT_EQ(text.find("CTOF_FG"), std::string::npos) << text;
    }
    EXPECT_DOUBLE_EQ(Stored("E01", "200203", "INTX_AM"), 777);
    EXPECT_DOUBLE_EQ(Stored("E01", "200203", "TPAY_AM"), 2000000);  // the totals are fresh
}

TEST_F(EmployeeTaxTest, CombinedRunsLookUpWithoutPayType) {
    engine_.m_HPHONPD.CCIS_YN = "001";
    Record();
    EXPECT_EQ(engine_.GetCalcIncomeAndResTax("E01", 1, ""), 1);
    int seen = 0;
    for (const std::string& text : sent_) {
        if (text.find("LIKE 'R%'") != std::string::npos) {
            ++seen;
            EXPECT_EQ(text,
                      "SELECT SUM(DDCT_AM) DDCT_AM FROM HPOMPDD WHERE CO_CD = '1000' AND RVRS_YM "
                      "='200203' AND EMP_CD='E01' AND SQ='1'  AND PYDD_FG='P3' AND DDCT_CD LIKE "
                      "'R%' ");
        }
        if (text.find("CTOF_FG") != std::string::npos) {
            ++seen;
            EXPECT_EQ(text,
                      "SELECT CTOF_FG FROM HPMPDFM WHERE  CO_CD='1000' AND RVRS_YM='2002' AND  "
                      "PYDD_FG='P3' AND PYDD_CD='T00'");
        }
    }
    EXPECT_EQ(seen, 2);
}

TEST_F(EmployeeTaxTest, IncompleteKeyDoesNothing) {
    engine_.m_HPHONPD.RVRS_YM = "20023";
    Record();
    EXPECT_EQ(engine_.SumIncomTax("E01", 2, 1, 0, ""), 0);
    EXPECT_EQ(engine_.m_nTableSet, 2);  // stored before anything else
    EXPECT_EQ(engine_.GetCalcIncomeAndResTax("E01", 1, ""), 0);
    EXPECT_TRUE(sent_.empty());
}

}  // namespace
