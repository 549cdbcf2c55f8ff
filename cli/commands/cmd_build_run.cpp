// payroll build-run: the run-building road. Picks run N of a month the way
// the front does (SearchMirak), binds the engine to it, optionally refreshes
// the run (leavers, organisation attributes), builds its roster and default
// rows with the terminal progress, fills their amounts by the pay step
// (unless --no-pay), and says what changed and how the build's transaction
// ended.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "cli/commands/cmd_pay.h"
#include "cli/commands/commands.h"
#include "cli/commands/host_common.h"
#include "cli/commands/run_options.h"
#include "payroll/diagnostics.h"
#include "payroll/host.h"
#include "payroll/records.h"
#include "payroll/report.h"
#include "payroll/roads.h"
#include "payroll/salary_calcurate.h"

namespace payroll::cli {
namespace {

struct BuildOptions {
    std::string company;
    std::string month;
    int run = 0;
    int table_set = 1;
    bool refresh = false;
    bool no_pay = false;
    bool reset = false;
    std::string division, department, job_group;
};

void CheckFilter(const std::string& value, std::size_t room, const char* option) {
    if (value.size() >= room)
        throw CLI::ValidationError(option, "at most " + std::to_string(room - 1) + " characters");
}

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
    if (!OpenDatabaseFor(options, DbUse::kWrite)) return kFailed;
    HPHONPD_YMD_FMT key;
    if (!PickRun(o, &key)) return kFailed;
    const std::string label =
        "build-run " + o.company + " " + o.month + " run " + std::to_string(o.run);
    const bool chatty = !options.quiet && !options.json;
    const bool combined = key.CCIS_YN == "001";
    if (chatty)
        std::printf("%s: SQ %s, pay date %s, pay type%s %s%s, table set %d\n", label.c_str(),
                    key.SQ.c_str(), key.PAY_DT.c_str(), combined ? "s" : "",
                    combined ? key.PYTP_LIST.c_str() : key.PYTP_FG.c_str(),
                    combined ? " (combined)" : "", o.table_set);

    if (o.refresh && chatty) {
        // A long step with no bar of its own: say what is going on.
        std::printf("%s: removing the run's leavers and refreshing the rows' organisation\n",
                    label.c_str());
        std::fflush(stdout);
    }
    const RoadResult result =
        BuildPayRun(key, BuildChoices{o.table_set, o.refresh, !o.no_pay, o.reset});
    const RoadReport& report = result.report;
    // The passes are written inside the road's one transaction: whether
    // they are kept is the closing line's to say.
    for (const BuildPassReport& pass : report.passes)
        if (chatty)
            std::printf("%s: pay type %s: %s\n", label.c_str(), pass.pay_type.c_str(),
                        pass.committed ? ("built, " + std::to_string(pass.employees) + " employee" +
                                          (pass.employees == 1 ? "" : "s"))
                                             .c_str()
                                       : (pass.empty ? "no employee qualified"
                                                     : ("not built: " + pass.note).c_str()));
    nlohmann::json figures = ReportFigures(report);
    nlohmann::json passes = nlohmann::json::array();
    for (const BuildPassReport& pass : report.passes)
        passes.push_back({{"pay_type", pass.pay_type},
                          {"employees", pass.employees},
                          {"committed", pass.committed},
                          {"empty", pass.empty},
                          {"note", pass.note}});
    figures["passes"] = passes;
    if (result.pay.ran) figures["pay"] = PayFigures(result.pay);
    const std::string counts = std::to_string(report.Inserted()) + " row" +
                               (report.Inserted() == 1 ? "" : "s") + " inserted, " +
                               std::to_string(report.Deleted()) + " deleted, " +
                               std::to_string(report.Updated()) + " updated";
    switch (result.outcome) {
        case RoadOutcome::kCommitted:
            return Conclude(options, label, Outcome::kCommitted,
                            "committed, " + counts +
                                (result.pay.ran ? "; pay step: " + PaySummary(result.pay) : ""),
                            figures);
        case RoadOutcome::kRolledBack:
            return Conclude(options, label, Outcome::kRolledBack,
                            "rolled back at " + result.reason + "; nothing was changed", figures);
        case RoadOutcome::kNotEnded:
            break;
    }
    return Conclude(options, label, Outcome::kFailed,
                    "nothing built (" + result.reason + "); nothing was changed", figures);
}

void AddBuildRunCommand(CLI::App& app, const GlobalOptions& options, int* exit_code) {
    auto opts = std::make_shared<BuildOptions>();
    CLI::App* cmd = app.add_subcommand(
        "build-run",
        "build a pay run: its roster, the default pay and deduction rows and their amounts");
    CheckCompanyOption(cmd->add_option("--company", opts->company, "company code")->required());
    CheckMonthOption(cmd->add_option("--month", opts->month, "pay month YYYYMM")->required());
    cmd->add_option("--run", opts->run, "run number of the month, as `payroll runs` lists them")
        ->required()
        ->check(CLI::PositiveNumber);
    cmd->add_option("--table-set", opts->table_set,
                    "0 HPITMPD/HPITMDD, 1 HPOMPPD/HPOMPDD (default), 2 HTOWTRT/HTOWTDR")
        ->check(CLI::Range(0, 2));
    cmd->add_flag("--refresh", opts->refresh,
                  "first remove the run's leavers and refresh the organisation of its rows");
    CLI::Option* no_pay =
        cmd->add_flag("--no-pay", opts->no_pay,
                      "no pay step after the build: the rows' amounts stay as they are");
    cmd->add_flag("--reset", opts->reset,
                  "the pay step overwrites rows changed by hand since it filled them too")
        ->excludes(no_pay);
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
