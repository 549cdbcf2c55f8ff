// Every road the host program runs ends with one line that says what
// happened, and its exit code agrees: "committed" with counts and exit code 0,
// or "rolled back" with the failing step and the database's own message and
// exit code 1. The failures come from a trigger that refuses the road's
// writes, so the message is known.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "support/scratch_db.h"
#include "tests/reliability/db_state.h"
#include "tests/reliability/host_process.h"

namespace payroll::reliability {
namespace {

constexpr const char* kRefusal = "refused by the closing-line test";

struct RoadCase {
    const char* name;
    std::vector<std::string> args;
    const char* refused_table;  // the table whose writes the failing run refuses
};

const std::vector<RoadCase>& Roads() {
    static const std::vector<RoadCase> roads = {
        {"recalc-tax", {"recalc-tax", "--company", "1000", "--year", "2002"}, "HPOMNPY"},
        {"recalc-tax month",
         {"recalc-tax", "--company", "1000", "--month", "200204", "--mode", "1"},
         "HPOMNPY"},
        {"build-run",
         {"build-run", "--company", "1000", "--month", "200203", "--run", "1", "--table-set", "0"},
         "HPITMPD"},
        {"build-run refresh",
         {"build-run", "--company", "1000", "--month", "200205", "--run", "1", "--table-set", "2",
          "--refresh"},
         "HTOWTRT"},
        {"bonus-tax",
         {"bonus-tax", "--company", "1000", "--month", "200206", "--run", "2"},
         "HPOMNPY"},
        {"demo", {"demo", "--employees", "4"}, "HPOMNPY"},
    };
    return roads;
}

class ClosingLineTest : public DemoCompanyTest {
  protected:
    void SetUp() override {
        PAYROLL_SKIP_ON_POSTGRES();  // the program runs on a database file
        ASSERT_NO_FATAL_FAILURE(WriteDemo("closing", "base.db", {"--employees", "4"}));
    }

    // A copy of the demo company's database; for the demo itself, a
    // database with the tables only.
    std::string Copy(const RoadCase& road, const std::string& name) {
        std::string path = dir_ + "/" + name + ".db";
        std::filesystem::remove(path);
        if (road.args[0] == "demo") {
            EXPECT_EQ(RunHost({"--db", "sqlite:" + path, "schema"}, Hooked()).exit_code, 0);
        } else {
            std::filesystem::copy_file(db_, path);
        }
        return path;
    }
};

// "committed" followed by at least one count.
const std::regex kCommitted(R"(committed\b.*\d)");

TEST_F(ClosingLineTest, CommittedRoadsSaySoWithCounts) {
    for (const RoadCase& road : Roads()) {
        SCOPED_TRACE(road.name);
        std::vector<std::string> args = {"--db", "sqlite:" + Copy(road, "ok")};
        args.insert(args.end(), road.args.begin(), road.args.end());
        const HostRun run = RunHost(args, Hooked());
        EXPECT_EQ(run.exit_code, 0) << run.err;
        const std::string last = LastLine(run.out);
        EXPECT_TRUE(std::regex_search(last, kCommitted)) << "last line: " << last;
        EXPECT_EQ(run.err.find("rolled back"), std::string::npos) << run.err;
    }
}

TEST_F(ClosingLineTest, RolledBackRoadsNameTheStepAndTheMessage) {
    for (const RoadCase& road : Roads()) {
        SCOPED_TRACE(road.name);
        const std::string db = Copy(road, "refused");
        for (const char* event : {"INSERT", "UPDATE", "DELETE"})
            ASSERT_TRUE(ExecOnFile(db, std::string("CREATE TRIGGER refuse_") + event + " BEFORE " +
                                           event + " ON " + road.refused_table +
                                           " BEGIN SELECT RAISE(ABORT, '" + kRefusal + "'); END"));
        const DbState before = ReadDbState(db);
        std::vector<std::string> args = {"--db", "sqlite:" + db};
        args.insert(args.end(), road.args.begin(), road.args.end());
        const HostRun run = RunHost(args, Hooked());
        EXPECT_EQ(run.exit_code, 1) << run.out << run.err;
        const std::string last = LastLine(run.err);
        EXPECT_NE(last.find("rolled back"), std::string::npos) << "last line: " << last;
        EXPECT_NE(last.find(kRefusal), std::string::npos) << "last line: " << last;
        EXPECT_EQ(LastLine(run.out).find("committed"), std::string::npos) << run.out;
        // The demo starts by writing a company of its own; every other road
        // must leave the database as it found it.
        if (road.args[0] != "demo") {
            const DbState after = ReadDbState(db);
            EXPECT_TRUE(after.SameRows(before)) << DescribeDifference(before, after);
        }
    }
}

}  // namespace
}  // namespace payroll::reliability
