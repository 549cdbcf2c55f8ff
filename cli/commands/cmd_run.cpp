// payroll run new|delete: a month's pay run made from the company's pay
// types and item definitions, or deleted with all its rows.
#include <CLI/CLI.hpp>
#include <cstdio>

#include "cli/commands/commands.h"
#include "cli/commands/run_options.h"
#include "payroll/company.h"

namespace payroll::cli {
namespace {

struct RunCommandOptions {
    folder::NewRun run;
    std::string pay_types;
    std::vector<std::string> bonus_period;
    int run_number = 0;
    bool force = false;
};

std::vector<std::string> SplitCommas(const std::string& text) {
    std::vector<std::string> out;
    std::string part;
    for (char c : text + ",") {
        if (c != ',') {
            part += c;
        } else if (!part.empty()) {
            out.push_back(part);
            part.clear();
        }
    }
    return out;
}

void AddRunCommand(CLI::App& app, const GlobalOptions& options, int* exit_code) {
    auto opts = std::make_shared<RunCommandOptions>();
    CLI::App* cmd = app.add_subcommand("run", "make or delete a pay run of a month");
    cmd->require_subcommand(1);
    cmd->footer(
        "Examples:\n"
        "  payroll run new --company 1000 --month 200207 --pay-date 2002-07-25 --pay-types 100\n"
        "  payroll run delete --company 1000 --month 200207 --run 1");

    CLI::App* add = cmd->add_subcommand("new", "write a new pay run's rows");
    CheckCompanyOption(add->add_option("--company", opts->run.company, "company code")->required());
    CheckMonthOption(add->add_option("--month", opts->run.month, "pay month YYYYMM")->required());
    add->add_option("--pay-date", opts->run.pay_date, "pay date YYYY-MM-DD")->required();
    add->add_option("--pay-types", opts->pay_types, "pay types, as 100 or 100,110")->required();
    add->add_option("--sequence", opts->run.sequence, "the run's sequence (default: the next)")
        ->check(CLI::Range(1, 99));
    add->add_option("--bonus-period", opts->bonus_period, "first and last day of a bonus period")
        ->expected(2);
    add->footer(
        "Example: payroll run new --company 1000 --month 200207 --pay-date 2002-07-25 "
        "--pay-types 100");
    add->callback([opts, &options, exit_code] {
        if (!OpenDatabaseFor(options, DbUse::kWrite)) {
            *exit_code = kFailed;
            return;
        }
        opts->run.pay_types = SplitCommas(opts->pay_types);
        if (opts->bonus_period.size() == 2) {
            opts->run.bonus_from = opts->bonus_period[0];
            opts->run.bonus_to = opts->bonus_period[1];
        }
        int sq = 0;
        std::string error;
        if (!folder::CreateRun(opts->run, &sq, &error)) {
            std::fprintf(stderr, "payroll: run refused: %s\n", error.c_str());
            *exit_code = kFailed;
            return;
        }
        std::printf("run %s SQ %d of company %s: pay types %s, paid %s\n", opts->run.month.c_str(),
                    sq, opts->run.company.c_str(), opts->pay_types.c_str(),
                    opts->run.pay_date.c_str());
    });

    CLI::App* del = cmd->add_subcommand("delete", "delete a pay run with all its rows");
    CheckCompanyOption(del->add_option("--company", opts->run.company, "company code")->required());
    CheckMonthOption(del->add_option("--month", opts->run.month, "pay month YYYYMM")->required());
    del->add_option("--run", opts->run_number, "the run, numbered as `payroll runs` lists them")
        ->required()
        ->check(CLI::PositiveNumber);
    del->add_flag("--force", opts->force, "delete a run that holds pay rows or results too");
    del->footer("Example: payroll run delete --company 1000 --month 200207 --run 1");
    del->callback([opts, &options, exit_code] {
        if (!OpenDatabaseFor(options, DbUse::kWrite)) {
            *exit_code = kFailed;
            return;
        }
        std::vector<HPHONPD_YMD_FMT> runs;
        std::string error;
        if (!ListPayRuns(opts->run.company, opts->run.month, &runs, &error)) {
            std::fprintf(stderr, "payroll: the runs could not be read: %s\n", error.c_str());
            *exit_code = kFailed;
            return;
        }
        if (opts->run_number > static_cast<int>(runs.size())) {
            std::fprintf(stderr, "payroll: company %s has %zu runs in %s; there is no run %d\n",
                         opts->run.company.c_str(), runs.size(), opts->run.month.c_str(),
                         opts->run_number);
            *exit_code = kFailed;
            return;
        }
        const int sq =
            std::atoi(runs[static_cast<std::size_t>(opts->run_number - 1)].SQ.Str().c_str());
        if (!folder::DeleteRun(opts->run.company, opts->run.month, sq, opts->force, &error)) {
            std::fprintf(stderr, "payroll: run not deleted: %s\n", error.c_str());
            *exit_code = kFailed;
            return;
        }
        std::printf("run %s SQ %d of company %s deleted\n", opts->run.month.c_str(), sq,
                    opts->run.company.c_str());
    });
}

const bool run_registered = RegisterCommand(30, AddRunCommand);

}  // namespace
}  // namespace payroll::cli
