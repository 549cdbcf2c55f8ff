// The steps of the tax recalculation as the year driver and the bonus road
// call them: each returns the status of what it read and wrote, and the
// exported method of the same work is its boundary (named beside each).
// Every step needs the engine bound to its run (Bind); an incomplete run
// key is refused, unnamed, before anything runs.
#pragma once

#include "engine/common/status.h"
#include "payroll/salary_calcurate.h"

namespace payroll::engine {

// OpenSEMP: the employee's attributes into the first record of m_SEMP_ALL.
// *found is false when the employee has no master row (the first record is
// then emptied) or it could not be read (the status says so).
Status OpenEmployee(CSalaryCalcurate& e, const CString& employee, bool* found);
// LoadDataIncom: opens the employee's pay rows of the run on m_dsCalcB[0].
Status LoadPayRows(CSalaryCalcurate& e, const CString& employee);
// GetNightTotal: the exempt overtime the employee already had this year
// outside the run (0 when the statements fail).
Status NightTotal(CSalaryCalcurate& e, const CString& employee, double* total);
// GetSalaryTotalCalc: classifies the open pay rows into *record's totals;
// *total is TPAY_AM + TBON_AM.
Status SalaryTotals(CSalaryCalcurate& e, const CString& employee, HPOMNPY_FMT* record,
                    double* total);

// GetTaxAmountMath: the income tax of a taxable amount by the year's
// brackets (0 when none matches or the statement fails).
Status BracketTax(CSalaryCalcurate& e, double amount, double* tax);
// GetTaxAmount: the earned-income credit of an amount.
Status IncomeCredit(CSalaryCalcurate& e, double amount, int monthly, double* credit);
// GetCalcIncomeAndResTax: the income tax of m_HPOMNPY's totals, then the
// stored result. *result is 1 when the tax was computed and the result
// written (or tried: the status of the writes comes back), 0 when a read it
// needed failed and nothing was written.
Status IncomeAndResidentTax(CSalaryCalcurate& e, const CString& employee, int mode, int* result);
// SumIncomTax: one employee of the bound run, from the pay rows to the
// stored result; *result as the exported method returns it.
Status TaxEmployee(CSalaryCalcurate& e, const CString& employee, int tableSet, int mode,
                   int* result);

// OpenHPOMNPY: the employee's summary row of the run on `source`; *rows is
// its row count (0 when the statement fails).
Status OpenSummary(CSalaryCalcurate& e, G_DataSource& source, const CString& employee,
                   const CString& payType, long* rows);
// Get_NO_FIXED_CODE: the stored amounts of the employee's summary row that
// the kind keeps, into m_HPOMNPY.
Status ReloadSummary(CSalaryCalcurate& e, const CString& employee, const CString& payType,
                     int kind);
// GetHPOMDDdata: the employee's stored deduction amounts of the run into
// *record.
Status ReloadDeductions(CSalaryCalcurate& e, const CString& employee, HPOMNPY_FMT* record,
                        int mode);
// AppendData: m_HPOMNPY as the employee's summary row and its fixed
// deduction rows. *stored is true once the summary row was written; the
// status also covers the reads before it and the deduction rows after it.
Status StoreResult(CSalaryCalcurate& e, const CString& employee, int mode, bool* stored);

// Call_AllSum1to12_Year: every employee of every run of the key's year (or
// month, mode 3) in one transaction. A failed statement stops the year: it
// is rolled back, the road report names the step, the run and the employee,
// and the status that comes back is the one the report names.
Status RecalculateYear(CSalaryCalcurate& e, HPHONPD_YMD_FMT* key, int mode);

}  // namespace payroll::engine
