// Runs shell commands for the tests: the built host program, bash, groff,
// cmake --install and the installed files.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/temp_path.h"

namespace payroll::testing {

struct Outcome {
    int exit_code = -1;  // -1 when the command did not end normally
    std::string out;
    std::string err;
};

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

// A fresh, empty folder under the test's temporary folder.
inline std::string FreshFolder(const std::string& name) {
    std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) /
                                   ("payroll_" + name + "_" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder.string();
}

// Runs `command` with /bin/sh; stdout and stderr are kept apart.
inline Outcome Shell(const std::string& command) {
    const std::string err_path = TempPath("shell");
    const std::string full = "( " + command + " ) 2>" + ShellQuote(err_path);
    Outcome outcome;
    if (FILE* pipe = popen(full.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            outcome.out.append(buffer, n);
        int status = pclose(pipe);
        outcome.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::ifstream in(err_path);
    std::stringstream text;
    text << in.rdbuf();
    outcome.err = text.str();
    std::remove(err_path.c_str());
    return outcome;
}

// The built host program with its arguments, for Shell.
inline std::string Program(const std::string& args) {
    return ShellQuote(PAYROLL_CLI) + " " + args;
}

}  // namespace payroll::testing
