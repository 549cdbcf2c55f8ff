// Everything payroll-desk does to drive the library's roads, in one place:
// the companies with runs, the employees of a run, and the three roads on a
// picked run (build, tax recalculation of its year or
// month, bonus tax). Each road shows the engine's own windows through the
// installed UI driver and ends with a report of how it ended.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "payroll/records.h"
#include "payroll/roads.h"

namespace payroll::desk {

enum class RoadOutcome { kCommitted, kRolledBack, kFailed };

// How a road ended: its outcome, the failed step with the database's reason
// (empty when committed), and what it counted ("inserted", "employees", ...).
struct RoadReport {
    RoadOutcome outcome = RoadOutcome::kFailed;
    std::string reason;
    std::vector<std::pair<std::string, long long>> counts;
};

// The filters and table set of a build.
struct BuildChoices {
    bool refresh = false;
    std::string division, department, job_group;
    int table_set = 1;  // 0 HPITMPD/HPITMDD, 1 HPOMPPD/HPOMPDD, 2 HTOWTRT/HTOWTDR
};

// The companies that have pay runs, in code order.
bool ListCompanies(std::vector<std::string>* companies, std::string* error);

// The employees with pay or deduction rows in a run, as (code, name).
bool RunEmployees(const HPHONPD_YMD_FMT& run,
                  std::vector<std::pair<std::string, std::string>>* employees, std::string* error);

RoadReport BuildRun(const HPHONPD_YMD_FMT& run, const BuildChoices& choices);
// Recalculates the income tax of the run's year (whole) or of its month.
RoadReport RecalcYear(const HPHONPD_YMD_FMT& run);
RoadReport RecalcMonth(const HPHONPD_YMD_FMT& run);
// Taxes the bonus of every employee of the run in one transaction.
RoadReport TaxBonus(const HPHONPD_YMD_FMT& run);

}  // namespace payroll::desk
