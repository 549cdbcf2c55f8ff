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

// The tables of a tax year's law a tax road needs (rate brackets, credit,
// simplified table, deductions, pension grades) that hold no row for
// `year`, named with what each is, into *missing (empty when none is).
// False with the database's message when they cannot be counted.
bool MissingYearLaw(const std::string& year, std::string* missing, std::string* error);
// True when the year's law is whole; else false with *why naming what is
// missing (or why it could not be read) and how to load it.
bool YearLawComplete(const std::string& year, std::string* why);

}  // namespace payroll::roads
