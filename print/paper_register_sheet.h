// The register as a table of cells, for its CSV and XLSX files.
#pragma once

#include "payroll/papers.h"
#include "payroll/print.h"

namespace payroll::print {

// A heading line, then per run each employee's line by department, each
// department's subtotal after its lines, the run's total (when the month
// has more than one run) and the month's total last; subtotal and total
// lines count people and lines in columns of their own.
Sheet RegisterSheet(const papers::Register& reg, int language);

}  // namespace payroll::print
