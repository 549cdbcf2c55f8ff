// What the payslip, register and ledger writers share to say things: the
// papers' labels with their blanks filled, dates, percentages and amounts as
// the papers print them, and CSV lines.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "payroll/papers.h"

namespace payroll::print {

// A label of the papers with {1}, {2} ... replaced by the texts given.
std::string PaperLabel(int language, int id, std::initializer_list<std::string> args = {});
// YYYYMMDD as YYYY-MM-DD, YYYYMM as YYYY-MM; anything else as it is.
std::string PaperDate(const std::string& text);
// A fraction as a percentage: 0.045 as "4.5%".
std::string PaperPercent(double fraction);
// An amount as whole won with thousands separators ("-1,234,567").
std::string PaperWon(double amount);
// One CSV line of CsvCell cells, ending in "\n".
std::string PaperCsvLine(const std::vector<std::string>& cells);
// An amount for CSV: plain digits, decimals only when present.
std::string PaperCsvAmount(double amount);

}  // namespace payroll::print
