// Runs the built host program against a database file seeded by the test:
// the year company of the tax road (tests/engine/tax_road_fixture.h) in a
// file of its own, the program's exit code and both of its outputs.
#pragma once

#include <cstdio>
#include <string>

#include "payroll/host.h"
#include "support/shell.h"
#include "support/temp_path.h"
#include "tests/engine/tax_road_fixture.h"

namespace payroll::testing {

using CliResult = Outcome;

class CliTest : public TaxRoadTest {
  protected:
    void SetUp() override {
        TaxRoadTest::SetUp();
        path_ = TempPath("cli") + ".db";
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
        CliResult r = Shell(Program("--db " + ShellQuote("sqlite:" + path_) + " " + args));
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
