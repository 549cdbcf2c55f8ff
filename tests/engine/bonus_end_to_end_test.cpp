// A bonus computed by hand from fixture tables and checked to the won in
// what the engine stores: the HPOMNPY summary row and the T00 deduction row.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "payroll/salary_calcurate.h"
#include "support/company_builder.h"
#include "support/engine_fixture.h"
#include "support/run_key_builder.h"

namespace {

using namespace payroll::testing;

class BonusEndToEndTest : public DatabaseFixture {
  protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        SeedCompanySettings("1000");
        // The bonus item: taxable, of a bonus pay type.
        SeedPayItem("1000", "2002", "200", "V00", "001", "");
        // E1: a spouse and one dependant, so three persons and two to support.
        SeedExec(
            "INSERT INTO SEMP (CO_CD, EMP_CD, KOR_NM, DEPT_CD, PJT_CD, HTYP_CD, PYSP_FG, PRTY_CD, "
            "SPUS_YN, TDFR_SN, SUFR_SN, JOIN_DT) VALUES ('1000', 'E1', '사원', 'D1', 'J1', '001', "
            "'001', 'P1', '001', 1, 0, '20000101')");
        SeedExec("INSERT INTO SDEPT (CO_CD, DEPT_CD, DIV_CD) VALUES ('1000', 'D1', 'DV1')");
        SeedExec("INSERT INTO SDIV (CO_CD, DIV_CD) VALUES ('1000', 'DV1')");

        // The June bonus run (SQ 2, pay type 200) and its bonus period window.
        SeedExec(
            "INSERT INTO HPHONPD (CO_CD, RVRS_YM, SQ, PYTP_FG) VALUES ('1000','200206',2,'200')");
        SeedExec(
            "INSERT INTO HPHWTPT (CO_CD, RVRS_YM, SQ, PYTP_FG, HTYP_CD, PYSP_FG, BNST_DT, BNED_DT) "
            "VALUES ('1000', '200206', 2, '200', '001', '001', '20020101', '20020630')");
        SeedPayRow("HPOMPPD", "1000", "200206", 2, "200", "E1", "V00", "3000000");
        SeedExec(
            "INSERT INTO HPOMPDD (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PYDD_FG, DDCT_CD, DDCT_AM) "
            "VALUES ('1000', '200206', 2, '200', 'E1', 'P3', 'S00', 45000)");

        // What was paid and withheld earlier in the year: a salary of
        // 2,000,000 with 50,000 income tax each month (June's included), and
        // a bonus of 1,000,000 in March with a tax base of 500,000 and
        // 30,000 tax.
        for (const char* month : {"200201", "200202", "200203", "200204", "200205", "200206"})
            Result(month, 1, "100", 2000000, 0, 0, 50000);
        Result("200203", 2, "200", 0, 1000000, 500000, 30000);

        // The tables of 2002.
        SeedExec(
            "INSERT INTO HPFSTIA (CO_CD, RVRS_YY, SQ, TXSS_AM, TXSE_AM, AJMT_AM) VALUES "
            "('0000','2002',1,0,1000000,10000), ('0000','2002',2,1000000,3000000,20000), "
            "('0000','2002',3,3000000,0,40000)");
        SeedExec(
            "INSERT INTO HPMLBEC (CO_CD, RVRS_YY, STSD_AM, BSHD_AM, OSMD_AM, RSTX_RT, DUMMY4, "
            "DUMMY5) VALUES ('0000','2002',600000,1000000,500000,0.1,1200000,1500000)");
        SeedExec(
            "INSERT INTO HIFNPCT (CO_CD, RVRS_YY, NTPS_GR, STMS_AM, STME_AM, NAPS_AM) VALUES "
            "('0000','2002','01',0,1000000,30000), ('0000','2002','02',1000000,2000000,60000), "
            "('0000','2002','03',2000000,100000000000,120000)");
        SeedExec(
            "INSERT INTO HPFTITC (CO_CD, RVRS_YY, TXSS_AM, TXSE_AM, TAX_RT, PRDA_AM) VALUES "
            "('0000','2002',0,10000000,0.1,0), ('0000','2002',10000000,40000000,0.2,1000000), "
            "('0000','2002',40000000,0,0.3,5000000)");
        SeedExec(
            "INSERT INTO HPFLICH (CO_CD, RVRS_YY, SQ, TXSS_AM, TXSE_AM, PRDA_AM, TXDD_RT, ICAM_AM) "
            "VALUES ('0000','2002',1,0,500000,0,0.5,600000), "
            "('0000','2002',2,500000,0,250000,0.3,600000)");
    }

