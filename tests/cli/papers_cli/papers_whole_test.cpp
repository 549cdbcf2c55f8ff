// A paper is whole or absent: a write that fails (a file-size limit, a full
// disk) fails the run with the file and the reason, cuts no file and leaves
// the file it would have replaced as it was; a run ended by a signal leaves
// no temporary file, and one killed outright has its temporary file removed
// by the next run.
#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

#include "tests/cli/papers_cli/papers_cli_fixture.h"

namespace payroll::testing {
namespace {

// `payroll <args>` as a child the test signals while it writes. The signals
// a user ends a run with start at their defaults, whatever the runner had.
class PayrollChild {
  public:
    explicit PayrollChild(std::vector<std::string> args) {
        args.insert(args.begin(), PAYROLL_CLI);
        std::vector<char*> argv;
        argv.reserve(args.size() + 1);
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        std::fflush(nullptr);
        pid_ = ::fork();
        if (pid_ != 0) return;
        const int null = ::open("/dev/null", O_RDWR);
        for (int fd : {0, 1, 2}) ::dup2(null, fd);
        for (int sig : {SIGINT, SIGTERM, SIGHUP}) ::signal(sig, SIG_DFL);
        sigset_t none;
        ::sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ~PayrollChild() {
        Signal(SIGKILL);
        Wait();
    }
    bool Running() {
        if (pid_ > 0 && !ended_ && ::waitpid(pid_, &status_, WNOHANG) != 0) ended_ = true;
        return pid_ > 0 && !ended_;
    }
    void Signal(int sig) {
        if (Running()) ::kill(pid_, sig);
    }
    // Waits for the end: the signal that ended the child, 0 when it exited.
    int Wait() {
        if (pid_ > 0 && !ended_ && ::waitpid(pid_, &status_, 0) == pid_) ended_ = true;
        return ended_ && WIFSIGNALED(status_) ? WTERMSIG(status_) : 0;
    }

  private:
    pid_t pid_ = -1;
    int status_ = 0;
    bool ended_ = false;
};

class PapersWholeTest : public PapersCliTest {
  protected:
    // The hidden files of a folder: temporary files left behind.
    static std::vector<std::string> Hidden(const std::string& folder) {
        std::vector<std::string> hidden;
        for (const std::string& f : Files(folder))
            if (f[0] == '.') hidden.push_back(f);
        return hidden;
    }

    // No temporary file, and every file of `folder` is a whole PDF (from its
    // header to its end mark) or the old file `kept`, as it was.
    static void ExpectNothingCut(const std::string& folder, const std::string& kept = "",
                                 const std::string& old = "") {
        EXPECT_EQ(Hidden(folder), std::vector<std::string>{});
        for (const std::string& f : Files(folder)) {
            const std::string path = std::string(folder).append("/").append(f);
            const std::string text = ReadWholeFile(path);
            if (path == kept) {
                EXPECT_EQ(text, old) << path;
                continue;
            }
            const std::size_t end = text.rfind("%%EOF");
            EXPECT_TRUE(text.compare(0, 5, "%PDF-") == 0 && end != std::string::npos &&
                        end + 8 > text.size())
                << path;
        }
    }

    static void Put(const std::string& path, const std::string& text) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }

