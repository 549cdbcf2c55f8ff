// Papers are private unless asked otherwise: each file is its owner's alone
// (0600) and each folder the commands create is too (0700); --mode gives
// other permissions, exactly, whatever the umask. On SQLite and PostgreSQL.
#include <sys/stat.h>

#include "tests/cli/papers_cli/papers_cli_fixture.h"

namespace payroll::testing {
namespace {

unsigned ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

TEST_F(PapersCliTest, PapersAndTheFoldersMadeForThemArePrivateUnlessAModeIsGiven) {
    const struct {
        const char* umask;
        const char* mode;  // "" for none given
        unsigned file, folder;
    } cases[] = {
        {"022", "", 0600, 0700},
        {"000", "", 0600, 0700},  // a permissive umask opens nothing
        {"077", " --mode 0644", 0644, 0755},
        {"022", " --mode 640", 0640, 0750},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("umask ") + c.umask + c.mode);
        const std::string out = Out("modes-" + std::to_string(n++));
        const std::string in = "umask " + std::string(c.umask) + " && ";
        const struct {
            std::string args, file;
        } papers[] = {
            {"payslips --company 1000 --month 200206 --run 1 --employee E000001 --format csv "
             "--out " +
                 ShellQuote(out + "/slips/june"),
             out + "/slips/june/payslip-200206-1-100-E000001.csv"},
            {"register --company 1000 --month 200206 --format csv --out " +
                 ShellQuote(out + "/register.csv"),
             out + "/register.csv"},
            {"ledger --company 1000 --year 2002 --employee E000002 --format csv --out " +
                 ShellQuote(out + "/ledgers"),
             out + "/ledgers/ledger-2002-E000002.csv"},
            {"withholding-return --company 1000 --month 200206 --format csv --out " +
                 ShellQuote(out + "/return.csv"),
             out + "/return.csv"},
        };
        std::filesystem::create_directories(out);
        for (const auto& p : papers) {
            HostRun run = Shell(in + Program("--db " + ShellQuote(*url_) + " " + p.args + c.mode));
            ASSERT_EQ(run.exit_code, 0) << p.args << "\n" << run.err;
            EXPECT_EQ(ModeOf(p.file), c.file) << p.file;
        }
        // Both folders the payslips' --out named, the parent too.
        EXPECT_EQ(ModeOf(out + "/slips"), c.folder);
        EXPECT_EQ(ModeOf(out + "/slips/june"), c.folder);
        EXPECT_EQ(ModeOf(out + "/ledgers"), c.folder);
    }
    // A file replaced takes the papers' mode: a paper once shared is private
    // when written again without --mode.
    const std::string shared = Out("modes-again") + "/register.csv";
    for (const char* mode : {" --mode 0644", ""})
        ASSERT_EQ(Payroll("register --company 1000 --month 200206 --format csv --out " +
                          ShellQuote(shared) + mode)
                      .exit_code,
                  0);
    EXPECT_EQ(ModeOf(shared), 0600u);

    for (const char* bad : {"999", "0x1a4", "01777", "rw"}) {
        HostRun run = Payroll("register --company 1000 --month 200206 --out x.pdf --mode " +
                              std::string(bad));
        EXPECT_EQ(run.exit_code, 2) << bad;
        EXPECT_NE(run.err.find("octal"), std::string::npos) << run.err;
    }
}

}  // namespace
}  // namespace payroll::testing
