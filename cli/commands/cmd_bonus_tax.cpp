// payroll bonus-tax: the bonus road. Picks a run the way the front does,
// binds the engine to it and taxes the bonus of each employee of the run (or
// of each one named) in one transaction, which commits whole or rolls back
// whole; prints each employee's figures and one closing line.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands/commands.h"
#include "cli/commands/host_common.h"
#include "payroll/diagnostics.h"
#include "payroll/host.h"
#include "payroll/records.h"
#include "payroll/report.h"
#include "payroll/roads.h"
#include "payroll/salary_calcurate.h"

namespace payroll::cli {
namespace {

// The road's default kind: compute the tax. 11 computes it too; the engine
// takes other kinds as well, computes nothing and stores the bonus's taxes
// as zero, so the parser refuses them.
constexpr int kComputeKind = 1;
// Field sizes of the run key and the employee record, terminators included.
constexpr std::size_t kCompanyRoom = decltype(HPHONPD_YMD_FMT::CO_CD)::capacity();
constexpr std::size_t kEmployeeRoom = decltype(SEMP_FMT::EMP_CD)::capacity();

struct BonusOptions {
    std::string company;
    std::string month;
    int run = 0;
    std::vector<std::string> employees;
    int kind = kComputeKind;
};

// Checks what the parser cannot; throws the parser's own error (exit code 2).
void Validate(const BonusOptions& o) {
    if (o.company.empty() || o.company.size() >= kCompanyRoom)
        throw CLI::ValidationError("--company", "a company code of 1 to 5 characters");
    const int m = o.month.size() == 6 && AllDigits(o.month) ? std::atoi(o.month.c_str() + 4) : 0;
    if (m < 1 || m > 12) throw CLI::ValidationError("--month", "the month is YYYYMM");
    if (o.run < 1) throw CLI::ValidationError("--run", "runs are numbered from 1");
    for (const std::string& e : o.employees)
        if (e.empty() || e.size() >= kEmployeeRoom)
            throw CLI::ValidationError("--employee", "an employee code of 1 to 11 characters");
}

// The picked run's pay types that are no bonus (a bonus pay type begins
// with "2"); a combined run lists all of its own, each of which counts.
std::vector<std::string> PayTypesNotBonus(const HPHONPD_YMD_FMT& key) {
    std::string_view list = key.PYTP_LIST.IsEmpty() ? key.PYTP_FG.View() : key.PYTP_LIST.View();
    std::vector<std::string> others;
    for (;;) {
        const std::size_t comma = list.find(',');
        const std::string_view type = list.substr(0, comma);
        if (type.substr(0, 1) != "2") others.emplace_back(type);
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
    }
    return others;
}

int TaxBonuses(const GlobalOptions& options, const BonusOptions& o) {
    if (!OpenDatabaseFor(options, DbUse::kWrite)) return kFailed;
    HPHONPD_YMD_FMT key;
    if (!PickRun(o.company, o.month, o.run, &key)) return kFailed;
    // The bonus rule would tax a salary run's pay as a bonus and store it:
    // refused before the road begins.
    if (const std::vector<std::string> others = PayTypesNotBonus(key); !others.empty()) {
        std::string types;
        for (const std::string& t : others) types += (types.empty() ? "" : ", ") + t;
        std::fprintf(stderr,
                     "payroll: run %d of %s %s is no bonus run (pay type%s %s): bonus-tax taxes "
                     "only runs whose pay types begin with 2\n",
                     o.run, o.company.c_str(), o.month.c_str(), others.size() == 1 ? "" : "s",
                     types.c_str());
        return kUsage;
    }
    const std::string label = "bonus-tax " + o.company + " " + o.month + " run " +
                              std::to_string(o.run) + " (SQ " + key.SQ.Str() + ", pay type " +
                              key.PYTP_FG.Str() + ", kind " + std::to_string(o.kind) + ")";

    std::vector<BonusResult> results;
    const RoadResult road = TaxBonusRoad(key, o.employees, o.kind, &results);
    switch (road.outcome) {
        case RoadOutcome::kCommitted:
            break;
        case RoadOutcome::kRolledBack:
            return Conclude(
                options, label, Outcome::kRolledBack, "rolled back at " + road.reason,
                {{"employee", road.report.failed_employee}, {"step", road.report.failed_step}});
        case RoadOutcome::kNotEnded:
            return Conclude(options, label, Outcome::kFailed, road.reason);
    }

    const bool table = !options.quiet && !options.json;
    if (table) {
        std::printf("%-12s %6s %16s %16s %14s %14s\n", "EMP_CD", "MONTHS", "TAXABLE BONUS",
                    "TAX BASE", "INCOME TAX", "RESIDENT TAX");
        for (const BonusResult& r : results)
            std::printf("%-12s %6d %16s %16s %14s %14s\n", r.employee.c_str(), r.months,
                        Won(r.bonus).c_str(), Won(r.tax_base).c_str(), Won(r.income_tax).c_str(),
                        Won(r.resident_tax).c_str());
    }
    double income = 0, resident = 0;
    for (const BonusResult& r : results) {
        income += r.income_tax;
        resident += r.resident_tax;
    }
    const RoadReport report = CurrentRoadReport();
    const long n = report.employees;
    nlohmann::json figures = ReportFigures(report);
    figures["income_tax"] = std::llround(income);
    figures["resident_tax"] = std::llround(resident);
    return Conclude(options, label, Outcome::kCommitted,
                    "committed, " + std::to_string(n) + " employee" + (n == 1 ? "" : "s") +
                        ", income tax " + Won(income) + ", resident tax " + Won(resident) + ", " +
                        std::to_string(report.results_stored) + " result" +
                        (report.results_stored == 1 ? "" : "s") + " stored",
                    figures);
}

void AddBonusTaxCommand(CLI::App& app, const GlobalOptions& options, int* exit_code) {
    auto opts = std::make_shared<BonusOptions>();
    CLI::App* cmd = app.add_subcommand(
        "bonus-tax", "tax the bonus of a bonus run's employees (pay types beginning with 2)");
    cmd->add_option("--company", opts->company, "company code")->required();
    cmd->add_option("--month", opts->month, "attribution month YYYYMM")->required();
    cmd->add_option("--run", opts->run, "the run's place in the month's list (payroll runs)")
        ->required();
    cmd->add_option("--employee", opts->employees,
                    "an employee to tax (repeatable); default: every employee of the run");
    cmd->add_option("--kind", opts->kind, "1 (default) or 11, both compute the tax")
        ->check(CLI::IsMember({1, 11}));
    cmd->footer(
        "Example: payroll bonus-tax --company 1000 --month 200206 --run 2\n"
        "Exit code 0 only when the transaction committed; 1 when it rolled back; 2 for a usage "
        "error, a run with a pay type that is no bonus among them.");
    cmd->callback([opts, &options, exit_code] {
        Validate(*opts);
        *exit_code = TaxBonuses(options, *opts);
    });
}

const bool bonus_tax_registered = RegisterCommand(52, AddBonusTaxCommand);

}  // namespace
}  // namespace payroll::cli
