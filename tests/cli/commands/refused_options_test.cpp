// The tax roads refuse what the engine would take and store as zeros: a
// recalculation mode it does not know, a bonus kind that computes nothing,
// and the bonus rule on a run that pays no bonus. Each is a usage error
// (exit code 2, the reason on standard error) and leaves every stored row of
// the demo company as it was; the modes and kinds the help names still run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli/commands/cli_fixture.h"

namespace {

using payroll::testing::HostRun;

// The demo company of 20 employees, its year taxed: June run 1 is the
// combined salary run (pay types 100 and 110), run 2 the bonus (200); March
// run 1 the plain salary run (100).
class RefusedOptionsTest : public payroll::testing::CliTest {
  protected:
    void SetUp() override {
        CliTest::SetUp();
        HostRun demo = Cli("--quiet demo --employees 20");
        ASSERT_EQ(demo.exit_code, 0) << demo.err;
        before_ = Dump();
        ASSERT_FALSE(before_.empty());
    }

    // Runs the command, expects a usage error that names `reason` and finds
    // the stored rows untouched.
    void ExpectRefused(const std::string& args, const std::string& reason) {
        HostRun r = Cli(args);
        EXPECT_EQ(r.exit_code, 2) << args << "\n" << r.out << r.err;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_TRUE(Has(r.err, reason)) << args << "\n" << r.err;
        EXPECT_EQ(Dump(), before_) << args;
    }

    static bool Has(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }

    std::vector<std::string> before_;
};

TEST_F(RefusedOptionsTest, RecalcTaxRefusesModesTheEngineDoesNotKnow) {
    for (const char* mode : {"99", "0", "7", "-5", "12"}) {
        ExpectRefused(std::string("recalc-tax --company 1000 --year 2002 --mode=") + mode,
                      "--mode");
        ExpectRefused(std::string("--json recalc-tax --company 1000 --month 200206 --mode=") + mode,
                      "--mode");
    }
}

TEST_F(RefusedOptionsTest, RecalcTaxRunsEveryModeItsHelpNames) {
    HostRun help = Cli("recalc-tax --help");
    ASSERT_EQ(help.exit_code, 0);
    EXPECT_TRUE(Has(help.out, "{1,2,3,4,11}")) << help.out;

    // 1 and 11 compute the year again: the demo stored it so already.
    for (const char* mode : {"1", "11"}) {
        HostRun r = Cli(std::string("recalc-tax --company 1000 --year 2002 --mode ") + mode);
        ASSERT_EQ(r.exit_code, 0) << mode << "\n" << r.err;
        EXPECT_TRUE(Has(r.out, ", 14 runs,")) << r.out;
        EXPECT_EQ(Dump(), before_) << "mode " << mode;
    }
    const std::string incomeTax = Scalar("SELECT SUM(INTX_AM) FROM HPOMNPY");
    HostRun month = Cli("recalc-tax --company 1000 --month 200206 --mode 3");
    ASSERT_EQ(month.exit_code, 0) << month.err;
    EXPECT_TRUE(Has(month.out, ", 2 runs,")) << month.out;
    for (const char* mode : {"2", "4"}) {
        HostRun r = Cli(std::string("recalc-tax --company 1000 --year 2002 --mode ") + mode);
        ASSERT_EQ(r.exit_code, 0) << mode << "\n" << r.err;
        EXPECT_TRUE(Has(r.out, ", 14 runs,")) << r.out;
    }
    // They store the results again from the stored taxes: no income tax lost.
    EXPECT_EQ(Scalar("SELECT SUM(INTX_AM) FROM HPOMNPY"), incomeTax);
    EXPECT_NE(Scalar("SELECT COUNT(*) FROM HPOMNPY WHERE INTX_AM>0"), "0");
}

TEST_F(RefusedOptionsTest, BonusTaxRefusesKindsThatComputeNothing) {
    for (const char* kind : {"99", "0", "2", "3", "5", "-1"})
        ExpectRefused(std::string("bonus-tax --company 1000 --month 200206 --run 2 --kind=") + kind,
                      "--kind");

    // 11 computes the taxes as the demo's kind 1 did.
    const std::string taxes =
        "SELECT SUM(INTX_AM) || '|' || SUM(RSTX_AM) FROM HPOMNPY WHERE RVRS_YM='200206' AND SQ=2";
    const std::string computed = Scalar(taxes);
    HostRun r = Cli("bonus-tax --company 1000 --month 200206 --run 2 --kind 11");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "kind 11): committed")) << r.out;
    EXPECT_EQ(Scalar(taxes), computed);
    EXPECT_NE(computed.substr(0, 2), "0|") << computed;
}

TEST_F(RefusedOptionsTest, BonusTaxRefusesASalaryRun) {
    // The combined June run: both of its pay types are named.
    ExpectRefused("bonus-tax --company 1000 --month 200206 --run 1", "pay types 100, 110");
    ExpectRefused("--json bonus-tax --company 1000 --month 200206 --run 1 --employee E000001",
                  "no bonus run");
    ExpectRefused("--quiet bonus-tax --company 1000 --month 200203 --run 1", "pay type 100)");
}

}  // namespace
