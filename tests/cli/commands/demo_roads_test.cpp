// The roads through the host program on the demo company: a year
// recalculation right after the demo finds every row as it is, a bonus run's
// strict join rule applies when the run is built through the host program,
// a combined run whose second pay type pays nobody still builds, and the
// combined June run deducts the month once.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "payroll/papers.h"
#include "tests/cli/commands/cli_fixture.h"

namespace {

using payroll::testing::HostRun;

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class DemoRoadsTest : public payroll::testing::CliTest {
  protected:
    void SetUp() override {
        CliTest::SetUp();
        HostRun demo = Cli("--quiet demo --employees 20");
        ASSERT_EQ(demo.exit_code, 0) << demo.err;
    }
    long Rows(const std::string& table, const std::string& where) {
        return std::atol(Scalar("SELECT COUNT(*) FROM " + table + " WHERE " + where).c_str());
    }
};

// The year driver taxes bonus runs by the monthly rule; the host program
// taxes them again by the bonus road in the same transaction, as the demo
// did, so nothing the demo stored changes.
TEST_F(DemoRoadsTest, RecalculatingTheYearAfterTheDemoChangesNoRow) {
    const std::vector<std::string> before = Dump();
    HostRun r = Cli("recalc-tax --company 1000 --year 2002");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "2 bonus runs taxed again")) << r.out;
    EXPECT_EQ(Dump(), before);

    // Left to the year driver alone, the bonus runs take the monthly rule.
    r = Cli("recalc-tax --company 1000 --year 2002 --no-bonus");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "0 bonus runs taxed again")) << r.out;
    EXPECT_NE(Dump(), before);
}

// The picker leaves the join rule out of the key; the host program takes it
// from the run's row, so a bonus run with join code "000" leaves out an
// employee who joined inside its window.
TEST_F(DemoRoadsTest, ABonusRunsStrictJoinRuleApplies) {
    Native("CREATE TEMP TABLE newcomer AS SELECT * FROM SEMP WHERE EMP_CD='E000001'");
    Native("UPDATE newcomer SET EMP_CD='E000999', JOIN_DT='20020215', RTR_DT=''");
    Native("INSERT INTO SEMP SELECT * FROM newcomer");
    const std::string his = "EMP_CD='E000999' AND RVRS_YM='200203' AND SQ=2";

    Exec("UPDATE HPHONPD SET JNCM_FG='000' WHERE RVRS_YM='200203' AND SQ=2");
    HostRun r = Cli("build-run --company 1000 --month 200203 --run 2");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(Rows("HPOMPPD", his), 0);

    Exec("UPDATE HPHONPD SET JNCM_FG='100' WHERE RVRS_YM='200203' AND SQ=2");
    r = Cli("build-run --company 1000 --month 200203 --run 2");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_GT(Rows("HPOMPPD", his), 0);
}

// June pays salary and special allowance together; when the special
// allowance pays nobody, the salary's pass still commits and the road says
// per pay type what it did.
TEST_F(DemoRoadsTest, ACombinedBuildWithAnEmptyPayTypeSucceeds) {
    Exec("UPDATE HPHWTPT SET PYSP_FG='999' WHERE RVRS_YM='200206' AND SQ=1 AND PYTP_FG='110'");
    const long before = Rows("HPOMPPD", "RVRS_YM='200206'");
    HostRun r = Cli("--json build-run --company 1000 --month 200206 --run 1");
    EXPECT_EQ(r.exit_code, 0) << r.err << r.out;
    const nlohmann::json line = nlohmann::json::parse(r.out);
    EXPECT_EQ(line["outcome"], "committed");
    ASSERT_EQ(line["passes"].size(), 2u);
    EXPECT_EQ(line["passes"].at(0)["pay_type"], "100");
    EXPECT_EQ(line["passes"].at(0)["committed"], true);
    EXPECT_EQ(line["passes"].at(1)["pay_type"], "110");
    EXPECT_EQ(line["passes"].at(1)["committed"], false);
    EXPECT_EQ(line["passes"].at(1)["empty"], true);
    // The counts are the rows the tables gained and lost.
    const nlohmann::json tables = line.value("tables", nlohmann::json::object());
    const nlohmann::json pay = tables.value("HPOMPPD", nlohmann::json::object());
    const long inserted = pay.value("inserted", 0L), deleted = pay.value("deleted", 0L);
    EXPECT_EQ(inserted - deleted, Rows("HPOMPPD", "RVRS_YM='200206'") - before);
}

// June's combined run (salary 100 and special allowance 110 on one date)
// deducts the month once, under its head pay type: E000001's staff
// association dues are June's as any month's, no deduction is stored twice,
// and his tax base loses his pension savings once.
TEST_F(DemoRoadsTest, TheCombinedJuneRunDeductsTheMonthOnce) {
    const std::string june = "CO_CD='1000' AND RVRS_YM='200206' AND SQ=1 AND EMP_CD='E000001'";
    EXPECT_EQ(Rows("HPOMPDD", june + " AND PYTP_FG<>'100' AND DDCT_AM<>0"), 0);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM (SELECT DDCT_CD FROM HPOMPDD WHERE " + june +
                     " AND DDCT_AM<>0 GROUP BY DDCT_CD HAVING COUNT(*) > 1) T"),
              "0");
    const std::string may = "CO_CD='1000' AND RVRS_YM='200205' AND SQ=1 AND EMP_CD='E000001'";
    const std::string dues = " AND DDCT_CD='D02'";
    ASSERT_NE(Scalar("SELECT SUM(DDCT_AM) FROM HPOMPDD WHERE " + may + dues), "");
    EXPECT_EQ(Scalar("SELECT SUM(DDCT_AM) FROM HPOMPDD WHERE " + june + dues),
              Scalar("SELECT SUM(DDCT_AM) FROM HPOMPDD WHERE " + may + dues));

    // With the division's amount as the withholding method, the savings
    // lower the tax base once.
    Exec("UPDATE syscfg SET CTR_FG='001' WHERE CO_CD='1000' AND CTR_CD='21'");
    HostRun recalc = Cli("--quiet recalc-tax --company 1000 --year 2002");
    ASSERT_EQ(recalc.exit_code, 0) << recalc.err;
    payroll::papers::PaperQuery q;
    q.company = "1000";
    q.period = "200206";
    q.sq = 1;
    q.employees = {"E000001"};
    std::vector<payroll::papers::Payslip> slips;
    std::string error;
    ASSERT_TRUE(payroll::papers::ReadPayslips(q, &slips, &error)) << error;
    ASSERT_EQ(slips.size(), 1u);
    const payroll::papers::PayslipNotes& n = slips[0].notes;
    const double savings = std::atof(Scalar("SELECT SUM(DDCT_AM) FROM HPOMPDD WHERE " + june +
                                            " AND PYTP_FG='100' AND DDCT_CD LIKE 'R%'")
                                         .c_str());
    ASSERT_GT(savings, 0) << "E000001 saves nothing in June: the case is not tested";
    EXPECT_DOUBLE_EQ(n.savings_deduction, savings);
    EXPECT_DOUBLE_EQ(n.tax_base, slips[0].taxable - savings - n.division_deduction);
    const double tax = n.tax_base > 0 ? n.tax_rate * n.tax_base - n.tax_less : 0;
    EXPECT_DOUBLE_EQ(n.income_tax, std::floor(tax / 10 + 1e-9) * 10);
}

}  // namespace
