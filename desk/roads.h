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

// How a road ended, as the library says it (kNotEnded: it did not begin in
// earnest, or nobody qualified; nothing changed), with what the desk's
// closing line counts ("inserted", "employees", ...).
struct RoadReport {
    RoadOutcome outcome = RoadOutcome::kNotEnded;
    std::string reason;
    std::vector<std::pair<std::string, long long>> counts;
};

// The filters and table set of a build.
struct BuildChoices {
    bool refresh = false;
    std::string division, department, job_group;
    int table_set = 1;  // 0 HPITMPD/HPITMDD, 1 HPOMPPD/HPOMPDD, 2 HTOWTRT/HTOWTDR
};

RoadReport BuildRun(const HPHONPD_YMD_FMT& run, const BuildChoices& choices);
// Recalculates the income tax of the run's year (whole) or of its month.
RoadReport RecalcYear(const HPHONPD_YMD_FMT& run);
RoadReport RecalcMonth(const HPHONPD_YMD_FMT& run);
// Taxes the bonus of every employee of the run in one transaction.
RoadReport TaxBonus(const HPHONPD_YMD_FMT& run);

}  // namespace payroll::desk
