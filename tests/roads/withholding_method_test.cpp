// A company's withholding method on the tax road: switching from the
// simplified table to the division's amount and recalculating changes the
// income tax and what follows from it (resident tax, the deduction total)
// and nothing else; a year missing one of its law tables is not begun.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "payroll/roads.h"
#include "support/build_fixture.h"
#include "tools/company/company.h"

namespace {

using namespace payroll::testing;

class WithholdingMethodTest : public DatabaseFixture {
  protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        payroll::company::Options options;
        options.employees = 12;
        std::string error;
        ASSERT_TRUE(payroll::company::Generate(options, nullptr, &error)) << error;
    }

    payroll::RoadResult Recalculate() {
        return payroll::RecalculateTax("1000", "2002", 1, true, nullptr, true);
    }

    // The year's stored rows, the columns that follow from the income tax
    // left out: the result rows without INTX_AM, RSTX_AM and DDCT_AM, and
    // the deduction rows other than the income and resident tax.
    std::vector<std::string> RowsBesideTheTax() {
        std::vector<std::string> out = QueryRows(
            "SELECT RVRS_YM, SQ, PYTP_FG, EMP_CD, TPAY_AM, TBON_AM, SALY_AM, BONUS_AM, "
            "EWTE_AM, AITE_AM, ETTE_AM, TXST_AM, HIFE_AM, NAPE_AM FROM HPOMNPY WHERE "
            "CO_CD='1000'");
        for (std::string& row : QueryRows("SELECT * FROM HPOMPDD WHERE CO_CD='1000' AND DDCT_CD "
                                          "NOT IN ('T00','T10')"))
            out.push_back("D|" + row);
        for (std::string& row : QueryRows("SELECT * FROM HPOMPPD WHERE CO_CD='1000'"))
            out.push_back("P|" + row);
        std::sort(out.begin(), out.end());
        return out;
    }

    double Sum(const std::string& sql) { return std::atof(Scalar(sql).c_str()); }
};

TEST_F(WithholdingMethodTest, SwitchingTheMethodChangesTheTaxAndWhatFollowsOnly) {
    ASSERT_EQ(Recalculate().outcome, payroll::RoadOutcome::kCommitted);
    const std::vector<std::string> byTable = RowsBesideTheTax();
    const double tableTax = Sum("SELECT SUM(INTX_AM) FROM HPOMNPY WHERE PYTP_FG NOT LIKE '2%'");
    ASSERT_GT(tableTax, 0);

    Exec("UPDATE syscfg SET CTR_FG='001' WHERE CO_CD='1000' AND CTR_CD='21'");
    Exec("UPDATE SDIV SET DUMMY2='500000', DUMMY3='500000' WHERE CO_CD='1000'");
    ASSERT_EQ(Recalculate().outcome, payroll::RoadOutcome::kCommitted);
    EXPECT_EQ(RowsBesideTheTax(), byTable);
    const double divisionTax = Sum("SELECT SUM(INTX_AM) FROM HPOMNPY WHERE PYTP_FG NOT LIKE '2%'");
    EXPECT_NE(divisionTax, tableTax);
    // The resident tax follows the stored income tax, in the rows and the
    // results alike.
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPOMNPY N WHERE N.PYTP_FG NOT LIKE '2%' AND "
                     "N.RSTX_AM <> (SELECT SUM(D.DDCT_AM) FROM HPOMPDD D WHERE "
                     "D.CO_CD=N.CO_CD AND D.RVRS_YM=N.RVRS_YM AND D.SQ=N.SQ AND "
                     "D.EMP_CD=N.EMP_CD AND D.DDCT_CD='T10')"),
              "0");

    // And back: the table's figures again, to the won.
    Exec("UPDATE syscfg SET CTR_FG='002' WHERE CO_CD='1000' AND CTR_CD='21'");
    ASSERT_EQ(Recalculate().outcome, payroll::RoadOutcome::kCommitted);
    EXPECT_EQ(RowsBesideTheTax(), byTable);
    EXPECT_DOUBLE_EQ(Sum("SELECT SUM(INTX_AM) FROM HPOMNPY WHERE PYTP_FG NOT LIKE '2%'"), tableTax);
}

TEST_F(WithholdingMethodTest, AYearMissingALawTableIsNotBegunAndNamesIt) {
    ASSERT_EQ(Recalculate().outcome, payroll::RoadOutcome::kCommitted);
    const std::vector<std::string> before = QueryRows("SELECT * FROM HPOMNPY");
    for (const char* table : {"HPFLICH", "HIFNPCT"}) {
        Exec(std::string("DELETE FROM ") + table + " WHERE RVRS_YY='2002'");
        const payroll::RoadResult r = Recalculate();
        EXPECT_EQ(r.outcome, payroll::RoadOutcome::kNotEnded) << table;
        EXPECT_NE(r.reason.find(table), std::string::npos) << r.reason;
        EXPECT_EQ(QueryRows("SELECT * FROM HPOMNPY"), before) << table;
    }
}

}  // namespace
