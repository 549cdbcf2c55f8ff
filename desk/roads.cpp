#include "desk/roads.h"

#include <set>

#include "payroll/reading.h"
#include "payroll/roads.h"

namespace payroll::desk {
namespace {

// The engine's modes: a year's recalculation, one month rewritten.
constexpr int kRecalcYearMode = 1;
constexpr int kRecalcMonthMode = 3;
constexpr int kBonusComputeKind = 1;

// The people behind a recalculation's employee-runs: the distinct employees
// with results in the months it covered (a period of YYYY or YYYYMM). -1
// when they cannot be read.
long long PeopleIn(const std::string& company, const std::string& period) {
    std::set<std::string> people;
    for (int m = 1; m <= 12; ++m) {
        const std::string month = period.substr(0, 4) + (m < 10 ? "0" : "") + std::to_string(m);
        if (period.size() == 6 && period != month) continue;
        reading::MonthResults results;
        std::string error;
        if (!reading::ReadMonthResults(company, month, 0, 0, &results, &error)) return -1;
        for (const reading::ResultLine& line : results.lines) people.insert(line.employee);
    }
    return static_cast<long long>(people.size());
}

RoadReport From(const RoadResult& road) {
    RoadReport report;
    report.outcome = road.outcome;
    report.reason = road.reason;
    return report;
}

RoadReport Recalc(const HPHONPD_YMD_FMT& run, bool whole_year) {
    const std::string period = whole_year ? run.RVRS_YM.Str().substr(0, 4) : run.RVRS_YM.Str();
    // The year and its bonus runs taxed again after it, in one transaction.
    TaxRecalculation done;
    RoadReport report = From(RecalculateTax(
        run.CO_CD.Str(), period, whole_year ? kRecalcYearMode : kRecalcMonthMode, true, &done));
    if (report.outcome == RoadOutcome::kCommitted)
        report.counts = {{"runs", done.runs},
                         {"people", PeopleIn(run.CO_CD.Str(), period)},
                         {"employees", done.employees},
                         {"bonus_runs", static_cast<long long>(done.bonus_runs.size())}};
    return report;
}

}  // namespace

RoadReport BuildRun(const HPHONPD_YMD_FMT& run, const BuildChoices& choices) {
    HPHONPD_YMD_FMT key = run;
    key.DIV_FILTER = choices.division;
    key.DEPT_FILTER = choices.department;
    key.PRTY_FILTER = choices.job_group;
    const RoadResult built = BuildPayRun(key, {choices.table_set, choices.refresh});
    RoadReport report = From(built);
    if (report.outcome == RoadOutcome::kCommitted)
        report.counts = {{"inserted", built.report.Inserted()},
                         {"deleted", built.report.Deleted()}};
    return report;
}

RoadReport RecalcYear(const HPHONPD_YMD_FMT& run) {
    return Recalc(run, true);
}

RoadReport RecalcMonth(const HPHONPD_YMD_FMT& run) {
    return Recalc(run, false);
}

RoadReport TaxBonus(const HPHONPD_YMD_FMT& run) {
    std::vector<BonusResult> results;
    RoadReport report = From(TaxBonusRoad(run, {}, kBonusComputeKind, &results));
    if (report.outcome != RoadOutcome::kCommitted) return report;
    double income_tax = 0;
    for (const BonusResult& r : results) income_tax += r.income_tax;
    report.counts = {{"employees", static_cast<long long>(results.size())},
                     {"income_tax", static_cast<long long>(income_tax)}};
    return report;
}

}  // namespace payroll::desk
