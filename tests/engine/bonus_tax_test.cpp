#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/common/row_counts.h"
#include "payroll/salary_calcurate.h"
#include "platform/db/connection.h"
#include "support/company_builder.h"
#include "support/engine_fixture.h"
#include "support/run_key_builder.h"

namespace {

using namespace payroll::testing;

// Company 1000 with the yearly tables of company "0000" that the bonus tax
// reads, for 2001 and 2002. Each test picks the parameter row it needs.
class BonusTaxTest : public DatabaseFixture {
  protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        SeedCompanySettings("1000");
        for (const char* year : {"2001", "2002"}) {
            const std::string y = year;
            // One flat rate: 1% of the annual base less 1,018,010, so that a
            // base of 103,000,000 gives 11,990 won a year.
            SeedExec(
                "INSERT INTO HPFTITC (CO_CD, RVRS_YY, TXSS_AM, TXSE_AM, TAX_RT, PRDA_AM) VALUES "
                "('0000', '" +
                y + "', 0, 0, 0.01, 1018010)");
            // Tax-table cells of 10,000, 20,000 and 40,000.
            std::string cells =
                "INSERT INTO HPFSTIA (CO_CD, RVRS_YY, SQ, TXSS_AM, TXSE_AM, AJMT_AM) VALUES ";
            for (const char* cell : {"1, 0, 1000000, 10000), ", "2, 1000000, 3000000, 20000), ",
                                     "3, 3000000, 0, 40000)"})
                cells += "('0000', '" + y + "', " + cell;
            SeedExec(cells);
        }
        SeedEmployeeRow("1000", "E1", "001");
    }

    // The year's bonus parameters.
    static void Parameters(const char* year, const char* stsd, const char* bshd, const char* osmd,
                           const char* rate, const char* small, const char* large) {
        SeedExec(
            "INSERT INTO HPMLBEC (CO_CD, RVRS_YY, STSD_AM, BSHD_AM, OSMD_AM, RSTX_RT, DUMMY4, "
            "DUMMY5) VALUES ('0000', '" +
            std::string(year) + "', " + stsd + ", " + bshd + ", " + osmd + ", " + rate + ", " +
            small + ", " + large + ")");
    }

    static void PensionGrade(const char* year, const char* from, const char* to,
                             const char* premium) {
        SeedExec(
            "INSERT INTO HIFNPCT (CO_CD, RVRS_YY, NTPS_GR, STMS_AM, STME_AM, NAPS_AM) VALUES "
            "('0000', '" +
            std::string(year) + "', '01', " + from + ", " + to + ", " + premium + ")");
    }

    // Binds a run of E1 and loads the employee; the household fields of the
    // loaded record are then set as given.
    void Bind(const char* month, const char* payType, const char* spouse = "000",
              const char* dependants1 = "0", const char* dependants2 = "0") {
        HPHONPD_YMD_FMT key = RunKeyBuilder::Monthly("1000", month, "2", payType)
                                  .PayList(payType)
                                  .AllFilters()
                                  .Build();
        ASSERT_EQ(engine_.init(&key), 1);
        engine_.m_nTableSet = 1;
        ASSERT_EQ(engine_.OpenSEMP("E1"), 1);
        SEMP_FMT* e = engine_.m_SEMP_ALL.at(0);
        e->SPUS_YN = spouse;
        e->TDFR_SN = dependants1;
        e->SUFR_SN = dependants2;
    }

    // Computes the bonus of E1 with this taxable bonus and stores it.
    int Bonus(double taxableBonus, int kind = 1) {
        std::memset(&engine_.m_HPOMNPY, 0, sizeof engine_.m_HPOMNPY);
        engine_.m_HPOMNPY.TBON_AM = taxableBonus;
        return engine_.GetCalcBonus("E1", kind, "");
    }

