// Running the host program from a test: a database file seeded through the
// library, the program run with its output captured, or run in a
// pseudo-terminal that the test types into.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "payroll/datasource.h"
#include "payroll/host.h"

namespace payroll::testing {

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A database file with the reference schema (unless told otherwise) and the
// given statements run on it; the connection is closed again, so the
// program opens the file on its own.
inline std::string MakeDatabase(const std::string& name, const std::vector<std::string>& seed,
                                bool schema = true) {
    std::string path = ::testing::TempDir() + "/" + name + "_" + std::to_string(::getpid()) + ".db";
    std::remove(path.c_str());
    std::string error;
    EXPECT_TRUE(OpenDatabase("sqlite:" + path, &error)) << error;
    if (schema) {
        EXPECT_TRUE(ApplySchema(nullptr, &error)) << error;
    }
    for (const std::string& sql : seed) {
        G_DirectSQL direct;
        EXPECT_TRUE(direct.OnExecuteQuery(sql.c_str())) << direct.GetLastError().c_str();
    }
    CloseDatabase();
    return path;
}

struct CliResult {
    int exit_code = -1;
    std::string out;
    std::string err;
};

inline std::string Quote(const std::string& arg) {
    std::string q = "'";
    for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs the program with standard input from /dev/null and both outputs
// captured (so neither is a terminal), in a session of its own (so it has
// no controlling terminal either). The registry points nowhere.
inline CliResult RunCli(const std::vector<std::string>& args) {
    static int run = 0;
    std::string base =
        ::testing::TempDir() + "/cli_" + std::to_string(::getpid()) + "_" + std::to_string(++run);
    std::string cmd = "PAYROLL_REGISTRY=/nonexistent/registry setsid -w " + Quote(PAYROLL_CLI);
    for (const std::string& a : args) cmd += " " + Quote(a);
    cmd += " </dev/null >" + base + ".out 2>" + base + ".err";
    int status = std::system(cmd.c_str());
    CliResult r;
    r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = ReadFile(base + ".out");
    r.err = ReadFile(base + ".err");
    std::remove((base + ".out").c_str());
    std::remove((base + ".err").c_str());
    return r;
}

// The program on a pseudo-terminal of `columns` by 24 cells (TERM=xterm),
// its standard output going to a file when a path is given (the terminal
// stays the controlling one, /dev/tty).
class PtySession {
  public:
    explicit PtySession(const std::vector<std::string>& args, int columns = 80,
                        const std::string& stdout_path = "") {
        winsize size{};
        size.ws_row = 24;
        size.ws_col = static_cast<unsigned short>(columns);
        pid_ = ::forkpty(&master_, nullptr, nullptr, &size);
        if (pid_ == 0) {
            if (!stdout_path.empty()) {
                int out = ::open(stdout_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
                if (out < 0 || ::dup2(out, STDOUT_FILENO) < 0) ::_exit(126);
                ::close(out);
            }
            ::setenv("TERM", "xterm", 1);
            ::setenv("PAYROLL_REGISTRY", "/nonexistent/registry", 1);
            std::vector<char*> argv;
            argv.push_back(const_cast<char*>(PAYROLL_CLI));
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(PAYROLL_CLI, argv.data());
            ::_exit(127);
        }
    }
    ~PtySession() {
        if (pid_ > 0 && !exited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (master_ >= 0) ::close(master_);
    }
    bool started() const { return pid_ > 0 && master_ >= 0; }

    // Reads what the program writes until `text` appears (true) or the
    // time runs out or the program ends (false).
    bool WaitFor(const std::string& text, int timeout_ms = 30000) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
        while (output_.find(text) == std::string::npos) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !ReadSome(static_cast<int>(left.count()))) return false;
        }
        return true;
    }
    void Type(const std::string& keys) {
        std::size_t done = 0;
        while (done < keys.size()) {
            ssize_t n = ::write(master_, keys.data() + done, keys.size() - done);
            if (n <= 0) return;
            done += static_cast<std::size_t>(n);
        }
    }
    // Waits for the program to end, reading the rest of its output; its
    // exit code, or -1 when it did not end in time.
    int Finish(int timeout_ms = 30000) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
        while (std::chrono::steady_clock::now() < end) {
            if (!ReadSome(100)) {
                int status = 0;
                if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                    exited_ = true;
                    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                }
            }
        }
        return -1;
    }
    const std::string& output() const { return output_; }

  private:
    // False when nothing came within the time or the terminal closed.
    bool ReadSome(int timeout_ms) {
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, timeout_ms) <= 0) return false;
        char buf[4096];
        ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0) return false;
        output_.append(buf, static_cast<std::size_t>(n));
        return true;
    }

    pid_t pid_ = -1;
    int master_ = -1;
    bool exited_ = false;
    std::string output_;
};

// The pay runs of company 1000 in March 2002 (three listed: a combined run,
// then a separate run of two pay types) and one employee.
inline std::vector<std::string> FrontSeed() {
    return {
        "INSERT INTO HPHPYFQ VALUES('1000','200203',1,'20020325','001'),"
        "('1000','200203',2,'20020330','002')",
        "INSERT INTO HPHONPD VALUES('1000','200203',1,'101','R1','J'),"
        "('1000','200203',1,'102','R2','J'),('1000','200203',2,'201','R3','J'),"
        "('1000','200203',2,'202','R4','J')",
        "INSERT INTO SCTRL_D(CO_CD,CTRL_CD,CTD_CD,CTD_NM) VALUES('1000','P4','101','월급여'),"
        "('1000','P4','102','시급'),('1000','P4','201','상여'),('1000','P4','202','성과급'),"
        "('1000','SC','001','통합'),('1000','SC','002','개별'),('1000','S2','001','내국인'),"
        "('1000','G4','C01','과장'),('1000','PE','S05','5호봉'),('1000','PD','F01','기본급')",
        "INSERT INTO SEMP(CO_CD,EMP_CD,KOR_NM,JOIN_DT,REFR_YN,HCLS_CD,PYST_GR,SPUS_YN) "
        "VALUES('1000','E0001','홍길동','19990301','001','C01','S05','001')",
        "INSERT INTO HHCPYST VALUES('1000','C01','S05','200201',NULL,2500000)",
        "INSERT INTO HPHFXPD VALUES('1000','E0001','F01','200201','',1500)",
        "INSERT INTO syscfg VALUES('1000','06','',2,'001','')",
    };
}

}  // namespace payroll::testing
