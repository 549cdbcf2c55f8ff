// Binding the engine to a run: the run key, the company's settings, the
// year's tables and the run's pay items (init), and the run's pay-period
// windows (SetYmdFromTo). The exported methods are their boundaries; the
// drivers call these and stop on the status.
#pragma once

#include "engine/common/status.h"
#include "payroll/salary_calcurate.h"

namespace payroll::engine {

// Binds the engine to `key` (init). *bound is false when it could not: the
// status says why, and a message box said so. A count that only sizes one
// of the year's tables may have failed while the engine is bound: the
// status then holds that failure, unnamed.
Status Bind(CSalaryCalcurate& e, HPHONPD_YMD_FMT* key, bool* bound);
// The company's settings row, the year's brackets, bonus parameters and
// 'PC' limit codes (Load_DEFAULT); *loaded as Bind's *bound.
Status LoadSettings(CSalaryCalcurate& e, bool* loaded);
// The definitions of the run's pay items (OpenHPMPDFM); *loaded as Bind's
// *bound.
Status LoadPayItems(CSalaryCalcurate& e, bool* loaded);
// The run's pay-period windows (SetYmdFromTo). Refused, after a message box,
// when the run has none or an employee type's cut-off kind is unknown.
Status PayWindows(CSalaryCalcurate& e);

}  // namespace payroll::engine
