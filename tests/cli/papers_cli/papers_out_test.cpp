// What --out may replace: a regular file (a paper of an earlier run), never
// a symbolic link, a device, a FIFO or the open database, and no folder
// reached through a link. A refused run writes nothing at all.
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <fstream>

#include "tests/cli/papers_cli/papers_cli_fixture.h"

namespace payroll::testing {
namespace {

// What a folder holds, links not followed: each name with its kind, inode
// and link target or bytes (but the database's: another connection may
// move its log into it).
std::string Snapshot(const std::string& folder) {
    std::string shot;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
        struct stat st {};
        ::lstat(e.path().c_str(), &st);
        shot += e.path().string() + " " + std::to_string(st.st_mode) + " " +
                std::to_string(st.st_ino) + " ";
        if (S_ISLNK(st.st_mode)) shot += std::filesystem::read_symlink(e.path()).string();
        if (S_ISREG(st.st_mode) && e.path().extension() != ".db")
            shot += std::to_string(std::hash<std::string>()(ReadWholeFile(e.path())));
        shot += "\n";
    }
    return shot;
}

TEST_F(PapersCliTest, OutRefusesWhatIsNoPaperAndWritesNothing) {
    const std::string out = Out("refuse"), old = out + "/old.pdf";
    std::filesystem::create_directories(out + "/real");
    std::filesystem::create_directories(out + "/slips");
    std::ofstream(old) << "a paper of an earlier run";
    std::filesystem::create_symlink(old, out + "/link.pdf");
    std::filesystem::create_directory_symlink(out + "/real", out + "/folder-link");
    std::filesystem::create_symlink(old, out + "/slips/payslip-200206-1-100-E000001.pdf");
    ASSERT_EQ(::mkfifo((out + "/fifo.csv").c_str(), 0644), 0);

    const std::string reg = "register --company 1000 --month 200206 --format csv --out ";
    const std::string slips = "payslips --company 1000 --month 200206 --out ";
    std::vector<std::string> cases = {
        reg + ShellQuote(out + "/link.pdf"),       reg + ShellQuote(out + "/fifo.csv"),
        reg + ShellQuote(out + "/real"),           slips + ShellQuote(out + "/folder-link"),
        slips + ShellQuote(out + "/folder-link/"), slips + ShellQuote(out + "/slips"),
    };
    // A device node of the test's own: a program failing this test as root
    // would replace the machine's /dev/null. Without root /dev/null is safe.
    std::string device = out + "/null";
    if (::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0)
        device = ::geteuid() == 0 ? "" : "/dev/null";
    if (!device.empty()) cases.push_back(reg + ShellQuote(device));
    std::string database;
    if (url_->compare(0, 7, "sqlite:") == 0) {
        database = url_->substr(7);
        ASSERT_TRUE(std::filesystem::exists(database + "-wal"));
        std::filesystem::create_hard_link(database, out + "/same.db");
        for (const std::string& file :
             {database, database + "-wal", database + "-shm", out + "/same.db"})
            cases.push_back(reg + ShellQuote(file));
    }
    // The database stays the same file, a database with its rows.
    const auto database_state = [&] {
        struct stat st {};
        if (database.empty() || ::stat(database.c_str(), &st) != 0) return std::string();
        return std::to_string(st.st_ino) + ReadWholeFile(database).substr(0, 16) +
               Value("SELECT COUNT(*) V FROM HPOMNPY");
    };
    const std::string before = Snapshot(out), database_before = database_state();
    for (const std::string& args : cases) {
        SCOPED_TRACE(args);
        RunOptions bounded;  // a FIFO opened for writing would wait for ever
        bounded.timeout = std::chrono::seconds(20);
        HostRun run = Shell(Program("--db " + ShellQuote(*url_) + " " + args), bounded);
        EXPECT_EQ(run.exit_code, 1) << run.out << run.err;
        EXPECT_NE(run.err.find("will not"), std::string::npos) << run.err;
        EXPECT_EQ(Snapshot(out), before);
        EXPECT_EQ(database_state(), database_before);
        struct stat node {};
        EXPECT_TRUE(device.empty() ||
                    (::stat(device.c_str(), &node) == 0 && S_ISCHR(node.st_mode)));
    }

    // A regular file, a paper of an earlier run, is replaced as ever.
    EXPECT_EQ(Payroll(reg + ShellQuote(old)).exit_code, 0);
    EXPECT_EQ(ReadWholeFile(old).find("a paper of an earlier run"), std::string::npos);
}

}  // namespace
}  // namespace payroll::testing
