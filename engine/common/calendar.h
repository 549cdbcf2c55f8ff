// Calendar arithmetic of the engine: leap years, month lengths, serial day
// numbers and the pay-period window of a run month. Pure functions.
#pragma once

#include <string>

namespace payroll::calendar {

// February has 29 days in years divisible by 4 and not by 100, or by 400.
// Year 0 counts as a leap year.
bool IsLeapYear(int year);

// Days of the month; 0 for a month outside 1 to 12.
int MonthDays(int year, int month);

// Serial day number: 0001-01-01 is 1, consecutive dates are consecutive, and
// the all-zero date is -366. A day beyond its month's length simply adds its
// value; months above 12 count the whole year before them, months below 1
// none. Inputs are taken as 16-bit values as the stored dates are.
int DayNumber(int year, int month, int day);

// Day number of a YYYYMMDD text read digit group by digit group (atoi-like);
// "00000000", empty or non-numeric texts give -366.
int DayNumberOfText(const std::string& yyyymmdd);

// The pay-period window of run month (year, month) for window kind 1 or 2 and
// cut-off day `cutoff`, as two YYYYMMDD texts. Kind outside 1-2 or cut-off 0
// gives "00000000" twice. The start day is the cut-off itself (not clipped);
// the end day is clipped to its month.
void PayWindow(int kind, int cutoff, int year, int month, std::string* start, std::string* end);

// Right-aligns a text in eight characters padded with '0' on the left
// ("%08s" as the stored windows are written); longer texts stay whole.
std::string ZeroPad8(const std::string& text);

// atoi of a slice of a text: leading blanks, an optional sign, then digits;
// 0 when there are none. Positions past the end read as empty.
int AtoiSlice(const std::string& text, std::size_t first, std::size_t count);

}  // namespace payroll::calendar
