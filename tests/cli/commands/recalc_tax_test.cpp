// payroll recalc-tax: the year driver from the terminal, its closing line and
// exit codes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "platform/lang/lang_util.h"
#include "tests/cli/commands/cli_fixture.h"

namespace {

using payroll::testing::CliTest;

class RecalcTaxTest : public CliTest {
  protected:
    void SetUp() override {
        CliTest::SetUp();
        SeedYearCompany();
    }
};

TEST_F(RecalcTaxTest, YearCommits) {
    payroll::testing::HostRun r = Cli("recalc-tax --company 1000 --year 2002");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out,
              "recalc-tax 1000 2002 mode 1: committed: income tax calculated for the year 2002, 2 "
              "runs, 3 people, 6 employee-runs, 0 bonus runs taxed again, 6 results stored, months "
              "closed\n");
    // The year's taxes as the engine's year test works them out.
    EXPECT_EQ(Stored("E01", "200203", "INTX_AM"), 66740);
    EXPECT_EQ(Stored("E03", "200204", "INTX_AM"), 120000);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPOMNPY"), "6");
}

TEST_F(RecalcTaxTest, MonthTakesModeThreeUnlessAnotherIsGiven) {
    payroll::testing::HostRun r = Cli("recalc-tax --company 1000 --month 200204");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out,
              "recalc-tax 1000 200204 mode 3: committed: stored results written again, no tax "
              "calculated (--mode 1 calculates), 1 run, 3 people, 3 employee-runs, 0 bonus runs "
              "taxed again, 3 results stored, months closed\n");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPOMNPY WHERE RVRS_YM='200203'"), "1");
    EXPECT_EQ(Stored("E03", "200204", "INTX_AM"), 0);  // mode 3 keeps stored taxes: none

    r = Cli("recalc-tax --company 1000 --month 200204 --mode 1");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    // Mode 1 with a month covers the month's whole year.
    EXPECT_EQ(r.out,
              "recalc-tax 1000 200204 mode 1: committed: income tax calculated for the year of "
              "200204, 2 runs, 3 people, 6 employee-runs, 0 bonus runs taxed again, 6 results "
              "stored, months closed\n");
    EXPECT_EQ(Stored("E03", "200204", "INTX_AM"), 120000);
}

TEST_F(RecalcTaxTest, NothingToRecalculateFails) {
    payroll::testing::HostRun r = Cli("recalc-tax --company 9999 --year 2002");
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("recalc-tax 9999 2002 mode 1: nothing recalculated"), std::string::npos)
        << r.err;

    r = Cli("recalc-tax --company 1000 --year 1899");
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find(TheLangUtil().GetLangString(1022).str()), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("nothing recalculated"), std::string::npos) << r.err;
}

