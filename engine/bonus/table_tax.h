// The year's simplified withholding table worked for one pay: the pay's
// monthly average placed in its cell and annualised, the year's deductions
// taken off, the rate table's tax less its credit, and the month's share
// cut to tens. The bonus tax works it for its period; the monthly tax of a
// company that withholds by the table for one month.
#pragma once

#include <cstdint>
#include <string>

#include "engine/common/status.h"
#include "payroll/salary_calcurate.h"

namespace payroll::engine {

// Each figure of the working, as a payslip's note shows it.
struct TableWorking {
    int months = 0;                // the period's months
    double pay_total = 0;          // the pay the average is taken of
    std::int64_t average = 0;      // the period's monthly average pay
    double cell = 0;               // its cell's midpoint (the pay from 10,000,000)
    double annual_pay = 0;         // 12 × the cell
    double earned = 0;             // earned-income deduction
    double pension_base = 0;       // the monthly pay the pension grade is looked up for
    double pension = 0;            // the year's national pension of that grade
    double standard = 0;           // standard deduction of the household
    double family = 0;             // family deduction (spouse and dependants)
    double own = 0;                // the employee's own basic deduction
    int persons = 0;               // household persons
    double annual_base = 0;        // annual tax base
    std::int64_t computed = 0;     // the rate table's tax of the base, whole won
    std::int64_t credit = 0;       // earned-income tax credit, whole won
    std::int64_t monthly_tax = 0;  // the month's tax, cut to tens
};

// The tables the table's working needs for the bound run's year that the
// engine found empty when it loaded them (the table cells HPFSTIA, the
// year's deductions HPMLBEC), named; empty when both were loaded.
std::string MissingTableLaw(const CSalaryCalcurate& e);

// A bonus parameter of the year's row of HPMLBEC (0 when the year has none).
double YearParameter(const CSalaryCalcurate& e, const char* column);

// Works the table for `periodPay` over `months` months of the bound run's
// year (the employee's household from the employee record the engine has
// loaded). The status is what the look-ups came to.
Status WorkTable(CSalaryCalcurate& e, double periodPay, int months, TableWorking* working);

}  // namespace payroll::engine
