// Runs the built host program against a database file seeded by the test:
// the year company of the tax road (tests/engine/tax_road_fixture.h) in a
// file of its own, the program's exit code and both of its outputs.
#pragma once

#include <string>

#include "payroll/host.h"
#include "support/host_program.h"
#include "support/scratch_db.h"
#include "tests/engine/tax_road_fixture.h"

namespace payroll::testing {

class CliTest : public TaxRoadTest {
  protected:
    void SetUp() override {
        TaxRoadTest::SetUp();
        path_ = TempPath("cli") + ".db";
        RemoveDatabaseFiles(path_);
        std::string error;
        ASSERT_TRUE(OpenDatabaseFile(path_, true, &error)) << error;
    }

    void TearDown() override {
        TaxRoadTest::TearDown();
        RemoveDatabaseFiles(path_);
    }

    // Runs `payroll --db sqlite:<file> <args>` with the database closed in
    // this process meanwhile; args are passed to the shell as they stand.
    HostRun Cli(const std::string& args) {
        CloseDatabase();
        HostRun r = Shell(Program("--db " + ShellQuote("sqlite:" + path_) + " " + args));
        std::string error;
        EXPECT_TRUE(OpenDatabase("sqlite:" + path_, &error)) << error;
        return r;
    }

    std::string path_;
};

}  // namespace payroll::testing