    static void Result(const char* month, int sq, const char* payType, double tpay, double tbon,
                       double txst, double intx) {
        SeedExec(
            "INSERT INTO HPOMNPY (CO_CD, EMP_CD, RVRS_YM, SQ, PYTP_FG, TPAY_AM, TBON_AM, TXST_AM, "
            "INTX_AM) VALUES ('1000', 'E1', '" +
            std::string(month) + "', " + std::to_string(sq) + ", '" + payType + "', " +
            std::to_string(tpay) + ", " + std::to_string(tbon) + ", " + std::to_string(txst) +
            ", " + std::to_string(intx) + ")");
    }

    // The host's road for one employee of the bonus run.
    void TaxTheBonus() {
        HPHONPD_YMD_FMT key = RunKeyBuilder::Monthly("1000", "200206", "2", "200")
                                  .PayList("200")
                                  .AllFilters()
                                  .Build();
        ASSERT_EQ(engine_.init(&key), 1);
        ASSERT_EQ(engine_.SetYmdFromTo(), 1);
        engine_.m_nTableSet = 1;
        ASSERT_EQ(engine_.OpenSEMP("E1"), 1);
        ASSERT_EQ(engine_.LoadDataIncom("E1", 1), 1);
        std::memset(&engine_.m_HPOMNPY, 0, sizeof engine_.m_HPOMNPY);
        engine_.GetSalaryTotalCalc("E1", 2002, &engine_.m_HPOMNPY);
        ASSERT_EQ(engine_.GetCalcBonus("E1", 1, ""), 1);
    }

    double Stored(const char* column) {
        return std::atof(Scalar(std::string("SELECT ") + column +
                                " FROM HPOMNPY WHERE CO_CD='1000' AND EMP_CD='E1' AND "
                                "RVRS_YM='200206' AND SQ=2 AND PYTP_FG='200'")
                             .c_str());
    }

    // The bonus run's stored amounts, column by column.
    void ExpectStored(std::initializer_list<std::pair<const char*, double>> columns) {
        for (const auto& [column, amount] : columns)
            EXPECT_DOUBLE_EQ(Stored(column), amount) << column;
    }

    // The run's T00 row as "amount|DUMMY1".
    std::vector<std::string> IncomeTaxRows() {
        return Rows(
            "SELECT CAST(DDCT_AM AS INTEGER), DUMMY1 FROM HPOMPDD WHERE CO_CD='1000' AND "
            "EMP_CD='E1' AND RVRS_YM='200206' AND SQ=2 AND PYTP_FG='200' AND DDCT_CD='T00'");
    }

    ScopedRegistry registry_{""};
    CSalaryCalcurate engine_;
};

