// How the host program meets a database it cannot use as asked: JSON for a
// script also when the file is no database, a file it may not write still
// read by the commands that only read (and refused by those that write,
// leaving nothing beside it), and a paper whose name the file system refuses.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/cli/commands/cli_fixture.h"

namespace {

namespace fs = std::filesystem;
using payroll::testing::HostRun;
using payroll::testing::ShellQuote;

class DatabaseOpenTest : public payroll::testing::CliTest {
  protected:
    void SetUp() override {
        CliTest::SetUp();
        SeedYearCompany();
        HostRun taxed = Cli("--quiet recalc-tax --company 1000 --year 2002");
        ASSERT_EQ(taxed.exit_code, 0) << taxed.err;
    }

    // The program with the database file closed in this process, as a user
    // the file's mode applies to: root's writes no mode stops, so root runs
    // it as nobody (with setpriv).
    HostRun AsReader(const std::string& args) {
        std::string command =
            payroll::testing::Program("--db " + ShellQuote("sqlite:" + path_) + " " + args);
        if (::geteuid() == 0)
            command = "setpriv --reuid=65534 --regid=65534 --clear-groups " + command;
        return payroll::testing::Shell(command);
    }
};

TEST_F(DatabaseOpenTest, JsonAnswersWhenTheFileIsNoDatabase) {
    const std::string garbage = payroll::testing::TempPath("garbage") + ".db";
    {
        std::FILE* f = std::fopen(garbage.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs("not a database, a letter\n", f);
        std::fclose(f);
    }
    for (const std::vector<std::string>& command : std::vector<std::vector<std::string>>{
             {"runs", "--company", "1000", "--month", "200203"},
             {"results", "--company", "1000", "--month", "200203"},
             {"recalc-tax", "--company", "1000", "--year", "2002"},
             {"employee", "--company", "1000", "--month", "200203", "E01", "--print"},
         }) {
        std::vector<std::string> args = {"--db", "sqlite:" + garbage, "--json"};
        args.insert(args.end(), command.begin(), command.end());
        HostRun r = payroll::testing::RunHost(args);
        EXPECT_EQ(r.exit_code, 1) << command[0];
        const nlohmann::json line = nlohmann::json::parse(r.out, nullptr, false);
        ASSERT_TRUE(line.is_object()) << command[0] << ": " << r.out;
        EXPECT_EQ(line["outcome"], "failed") << command[0];
        EXPECT_NE(line["message"].get<std::string>().find("not a database"), std::string::npos)
            << command[0] << ": " << r.out;
    }
    fs::remove(garbage);
}

TEST_F(DatabaseOpenTest, AFileThatMayNotBeWrittenIsStillRead) {
    if (::geteuid() == 0 && payroll::testing::Shell("command -v setpriv").exit_code != 0)
        GTEST_SKIP() << "as root a file's mode stops no write, and setpriv is missing";
    const std::vector<std::string> before = Dump();
    // What the reading commands print from a file they may write.
    const HostRun runs_writable = Cli("runs --company 1000 --month 200203 --format json");
    const HostRun results_writable = Cli("results --company 1000 --month 200203 --format csv");
    ASSERT_EQ(results_writable.exit_code, 0) << results_writable.err;
    const std::string folder = payroll::testing::TempPath("readonly_papers");
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms::all);  // nobody writes the papers there
    payroll::CloseDatabase();
    ASSERT_EQ(::chmod(path_.c_str(), 0444), 0);

    HostRun runs = AsReader("runs --company 1000 --month 200203 --format json");
    HostRun results = AsReader("results --company 1000 --month 200203 --format csv");
    HostRun reg = AsReader("register --company 1000 --month 200203 --format csv --out " +
                           ShellQuote(folder + "/register.csv"));
    HostRun write = AsReader("recalc-tax --company 1000 --year 2002");
    // Nothing was made beside the file: no log its owner could not write.
    const bool log_left = fs::exists(path_ + "-wal") || fs::exists(path_ + "-shm");

    ASSERT_EQ(::chmod(path_.c_str(), 0644), 0);
    std::string error;
    ASSERT_TRUE(payroll::OpenDatabase("sqlite:" + path_, &error)) << error;

    EXPECT_EQ(runs.exit_code, 0) << runs.err;
    EXPECT_EQ(runs.out, runs_writable.out);
    EXPECT_EQ(results.exit_code, 0) << results.err;
    EXPECT_EQ(results.out, results_writable.out);
    EXPECT_NE(results.out.find("E01"), std::string::npos) << results.out;
    EXPECT_EQ(reg.exit_code, 0) << reg.err;
    EXPECT_TRUE(fs::exists(folder + "/register.csv")) << reg.err;
    EXPECT_EQ(write.exit_code, 1);
    EXPECT_NE(write.err.find("read-only"), std::string::npos) << write.err;
    EXPECT_FALSE(log_left);
    EXPECT_EQ(Dump(), before);
    fs::remove_all(folder);
}

// A name longer than a file system takes is named as the cause, and no
// paper is left half written.
TEST_F(DatabaseOpenTest, APaperNameTooLongForTheFileSystemIsNamed) {
    const std::string folder = payroll::testing::TempPath("long_name");
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string name = std::string(300, 'r') + ".csv";
    HostRun r = Cli("register --company 1000 --month 200203 --format csv --out " +
                    ShellQuote(folder + "/" + name));
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find(name), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("File name too long"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::is_empty(folder));
    // A name the folder would take, but not the longer name the paper is
    // first written under: still the name is the cause, not the folder.
    const std::string near = std::string(245, 'n') + ".csv";
    r = Cli("register --company 1000 --month 200203 --format csv --out " +
            ShellQuote(folder + "/" + near));
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("too long for the file system: " + near), std::string::npos) << r.err;
    EXPECT_TRUE(fs::is_empty(folder));
    fs::remove_all(folder);
}

}  // namespace
