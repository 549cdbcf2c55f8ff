// The steps of the bonus tax as the bonus road calls them: each returns the
// status of what it read and wrote, and the exported method of the same work
// (named beside each) is its boundary. Every step needs the engine bound to
// its run; an incomplete run key is refused, unnamed, before anything runs.
#pragma once

#include "engine/common/status.h"
#include "payroll/salary_calcurate.h"

namespace payroll::engine {

// GetBonersTotal: the stored pay, tax base and tax of the employee's runs
// from `from` to `to` (YYYYMM), leaving out the runs of `to` from `sq` on;
// all three 0 when nothing was stored or a statement failed.
Status PriorTotals(CSalaryCalcurate& e, const CString& company, const CString& from,
                   const CString& to, const CString& employee, const CString& sq, double* pay,
                   double* taxBase, double* tax);
// GetBONES_EMPTY_values: the latest earlier regular pay, tax base and tax
// that stand in for a month without its salary; else all three 0.
Status SalaryStandIn(CSalaryCalcurate& e, const CString& employee, double* pay, double* taxBase,
                     double* tax);
// GetYmdTotalBones: the bonus period's taxable pay including the current
// run into *periodPay, its length into *months, its earlier pay, tax base
// and tax into *total.
Status BonusPeriodTotals(CSalaryCalcurate& e, const CString& employee, int* months,
                         SALARY_TOTAL_x* total, HPOMNPY_FMT* record, double* periodPay);
// GetYmdTotalPay: the month's taxable pay including the current run into
// *monthPay, its earlier tax into *total.
Status MonthTotals(CSalaryCalcurate& e, const CString& employee, SALARY_TOTAL_x* total,
                   HPOMNPY_FMT* record, double* monthPay);
// GetCurrentPay: `record`'s figures in place of the run's stored ones; the
// stored ones count as 0 when they cannot be read (the status says so).
Status CurrentPay(CSalaryCalcurate& e, const CString& employee, const HPOMNPY_FMT& record,
                  double* runningPay, SALARY_TOTAL_x* total);

// GetPersonTax: the monthly national-pension premium of a monthly pay.
Status PensionPremium(CSalaryCalcurate& e, double pay, double* premium);
// GetCalcBonus: the employee's bonus tax of the bound run, then the stored
// result. *result is what the exported method returns: 0 when a read it
// needed failed (nothing is written), else whether the summary row was
// written.
Status BonusTax(CSalaryCalcurate& e, const CString& employee, int kind, int* result);

}  // namespace payroll::engine
