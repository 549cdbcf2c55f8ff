// How the reliability tests run the host program: on the test build of the
// library (which takes kill points and a statement log from the
// environment), with a time limit; and what they read from its outputs.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/host_program.h"
#include "support/scratch_db.h"

namespace payroll::reliability {

using testing::FreshFolder;
using testing::HostRun;
using testing::ReadWholeFile;
using testing::RunHost;
using testing::TempPath;

// The options of a run on the test build of the library: `env`
// ("NAME=value") added, in directory `cwd` (empty: this one), killed and
// reported as timed out after `timeout`.
inline testing::RunOptions Hooked(std::vector<std::string> env = {}, std::string cwd = {},
                                  std::chrono::seconds timeout = std::chrono::seconds(300)) {
    testing::RunOptions options;
    options.env = std::move(env);
    options.cwd = std::move(cwd);
    options.timeout = timeout;
    options.hooked_library = true;
    return options;
}

// The arguments with the SQLite database file `path` before them.
inline std::vector<std::string> WithDb(const std::string& path, std::vector<std::string> args) {
    args.insert(args.begin(), {"--db", "sqlite:" + path});
    return args;
}

// A test of the host program on a demo company: a scratch folder `dir_`,
// removed afterwards, with the demo's database file `db_` in it.
class DemoCompanyTest : public ::testing::Test {
  protected:
    // Makes the folder `folder` and writes a demo company to its file `file`
    // with these options of the demo command.
    void WriteDemo(const std::string& folder, const std::string& file,
                   std::vector<std::string> options) {
        dir_ = FreshFolder(folder);
        db_ = dir_ + "/" + file;
        options.insert(options.begin(), "demo");
        const HostRun demo = RunHost(WithDb(db_, options), Hooked());
        ASSERT_EQ(demo.exit_code, 0) << demo.err;
    }
    void TearDown() override {
        if (!dir_.empty()) std::filesystem::remove_all(dir_);
    }

    std::string dir_, db_;
};

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
