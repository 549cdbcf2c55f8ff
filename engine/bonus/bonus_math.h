// The arithmetic of the bonus tax: whole-number steps in 64 bits, the
// simplified tax-table cells, the bonus period's month count, and the
// deductions and withholding of a bonus. Pure functions: the engine reads
// the tables and parameters and hands the figures in.
#pragma once

#include <cstdint>
#include <vector>

namespace payroll::bonus {

// ---- Whole numbers --------------------------------------------------------

// The whole part of an amount, truncated toward zero in 64 bits. NaN gives
// 0; amounts beyond the 64-bit range stop at its ends.
std::int64_t Whole(double amount);

// a / b in whole numbers, truncated toward zero; a when b is 0.
std::int64_t WholeDiv(std::int64_t a, std::int64_t b);

// The remainder of a / b with the sign of a; 0 when b is 0.
std::int64_t WholeMod(std::int64_t a, std::int64_t b);

// Cut down to tens, toward zero (12,349 -> 12,340; -12,349 -> -12,340).
std::int64_t CutToTens(std::int64_t amount);

// A decimal text of the database as a number (payroll::text::NumberOf);
// a null text gives 0.
double Number(const char* text);

// A text read as a whole number (atoi semantics in 64 bits: leading digits,
// 0 when there are none; values beyond the range stop at its ends).
std::int64_t WholeNumber(const char* text);

// ---- Simplified tax-table cells -------------------------------------------

// Monthly pays from here on are not placed in a cell.
inline constexpr double kCellCeiling = 10000000.0;

// One bracket of the simplified tax table: pays from `lower` below `upper`
// (0 = open) fall into cells `width` wide.
struct Bracket {
    double lower;
    double upper;
    double width;
};

// The midpoint of the cell a monthly pay falls into: the pay itself from
// kCellCeiling on, 0 when no bracket holds it. A width of 0 (or below)
// places the pay on its own cell edge instead of dividing by it.
double CellMidpoint(const std::vector<Bracket>& brackets, double pay);

// The lower bound of that cell, under the same rules.
double CellLowerBound(const std::vector<Bracket>& brackets, double pay);

// ---- Bonus period ----------------------------------------------------------

// Calendar months from (fromYear, fromMonth) to (toYear, toMonth), both
// included. 0 when either year or month is 0, a month lies outside 1 to 12,
// or the start lies after the end.
int PeriodMonths(int fromYear, int fromMonth, int toYear, int toMonth);

// The period's monthly average pay: with more than one month, the period
// pay over the months; otherwise the pay taken one time (January) or three
// times and divided back, as the tax table's rule for a single month has it.
struct PeriodAverage {
    std::int64_t divisor;
    double pay_total;
    std::int64_t average;
};
PeriodAverage AverageOfPeriod(double periodPay, int months, int runMonth);

// The monthly pay the pension premium is looked up for: the whole period
// pay over the months (the whole pay itself when there are none).
std::int64_t PensionPay(double periodPay, int months);

// ---- Deductions ------------------------------------------------------------

// Household persons and the family deduction of the employee record's texts.
struct Household {
    int spouse;      // 1 when the spouse flag is set (neither "000" nor empty)
    int dependants;  // the two dependant counts together; never below 0
    int persons() const { return 1 + spouse + dependants; }
};
Household HouseholdOf(const char* spouseFlag, const char* dependants1, const char* dependants2);

// The family deduction: the basic deduction for nobody to support, plus the
// one-person addition for exactly one, else one basic deduction a person.
// Saturates instead of overflowing.
std::int64_t FamilyDeduction(const Household& household, std::int64_t basic,
                             std::int64_t onePerson);

// The standard deduction: up to 2001 the parameter, at least 1,200,000;
// from 2002 the small-household amount up to two persons, else the large.
double StandardDeduction(int year, double upTo2001, double smallHousehold, double largeHousehold,
                         int persons);

// ---- Tax -------------------------------------------------------------------

// The annual tax base: annual pay less all deductions, not below 0.
double AnnualTaxBase(double annualPay, double deductions);

// The tax base of the bonus: the period's share of the annual base less the
// base already taxed in the period, whole, not below 0.
std::int64_t BonusTaxBase(double annualBase, int months, double priorBase);

// The computed tax, the tax credit and the monthly tax before it is cut to
// tens. `credit` is the credit look-up's answer: from 2002 for the annual
// tax, monthly (so twelve of it make the year); up to 2001 for twelve times
// the tax, monthly.
struct ComputedTax {
    std::int64_t computed;  // whole won of the rate table's tax
    std::int64_t credit;    // whole won of the credit
    double monthly;         // the monthly tax, floored
};
ComputedTax ComputeTax(int year, double rateTableTax, double credit);

// What is withheld from the bonus.
struct Withholding {
    std::int64_t monthly_tax;   // monthly tax cut to tens, 0 when negative
    std::int64_t due;           // period tax still due, cut to tens, not below 0
    std::int64_t income_tax;    // withheld income tax
    std::int64_t resident_tax;  // withheld resident tax
};
// Amounts under this are not withheld at all.
inline constexpr std::int64_t kSmallestWithholding = 1000;
Withholding Withhold(double monthlyTax, int months, double priorTax, double residentRate);

}  // namespace payroll::bonus
