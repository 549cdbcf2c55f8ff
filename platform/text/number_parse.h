// Numbers read back from database texts and record fields. Every amount the
// engine and the front read as text goes through NumberOf, so that odd texts
// mean the same everywhere.
#pragma once

#include <string_view>

namespace payroll::text {

// The number a text starts with, as the C library's atof reads it (leading
// blanks, a sign, decimals, an exponent). An empty or non-numeric text is 0,
// and so is a value no amount can be: beyond a double's range ("1e999") or
// not a number ("nan").
double NumberOf(std::string_view text);

}  // namespace payroll::text
