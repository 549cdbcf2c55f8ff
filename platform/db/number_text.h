// Numbers as the engine reads them back: plain decimal text, never an
// exponent, so the standard text-to-number conversion sees the whole value.
#pragma once

#include <cstdint>
#include <string>

namespace payroll::db {

std::string IntegerText(std::int64_t value);
// Shortest text that reads back as the same double, in fixed notation.
std::string RealText(double value);
// The same texts appended to *out, for rows read cell by cell.
void AppendIntegerText(std::int64_t value, std::string* out);
void AppendRealText(double value, std::string* out);

}  // namespace payroll::db
