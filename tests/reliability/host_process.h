// Runs the built host program as a child process with exact arguments (no
// shell in between, so hostile bytes arrive as they are) and extra
// environment variables, and reports how it ended: exit code or signal, and
// both of its outputs.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace payroll::reliability {

struct HostRun {
    int exit_code = -1;  // -1 when the program did not exit by itself
    int signal = 0;      // the signal that ended it, 0 when it exited
    bool timed_out = false;
    std::string out;
    std::string err;
};

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::string ScratchPath(const std::string& name) {
    static int serial = 0;
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = tmp && *tmp ? tmp : "/tmp";
    return dir + "/payroll_rel_" + std::to_string(::getpid()) + "_" + std::to_string(++serial) +
           "_" + name;
}

// Runs `payroll <args>` with `env` ("NAME=value") added to this process's
// environment, in directory `cwd` (empty: this one). A program still running
// after `timeout` is killed and reported as timed out.
inline HostRun RunHost(const std::vector<std::string>& args,
                       const std::vector<std::string>& env = {},
                       std::chrono::seconds timeout = std::chrono::seconds(300),
                       const std::string& cwd = std::string()) {
    HostRun run;
    const std::string out_path = ScratchPath("stdout");
    const std::string err_path = ScratchPath("stderr");
    std::vector<std::string> env_copy = env;
    std::vector<char*> argv;
    static char program[] = PAYROLL_CLI;
    argv.push_back(program);
    std::vector<std::string> arg_copy = args;
    for (std::string& a : arg_copy) argv.push_back(a.data());
    argv.push_back(nullptr);

    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int null = ::open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || null < 0) ::_exit(126);
        ::dup2(null, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        // The test build of the library, which takes the statement orders
        // (kill points, statement log) from the environment.
        static char hooked[] = "LD_LIBRARY_PATH=" PAYROLL_HOOKED_LIB_DIR;
        ::putenv(hooked);
        for (std::string& e : env_copy) ::putenv(e.data());
        if (!cwd.empty() && ::chdir(cwd.c_str()) != 0) ::_exit(126);
        ::execv(PAYROLL_CLI, argv.data());
        ::_exit(127);
    }
    if (pid < 0) return run;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (done < 0) return run;
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            run.timed_out = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (WIFEXITED(status)) run.exit_code = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
    run.out = ReadWholeFile(out_path);
    run.err = ReadWholeFile(err_path);
    std::remove(out_path.c_str());
    std::remove(err_path.c_str());
    return run;
}

// The texts of a statement log the host program wrote under
// PAYROLL_STATEMENT_LOG ("<byte count> <text>\n" each).
inline std::vector<std::string> ReadStatementLog(const std::string& path) {
    const std::string log = ReadWholeFile(path);
    std::vector<std::string> texts;
    std::size_t at = 0;
    while (at < log.size()) {
        const std::size_t space = log.find(' ', at);
        if (space == std::string::npos) break;
        const std::size_t length = std::strtoul(log.substr(at, space - at).c_str(), nullptr, 10);
        if (space + 1 + length > log.size()) break;
        texts.push_back(log.substr(space + 1, length));
        at = space + 1 + length + 1;
    }
    return texts;
}

// The last line a road printed on either output, for the road's verdict.
inline std::string LastLine(const std::string& text) {
    std::size_t end = text.find_last_not_of('\n');
    if (end == std::string::npos) return std::string();
    std::size_t start = text.rfind('\n', end);
    return text.substr(start == std::string::npos ? 0 : start + 1,
                       end - (start == std::string::npos ? 0 : start + 1) + 1);
}

}  // namespace payroll::reliability
