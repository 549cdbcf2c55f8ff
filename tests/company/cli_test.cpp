// The host program's company and run commands: exit codes, the problems on
// standard error, and an import killed halfway that leaves the database as
// it was.
#include <gtest/gtest.h>

#include "company_fixture.h"
#include "payroll/host.h"
#include "support/host_program.h"

namespace payroll::testing {
namespace {

class CompanyCli : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = TempPath("company_cli") + ".db";
        RemoveDatabaseFiles(path_);
    }
    void TearDown() override { RemoveDatabaseFiles(path_); }
    HostRun Run(const std::vector<std::string>& args, RunOptions options = {}) {
        std::vector<std::string> all = {"--db", "sqlite:" + path_};
        all.insert(all.end(), args.begin(), args.end());
        return RunHost(all, options);
    }
    std::vector<std::string> Query(const std::string& sql) {
        std::string error;
        EXPECT_TRUE(OpenDatabaseFile(path_, false, &error)) << error;
        auto rows = QueryRows(sql);
        CloseDatabase();
        return rows;
    }
    std::string path_;
};

TEST_F(CompanyCli, CheckListsEveryProblemExitsOneAndWritesNothing) {
    const std::string dir = CopyOfExample("cli_check");
    Edit(dir + "/employees.csv", "D201", "D999");
    Edit(dir + "/pay-steps.csv", "2002-01,,1800000", "2002-13,,1800000");
    HostRun r = Run({"company", "check", dir});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("employees.csv:4: DEPT_CD \"D999\""), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("pay-steps.csv:2: APST_YM \"2002-13\""), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("2 problems; nothing was written"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(path_));

    r = Run({"company", "import", dir});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(Query("SELECT COUNT(*) FROM SEMP"), std::vector<std::string>{"0"});
}

TEST_F(CompanyCli, ImportExportAndARunOfTheExample) {
    HostRun r = Run({"company", "import", ExampleFolder()});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_NE(r.out.find("employees.csv: 5 added (E001, E002, E003, E004, E005)"),
              std::string::npos)
        << r.out;
    r = Run({"company", "import", ExampleFolder()});
    EXPECT_NE(r.out.find("company 1000: nothing changed"), std::string::npos) << r.out;
    const std::string out = FreshFolder("cli_export");
    r = Run({"company", "export", "--company", "1000", out});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(ReadWholeFile(out + "/employees.csv"),
              ReadWholeFile(ExampleFolder() + "/employees.csv"));

    r = Run({"run", "new", "--company", "1000", "--month", "200206", "--pay-date", "2002-06-28",
             "--pay-types", "200", "--bonus-period", "2002-01-01", "2002-06-30"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    r = Run({"run", "new", "--company", "1000", "--month", "200206", "--pay-date", "2002-06-28",
             "--pay-types", "200"});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("already pays pay type 200"), std::string::npos) << r.err;
    r = Run({"run", "delete", "--company", "1000", "--month", "200206", "--run", "1"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(Query("SELECT COUNT(*) FROM HPHWTPT"), std::vector<std::string>{"0"});
}

TEST_F(CompanyCli, AnImportKilledHalfwayLeavesTheDatabaseAsItWas) {
    HostRun r = Run({"company", "import", ExampleFolder()});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const std::string dir = CopyOfExample("cli_killed");
    Edit(dir + "/employees.csv", "김민준", "김민준A");
    Edit(dir + "/fixed-items.csv", "3000000", "3100000");
    const auto before = Query("SELECT EMP_CD, KOR_NM FROM SEMP ORDER BY EMP_CD");
    const auto fixed = Query("SELECT EMP_CD, FIXP_CD, FIX_AM FROM HPHFXPD ORDER BY 1, 2, 3");
    // Killed at each statement the import sends, in turn, until one run
    // gets through: every killed run leaves the database as it was.
    int killed = 0;
    for (int k = 1; k <= 200; ++k) {
        RunOptions hooked;
        hooked.hooked_library = true;
        hooked.env = {"PAYROLL_KILL_AT_STATEMENT=" + std::to_string(k)};
        r = Run({"company", "import", dir}, hooked);
        if (r.signal == 0) {
            EXPECT_NE(r.out.find("employees.csv: 1 changed (E001)"), std::string::npos) << r.out;
            break;
        }
        ++killed;
        EXPECT_EQ(Query("SELECT EMP_CD, KOR_NM FROM SEMP ORDER BY EMP_CD"), before) << k;
        EXPECT_EQ(Query("SELECT EMP_CD, FIXP_CD, FIX_AM FROM HPHFXPD ORDER BY 1, 2, 3"), fixed)
            << k;
    }
    EXPECT_GT(killed, 15);
    EXPECT_NE(Query("SELECT EMP_CD, KOR_NM FROM SEMP ORDER BY EMP_CD"), before);
}

}  // namespace
}  // namespace payroll::testing
