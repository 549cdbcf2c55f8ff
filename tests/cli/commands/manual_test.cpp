// The man page, written from the program's own options: a flag shows as a
// flag, an option that takes a value names its value.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/host_program.h"
#include "support/scratch_db.h"

namespace {

TEST(ManualTest, FlagsShowAsFlagsAndValuesAsValues) {
    payroll::testing::HostRun r = payroll::testing::RunHost({"manual"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const std::vector<std::string> lines = payroll::testing::Lines(r.out);
    auto has_line = [&lines](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    // The global flags and flags of commands, each alone on its label line.
    for (const char* flag :
         {R"(\fB\-q\fR, \fB\-\-quiet\fR)", R"(\fB\-\-json\fR)", R"(\fB\-\-print\fR)",
          R"(\fB\-\-show\-rrn\fR)", R"(\fB\-\-no\-bonus\fR)", R"(\fB\-\-no\-close\fR)"})
        EXPECT_TRUE(has_line(flag)) << flag;
    for (const std::string& line : lines)
        EXPECT_EQ(line.find(R"(\fIVALUE\fR)"), std::string::npos) << line;
    // Options with a value keep it.
    for (const char* option :
         {R"(\fB\-\-db\fR \fI)", R"(\fB\-\-company\fR \fI)", R"(\fB\-\-mode\fR \fI)"})
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [option](const std::string& line) {
            return line.rfind(option, 0) == 0;
        })) << option;
}

}  // namespace
