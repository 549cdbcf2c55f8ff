// The taxing of a bonus run's employees, for the roads that run it inside
// their own transaction: the bonus road and the tax road, which taxes the
// year's bonus runs again after the year driver.
#pragma once

#include <string>
#include <vector>

#include "engine/common/status.h"
#include "payroll/roads.h"

namespace payroll::roads {

// What TaxBonusRun does, returning its status: ok, or the failure it
// stopped at, placed in the run (and at the employee) and put in the road
// report.
engine::Status TaxBonusEmployees(CSalaryCalcurate& engine, const HPHONPD_YMD_FMT& key,
                                 const std::vector<std::string>& employees, int kind,
                                 std::vector<BonusResult>* results);

}  // namespace payroll::roads