    double Stored(const char* column, const char* month = "200206", const char* payType = "210") {
        return std::atof(Scalar(std::string("SELECT ") + column +
                                " FROM HPOMNPY WHERE CO_CD='1000' AND EMP_CD='E1' AND RVRS_YM='" +
                                month + "' AND PYTP_FG='" + payType + "'")
                             .c_str());
    }

    ScopedRegistry registry_{""};
    CSalaryCalcurate engine_;
};

TEST_F(BonusTaxTest, TaxTableCellsOfTheLoadedYear) {
    Bind("200206", "210");
    EXPECT_EQ(engine_.m_nRowCount[payroll::engine::kTaxBracketRows], 3);
    EXPECT_DOUBLE_EQ(engine_.GetTotalDelete(12000000), 12000000);
    EXPECT_DOUBLE_EQ(engine_.GetTotalDelete(2666666), 2670000);
    EXPECT_DOUBLE_EQ(engine_.GetTotalDeleteTO(2666666), 2660000);
    EXPECT_DOUBLE_EQ(engine_.GetTotalDelete(12345), 15000);
    EXPECT_DOUBLE_EQ(engine_.GetTotalDeleteTO(12345), 10000);
    EXPECT_DOUBLE_EQ(engine_.GetTotalDelete(-1), 0);

    // A year whose table starts above the pay, and one without a table.
    SeedExec(
        "INSERT INTO HPFSTIA (CO_CD, RVRS_YY, SQ, TXSS_AM, TXSE_AM, AJMT_AM) VALUES "
        "('0000', '2003', 1, 500000, 0, 0)");
    Bind("200306", "210");
    EXPECT_DOUBLE_EQ(engine_.GetTotalDelete(100), 0);          // below every bracket
    EXPECT_DOUBLE_EQ(engine_.GetTotalDelete(777777), 777777);  // width 0: no division
    Bind("200406", "210");
    EXPECT_EQ(engine_.m_nRowCount[payroll::engine::kTaxBracketRows], 0);
    EXPECT_DOUBLE_EQ(engine_.GetTotalDelete(5000000), 0);
    EXPECT_DOUBLE_EQ(engine_.GetTotalDeleteTO(12000000), 12000000);
    // A released table counts as empty.
    engine_.FreeBuffer();
    engine_.m_nRowCount[payroll::engine::kTaxBracketRows] = 3;
    EXPECT_DOUBLE_EQ(engine_.GetTotalDelete(5000000), 0);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(BonusTaxTest, FamilyDeductions) {
    Parameters("2002", "0", "1000000", "500000", "0.1", "0", "0");
    struct Case {
        const char *spouse, *dependants1, *dependants2;
        long family;
    } cases[] = {
        {"000", "0", "0", 1000000},  // 0 persons to support
        {"", "1", "0", 1500000},     // 1 person: the addition too
        {"001", "1", "1", 3000000},  // 3 persons
        {"000", "x", "?", 1000000},  // non-numeric counts are 0
    };
    for (const Case& c : cases) {
        Bind("200206", "210", c.spouse, c.dependants1, c.dependants2);
        EXPECT_EQ(engine_.GetlFami(), c.family) << c.spouse << "/" << c.dependants1;
    }
    // Without the year's parameter row every parameter is 0.
    Bind("200106", "210", "001", "1", "1");
    EXPECT_EQ(engine_.GetlFami(), 0);
}

TEST_F(BonusTaxTest, PensionPremiums) {
    PensionGrade("2002", "1000000", "2000000", "60000");
    PensionGrade("2001", "1000000", "2000000", "60000");
    CSalaryCalcurate unbound;
    EXPECT_DOUBLE_EQ(unbound.GetPersonTax(1500000), 0);

    Bind("200206", "210");
    EXPECT_DOUBLE_EQ(engine_.GetPersonTax(1500000), 60000);
    EXPECT_DOUBLE_EQ(engine_.GetPersonTax(2000000), 0);  // no grade holds it
    Bind("200106", "210");
    EXPECT_DOUBLE_EQ(engine_.GetPersonTax(1000000), 30000);  // half, up to 2001
    EXPECT_TRUE(Messages().empty());

    FailAt(1);
    EXPECT_DOUBLE_EQ(engine_.GetPersonTax(1000000), 0);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "GetPersonTax error");
}

