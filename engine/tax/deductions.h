// Earned-income deduction of an annual pay, by tax year. Pure functions.
#pragma once

namespace payroll::deductions {

// Annual pay above this counts as this much for the earned-income deduction
// of the bonus tax (the tax base still starts from the full pay).
inline constexpr double kDeductionPayCap = 120000000.0;

// The deduction of the rules up to 2001: 100% to 5,000,000, 40% to
// 15,000,000, 10% to 45,000,000, 5% above. Each bound belongs to the band
// below it; the result is cut down to whole won. A non-finite pay gives 0.
double EarnedIncome2001(double annualPay);

// The rules from 2002: 100%, 45%, 15% to 30,000,000, 10% to 45,000,000, 5%.
double EarnedIncome2002(double annualPay);

// The rules from 2004: 100%, 50%, 15%, 10%, 5% on the bands of 2002.
double EarnedIncome2004(double annualPay);

// The deduction the bonus tax uses for a pay year: 2001 rules up to 2001,
// 2002 rules from 2002, on the pay capped at kDeductionPayCap.
double EarnedIncomeForBonus(int year, double annualPay);

}  // namespace payroll::deductions
