// What a host program does around the engine's roads, shared by every host
// of the library: completing a picked run's key, taxing a bonus run's
// employees, and finding the bonus runs a year recalculation must re-tax.
#pragma once

#include <string>
#include <vector>

#include "payroll/export.h"
#include "payroll/records.h"
#include "payroll/salary_calcurate.h"

namespace payroll {

// Copies the run's join and retire rule codes (JNCM_FG, RTCM_FG) from its
// row of HPHONPD (the row of the key's head pay type) into the key: the
// picker leaves JNCM_FG out, and without both codes a company's strict rule
// never applies. False, with the database's message, when the row cannot be
// read; a run without such a row keeps the key as it is.
PAYROLL_API bool ApplyRunRules(HPHONPD_YMD_FMT* key, std::string* error);

// One employee's bonus as stored for the run.
struct BonusResult {
    std::string employee;
    int months = 0;           // the bonus period's length
    double bonus = 0;         // taxable bonus (and pay) of the run
    double tax_base = 0;      // TXST_AM
    double income_tax = 0;    // INTX_AM
    double resident_tax = 0;  // RSTX_AM
};

// Taxes the bonus of a bonus run: binds the engine to the key, then for each
// employee (empty: every employee with pay or deduction rows in the run)
// computes and stores the result with the bonus step, kind 1 or 11
// computing the tax. Runs inside the caller's transaction and never ends it.
// False at the first employee whose step failed (any statement it sent
// failed, or the employee has no master record): the road report then names
// the step, the run and the employee, and the caller must roll back.
// *results (may be null) receives each employee's stored figures.
PAYROLL_API bool TaxBonusRun(CSalaryCalcurate& engine, const HPHONPD_YMD_FMT& key,
                             const std::vector<std::string>& employees, int kind,
                             std::vector<BonusResult>* results);

// The bonus runs (pay types beginning with "2") of a company's period
// (YYYY, or YYYYMM for one month) that hold stored results, as keys the way
// the picker forms them, month by month in the picker's order. False, with
// a message, when the runs cannot be read.
PAYROLL_API bool BonusRunsWithResults(const std::string& company, const std::string& period,
                                      std::vector<HPHONPD_YMD_FMT>* keys, std::string* error);

}  // namespace payroll
