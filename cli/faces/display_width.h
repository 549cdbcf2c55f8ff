// Terminal width of UTF-8 text: Korean and other wide characters take two
// cells, so tables with names line up.
#pragma once

#include <string>

namespace payroll::cli {

// Cells the text takes on a terminal.
int DisplayWidth(const std::string& utf8);
// The text padded with blanks to `cells` cells (longer texts stay whole).
std::string PadRight(const std::string& utf8, int cells);
// The longest prefix of whole characters that takes at most `cells` cells.
std::string FitCells(const std::string& utf8, int cells);

}  // namespace payroll::cli
