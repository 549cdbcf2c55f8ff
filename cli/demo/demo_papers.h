// The demo's papers, written the way the paper commands write them.
#pragma once

#include <string>

namespace payroll::cli {

// The demo's papers in `folder`: the June payslips and register and the
// year's ledgers of the first ten employees with June results, as PDF (CSV
// when the Korean font is missing), and a line saying where. A paper that
// cannot be written is reported and skipped: the demo's roads have committed.
void WriteDemoPapers(const std::string& company, int year, const std::string& folder);

}  // namespace payroll::cli