// A June bonus after the March bonus: the period runs January to June.
//
//  1. Period pay: this bonus 3,000,000 + six salaries 12,000,000 + the
//     March bonus 1,000,000 = 16,000,000 over 6 months. Earlier tax base
//     500,000; earlier tax 6 x 50,000 + 30,000 = 330,000. June has its
//     salary, so nothing stands in for it.
//  2. Average 16,000,000 / 6 = 2,666,666 (whole division). Its cell (1M to
//     3M, 20,000 wide): 2,660,000 + 10,000 = 2,670,000. Annual pay D =
//     12 x 2,670,000 = 32,040,000.
//  3. Earned-income deduction (2002): 11,750,000 + 10% of 2,040,000 =
//     11,954,000.
//  4. Pension: 16,000,000 / 6 = 2,666,666 in its cell 2,670,000, grade 03:
//     120,000 a month, 1,440,000 a year.
//  5. Standard deduction: three persons, DUMMY5 = 1,500,000. Family: two to
//     support, 2 x 1,000,000. Own basic deduction 1,000,000.
//  6. Annual base: 32,040,000 - (1,000,000 + 2,000,000 + 1,500,000 +
//     1,440,000 + 11,954,000) = 14,146,000.
//  7. Bonus tax base: 14,146,000 / 12 x 6 - 500,000 = 6,573,000.
//  8. Rate table (10M to 40M): 20% of 14,146,000 - 1,000,000 = 1,829,200.
//     Credit: 250,000 + 30% of 1,329,200 = 648,760 a year, 54,063.33 a month,
//     capped at 600,000 / 12 = 50,000; twelve of it: 600,000.
//  9. Monthly tax: (1,829,200 - 600,000) / 12 = 102,433.33, floored 102,433,
//     cut to tens 102,430.
// 10. Due: 102,430 x 6 - 330,000 = 284,580. Resident tax 10%: 28,458, cut to
//     tens 28,450. Computed tax stored: 284,580 + 600,000 = 884,580.
TEST_F(BonusEndToEndTest, ABonusOverSixMonths) {
    SeedExec("INSERT INTO HPHONPD (CO_CD, RVRS_YM, SQ, PYTP_FG) VALUES ('1000','200203',2,'200')");
    TaxTheBonus();
    ExpectStored({{"TBON_AM", 3000000},
                  {"BONUS_AM", 3000000},
                  {"TPAY_AM", 0},
                  {"TXST_AM", 6573000},
                  {"DEXT_AM", 600000},
                  {"SPIC_AM", 284580},
                  {"CCTX_AM", 884580},
                  {"INTX_AM", 284580},
                  {"RSTX_AM", 28450},
                  {"HIFE_AM", 0}});
    EXPECT_EQ(Scalar("SELECT DIV_CD FROM HPOMNPY WHERE RVRS_YM='200206' AND SQ=2"), "DV1");
    // The income-tax row carries the tax and the bonus period's window.
    EXPECT_EQ(IncomeTaxRows(), std::vector<std::string>{"284580|2002010120020630"});
    // The earlier results are untouched.
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPOMNPY"), "8");
    EXPECT_EQ(Scalar("SELECT CAST(TBON_AM AS INTEGER) FROM HPOMNPY WHERE RVRS_YM='200203' AND "
                     "SQ=2"),
              "1000000");
    EXPECT_TRUE(Messages().empty());

    // Taxing it again gives the same figures: the run's own stored row is
    // not part of its period.
    TaxTheBonus();
    EXPECT_DOUBLE_EQ(Stored("INTX_AM"), 284580);
    EXPECT_EQ(IncomeTaxRows(), std::vector<std::string>{"284580|2002010120020630"});
}

// Without an earlier bonus run the period is June alone.
//
//  1. Period pay: 3,000,000 + June's salary 2,000,000 = 5,000,000 in one
//     month; earlier tax 50,000, no earlier tax base.
//  2. One month of June: 3 x 5,000,000 = 15,000,000, divided by 3:
//     5,000,000. Its cell (from 3M, 40,000 wide): 5,000,000 + 20,000 =
//     5,020,000; D = 60,240,000.
//  3. Earned income: 13,250,000 + 5% of 15,240,000 = 14,012,000.
//  4. Pension: 5,000,000 in its cell 5,020,000: 120,000, 1,440,000 a year.
//  5. Base: 60,240,000 - (1,000,000 + 2,000,000 + 1,500,000 + 1,440,000 +
//     14,012,000) = 40,288,000; a twelfth: 3,357,333.
//  6. Rate table (from 40M): 30% less 5,000,000 = 7,086,400; the credit is
//     capped at 600,000 a year.
//  7. Monthly: (7,086,400 - 600,000) / 12 = 540,533.33 -> 540,530. Due:
//     540,530 - 50,000 = 490,530; resident tax 49,050.
TEST_F(BonusEndToEndTest, ABonusOfOneMonth) {
    TaxTheBonus();
    ExpectStored({{"TXST_AM", 3357333},
                  {"CCTX_AM", 1090530},
                  {"SPIC_AM", 490530},
                  {"INTX_AM", 490530},
                  {"RSTX_AM", 49050}});
    EXPECT_EQ(IncomeTaxRows(), std::vector<std::string>{"490530|2002010120020630"});
}

}  // namespace
