// A paper's table as cells (payroll/print.h: Sheet), the one form its CSV
// and XLSX files are both written from, so that they hold the same lines
// and totals.
#pragma once

#include <string>

#include "payroll/print.h"

namespace payroll::print {

// The sheet as CSV lines (without the byte-order mark): texts as CsvCell
// writes them, numbers as plain digits.
std::string SheetCsv(const Sheet& sheet);

// Writes the sheet to `path` as `format` says (CSV or XLSX); false with a
// message, `path` then left as it was.
bool WriteSheetFile(const Sheet& sheet, Format format, const std::string& path, std::string* error);

}  // namespace payroll::print
