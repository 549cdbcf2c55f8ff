// The host program run in a pseudo-terminal that the test types into.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

namespace payroll::testing {

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

}  // namespace payroll::testing
