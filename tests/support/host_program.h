// Runs the built host program `payroll`, or a shell command line, as a child
// process and reports how it ended: exit code or signal, and both of its
// outputs, captured apart. Standard input is /dev/null.
//
//   HostRun r = RunHost({"--db", "sqlite:" + path, "runs", "--company", "1000"});
//   HostRun r = Shell(Program("--help") + " | head -1");
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "support/scratch_db.h"

namespace payroll::testing {

struct HostRun {
    int exit_code = -1;  // -1 when the program did not exit by itself
    int signal = 0;      // the signal that ended it, 0 when it exited
    bool timed_out = false;
    std::string out;
    std::string err;
};

struct RunOptions {
    std::vector<std::string> env;  // "NAME=value", added to this process's environment
    std::string cwd;               // the directory to run in; empty: this one
    // A program still running after this long is killed and reported as
    // timed out; zero waits for as long as it takes.
    std::chrono::seconds timeout{0};
    // The test build of the library, which takes statement orders (kill
    // points, statement log) from the environment.
    bool hooked_library = false;
    // A session of its own, so that the program has no controlling terminal.
    bool own_session = false;
};

namespace detail {

// Forks and runs argv[0] (a full path) with the options; waits for its end.
inline HostRun RunChild(std::vector<std::string> argv, const RunOptions& options) {
    HostRun run;
    const std::string out_path = TempPath("stdout");
    const std::string err_path = TempPath("stderr");
    std::vector<std::string> env = options.env;
    if (options.hooked_library) env.insert(env.begin(), "LD_LIBRARY_PATH=" PAYROLL_HOOKED_LIB_DIR);
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (std::string& a : argv) args.push_back(a.data());
    args.push_back(nullptr);

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
        if (options.own_session) ::setsid();
        for (std::string& e : env) ::putenv(e.data());
        if (!options.cwd.empty() && ::chdir(options.cwd.c_str()) != 0) ::_exit(126);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    if (pid < 0) return run;
    int status = 0;
    if (options.timeout.count() == 0) {
        if (::waitpid(pid, &status, 0) != pid) return run;
    } else {
        const auto deadline = std::chrono::steady_clock::now() + options.timeout;
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
    }
    if (WIFEXITED(status)) run.exit_code = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
    run.out = ReadWholeFile(out_path);
    run.err = ReadWholeFile(err_path);
    std::remove(out_path.c_str());
    std::remove(err_path.c_str());
    return run;
}

}  // namespace detail

// Runs `payroll <args>` with the arguments exactly as given (no shell in
// between, so any byte arrives as it is).
inline HostRun RunHost(const std::vector<std::string>& args, const RunOptions& options = {}) {
    std::vector<std::string> argv = {PAYROLL_CLI};
    argv.insert(argv.end(), args.begin(), args.end());
    return detail::RunChild(std::move(argv), options);
}

// Runs `command` with /bin/sh: for pipelines, redirections and other
// programs (bash, groff, cmake, pdftotext).
inline HostRun Shell(const std::string& command, const RunOptions& options = {}) {
    return detail::RunChild({"/bin/sh", "-c", command}, options);
}

// The text in single quotes for the shell.
inline std::string ShellQuote(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

// The built host program with its arguments, as a command line for Shell.
inline std::string Program(const std::string& args) {
    return ShellQuote(PAYROLL_CLI) + " " + args;
}

}  // namespace payroll::testing
