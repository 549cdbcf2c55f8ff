// Values going into the engine's statement texts. Every text value that goes
// between quotes passes through Esc (a quote is doubled), and every value
// formatted without quotes is checked to be a number first.
#pragma once

#include <string>
#include <string_view>

#include "payroll/cstring.h"

namespace payroll::sql {

// The text with every ' doubled, ready to stand between quotes (up to a
// NUL, where a C text ends); AppendEscaped adds it to *out.
std::string Escape(std::string_view text);
void AppendEscaped(std::string_view text, std::string* out);

// Short form for Format arguments: Esc(x).c_str() lives to the end of the
// full expression, which covers one Format call.
inline std::string Esc(const CString& text) {
    return Escape(text.str());
}
inline std::string Esc(std::string_view text) {
    return Escape(text);
}

// True for an unsigned whole number of 1 to 9 digits (a run sequence).
bool IsSequence(std::string_view text);

}  // namespace payroll::sql
