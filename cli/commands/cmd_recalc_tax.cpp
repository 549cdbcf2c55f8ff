// payroll recalc-tax: the tax recalculation road. Runs the engine's year
// driver over a year (or one month) of a company with the terminal progress
// and says in one line how its transaction ended.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <set>
#include <string>

#include "cli/commands/commands.h"
#include "cli/commands/host_common.h"
#include "payroll/diagnostics.h"
#include "payroll/host.h"
#include "payroll/reading.h"
#include "payroll/report.h"
#include "payroll/roads.h"

namespace payroll::cli {
namespace {

// The engine's mode of a plain recalculation, and the one of a single month.
constexpr int kYearMode = 1;
constexpr int kMonthMode = 3;
// The company field of the run key holds five characters.
constexpr std::size_t kCompanyWidth = 5;

struct RecalcOptions {
    std::string company;
    std::string year;
    std::string month;
    int mode = 0;
    bool no_bonus = false;
    bool no_close = false;
};

// The people behind the employee-runs: the distinct employees with results
// in the months the road covered (the month alone in mode 3, else its whole
// year). -1 when they cannot be read.
long PeopleIn(const std::string& company, const std::string& year, const std::string& only_month) {
    std::set<std::string> people;
    for (int m = 1; m <= 12; ++m) {
        char month[16];
        std::snprintf(month, sizeof month, "%s%02d", year.c_str(), m);
        if (!only_month.empty() && only_month != month) continue;
        reading::MonthResults results;
        std::string error;
        if (!reading::ReadMonthResults(company, month, 0, 0, &results, &error)) return -1;
        for (const reading::ResultLine& line : results.lines) people.insert(line.employee);
    }
    return static_cast<long>(people.size());
}

bool Digits(const std::string& text, std::size_t count) {
    if (text.size() != count) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// Checks what the parser cannot; throws the parser's own error (exit code 2).
void Validate(const RecalcOptions& o, bool modeGiven) {
    if (o.company.empty() || o.company.size() > kCompanyWidth)
        throw CLI::ValidationError("--company", "a company code of 1 to 5 characters");
    if (o.year.empty() == o.month.empty())
        throw CLI::ValidationError("recalc-tax", "give --year YYYY or --month YYYYMM");
    if (!o.year.empty() && !Digits(o.year, 4))
        throw CLI::ValidationError("--year", "the year is four digits (YYYY)");
    if (!o.month.empty()) {
        int m = Digits(o.month, 6) ? std::stoi(o.month.substr(4)) : 0;
        if (m < 1 || m > 12) throw CLI::ValidationError("--month", "the month is YYYYMM");
    }
    if (modeGiven && o.mode == kMonthMode && o.month.empty())
        throw CLI::ValidationError("--mode", "mode 3 recalculates one month: give --month");
}

int Recalculate(const GlobalOptions& options, const RecalcOptions& o, int mode) {
    if (!OpenDatabaseFor(options, DbUse::kWrite)) return kFailed;
    const std::string period = o.month.empty() ? o.year : o.month;
    const std::string label =
        "recalc-tax " + o.company + " " + period + " mode " + std::to_string(mode);
    if (!o.month.empty()) {
        // A month without runs is no reason to recalculate another month's
        // year.
        const long runs = reading::CountRuns(o.company, o.month);
        if (runs < 0)
            return Conclude(
                options, label, Outcome::kFailed,
                "the runs of " + o.month + " could not be read: " + LastDatabaseError());
        if (runs == 0)
            return Conclude(options, label, Outcome::kFailed,
                            "company " + o.company + " has no pay runs in " + o.month +
                                " (see: payroll runs); nothing was recalculated");
    }

    TaxRecalculation done;
    const RoadResult road =
        RecalculateTax(o.company, period, mode, !o.no_bonus, &done, !o.no_close);
    switch (road.outcome) {
        case RoadOutcome::kRolledBack:
            return Conclude(options, label, Outcome::kRolledBack, "rolled back at " + road.reason);
        case RoadOutcome::kNotEnded:
            return Conclude(options, label, Outcome::kFailed,
                            "nothing recalculated (" + road.reason + ")");
        case RoadOutcome::kCommitted:
            break;
    }
    const RoadReport& report = road.report;
    const long bonusRuns = static_cast<long>(done.bonus_runs.size());
    const std::string year = period.substr(0, 4);
    const long people = PeopleIn(o.company, year, mode == kMonthMode ? o.month : "");
    nlohmann::json figures = ReportFigures(report);
    figures["runs"] = done.runs;
    figures["employees"] = done.employees;
    if (people >= 0) figures["people"] = people;
    figures["bonus_runs"] = bonusRuns;
    auto plural = [](long n, const char* word) {
        return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
    };
    // A person paid in several runs is one person and several employee-runs.
    const std::string counted =
        people < 0 ? "" : (people == 1 ? "1 person, " : std::to_string(people) + " people, ");
    // Say plainly what was done: modes 1 and 11 compute the tax (over the
    // whole year), the others write the stored results again.
    const bool computed = mode == 1 || mode == 11;
    const std::string what =
        computed
            ? "income tax calculated for " +
                  std::string(o.month.empty() ? "the year " + o.year : "the year of " + o.month)
            : "stored results written again, no tax calculated (--mode 1 calculates)";
    return Conclude(options, label, Outcome::kCommitted,
                    "committed: " + what + ", " + plural(done.runs, "run") + ", " + counted +
                        plural(done.employees, "employee-run") + ", " +
                        plural(bonusRuns, "bonus run") + " taxed again, " +
                        plural(report.results_stored, "result") + " stored" +
                        (o.no_close ? "" : ", months closed"),
                    figures);
}

void AddRecalcTaxCommand(CLI::App& app, const GlobalOptions& options, int* exit_code) {
    auto opts = std::make_shared<RecalcOptions>();
    CLI::App* cmd = app.add_subcommand(
        "recalc-tax", "recalculate the income tax of every pay run of a year or a month");
    cmd->add_option("--company", opts->company, "company code")->required();
    CLI::Option* year = cmd->add_option("--year", opts->year, "attribution year YYYY");
    CLI::Option* month = cmd->add_option("--month", opts->month, "attribution month YYYYMM");
    year->excludes(month);
    cmd->add_flag("--no-bonus", opts->no_bonus,
                  "leave the bonus runs as the year driver taxes them (by the monthly rule) "
                  "instead of taxing them again by the bonus road");
    cmd->add_flag("--no-close", opts->no_close,
                  "leave out the month's close (resident tax, national pension, health and "
                  "employment insurance, written after the income tax)");
    // Every mode the engine knows: 1 and 11 compute the tax, 2, 3 and 4 store
    // the results again from what is stored. The engine takes any other number
    // too, computes nothing and stores every tax of the period as zero: the
    // parser refuses it before the road starts.
    CLI::Option* mode =
        cmd->add_option("--mode", opts->mode,
                        "1 or 11 recalculates the tax of the whole year, also with --month "
                        "(1: default with --year); 3 rewrites one month's results keeping "
                        "the stored taxes (default with --month, needs it), 4 does the same "
                        "for the whole year; 2 rewrites the year's results from the stored "
                        "results and deduction rows")
            ->check(CLI::IsMember({1, 2, 3, 4, 11}));
    cmd->footer(
        "Examples:\n  payroll recalc-tax --company 1000 --year 2002\n"
        "  payroll recalc-tax --company 1000 --month 200203 --mode 1\n"
        "Exit code 0 only when the recalculation's transaction committed.");
    cmd->callback([opts, mode, &options, exit_code] {
        const bool modeGiven = mode->count() > 0;
        Validate(*opts, modeGiven);
        int engineMode = modeGiven ? opts->mode : (opts->month.empty() ? kYearMode : kMonthMode);
        *exit_code = Recalculate(options, *opts, engineMode);
    });
}

const bool recalc_tax_registered = RegisterCommand(50, AddRecalcTaxCommand);

}  // namespace
}  // namespace payroll::cli
