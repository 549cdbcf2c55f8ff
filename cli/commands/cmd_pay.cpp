// payroll pay import|fill: the pay step of a built run as its own road. The
// month's variable pay file is read and checked first (every problem at
// once, nothing written); then the run's rows get their amounts from the
// pay-step table, the fixed items and the file, in one transaction.
#include "cli/commands/cmd_pay.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/commands/commands.h"
#include "cli/commands/host_common.h"
#include "cli/commands/run_options.h"
#include "payroll/pay_file.h"
#include "payroll/roads.h"

namespace payroll::cli {

std::string PaySummary(const PayStepReport& pay) {
    auto rows = [](long n) { return std::to_string(n) + (n == 1 ? " row" : " rows"); };
    return rows(pay.filled) + " filled (" + std::to_string(pay.prorated) + " prorated, " +
           std::to_string(pay.variable) + " variable), " + std::to_string(pay.kept) +
           " kept as changed by hand, " + std::to_string(pay.cleared) + " cleared";
}

nlohmann::json PayFigures(const PayStepReport& pay) {
    return {{"filled", pay.filled},
            {"prorated", pay.prorated},
            {"variable", pay.variable},
            {"kept", pay.kept},
            {"cleared", pay.cleared}};
}

namespace {

struct PayOptions {
    std::string company;
    std::string month;
    int run = 0;
    bool reset = false;
    std::string file;
};

int RunPayStep(const GlobalOptions& options, const PayOptions& o, bool with_file) {
    if (!OpenDatabaseFor(options, DbUse::kWrite)) return kFailed;
    HPHONPD_YMD_FMT key;
    if (!cli::PickRun(o.company, o.month, o.run, &key)) return kFailed;
    const std::string label = std::string("pay ") + (with_file ? "import " : "fill ") + o.company +
                              " " + o.month + " run " + std::to_string(o.run);
    PayChoices choices;
    choices.reset = o.reset;
    if (with_file) {
        const std::vector<folder::Problem> problems =
            folder::ReadPayFile(o.file, key, &choices.variable);
        if (!problems.empty()) {
            nlohmann::json listed = nlohmann::json::array();
            for (const folder::Problem& p : problems) {
                if (!options.json) std::fprintf(stderr, "%s\n", folder::ProblemText(p).c_str());
                listed.push_back({{"file", p.file},
                                  {"line", p.line},
                                  {"column", p.column},
                                  {"value", p.value},
                                  {"expected", p.expected}});
            }
            const std::string count =
                std::to_string(problems.size()) + (problems.size() == 1 ? " problem" : " problems");
            return Conclude(options, label, Outcome::kFailed,
                            count + " in " + o.file + "; nothing was written",
                            {{"problems", listed}});
        }
    }
    const RoadResult result = FillRunPay(key, choices);
    nlohmann::json figures = ReportFigures(result.report);
    figures["pay"] = PayFigures(result.pay);
    switch (result.outcome) {
        case RoadOutcome::kCommitted:
            return Conclude(options, label, Outcome::kCommitted,
                            "committed, " + PaySummary(result.pay), figures);
        case RoadOutcome::kRolledBack:
            return Conclude(options, label, Outcome::kRolledBack,
                            "rolled back at " + result.reason + "; nothing was changed", figures);
        case RoadOutcome::kNotEnded:
            break;
    }
    return Conclude(options, label, Outcome::kFailed,
                    "nothing filled (" + result.reason + "); nothing was changed", figures);
}

void AddPayRunOptions(CLI::App* cmd, PayOptions* o) {
    CheckCompanyOption(cmd->add_option("--company", o->company, "company code")->required());
    CheckMonthOption(cmd->add_option("--month", o->month, "pay month YYYYMM")->required());
    cmd->add_option("--run", o->run, "run number of the month, as `payroll runs` lists them")
        ->required()
        ->check(CLI::PositiveNumber);
    cmd->add_flag("--reset", o->reset, "overwrite rows changed by hand since the pay step too");
}

void AddPayCommand(CLI::App& app, const GlobalOptions& options, int* exit_code) {
    auto opts = std::make_shared<PayOptions>();
    CLI::App* cmd = app.add_subcommand(
        "pay", "fill a built run's pay amounts: pay steps, fixed items, the month's variable pay");
    cmd->require_subcommand(1);
    cmd->footer(
        "Examples:\n"
        "  payroll pay import --company 1000 --month 200207 --run 1 variable-200207.csv\n"
        "  payroll pay fill --company 1000 --month 200207 --run 1 --reset\n"
        "The file's columns and the pay step's rules: docs/company-files.md");

    CLI::App* import = cmd->add_subcommand(
        "import", "check the month's variable pay file, then fill the run with it");
    AddPayRunOptions(import, opts.get());
    import->add_option("FILE", opts->file, "the variable pay file (CSV)")->required();
    import->footer(
        "Example: payroll pay import --company 1000 --month 200207 --run 1 overtime.csv\n"
        "Exit code 1 with every problem of the file, and nothing written, when it has any.");
    import->callback([opts, &options, exit_code] { *exit_code = RunPayStep(options, *opts, true);
});

CLI::App* fill = cmd->add_subcommand(
    "fill", "fill the run again from the pay steps, fixed items and imported variable pay");
AddPayRunOptions(fill, opts.get());
fill->footer("Example: payroll pay fill --company 1000 --month 200207 --run 1");
fill->callback([opts, &options, exit_code] { *exit_code = RunPayStep(options, *opts, false); });
}  // namespace

const bool pay_registered = RegisterCommand(45, AddPayCommand);

}  // namespace payroll::cli
}  // namespace payroll::cli
