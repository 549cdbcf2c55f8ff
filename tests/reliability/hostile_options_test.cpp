// Hostile values in every option of the host program. Each command runs on a
// small demo company with one option replaced by the value (the others
// valid), every statement text logged. Expected: the program ends by itself
// with 0, 1 or 2, says why on standard error whenever it did not succeed,
// the database stays sound with its canary table, and no hostile value
// stands outside a string literal in any statement it sent. Arguments
// cannot carry a NUL byte, so that value is left to the engine's tests.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/scratch_db.h"
#include "tests/reliability/db_state.h"
#include "tests/reliability/host_process.h"
#include "tests/reliability/hostile_values.h"
#include "tests/reliability/sql_exposure.h"

namespace payroll::reliability {
namespace {

constexpr const char* kHole = "\x01";  // where the hostile value goes

struct OptionCase {
    const char* option;             // for messages
    std::vector<std::string> args;  // one of them is kHole
};

const std::vector<OptionCase>& OptionCases() {
    static const std::vector<OptionCase> cases = {
        {"runs --company", {"runs", "--company", kHole, "--month", "200203"}},
        {"runs --month", {"runs", "--company", "1000", "--month", kHole}},
        {"runs --format", {"runs", "--company", "1000", "--month", "200203", "--format", kHole}},
        {"build-run --company",
         {"build-run", "--company", kHole, "--month", "200203", "--run", "1"}},
        {"build-run --month", {"build-run", "--company", "1000", "--month", kHole, "--run", "1"}},
        {"build-run --run",
         {"build-run", "--company", "1000", "--month", "200203", "--run", kHole}},
        {"build-run --table-set",
         {"build-run", "--company", "1000", "--month", "200203", "--run", "1", "--table-set",
          kHole}},
        {"build-run --div",
         {"build-run", "--company", "1000", "--month", "200203", "--run", "1", "--div", kHole}},
        {"build-run --dept",
         {"build-run", "--company", "1000", "--month", "200203", "--run", "1", "--dept", kHole}},
        {"build-run --prty",
         {"build-run", "--company", "1000", "--month", "200203", "--run", "1", "--prty", kHole}},
        {"recalc-tax --company", {"recalc-tax", "--company", kHole, "--month", "200203"}},
        {"recalc-tax --year", {"recalc-tax", "--company", "1000", "--year", kHole}},
        {"recalc-tax --month", {"recalc-tax", "--company", "1000", "--month", kHole}},
        {"recalc-tax --mode",
         {"recalc-tax", "--company", "1000", "--month", "200203", "--mode", kHole}},
        {"bonus-tax --company",
         {"bonus-tax", "--company", kHole, "--month", "200206", "--run", "2"}},
        {"bonus-tax --month", {"bonus-tax", "--company", "1000", "--month", kHole, "--run", "2"}},
        {"bonus-tax --run",
         {"bonus-tax", "--company", "1000", "--month", "200206", "--run", kHole}},
        {"bonus-tax --employee",
         {"bonus-tax", "--company", "1000", "--month", "200206", "--run", "2", "--employee",
          kHole}},
        {"bonus-tax --kind",
         {"bonus-tax", "--company", "1000", "--month", "200206", "--run", "2", "--kind", kHole}},
        {"employee --company",
         {"employee", "--company", kHole, "--month", "200203", "--print", "E0001"}},
        {"employee --month",
         {"employee", "--company", "1000", "--month", kHole, "--print", "E0001"}},
        {"employee EMP", {"employee", "--company", "1000", "--month", "200203", "--print", kHole}},
        {"pick --company", {"pick", "--company", kHole, "--month", "200203"}},
        {"pick --month", {"pick", "--company", "1000", "--month", kHole}},
        {"results --company", {"results", "--company", kHole, "--month", "200203"}},
        {"results --month", {"results", "--company", "1000", "--month", kHole}},
        {"results --sq", {"results", "--company", "1000", "--month", "200203", "--sq", kHole}},
        {"results --format",
         {"results", "--company", "1000", "--month", "200203", "--format", kHole}},
        {"demo --employees", {"demo", "--employees", kHole}},
        {"payslips --company",
         {"payslips", "--company", kHole, "--month", "200206", "--format", "csv", "--out", "p"}},
        {"payslips --month",
         {"payslips", "--company", "1000", "--month", kHole, "--format", "csv", "--out", "p"}},
        {"payslips --employee",
         {"payslips", "--company", "1000", "--month", "200206", "--employee", kHole, "--format",
          "csv", "--out", "p"}},
        {"register --run",
         {"register", "--company", "1000", "--month", "200206", "--run", kHole, "--format", "csv",
          "--out", "r.csv"}},
        {"ledger --year",
         {"ledger", "--company", "1000", "--year", kHole, "--format", "csv", "--out", "l"}},
        {"ledger --employee",
         {"ledger", "--company", "1000", "--year", "2002", "--employee", kHole, "--format", "csv",
          "--out", "l"}},
    };
    return cases;
}

class HostileOptionsTest : public DemoCompanyTest {
  protected:
    void SetUp() override {
        PAYROLL_SKIP_ON_POSTGRES();  // the program runs on a database file
        ASSERT_NO_FATAL_FAILURE(
            WriteDemo("options", "company.db", {"--employees", "5", "--fresh"}));
        log_ = dir_ + "/statements.log";
        ASSERT_TRUE(
            ExecOnFile(db_, "CREATE TABLE CANARY (N INTEGER); INSERT INTO CANARY VALUES (7)"));
        canary_ = ReadDbState(db_).tables["CANARY"];
    }

