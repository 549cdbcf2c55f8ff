// The month's papers as files: payslips, the payroll register and the
// withholding ledgers, each as a PDF (cairo and pango, the Korean font
// embedded) or as CSV, in Korean (language 0) or English (1). Every writer
// writes to a temporary file and renames it when whole; false with a message.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "payroll/papers.h"

namespace payroll::cli {

enum class PaperFormat { kPdf, kCsv };

bool WritePayslip(const papers::Payslip& slip, int language, PaperFormat format,
                  const std::string& path, std::string* error);
bool WriteRegister(const papers::Register& reg, int language, PaperFormat format,
                   const std::string& path, std::string* error);
bool WriteLedger(const papers::Ledger& ledger, int language, PaperFormat format,
                 const std::string& path, std::string* error);

// A label of the papers with {1}, {2} ... replaced by the texts given.
std::string PaperLabel(int language, int id, std::initializer_list<std::string> args = {});
// YYYYMMDD as YYYY-MM-DD, YYYYMM as YYYY-MM; anything else as it is.
std::string PaperDate(const std::string& text);
// A fraction as a percentage: 0.045 as "4.5%".
std::string PaperPercent(double fraction);
// One CSV line (cells quoted when they need it), ending in CRLF-free "\n".
std::string PaperCsvLine(const std::vector<std::string>& cells);
// An amount for CSV: plain digits, decimals only when present.
std::string PaperCsvAmount(double amount);

}  // namespace payroll::cli
