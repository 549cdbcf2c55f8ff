// The pay step on the worked five-person example: every amount a built run
// gets, worked by hand from the company folder; rows a clerk changed kept
// until a reset; another run's rows left alone; and the arithmetic under it.
#include "roads/pay_step.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "payroll/company.h"
#include "payroll/roads.h"
#include "tests/company/company_fixture.h"

namespace payroll::testing {
namespace {

TEST(PayArithmetic, ProratesByCalendarDaysCutDownToTheWon) {
    const struct {
        const char* amount;
        int days, window;
        const char* want;
    } cases[] = {
        {"2700000", 15, 31, "1306451"},  // 1,306,451.6 cut
        {"1800000", 6, 28, "385714"},    // 385,714.28 cut
        {"3100000", 10, 31, "1000000"},  // exact
        {"2550000", 31, 31, "2550000"},  // a whole window: the amount as it is
        {"1000.5", 1, 2, "500"},         // 500.25 cut
        {"-50000", 1, 3, "-16666"},      // toward zero
        {"60000", 0, 30, "0"},           // not employed in the window
    };
    for (const auto& c : cases)
        EXPECT_EQ(pay::Prorate(c.amount, c.days, c.window), c.want)
            << c.amount << " x " << c.days << "/" << c.window;
}

TEST(PayArithmetic, CountsTheDaysOfTheWindowAnEmployeeWasEmployed) {
    // July, calendar month; June 21 to July 20 across February in a leap year.
    EXPECT_EQ(pay::DaysEmployed("19950302", "", "20020701", "20020731"), 31);
    EXPECT_EQ(pay::DaysEmployed("19970106", "20020715", "20020701", "20020731"), 15);
    EXPECT_EQ(pay::DaysEmployed("20020315", "", "20020221", "20020320"), 6);
    EXPECT_EQ(pay::DaysEmployed("20020710", "20020712", "20020701", "20020731"), 3);
    EXPECT_EQ(pay::DaysEmployed("20020801", "", "20020701", "20020731"), 0);
    EXPECT_EQ(pay::DaysBetween("20040221", "20040320"), 29);
    EXPECT_EQ(pay::DaysBetween("20020230", "20020301"), 0);  // no such date
}

TEST(PayArithmetic, AmountsCompareInTheirPlainForm) {
    EXPECT_EQ(pay::PlainNumber("3000000.0000"), "3000000");
    EXPECT_EQ(pay::PlainNumber("29032.5000"), "29032.5");
    EXPECT_EQ(pay::PlainNumber("-0.0000"), "0");
    EXPECT_EQ(pay::PlainNumber(""), "0");
    EXPECT_EQ(pay::PlainNumber("0.25"), "0.25");
    EXPECT_TRUE(pay::IsAmount("-5000.5"));
    EXPECT_FALSE(pay::IsAmount("5e3"));
    EXPECT_FALSE(pay::IsAmount("1.12345"));
    EXPECT_FALSE(pay::IsAmount("1,000"));
}

// The example company with two changes: step 2 of class 일반직 pays
// 2,160,000 from July, and 박지훈 (E003, step 2) has no fixed base pay, so
// that his base pay comes from the table.
class PayStepTest : public DatabaseFixture {
  protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        const std::string dir = CopyOfExample("pay-step");
        ASSERT_NO_FATAL_FAILURE(Edit(dir + "/pay-steps.csv", "일반직,2호봉,2002-01,,2100000",
                                     "일반직,2호봉,2002-01,2002-06,2100000\r\n"
                                     "일반직,2호봉,2002-07,,2160000"));
        ASSERT_NO_FATAL_FAILURE(
            Edit(dir + "/fixed-items.csv", "E003,P00,2002-01,,2100000\r\n", ""));
        const folder::ImportResult r = folder::ImportFolder(dir);
        ASSERT_TRUE(r.ok) << r.error
                          << (r.problems.empty() ? "" : folder::ProblemText(r.problems[0]));
        NewRun("200203", "2002-03-25", "100");
        NewRun("200207", "2002-07-25", "100");
    }
    void NewRun(const std::string& month, const std::string& date, const std::string& type) {
        int sq = 0;
        std::string error;
        ASSERT_TRUE(folder::CreateRun({"1000", month, date, {type}, 0, "", ""}, &sq, &error))
            << error;
    }
    HPHONPD_YMD_FMT Key(const std::string& month, int run = 1) {
        std::vector<HPHONPD_YMD_FMT> runs;
        std::string error;
        EXPECT_TRUE(ListPayRuns("1000", month, &runs, &error)) << error;
        if (static_cast<int>(runs.size()) < run) {
            ADD_FAILURE() << month << " has no run " << run;
            return MonthKey("1000", month);
        }
        return runs[static_cast<std::size_t>(run - 1)];
    }
    RoadResult Build(const std::string& month, bool pay, bool reset = false) {
        BuildChoices choices;
        choices.pay = pay;
        choices.reset_pay = reset;
        RoadResult r = BuildPayRun(Key(month), choices);
        EXPECT_EQ(r.outcome, RoadOutcome::kCommitted) << r.reason;
        return r;
    }
    // The amount of an employee's pay (P...) or deduction (D..., S..., T...)
    // row in run 1 of the month.
    std::string Amount(const std::string& month, const std::string& employee,
                       const std::string& code) {
        const bool pay = code[0] == 'P';
        return Scalar(std::string("SELECT ") +
                      (pay ? "PAY_AM FROM HPOMPPD" : "DDCT_AM FROM HPOMPDD") +
                      " WHERE CO_CD='1000' AND RVRS_YM='" + month + "' AND SQ=1 AND EMP_CD='" +
                      employee + "' AND " + (pay ? "PAY_CD='" : "DDCT_CD='") + code + "'");
    }
    double Number(const std::string& month, const std::string& employee, const std::string& code) {
        return std::stod("0" + Amount(month, employee, code));
    }
};

TEST_F(PayStepTest, ABuiltRunGetsItsAmountsWorkedByHand) {
    const RoadResult july = Build("200207", true);
    ASSERT_TRUE(july.pay.ran);
    // 김민준 (E001): his fixed base pay 3,000,000 (his step 5 pays the
    // same), family allowance 60,000, union dues 10,000 a month.
    EXPECT_EQ(Number("200207", "E001", "P00"), 3000000);
    EXPECT_EQ(Number("200207", "E001", "P05"), 60000);
    EXPECT_EQ(Number("200207", "E001", "D01"), 10000);
    // 이서연 (E002): raised by a fixed item from July to 2,550,000; her step
    // 3 would pay 2,400,000, but her own base pay wins.
    EXPECT_EQ(Number("200207", "E002", "P00"), 2550000);
    // 박지훈 (E003): no fixed base pay, so step 2 as of July: 2,160,000
    // (not the 2,100,000 that held until June); family allowance 20,000,
    // union dues 10,000.
    EXPECT_EQ(Number("200207", "E003", "P00"), 2160000);
    EXPECT_EQ(Number("200207", "E003", "P05"), 20000);
    EXPECT_EQ(Number("200207", "E003", "D01"), 10000);
    // Items without a source stay 0: nobody has meals or overtime yet.
    EXPECT_EQ(Number("200207", "E001", "P01"), 0);
    // The taxes and insurances are the tax road's and the close's: every
    // such row holds what the build wrote, as with no pay step.
    const std::vector<std::string> computed = Rows(
        "SELECT EMP_CD, DDCT_CD, DDCT_AM FROM HPOMPDD WHERE RVRS_YM='200207' AND DDCT_CD IN "
        "('T00','T10','S00','S10','S20') ORDER BY EMP_CD, DDCT_CD");
    // March: 최하은 (E004) joined on 2002-03-15; production pays from the
    // 21st of the month before to the 20th: 2002-02-21 to 2002-03-20 is 28
    // days, of which she was employed 6 (15th to 20th): 1,800,000 x 6 / 28
    // = 385,714.28, cut to 385,714.
    const RoadResult march = Build("200203", true);
    EXPECT_EQ(Number("200203", "E004", "P00"), 385714);
    EXPECT_EQ(march.pay.prorated, 1);
    // In March E003 is paid by the step of that month: 2,100,000.
    EXPECT_EQ(Number("200203", "E003", "P00"), 2100000);
    EXPECT_EQ(Rows("SELECT WORK_DN, WNDW_DN, SRC_FG FROM HPOMPSW WHERE RVRS_YM='200203' AND "
                   "EMP_CD='E004' AND PYDD_CD='P00'"),
              std::vector<std::string>{"6|28|FIX"});

    // The build without the pay step leaves July's computed rows as they were.
    Exec("DELETE FROM HPOMPPD; DELETE FROM HPOMPDD; DELETE FROM HPOMPSW");
    Build("200207", false);
    EXPECT_EQ(Rows("SELECT EMP_CD, DDCT_CD, DDCT_AM FROM HPOMPDD WHERE RVRS_YM='200207' AND "
                   "DDCT_CD IN ('T00','T10','S00','S10','S20') ORDER BY EMP_CD, DDCT_CD"),
              computed);
}

// 정도윤 (E005) left on 2002-07-15: an office worker's window is the
// calendar month, 31 days in July, of which he was employed 15.
TEST_F(PayStepTest, ALeaverInsideTheWindowIsProrated) {
    const RoadResult july = Build("200207", true);
    if (Scalar("SELECT COUNT(*) FROM HPOMPPD WHERE RVRS_YM='200207' AND EMP_CD='E005'") == "0")
        GTEST_SKIP() << "the build does not pay E005 in July";
    // 2,700,000 x 15 / 31 = 1,306,451.6 -> 1,306,451; 60,000 x 15 / 31 =
    // 29,032.3 -> 29,032. Deductions are owed for the month: not prorated.
    EXPECT_EQ(Number("200207", "E005", "P00"), 1306451);
    EXPECT_EQ(Number("200207", "E005", "P05"), 29032);
    EXPECT_EQ(july.pay.prorated, 2);
}

TEST_F(PayStepTest, RowsChangedByHandAreKeptUntilAReset) {
    const RoadResult first = Build("200207", true);
    EXPECT_EQ(first.pay.kept, 0);
    // The clerk gives E001 a family allowance of 70,000 this month; the
    // company then raises his allowance to 65,000 and E003's union dues to
    // 12,000.
    Exec(
        "UPDATE HPOMPPD SET PAY_AM=70000 WHERE RVRS_YM='200207' AND EMP_CD='E001' AND "
        "PAY_CD='P05'");
    Exec("UPDATE HPHFXPD SET FIX_AM=65000 WHERE EMP_CD='E001' AND FIXP_CD='P05'");
    Exec("UPDATE HPHFXPD SET FIX_AM=12000 WHERE EMP_CD='E003' AND FIXP_CD='D01'");
    RoadResult again = FillRunPay(Key("200207"), PayChoices{});
    ASSERT_EQ(again.outcome, RoadOutcome::kCommitted) << again.reason;
    EXPECT_EQ(Number("200207", "E001", "P05"), 70000);
    EXPECT_EQ(Number("200207", "E003", "D01"), 12000);
    EXPECT_EQ(again.pay.kept, 1);
    EXPECT_EQ(again.report.tables["HPOMPPD"].updated, 0);
    EXPECT_EQ(again.report.tables["HPOMPDD"].updated, 1);
    // Building again keeps it too; a build with the reset takes it back.
    EXPECT_EQ(Build("200207", true).pay.kept, 1);
    EXPECT_EQ(Number("200207", "E001", "P05"), 70000);
    const RoadResult reset = Build("200207", true, true);
    EXPECT_EQ(reset.pay.kept, 0);
    EXPECT_EQ(Number("200207", "E001", "P05"), 65000);
    // A fixed item that ends gives its row back to 0, unless the clerk
    // changed it.
    Exec("DELETE FROM HPHFXPD WHERE EMP_CD='E003' AND FIXP_CD='D01'");
    again = FillRunPay(Key("200207"), PayChoices{});
    EXPECT_EQ(again.pay.cleared, 1);
    EXPECT_EQ(Number("200207", "E003", "D01"), 0);
    // Filling twice changes nothing.
    again = FillRunPay(Key("200207"), PayChoices{});
    EXPECT_EQ(again.report.Updated() + again.report.Inserted() + again.report.Deleted(), 0);
}

TEST_F(PayStepTest, AnotherRunsRowsAreNeverTouched) {
    Build("200203", true);
    // A second July run, of the special allowance, built without amounts
    // and given one by hand; a clerk's figure in March.
    NewRun("200207", "2002-07-26", "110");
    ASSERT_EQ(BuildPayRun(Key("200207", 2), BuildChoices{}).outcome, RoadOutcome::kCommitted);
    Exec("UPDATE HPOMPPD SET PAY_AM=300000 WHERE RVRS_YM='200207' AND SQ=2 AND EMP_CD='E001'");
    Exec("UPDATE HPOMPPD SET PAY_AM=1 WHERE RVRS_YM='200203' AND EMP_CD='E001' AND PAY_CD='P05'");
    const std::string others =
        "SELECT RVRS_YM, SQ, EMP_CD, PAY_CD, PAY_AM FROM HPOMPPD WHERE RVRS_YM='200203' OR SQ=2 "
        "ORDER BY RVRS_YM, SQ, EMP_CD, PAY_CD";
    const std::vector<std::string> before = Rows(others);
    ASSERT_FALSE(before.empty());
    const std::vector<std::string> written =
        Rows("SELECT * FROM HPOMPSW ORDER BY RVRS_YM, SQ, EMP_CD, PYDD_CD");
    Build("200207", true, true);
    PayChoices reset;
    reset.reset = true;
    reset.variable = {{"E001", "P01", "150000", "10", "10 h x 15,000"}};
    ASSERT_EQ(FillRunPay(Key("200207"), reset).outcome, RoadOutcome::kCommitted);
    EXPECT_EQ(Rows(others), before);
    EXPECT_EQ(Rows("SELECT * FROM HPOMPSW WHERE RVRS_YM='200203' ORDER BY RVRS_YM, SQ, EMP_CD, "
                   "PYDD_CD"),
              written);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPOMPSW WHERE SQ=2"), "0");
    EXPECT_EQ(Number("200207", "E001", "P01"), 150000);
    EXPECT_EQ(Rows("SELECT WKHR_TM, CALC_DC, SRC_FG FROM HPOMPSW WHERE RVRS_YM='200207' AND "
                   "EMP_CD='E001' AND PYDD_CD='P01'"),
              std::vector<std::string>{"10|10 h x 15,000|VAR"});
}

TEST_F(PayStepTest, AVariableAmountWithoutItsRowRollsEverythingBack) {
    Build("200207", false);
    const std::vector<std::string> before = Rows("SELECT EMP_CD, PAY_CD, PAY_AM FROM HPOMPPD");
    PayChoices choices;
    choices.variable = {{"E001", "P01", "150000", "", ""}, {"E001", "P13", "5000", "", ""}};
    const RoadResult r = FillRunPay(Key("200207"), choices);
    EXPECT_EQ(r.outcome, RoadOutcome::kRolledBack);
    EXPECT_NE(r.reason.find("no row of item P13"), std::string::npos) << r.reason;
    EXPECT_EQ(Rows("SELECT EMP_CD, PAY_CD, PAY_AM FROM HPOMPPD"), before);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPOMPSW"), "0");
    // A run that does not exist is refused before anything is written.
    HPHONPD_YMD_FMT missing = Key("200207");
    missing.SQ = "9";
    EXPECT_EQ(FillRunPay(missing, PayChoices{}).outcome, RoadOutcome::kRolledBack);
}

// What the step remembers of a run goes with it: the run made again under
// the same sequence is filled afresh, not taken for the clerk's.
TEST_F(PayStepTest, ARunDeletedAndMadeAgainIsFilledAfresh) {
    Build("200207", true);
    std::string error;
    ASSERT_TRUE(folder::DeleteRun("1000", "200207", 1, true, &error)) << error;
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPOMPSW WHERE RVRS_YM='200207'"), "0");
    NewRun("200207", "2002-07-25", "100");
    const RoadResult again = Build("200207", true);
    EXPECT_EQ(again.pay.kept, 0);
    EXPECT_EQ(Number("200207", "E002", "P00"), 2550000);
}

// A source that holds text where an amount belongs (SQLite keeps what it
// is given) stops the step before it reaches a statement.
TEST_F(PayStepTest, AFixedItemThatIsNoAmountStopsTheStep) {
    PAYROLL_SKIP_ON_POSTGRES();  // a NUMERIC column there refuses the text
    Build("200207", false);
    Exec(
        "UPDATE HPHFXPD SET FIX_AM='0 WHERE 1=0; DELETE FROM SEMP' WHERE EMP_CD='E001' AND "
        "FIXP_CD='P05'");
    const RoadResult r = FillRunPay(Key("200207"), PayChoices{});
    EXPECT_EQ(r.outcome, RoadOutcome::kRolledBack);
    EXPECT_NE(r.reason.find("employee E001, item P05 holds"), std::string::npos) << r.reason;
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM SEMP"), "5");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPOMPSW"), "0");
}

}  // namespace
}  // namespace payroll::testing
