// The pay step inside the roads: filling a run's pay and deduction rows with
// their amounts, and the arithmetic it rests on (amounts as texts, the days
// of a pay window an employee was employed, proration to the won).
#pragma once

#include <string>
#include <string_view>

#include "payroll/records.h"
#include "payroll/roads.h"

namespace payroll::pay {

// The table that remembers what the step wrote into each row.
inline constexpr const char* kWrittenTable = "HPOMPSW";

// A number in its plain form: no trailing zeros after the point, no point
// without decimals, no leading zeros, no "-0" ("3000000.0000" -> "3000000").
// Empty text reads as "0"; a text that is not a number comes back as it is.
std::string PlainNumber(std::string_view number);

// True for a plain decimal number: an optional '-', 1 to 15 digits, and
// optionally a point with 1 to 4 digits.
bool IsAmount(std::string_view number);

// Days from `first` to `last` (YYYYMMDD, both counted); 0 when last comes
// before first or either is not a date.
int DaysBetween(const std::string& first, const std::string& last);

// The days of the window [start, end] an employee who joined on `join` and
// left on `retire` (either may be empty: before the window, after it) was
// employed.
int DaysEmployed(const std::string& join, const std::string& retire, const std::string& start,
                 const std::string& end);

// amount x days / window_days, cut toward zero to the won. The amount comes
// back as it is when days is not less than window_days.
std::string Prorate(const std::string& amount, int days, int window_days);

// The deductions the tax road and the month's close compute: never the pay
// step's.
bool IsComputedDeduction(std::string_view code);

// The pay step inside the caller's transaction (see FillRunPay): fills the
// run's rows of the chosen table set and remembers what it wrote. False with
// *error when a statement failed (the caller rolls back) or a variable
// amount has no row in the run.
bool FillPay(const HPHONPD_YMD_FMT& run, const PayChoices& choices, PayStepReport* done,
             std::string* error);

}  // namespace payroll::pay
