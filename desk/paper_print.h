// payroll-desk's File > Print to PDF and --print: the month's payslips, its
// payroll register, the withholding ledgers of its year or the withholding
// return of the runs paid in it, as PDF files in a folder, drawn by libpayroll-print from the
// library's papers.
#pragma once

#include <QString>
#include <string>

namespace payroll::desk {

enum class Paper { kPayslips, kRegister, kLedgers, kReturn };

// The names --print takes, in the order of Paper.
inline constexpr const char* kPaperNames[] = {"payslips", "register", "ledger", "return"};

// The paper a --print name stands for; false for a name not in kPaperNames.
bool PaperByName(const QString& name, Paper* paper);

// Writes a company's papers of `month` (YYYYMM; the ledgers are those of its
// year) into `folder` as PDF, in `language` (0 Korean, 1 English): a file
// per payslip or ledger, named as payroll::print names them, or the month's
// register-<month>.pdf or withholding-return-<month>.pdf (`month` taken as
// the payment month). The folder is created when missing. Nothing is
// written unless every file can be (the font, the folder, the files it would
// replace); each file is whole or absent. *written counts the files written;
// false with the reason when the papers cannot be read or a file not written.
bool PrintPapers(Paper paper, const std::string& company, const std::string& month, int language,
                 const std::string& folder, int* written, std::string* error);

}  // namespace payroll::desk