TEST_F(RecalcTaxTest, RollbackNamesTheStepAndChangesNothing) {
    Exec("DELETE FROM SCTRL_D");
    std::vector<std::string> before = Dump();
    payroll::testing::HostRun r = Cli("recalc-tax --company 1000 --year 2002");
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("recalc-tax 1000 2002 mode 1: rolled back at Load_DEFAULT"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(Dump(), before);
}

TEST_F(RecalcTaxTest, JsonNamesTheOutcomeAndItsCounts) {
    auto count = [this](const char* table) {
        return std::atol(Scalar(std::string("SELECT COUNT(*) FROM ") + table).c_str());
    };
    const long resultsBefore = count("HPOMNPY"), deductionsBefore = count("HPOMPDD");
    // The tax road's own counts, without the month's close.
    payroll::testing::HostRun r = Cli("--json recalc-tax --company 1000 --year 2002 --no-close");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    nlohmann::json line = nlohmann::json::parse(r.out);
    EXPECT_EQ(line["outcome"], "committed");
    EXPECT_EQ(line["road"], "recalc-tax 1000 2002 mode 1");
    EXPECT_EQ(line["runs"], 2);
    EXPECT_EQ(line["employees"], 6);  // employee-runs: the same three people in two runs
    EXPECT_EQ(line["people"], 3);
    EXPECT_EQ(line["results_stored"], 6);
    // The counts are the rows the tables gained and lost.
    const nlohmann::json& results = line["tables"]["HPOMNPY"];
    const nlohmann::json& deductions = line["tables"]["HPOMPDD"];
    EXPECT_EQ(results["inserted"].get<long>() - results["deleted"].get<long>(),
              count("HPOMNPY") - resultsBefore);
    EXPECT_EQ(deductions["inserted"].get<long>() - deductions["deleted"].get<long>(),
              count("HPOMPDD") - deductionsBefore);
    // Every result is one summary row written: updated in place, or replaced.
    EXPECT_EQ(results["inserted"].get<long>() + results["updated"].get<long>(), 6);
    EXPECT_GT(deductions["updated"].get<long>(), 0);
    // With the close, every result row is updated once more to carry its
    // deductions.
    r = Cli("--json recalc-tax --company 1000 --year 2002");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    line = nlohmann::json::parse(r.out);
    EXPECT_EQ(line["tables"]["HPOMNPY"]["inserted"].get<long>() +
                  line["tables"]["HPOMNPY"]["updated"].get<long>(),
              12);

    Exec("DELETE FROM SCTRL_D");
    r = Cli("--json --quiet recalc-tax --company 1000 --year 2002");
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.out.find("\"outcome\":\"rolled back\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("rolled back at Load_DEFAULT"), std::string::npos) << r.out;
}

TEST_F(RecalcTaxTest, UsageErrors) {
    for (const char* args : {
             "recalc-tax --year 2002",                                // no company
             "recalc-tax --company 1000",                             // no period
             "recalc-tax --company 1000 --year 2002 --month 200203",  // both
             "recalc-tax --company 1000 --year 02",                   // not YYYY
             "recalc-tax --company 1000 --month 200213",              // no month 13
             "recalc-tax --company 1000 --month 2002031",             // seven digits
             "recalc-tax --company 123456 --year 2002",               // beyond the key's field
             "recalc-tax --company 1000 --year 2002 --mode 3",        // mode 3 needs a month
             "recalc-tax --company 1000 --year 2002 --mode x",        // not a number
             "recalc-tax --company 1000 --year 2002 --mode 99",       // no mode of the engine
             "recalc-tax --company 1000 --month 200204 --mode 0",     // nor is 0
         }) {
        payroll::testing::HostRun r = Cli(args);
        EXPECT_EQ(r.exit_code, 2) << args << "\n" << r.err;
        EXPECT_EQ(r.out, "") << args;
    }
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPOMNPY"), "2");  // the seeded rows only
}

}  // namespace

namespace {

// A typo in the database path is refused without leaving a file behind (in
// JSON too, with --json), and a month without runs recalculates nothing.
TEST_F(RecalcTaxTest, AMissingDatabaseOrMonthIsRefused) {
    const std::string missing = payroll::testing::TempPath("no_such") + ".db";
    payroll::testing::HostRun r = payroll::testing::RunHost(
        {"--db", "sqlite:" + missing, "recalc-tax", "--company", "1000", "--year", "2002"});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("no payroll database at " + missing), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(missing));
    r = payroll::testing::RunHost(
        {"--db", "sqlite:" + missing, "--json", "runs", "--company", "1000", "--month", "200203"});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(nlohmann::json::parse(r.out)["outcome"], "failed") << r.out;
    EXPECT_FALSE(std::filesystem::exists(missing));

    const std::vector<std::string> before = Dump();
    r = Cli("recalc-tax --company 1000 --month 200205 --mode 1");
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("no pay runs in 200205"), std::string::npos) << r.err;
    EXPECT_EQ(Dump(), before);
    // A month with runs says what it did.
    r = Cli("recalc-tax --company 1000 --month 200203");
    EXPECT_NE(r.out.find("no tax calculated"), std::string::npos) << r.out << r.err;
    r = Cli("recalc-tax --company 1000 --month 200203 --mode 1");
    EXPECT_NE(r.out.find("income tax calculated for the year of 200203"), std::string::npos)
        << r.out;
}

}  // namespace