// A "210" bonus of 10,000,000 in June is taxed on its own month: the pay is
// taken three times and divided back (10,000,000, beyond the table's cells),
// so the annual pay is 120,000,000 and its earned-income deduction
// 17,000,000 (from 2002). Without pension grades or deductions the annual
// base is 103,000,000 and the rate table gives 1% of it less 1,018,010:
// 11,990 a year, 999 a month, 990 cut to tens: under 1,000, not withheld.
TEST_F(BonusTaxTest, TaxUnderAThousandWonIsNotWithheld) {
    Parameters("2002", "0", "0", "0", "0.1", "0", "0");
    Bind("200206", "210");
    EXPECT_EQ(Bonus(10000000), 1);
    EXPECT_DOUBLE_EQ(Stored("TXST_AM"), 8583333);  // 103,000,000 / 12
    EXPECT_DOUBLE_EQ(Stored("SPIC_AM"), 990);
    EXPECT_DOUBLE_EQ(Stored("CCTX_AM"), 990);
    EXPECT_DOUBLE_EQ(Stored("DEXT_AM"), 0);
    EXPECT_DOUBLE_EQ(Stored("INTX_AM"), 0);
    EXPECT_DOUBLE_EQ(Stored("RSTX_AM"), 0);

    // 12,000 a year: 1,000 a month is withheld, with 10% resident tax.
    SeedExec("UPDATE HPFTITC SET PRDA_AM=1018000");
    EXPECT_EQ(Bonus(10000000), 1);
    EXPECT_DOUBLE_EQ(Stored("INTX_AM"), 1000);
    EXPECT_DOUBLE_EQ(Stored("RSTX_AM"), 100);
    EXPECT_DOUBLE_EQ(Stored("TBON_AM"), 10000000);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(BonusTaxTest, StandardDeductionByHouseholdFrom2002) {
    Parameters("2002", "0", "0", "0", "0", "1000000", "2000000");
    // Two persons (the employee and a spouse): the small-household amount.
    Bind("200206", "210", "001", "0", "0");
    EXPECT_EQ(Bonus(10000000), 1);
    EXPECT_DOUBLE_EQ(Stored("TXST_AM"), 8500000);  // (103,000,000 - 1,000,000) / 12
    // Three persons: the large-household amount.
    Bind("200206", "210", "001", "1", "0");
    EXPECT_EQ(Bonus(10000000), 1);
    EXPECT_DOUBLE_EQ(Stored("TXST_AM"), 8416666);  // (103,000,000 - 2,000,000) / 12
    // Non-numeric counts: the employee alone.
    Bind("200206", "210", "000", "two", "");
    EXPECT_EQ(Bonus(10000000), 1);
    EXPECT_DOUBLE_EQ(Stored("TXST_AM"), 8500000);
}

TEST_F(BonusTaxTest, TheDeductionStopsAt120MillionButTheBaseDoesNot) {
    Parameters("2002", "0", "0", "0", "0", "0", "0");
    Parameters("2001", "0", "0", "0", "0", "0", "0");
    // 20,000,000 a month: 240,000,000 a year, deducted as 120,000,000.
    Bind("200206", "210");
    EXPECT_EQ(Bonus(20000000), 1);
    EXPECT_DOUBLE_EQ(Stored("TXST_AM"), 18583333);  // (240M - 17,000,000) / 12
    // Up to 2001: 15,750,000 and the standard deduction of at least 1,200,000.
    Bind("200106", "210");
    EXPECT_EQ(Bonus(20000000), 1);
    EXPECT_DOUBLE_EQ(Stored("TXST_AM", "200106"), 18587500);  // (240M - 16,950,000) / 12
}

TEST_F(BonusTaxTest, MissingParametersGradesAndBracketsCountAsZero) {
    // No parameter row, no pension grade: the annual pay less the earned-
    // income deduction is the base.
    Bind("200206", "210", "001", "3", "3");
    EXPECT_EQ(Bonus(10000000), 1);
    EXPECT_DOUBLE_EQ(Stored("TXST_AM"), 8583333);
    EXPECT_DOUBLE_EQ(Stored("RSTX_AM"), 0);

    // A year without tax-table brackets: a pay under 10,000,000 has no cell,
    // so there is no annual pay and nothing to tax.
    Bind("200506", "210");
    EXPECT_EQ(Bonus(3000000), 1);
    EXPECT_DOUBLE_EQ(Stored("TXST_AM", "200506"), 0);
    EXPECT_DOUBLE_EQ(Stored("INTX_AM", "200506"), 0);
    EXPECT_DOUBLE_EQ(Stored("TBON_AM", "200506"), 3000000);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(BonusTaxTest, AnEmployeeWithoutPayIsStoredWithZeros) {
    Parameters("2002", "1200000", "1000000", "500000", "0.1", "1000000", "2000000");
    Bind("200206", "200");
    EXPECT_EQ(Bonus(0), 1);
    EXPECT_DOUBLE_EQ(Stored("TXST_AM", "200206", "200"), 0);
    EXPECT_DOUBLE_EQ(Stored("INTX_AM", "200206", "200"), 0);
    EXPECT_DOUBLE_EQ(Stored("SPIC_AM", "200206", "200"), 0);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPOMNPY"), "1");
}

// Six billion won in one month: the average pay, the annual pay of
// 72,000,000,000 and the tax are far beyond 32 bits.
TEST_F(BonusTaxTest, BillionsComputeWithoutOverflow) {
    Parameters("2002", "0", "0", "0", "0.1", "0", "0");
    Bind("200206", "210");
    EXPECT_EQ(Bonus(6000000000.0), 1);
    // Base 72,000,000,000 - 17,000,000 = 71,983,000,000; a twelfth of it.
    EXPECT_DOUBLE_EQ(Stored("TXST_AM"), 5998583333);
    // 1% less 1,018,010 is 718,811,990 a year; 59,900,999 a month, cut to
    // 59,900,990; its resident tax 5,990,099, cut to 5,990,090.
    EXPECT_DOUBLE_EQ(Stored("INTX_AM"), 59900990);
    EXPECT_DOUBLE_EQ(Stored("RSTX_AM"), 5990090);
}

TEST_F(BonusTaxTest, OtherKindsAreStoredWithoutComputing) {
    Parameters("2002", "0", "0", "0", "0.1", "0", "0");
    Bind("200206", "210");
    Record();
    std::memset(&engine_.m_HPOMNPY, 0, sizeof engine_.m_HPOMNPY);
    engine_.m_HPOMNPY.TBON_AM = 10000000;
    engine_.m_HPOMNPY.INTX_AM = 12345;
    engine_.m_HPOMNPY.TXST_AM = 777;
    EXPECT_EQ(engine_.GetCalcBonus("E1", 5, ""), 1);
    EXPECT_DOUBLE_EQ(Stored("INTX_AM"), 12345);
    EXPECT_DOUBLE_EQ(Stored("TXST_AM"), 777);
    EXPECT_TRUE(SentWith("HPFTITC").empty());
    EXPECT_TRUE(SentWith("HIFNPCT").empty());

    // Kind 11 computes like kind 1.
    EXPECT_EQ(Bonus(10000000, 11), 1);
    EXPECT_DOUBLE_EQ(Stored("TXST_AM"), 8583333);
}

TEST_F(BonusTaxTest, AnIncompleteRunKeyStoresNothing) {
    CSalaryCalcurate unbound;
    EXPECT_EQ(unbound.GetCalcBonus("E1", 1, ""), 0);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPOMNPY"), "0");
}

}  // namespace
