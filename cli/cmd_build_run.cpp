// payroll build-run: the run-building road. Picks run N of a month the way
// the front does (SearchMirak), binds the engine to it, optionally refreshes
// the run (leavers, organisation attributes), builds its roster and default
// rows with the terminal progress, and says what changed and how the build's
// transaction ended.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/host_common.h"
#include "cli/tui_runs.h"
#include "payroll/datasource.h"
#include "payroll/diagnostics.h"
#include "payroll/host.h"
#include "payroll/records.h"
#include "payroll/salary_calcurate.h"

namespace payroll::cli {
namespace {

constexpr const char* kTables[3][2] = {
    {"HPITMPD", "HPITMDD"}, {"HPOMPPD", "HPOMPDD"}, {"HTOWTRT", "HTOWTDR"}};

struct BuildOptions {
    std::string company;
    std::string month;
    int run = 0;
    int table_set = 1;
    bool refresh = false;
    std::string division, department, job_group;
};

void CheckFilter(const std::string& value, std::size_t room, const char* option) {
    if (value.size() >= room)
        throw CLI::ValidationError(option, "at most " + std::to_string(room - 1) + " characters");
}

// Rows of the month in one table; -1 when they cannot be counted.
long CountRows(const char* table, const std::string& company, const std::string& month) {
    G_DataSource query;
    const std::string sql = std::string("SELECT count(*) cnt FROM ") + table +
                            " WHERE CO_CD=" + SqlText(company) + " AND RVRS_YM=" + SqlText(month);
    if (!query.OnExecuteSQL(sql.c_str())) return -1;
    return std::atol(query.OnGetFieldValue("cnt", 0).c_str());
}

long CountRun(int table_set, const std::string& company, const std::string& month) {
    long total = 0;
    for (const char* table : kTables[table_set]) {
        long n = CountRows(table, company, month);
        if (n < 0) return -1;
        total += n;
    }
    return total;
}

// Rows the build inserted, from the batches it traces: a pass's rows count
// once the pass reached its closing statement without an error.
struct InsertTally {
    long committed = 0;
    long pending = 0;
    bool closing = false;

