// The year company of the recalculation benchmarks: settings, organisation,
// `employees` employees and 12 monthly runs with every employee's pay and
// deduction rows in table set 1, written to a new database file at `path`.
#pragma once

#include <string>

namespace payroll::bench {

bool SeedYearCompany(const std::string& path, int employees);

}  // namespace payroll::bench
