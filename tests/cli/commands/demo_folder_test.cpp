// The demo company is a company folder: the one shipped in resources/demo/
// passes the check and comes back file for file from an import and an
// export, and a demo made by import, `run new`, the pay step and the
// month's variable pay stores what the generator's own pay step stored.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "payroll/company.h"
#include "payroll/host.h"
#include "payroll/roads.h"
#include "tests/cli/commands/cli_fixture.h"
#include "tools/company/company.h"
#include "tools/company/folder_writer.h"

namespace {

namespace fs = std::filesystem;
using payroll::testing::HostRun;

std::string ShippedDemoFolder() {
    return (fs::path(payroll::ResourceDirectory()) / "demo").string();
}

bool Says(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class DemoFolderTest : public payroll::testing::CliTest {
  protected:
    std::vector<std::string> Sorted(const std::string& sql) {
        std::vector<std::string> rows = payroll::testing::QueryRows(sql);
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    // The stored pay rows, deduction rows and results of the company.
    std::map<std::string, std::vector<std::string>> Stored() {
        const std::string june = "RVRS_YM='200206' AND SQ=1";
        return {
            {"pay", Sorted("SELECT * FROM HPOMPPD WHERE CO_CD='1000' AND NOT (" + june + ")")},
            // A combined run's pay by employee and item, over its pay types.
            {"june pay", Sorted("SELECT EMP_CD, PAY_CD, SUM(PAY_AM) FROM HPOMPPD WHERE "
                                "CO_CD='1000' AND " +
                                june + " GROUP BY EMP_CD, PAY_CD")},
            {"deductions", Sorted("SELECT * FROM HPOMPDD WHERE CO_CD='1000'")},
            {"results", Sorted("SELECT * FROM HPOMNPY WHERE CO_CD='1000'")},
        };
    }
    // The demo as it was made before its company was a folder: the
    // generator's rows written straight into the tables, each run built by
    // the build road and paid by the generator's own pay step, then the
    // year's tax road with the bonus road.
    void GenerateAsBefore(int employees) {
        payroll::company::Options options;
        options.employees = employees;
        options.with_pay_rows = false;
        std::string error;
        ASSERT_TRUE(payroll::company::Generate(options, nullptr, &error)) << error;
        for (int m = 1; m <= 12; ++m) {
            const std::string month = "2002" + std::string(m < 10 ? "0" : "") + std::to_string(m);
            std::vector<HPHONPD_YMD_FMT> runs;
            ASSERT_TRUE(payroll::ListPayRuns("1000", month, &runs, &error)) << error;
            for (const HPHONPD_YMD_FMT& run : runs) {
                const payroll::RoadResult built = payroll::BuildPayRun(run, {});
                ASSERT_EQ(built.outcome, payroll::RoadOutcome::kCommitted) << built.reason;
                ASSERT_TRUE(payroll::company::FillPayAmounts("1000", month,
                                                             std::atoi(run.SQ.c_str()), &error))
                    << error;
            }
        }
        const payroll::RoadResult taxed = payroll::RecalculateTax("1000", "2002", 1, true, nullptr);
        ASSERT_EQ(taxed.outcome, payroll::RoadOutcome::kCommitted) << taxed.reason;
    }
};

// Every amount the generator paid comes through the folder: the fixed
// items, the pay step's base pay, the month's variable pay files. The one
// arrangement the pay step cannot make: it pays an item in the first pay
// type of a run that lists it, so June's special allowance, whose items the
// salary lists too, is paid in the salary's rows; employee by employee and
// item by item June's pay is the same, and so are the deductions, the taxes
// and every result row.
TEST_F(DemoFolderTest, TheDemoMadeByImportStoresWhatTheGeneratorStored) {
    const HostRun demo = Cli("--quiet demo --employees 24");
    ASSERT_EQ(demo.exit_code, 0) << demo.err;
    EXPECT_TRUE(Says(demo.out, "Company 1000, year 2002: 24 employees imported, 14 pay runs"))
        << demo.out;
    const auto by_folder = Stored();
    ASSERT_FALSE(by_folder.at("results").empty());
    ASSERT_FALSE(by_folder.at("june pay").empty());

    GenerateAsBefore(24);
    const auto as_before = Stored();
    for (const auto& [what, rows] : as_before) {
        SCOPED_TRACE(what);
        EXPECT_EQ(by_folder.at(what).size(), rows.size());
        EXPECT_TRUE(by_folder.at(what) == rows);
    }
}

// The folder the demo imports by default: a company folder the check
// passes, whose runs list names a variable pay file for every run, and
// which an import and an export give back file for file.
TEST_F(DemoFolderTest, TheShippedFolderPassesTheCheckAndComesBackFromAnExport) {
    const std::string shipped = ShippedDemoFolder();
    std::string company;
    const std::vector<payroll::folder::Problem> problems =
        payroll::folder::CheckFolder(shipped, &company);
    for (const payroll::folder::Problem& p : problems)
        ADD_FAILURE() << payroll::folder::ProblemText(p);
    EXPECT_EQ(company, "1000");
    std::vector<payroll::company::PlannedRun> runs;
    std::string error;
    ASSERT_TRUE(payroll::company::ReadRunList(shipped, &runs, &error)) << error;
    EXPECT_EQ(runs.size(), payroll::company::PlanRuns({}).size());
    for (const payroll::company::PlannedRun& run : runs)
        EXPECT_TRUE(fs::is_regular_file(fs::path(shipped) / run.pay_file)) << run.pay_file;

    const std::string db = payroll::testing::TempPath("demo_round_trip") + ".db";
    const std::string out = payroll::testing::FreshFolder("demo_export");
    const std::string to = "--db " + payroll::testing::ShellQuote("sqlite:" + db) + " ";
    HostRun r = payroll::testing::Shell(
        payroll::testing::Program(to + "company import " + payroll::testing::ShellQuote(shipped)));
    ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
    r = payroll::testing::Shell(payroll::testing::Program(to + "company export --company 1000 " +
                                                          payroll::testing::ShellQuote(out)));
    ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
    int files = 0;
    for (const fs::directory_entry& e : fs::directory_iterator(out)) {
        const std::string name = e.path().filename().string();
        SCOPED_TRACE(name);
        ++files;
        EXPECT_TRUE(payroll::testing::ReadWholeFile(e.path().string()) ==
                    payroll::testing::ReadWholeFile((fs::path(shipped) / name).string()));
    }
    EXPECT_GE(files, 11);
    payroll::testing::RemoveDatabaseFiles(db);
    fs::remove_all(out);
}

// A folder the demo cannot write is a failure with the reason, and the
// database is not touched.
TEST_F(DemoFolderTest, AFolderThatCannotBeWrittenStopsTheDemoBeforeTheDatabase) {
    const std::vector<std::string> before =
        payroll::testing::QueryRows("SELECT COUNT(*) FROM SEMP");
    const std::string blocked = payroll::testing::TempPath("demo_blocked");
    {
        std::ofstream file(blocked);  // a file where the folder should go
    }
    const HostRun r = Cli("demo --employees 3 --folder " + payroll::testing::ShellQuote(blocked));
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_TRUE(Says(r.err, "cannot write")) << r.err;
    EXPECT_EQ(payroll::testing::QueryRows("SELECT COUNT(*) FROM SEMP"), before);
    fs::remove(blocked);
}

// The runs list is read as the folder writer writes it; a line that is not
// (a missing cell, a month that is no month, a pay file outside the folder)
// is refused with the file and the line.
TEST(DemoRunListTest, ReadsWhatIsWrittenAndRefusesWhatIsNot) {
    const std::string dir = payroll::testing::FreshFolder("demo_runs");
    payroll::company::Options options;
    options.employees = 2;
    std::string error;
    ASSERT_TRUE(payroll::company::WriteCompanyFolder(options, dir, &error)) << error;
    std::vector<payroll::company::PlannedRun> runs;
    ASSERT_TRUE(payroll::company::ReadRunList(dir, &runs, &error)) << error;
    const std::vector<payroll::company::PlannedRun> planned = payroll::company::PlanRuns(options);
    ASSERT_EQ(runs.size(), planned.size());
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].month, planned[i].month);
        EXPECT_EQ(runs[i].sequence, planned[i].sequence);
        EXPECT_EQ(runs[i].pay_date, planned[i].pay_date);
        EXPECT_EQ(runs[i].pay_types, planned[i].pay_types);
        EXPECT_EQ(runs[i].bonus_from, planned[i].bonus_from);
        EXPECT_EQ(runs[i].bonus_to, planned[i].bonus_to);
        EXPECT_EQ(runs[i].pay_file, planned[i].pay_file);
    }

