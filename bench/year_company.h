// The companies the benchmarks share. The year company of the recalculation benchmarks: settings,
// organisation, `employees` employees and 12 monthly runs with every employee's pay and deduction
// rows in table set 1, written to a new database file at `path`.
#pragma once

#include <string>

#include "payroll/ui.h"

namespace payroll::bench {

bool SeedYearCompany(const std::string& path, int employees);
// Runs the year driver over 2002 on the open database; true when its
// transaction committed.
bool RecalculateYear();

// The run 200203/1 of the build benchmarks (its settings and employees, no
// rows yet) written to a new database file, and its build on the open
// database (true when the build committed).
bool SeedBuildRun(const std::string& path, int employees);
bool BuildOpenRun();

// Quiet progress and an instant closing notice: the benchmarks measure the
// roads, not the time a notice stays on screen. The driver keeps the record
// of the library's own driver (the latest events only), not every event of
// every measured run.
struct QuietUi {
    QuietUi() { driver.SetRecordLimit(ui::HeadlessDriver::kBuiltinRecordLimit); }
    ui::HeadlessDriver driver;
    ui::InstantClock clock;
    ui::ScopedUiDriver scoped_driver{&driver};
    ui::ScopedClock scoped_clock{&clock};
};

}  // namespace payroll::bench