    // Runs the month's payslips into `folder` until one is caught writing
    // (its temporary file seen), then sends `sig` until it ends; the signal
    // that ended it, or -1 when no run was caught.
    static int EndWhileWriting(const std::string& folder, int sig) {
        for (int attempt = 0; attempt < 20; ++attempt) {
            PayrollChild child({"--db", *url_, "payslips", "--company", "1000", "--month", "200206",
                                "--out", folder});
            bool writing = false;
            while (!writing && child.Running()) writing = !Hidden(folder).empty();
            for (; child.Running(); std::this_thread::sleep_for(std::chrono::milliseconds(1)))
                child.Signal(sig);
            if (writing) return child.Wait();
        }
        return -1;
    }
};

TEST_F(PapersWholeTest, UnderAFileSizeLimitNoPaperIsCut) {
    const std::string out = Out("limit");
    const std::string old = "the paper of an earlier run\n";
    struct Case {
        std::string args;
        std::string target;  // the first file written, holding an old paper
        const char* limit;   // a PDF takes more than 20,000 bytes, a CSV more than 300
    };
    const Case cases[] = {
        {"register --company 1000 --month 200206 --out " + ShellQuote(out + "/register/r.pdf"),
         out + "/register/r.pdf", "20000"},
        {"payslips --company 1000 --month 200206 --out " + ShellQuote(out + "/slips"),
         out + "/slips/payslip-200206-1-100-E000001.pdf", "20000"},
        {"ledger --company 1000 --year 2002 --format csv --out " + ShellQuote(out + "/ledgers"),
         out + "/ledgers/ledger-2002-E000001.csv", "300"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        Put(c.target, old);
        HostRun run = Payroll(c.args, std::string("prlimit --fsize=") + c.limit);
        EXPECT_EQ(run.exit_code, 1) << run.err;
        EXPECT_NE(run.err.find(c.target + ": File too large"), std::string::npos) << run.err;
        ExpectNothingCut(std::filesystem::path(c.target).parent_path().string(), c.target, old);
    }
}

TEST_F(PapersWholeTest, AFullDiskFailsTheRunAndCutsNothing) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system takes root";
    const std::string disk = Out("full");
    std::filesystem::create_directories(disk);
    HostRun mount = Shell("mount -t tmpfs -o size=64k tmpfs " + ShellQuote(disk));
    if (mount.exit_code != 0) GTEST_SKIP() << "no tmpfs can be mounted here: " << mount.err;
    struct Unmount {
        std::string disk;
        ~Unmount() { Shell("umount " + ShellQuote(disk)); }
    } unmount{disk};

    // An old register fills most of the disk: the new one does not fit.
    const std::string target = disk + "/register.pdf", old(60000, 'o');
    Put(target, old);
    HostRun reg = Payroll("register --company 1000 --month 200206 --out " + ShellQuote(target));
    EXPECT_EQ(reg.exit_code, 1) << reg.err;
    EXPECT_NE(reg.err.find(target + ": No space left on device"), std::string::npos) << reg.err;
    ExpectNothingCut(disk, target, old);
    std::filesystem::remove(target);

    // The payslips fill the empty disk: those written are whole.
    HostRun slips =
        Payroll("payslips --company 1000 --month 200206 --out " + ShellQuote(disk + "/slips"));
    EXPECT_EQ(slips.exit_code, 1) << slips.err;
    EXPECT_NE(slips.err.find("No space left on device"), std::string::npos) << slips.err;
    ExpectNothingCut(disk + "/slips");
}

TEST_F(PapersWholeTest, ARunEndedByASignalLeavesNoTemporaryFile) {
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(strsignal(sig));
        const std::string out = Out("signalled");
        std::filesystem::create_directories(out);
        EXPECT_EQ(EndWhileWriting(out, sig), sig);  // ended by it, as without the handler
        ExpectNothingCut(out);
    }
}

TEST_F(PapersWholeTest, TheNextRunRemovesAKilledRunsTemporaryFile) {
    const std::string out = Out("killed");
    std::filesystem::create_directories(out);
    ASSERT_EQ(EndWhileWriting(out, SIGKILL), SIGKILL);
    ASSERT_EQ(Hidden(out).size(), 1u);
    // The temporary file of a process still running (pid 1) is its own.
    const std::string running = ".payslip-200206-1-100-E000002.pdf.tmp-1";
    Put(out + "/" + running, "being written");

    HostRun again = Payroll("payslips --company 1000 --month 200206 --out " + ShellQuote(out));
    EXPECT_EQ(again.exit_code, 0) << again.err;
    EXPECT_EQ(Hidden(out), std::vector<std::string>{running});
    std::filesystem::remove(out + "/" + running);
    ExpectNothingCut(out);
}

}  // namespace
}  // namespace payroll::testing
