// printf formatting without the C library's cost for the common cases. The
// engine builds every statement with printf formats, many with a dozen
// amounts as %1.4f, and the C library's floating-point conversion is most of
// that work. This writes literal runs at once and numbers through
// std::to_chars, which yields the same characters as printf does.
#pragma once

#include <cstdarg>
#include <string>

namespace payroll::text {

// Appends `format` filled from `args` to *out. Handles %%, %c, %s, %d, %i,
// %u, %x, %X and %f with the flags - + space 0, a width and a precision (each
// may be *), and the l, ll and z lengths. Returns false, with *out in an
// unspecified state and `args` partly read, at anything else (or a null
// string, or a non-finite number): the caller then formats with vsnprintf
// from its own copy of the arguments.
bool AppendPrintf(std::string* out, const char* format, va_list args);

}  // namespace payroll::text
