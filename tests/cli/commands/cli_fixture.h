// Runs the built host program against a database file seeded by the test:
// the year company of the tax road (tests/engine/tax_road_fixture.h) in a
// file of its own, the program's exit code and both of its outputs.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "payroll/host.h"
#include "tests/engine/tax_road_fixture.h"

namespace payroll::testing {

struct CliResult {
    int exit_code = -1;
    std::string out;
    std::string err;
};

class CliTest : public TaxRoadTest {
  protected:
    void SetUp() override {
        TaxRoadTest::SetUp();
        static int counter = 0;
        path_ = ::testing::TempDir() + "payroll_cli_" + std::to_string(getpid()) + "_" +
                std::to_string(++counter) + ".db";
        RemoveFiles();
        std::string error;
        ASSERT_TRUE(OpenDatabase("sqlite:" + path_, &error)) << error;
        ASSERT_TRUE(ApplySchema(nullptr, &error)) << error;
    }

    void TearDown() override {
        TaxRoadTest::TearDown();
        RemoveFiles();
    }

    // Runs `payroll --db sqlite:<file> <args>` with the database closed in
    // this process meanwhile; args are passed to the shell as they stand.
    CliResult Cli(const std::string& args) {
        CloseDatabase();
        const std::string err = path_ + ".stderr";
        const std::string command =
            std::string(PAYROLL_CLI) + " --db 'sqlite:" + path_ + "' " + args + " 2>'" + err + "'";
        CliResult r;
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char buf[4096];
            for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;)
                r.out.append(buf, n);
            int status = pclose(pipe);
            r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::ifstream in(err);
        std::stringstream text;
        text << in.rdbuf();
        r.err = text.str();
        std::remove(err.c_str());
        std::string error;
        EXPECT_TRUE(OpenDatabase("sqlite:" + path_, &error)) << error;
        return r;
    }

    void RemoveFiles() {
        for (const char* suffix : {"", "-wal", "-shm", "-journal"})
            std::remove((path_ + suffix).c_str());
    }

    std::string path_;
};

}  // namespace payroll::testing
