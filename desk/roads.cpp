#include "desk/roads.h"

#include <cstdlib>
#include <memory>

#include "payroll/datasource.h"
#include "payroll/diagnostics.h"
#include "payroll/host.h"
#include "payroll/reading.h"
#include "payroll/report.h"
#include "payroll/roads.h"
#include "payroll/salary_calcurate.h"

namespace payroll::desk {
namespace {

// The engine's modes: a year's recalculation, one month rewritten.
constexpr int kRecalcYearMode = 1;
constexpr int kRecalcMonthMode = 3;
constexpr int kBonusComputeKind = 1;

std::string Failure() {
    const EngineFailure failure = LastEngineFailure();
    std::string why = failure.step;
    if (!failure.detail.empty()) why += (why.empty() ? "" : ": ") + failure.detail;
    return why;
}

std::string FailureOr(const std::string& fallback) {
    std::string why = Failure();
    return why.empty() ? fallback : why;
}

RoadReport Recalc(const HPHONPD_YMD_FMT& run, bool whole_year) {
    const std::string period = whole_year ? run.RVRS_YM.Str().substr(0, 4) : run.RVRS_YM.Str();
    ResetTransactionOutcome();
    ClearLastFailure();
    BeginRoadReport("recalc-tax");
    // The year and its bonus runs taxed again after it, in one transaction.
    TaxRecalculation done;
    RoadReport report;
    switch (RecalculateTax(run.CO_CD.Str(), period, whole_year ? kRecalcYearMode : kRecalcMonthMode,
                           true, &done)) {
        case ::payroll::RoadOutcome::kCommitted:
            report.outcome = RoadOutcome::kCommitted;
            report.counts = {{"runs", done.runs},
                             {"employees", done.employees},
                             {"bonus_runs", static_cast<long long>(done.bonus_runs.size())}};
            return report;
        case ::payroll::RoadOutcome::kRolledBack:
            report.outcome = RoadOutcome::kRolledBack;
            report.reason = DescribeFailure(CurrentRoadReport());
            return report;
        case ::payroll::RoadOutcome::kNotEnded:
            break;
    }
    report.reason = FailureOr("no pay runs of the company in the period");
    return report;
}

}  // namespace

bool ListCompanies(std::vector<std::string>* companies, std::string* error) {
    return reading::ReadCompanies(companies, error);
}

bool RunEmployees(const HPHONPD_YMD_FMT& run,
                  std::vector<std::pair<std::string, std::string>>* employees, std::string* error) {
    employees->clear();
    std::vector<reading::RunEmployee> read;
    if (!reading::ReadRunEmployees(run, &read, error)) return false;
    for (const reading::RunEmployee& e : read) employees->emplace_back(e.code, e.name);
    return true;
}

RoadReport BuildRun(const HPHONPD_YMD_FMT& run, const BuildChoices& choices) {
    HPHONPD_YMD_FMT key = run;
    key.DIV_FILTER = choices.division;
    key.DEPT_FILTER = choices.department;
    key.PRTY_FILTER = choices.job_group;
    const RoadResult built = BuildPayRun(key, {choices.table_set, choices.refresh});
    RoadReport report;
    report.reason = built.reason;
    switch (built.outcome) {
        case ::payroll::RoadOutcome::kCommitted:
            report.outcome = RoadOutcome::kCommitted;
            report.counts = {{"inserted", built.report.Inserted()},
                             {"deleted", built.report.Deleted()}};
            break;
        case ::payroll::RoadOutcome::kRolledBack:
            report.outcome = RoadOutcome::kRolledBack;
            break;
        case ::payroll::RoadOutcome::kNotEnded:
            report.outcome = RoadOutcome::kFailed;
            break;
    }
    return report;
}

RoadReport RecalcYear(const HPHONPD_YMD_FMT& run) {
    return Recalc(run, true);
}

RoadReport RecalcMonth(const HPHONPD_YMD_FMT& run) {
    return Recalc(run, false);
}

RoadReport TaxBonus(const HPHONPD_YMD_FMT& run) {
    RoadReport report;
    std::vector<BonusResult> results;
    const RoadResult road = TaxBonusRoad(run, {}, kBonusComputeKind, &results);
    report.reason = road.reason;
    switch (road.outcome) {
        case ::payroll::RoadOutcome::kCommitted:
            break;
        case ::payroll::RoadOutcome::kRolledBack:
            report.outcome = RoadOutcome::kRolledBack;
            return report;
        case ::payroll::RoadOutcome::kNotEnded:
            return report;
    }
    double income_tax = 0;
    for (const BonusResult& r : results) income_tax += r.income_tax;
    report.outcome = RoadOutcome::kCommitted;
    report.counts = {{"employees", static_cast<long long>(results.size())},
                     {"income_tax", static_cast<long long>(income_tax)}};
    return report;
}

}  // namespace payroll::desk
