// Terminal text helpers: display widths of UTF-8 texts (a Korean syllable
// takes two cells), padding and cutting to a width, and a UTF-8 locale for
// wcwidth and ncursesw.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace payroll::cli::tui {

// Switches LC_CTYPE to the environment's locale when it is UTF-8, else to
// C.UTF-8, so that wide characters are measured and drawn as such.
void UseUtf8Locale();

// Cells the text takes on a terminal; invalid bytes and control characters
// count as one cell each (they are shown as '?').
int DisplayWidth(std::string_view text);

// The text made safe for one terminal line: control characters and invalid
// UTF-8 become '?'.
std::string Printable(std::string_view text);

// The longest prefix (of whole characters) that fits in `width` cells.
std::string FitWidth(std::string_view text, int width);

// The text cut to `width` cells and padded with blanks to exactly `width`.
std::string PadRight(std::string_view text, int width);

// A table of rows laid out in columns padded to their widest cell (each
// column at most max_width cells); columns are separated by two blanks and
// trailing blanks are dropped.
std::vector<std::string> LayOutTable(const std::vector<std::vector<std::string>>& rows,
                                     int max_width = 40);

}  // namespace payroll::cli::tui
