// The company's rounding codes "001" to "017" and the SELECT ROUND statement
// each one sends to the database.
#pragma once

#include <string_view>

namespace payroll::rounding {

// The statement template of a code (one "%.4f" for the amount), or nullptr
// for any other text, the empty one included.
const char* StatementFor(std::string_view code);

// Half up to whole units, deciding by the first decimal only (4.49 -> 4,
// 4.5 -> 5, -4.5 -> -4).
double CutHalfUp(double value);

}  // namespace payroll::rounding