    const std::string header =
        "귀속월 [RVRS_YM],차수 [SQ],지급일 [PAY_DT],지급구분 [PYTP_FG],"
        "상여기간시작 [BNST_DT],상여기간끝 [BNED_DT],변동급여 [PAY_FILE]\n";
    for (const char* bad :
         {"2002-01,1,2002-01-25,100,,\n", "2002,1,2002-01-25,100,,,pay/a.csv\n",
          "2002-01,0,2002-01-25,100,,,pay/a.csv\n", "2002-01,1,2002-01-25,,,,pay/a.csv\n",
          "2002-01,1,2002-01-25,100,,,../../a.csv\n", "2002-01,1,2002-01-25,100,,,/tmp/a.csv\n"}) {
        SCOPED_TRACE(bad);
        {
            std::ofstream out(fs::path(dir) / payroll::company::kRunsFile, std::ios::trunc);
            out << header << "2002-02,1,2002-02-25,100,,,pay/b.csv\n" << bad;
        }
        EXPECT_FALSE(payroll::company::ReadRunList(dir, &runs, &error));
        EXPECT_TRUE(Says(error, "runs.csv:3:")) << error;
    }
    fs::remove(fs::path(dir) / payroll::company::kRunsFile);
    EXPECT_FALSE(payroll::company::ReadRunList(dir, &runs, &error));
    EXPECT_TRUE(Says(error, "cannot read")) << error;
    fs::remove_all(dir);
}

}  // namespace