    static long RowsIn(const std::string& batch) {
        long n = 0;
        for (std::size_t at = batch.find("INSERT INTO"); at != std::string::npos;
             at = batch.find("INSERT INTO", at + 1))
            ++n;
        return n;
    }
    void EndPass() {
        if (closing) committed += pending;
        pending = 0;
        closing = false;
    }
    void See(const std::string& title, const std::string& text) {
        if (title == "Load_SEMP") {
            EndPass();
        } else if (title == "All_InsertData") {
            pending += RowsIn(text);
        } else if (title == "dll-FIXED CODE/DELETE") {
            closing = true;
        } else if (title == "All_InsertData error" || title == "dll-FIXED CODE/DELETE error") {
            pending = 0;
            closing = false;
        }
    }
};

// The run's key as the front fills it, with the build's filters; false (with
// a message) when the month has no such run or its runs cannot be read.
bool PickRun(const BuildOptions& o, HPHONPD_YMD_FMT* key) {
    if (!cli::PickRun(o.company, o.month, o.run, key)) return false;
    key->DIV_FILTER = o.division;
    key->DEPT_FILTER = o.department;
    key->PRTY_FILTER = o.job_group;
    return true;
}

int BuildRun(const GlobalOptions& options, const BuildOptions& o) {
    if (!OpenDatabaseFor(options)) return kFailed;
    HPHONPD_YMD_FMT key;
    if (!PickRun(o, &key)) return kFailed;
    const std::string label =
        "build-run " + o.company + " " + o.month + " run " + std::to_string(o.run);
    const bool chatty = !options.quiet && !options.json;
    if (chatty)
        std::printf("%s: SQ %s, pay date %s, pay type%s %s%s, table set %d\n", label.c_str(),
                    key.SQ.c_str(), key.PAY_DT.c_str(), key.CCIS_YN == "001" ? "s" : "",
                    key.CCIS_YN == "001" ? key.PYTP_LIST.c_str() : key.PYTP_FG.c_str(),
                    key.CCIS_YN == "001" ? " (combined)" : "", o.table_set);

    auto tally = std::make_shared<InsertTally>();
    InstallTraceSink(
        [tally](const std::string& title, const std::string& text) { tally->See(title, text); });
    ResetTransactionOutcome();
    ClearLastFailure();
    CSalaryCalcurate engine;
    if (engine.init(&key) != 1) {
        InstallTraceSink({});
        const std::string why = FailureText();
        return Conclude(options, label, Outcome::kFailed,
                        "the run's settings could not be loaded (" +
                            (why.empty() ? std::string("see the message above") : why) + ")");
    }
    const long before = CountRun(o.table_set, o.company, o.month);

    if (o.refresh) {
        engine.GetSempDataUpdate__(o.table_set);
        const bool rolledBack = LastTransactionOutcome() == TransactionOutcome::kRolledBack;
        if (rolledBack || !FailureText().empty()) {
            InstallTraceSink({});
            const std::string why = FailureText();
            return Conclude(options, label, rolledBack ? Outcome::kRolledBack : Outcome::kFailed,
                            std::string("the refresh ") + (rolledBack ? "rolled back" : "failed") +
                                " at " + (why.empty() ? "an unnamed step" : why) +
                                "; nothing was built");
        }
        ResetTransactionOutcome();
    }

    const int built = engine._GetSalaryPepleList(o.table_set);
    tally->EndPass();
    InstallTraceSink({});
    const long after = CountRun(o.table_set, o.company, o.month);

    long inserted = 0, deleted = 0;
    if (before >= 0 && after >= 0) {
        inserted = built || LastTransactionOutcome() == TransactionOutcome::kCommitted
                       ? tally->committed
                       : 0;
        deleted = std::max(0L, before + inserted - after);
        if (chatty)
            std::printf(
                "%s: rows of %s in %s/%s: %ld before, %ld after (%ld inserted, %ld deleted)\n",
                label.c_str(), o.month.c_str(), kTables[o.table_set][0], kTables[o.table_set][1],
                before, after, inserted, deleted);
    }
    const TransactionOutcome outcome = LastTransactionOutcome();
    if (built == 1 && outcome != TransactionOutcome::kRolledBack)
        return Conclude(options, label, Outcome::kCommitted,
                        "committed, " + std::to_string(inserted) + " row" +
                            (inserted == 1 ? "" : "s") + " inserted, " + std::to_string(deleted) +
                            " deleted",
                        {{"inserted", inserted}, {"deleted", deleted}, {"rows", after}});
    std::string why = FailureText();
    if (outcome == TransactionOutcome::kRolledBack)
        return Conclude(options, label, Outcome::kRolledBack,
                        "rolled back at " + (why.empty() ? std::string("an unnamed step") : why));
    if (why.empty()) why = "no employee qualified for the run";
    return Conclude(options, label, Outcome::kFailed, "nothing built (" + why + ")");
}

void AddBuildRunCommand(CLI::App& app, const GlobalOptions& options, int* exit_code) {
    auto opts = std::make_shared<BuildOptions>();
    CLI::App* cmd = app.add_subcommand(
        "build-run", "build a pay run: its roster and the default pay and deduction rows");
    CheckCompanyOption(cmd->add_option("--company", opts->company, "company code")->required());
    CheckMonthOption(cmd->add_option("--month", opts->month, "pay month YYYYMM")->required());
    cmd->add_option("--run", opts->run, "run number of the month, as `payroll runs` lists them")
        ->required()
        ->check(CLI::PositiveNumber);
    cmd->add_option("--table-set", opts->table_set,
                    "0 HPITMPD/HPITMDD, 1 HPOMPPD/HPOMPDD (default), 2 HTOWTRT/HTOWTDR")
        ->check(CLI::Range(0, 2));
    cmd->add_flag("--refresh", opts->refresh,
                  "first remove the month's leavers and refresh the organisation of the rows");
    cmd->add_option("--div", opts->division, "division filter (default: every division)");
    cmd->add_option("--dept", opts->department, "department filter (default: every one)");
    cmd->add_option("--prty", opts->job_group, "job-group filter (default: every one)");
    cmd->footer(
        "Example: payroll build-run --company 1000 --month 200203 --run 1 --refresh\n"
        "Exit code 0 only when the build committed.");
    cmd->callback([opts, &options, exit_code] {
        HPHONPD_YMD_FMT room{};
        CheckFilter(opts->division, sizeof room.DIV_FILTER, "--div");
        CheckFilter(opts->department, sizeof room.DEPT_FILTER, "--dept");
        CheckFilter(opts->job_group, sizeof room.PRTY_FILTER, "--prty");
        *exit_code = BuildRun(options, *opts);
    });
}

const bool build_run_registered = RegisterCommand(40, AddBuildRunCommand);

}  // namespace
}  // namespace payroll::cli