    // Runs one command and checks how it ended; counts an unescaped value.
    void Try(const std::vector<std::string>& args, const std::string& value, int* unescaped,
             long* statements) {
        std::remove(log_.c_str());
        const HostRun run = RunHost(
            args, Hooked({"PAYROLL_STATEMENT_LOG=" + log_}, dir_, std::chrono::seconds(60)));
        EXPECT_FALSE(run.timed_out) << "still running after a minute";
        EXPECT_EQ(run.signal, 0) << "ended by signal " << run.signal << "\n" << run.err;
        EXPECT_TRUE(run.exit_code == 0 || run.exit_code == 1 || run.exit_code == 2)
            << "exit code " << run.exit_code;
        if (run.exit_code != 0) {
            EXPECT_FALSE(run.err.empty()) << "failed without a word";
        }
        bool exposed = false;
        const std::vector<std::string> texts = ReadStatementLog(log_);
        *statements += static_cast<long>(texts.size());
        for (const std::string& text : texts) {
            const std::string found = Exposure(text, value);
            if (!found.empty() && !exposed) {
                exposed = true;
                ADD_FAILURE() << found << " in: " << text.substr(0, 400);
            }
        }
        if (exposed) ++*unescaped;
        const DbState state = ReadDbState(db_);
        EXPECT_EQ(state.integrity, "ok") << state.error;
        auto canary = state.tables.find("CANARY");
        EXPECT_TRUE(canary != state.tables.end() && canary->second == canary_)
            << "the canary table was touched";
    }

    // Tries every hostile value in every option of the commands `wanted`
    // picks, and reports the figures under `what`.
    void TryOptions(const char* what, bool (*wanted)(const std::string& command)) {
        int tried = 0, unescaped = 0;
        long statements = 0;
        for (const OptionCase& c : OptionCases()) {
            if (!wanted(c.args[0])) continue;
            for (const HostileValue& value : HostileValues()) {
                if (value.text.find('\0') != std::string::npos) continue;
                SCOPED_TRACE(std::string(c.option) + " = " + value.label);
                std::vector<std::string> args = {"--db", "sqlite:" + db_};
                for (const std::string& a : c.args) args.push_back(a == kHole ? value.text : a);
                Try(args, value.text, &unescaped, &statements);
                ++tried;
            }
        }
        EXPECT_GT(tried, 0);
        std::printf(
            "[ hostile  ] %s: %d hostile inputs tried, %ld statement texts checked, %d reached "
            "the database unescaped\n",
            what, tried, statements, unescaped);
        EXPECT_EQ(unescaped, 0);
    }

    std::string log_;
    TableState canary_;
};

// Two halves, so that a parallel test run takes them side by side.
bool IsRoad(const std::string& command) {
    return command == "build-run" || command == "recalc-tax" || command == "bonus-tax" ||
           command == "demo";
}

TEST_F(HostileOptionsTest, EveryOptionOfTheRoads) {
    TryOptions("host program options (roads)", [](const std::string& c) { return IsRoad(c); });
}

TEST_F(HostileOptionsTest, EveryOptionOfTheOtherCommands) {
    TryOptions("host program options (other commands)",
               [](const std::string& c) { return !IsRoad(c); });
}

// The database URL: an unknown scheme, and a file name made of the value
// (created inside the scratch directory, which the test removes).
TEST_F(HostileOptionsTest, DatabaseUrl) {
    for (const HostileValue& value : HostileValues()) {
        if (value.text.find('\0') != std::string::npos) continue;
        SCOPED_TRACE(value.label);
        for (const std::string& url : {value.text, "sqlite:" + value.text}) {
            const HostRun run =
                RunHost({"--db", url, "runs", "--company", "1000", "--month", "200203"},
                        Hooked({}, dir_, std::chrono::seconds(60)));
            EXPECT_EQ(run.signal, 0) << run.err;
            EXPECT_TRUE(run.exit_code >= 0 && run.exit_code <= 2) << run.exit_code;
            if (run.exit_code != 0) {
                EXPECT_FALSE(run.err.empty());
            }
        }
    }
}

}  // namespace
}  // namespace payroll::reliability
