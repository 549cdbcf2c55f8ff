// The arithmetic of the monthly income tax: the tax base of an employee's
// run, the tax of a rate-table bracket and the bracketed credit amount.
// Pure functions; the income-tax step feeds them what it read.
#pragma once

#include <string_view>
#include <vector>

namespace payroll::tax {

// The month's tax base: taxable pay and taxable bonus, less the employee's
// R deductions, less the division's extra deduction (DUMMY3 for an employee
// whose REFR_YN is "001", DUMMY2 otherwise; an empty text deducts nothing).
// The texts are read as decimal numbers (atof: non-numeric reads as 0).
double MonthlyTaxBase(double taxable_pay, double taxable_bonus, double r_deductions,
                      std::string_view refr_yn, std::string_view dummy2, std::string_view dummy3);

// The income tax of the rate-table bracket the base falls in: rate x base
// less the bracket's subtracted amount, or 0 for a bracket whose rate is not
// above 0. Not rounded.
double RateBracketTax(double base, double rate, double subtracted);

// One bracket of the credit table, in the table's order. An end of 0 leaves
// the bracket open at the top.
struct CreditBracket {
    double start = 0;    // exclusive lower bound
    double end = 0;      // inclusive upper bound; 0 = open
    double base = 0;     // amount at the bracket's start
    double rate = 0;     // fraction of the amount above the start
    double ceiling = 0;  // the yearly cap
};

// True when the amount falls in the bracket: above its start, and at or
// below its end (or the end is open).
bool InCreditBracket(double amount, const CreditBracket& bracket);

// The credit of the first bracket the amount falls in (0 when none).
// Yearly: capped at the ceiling, then rounded down to a whole won. Monthly:
// a twelfth, capped at a twelfth of the ceiling, not rounded.
double CreditAmount(double amount, const std::vector<CreditBracket>& brackets, bool monthly);

}  // namespace payroll::tax
