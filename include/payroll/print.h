// The month's papers drawn and written as files, by libpayroll-print: each
// payslip, the payroll register, each withholding ledger and the monthly
// withholding return as a PDF (cairo draws, pango lays out the text in the
// NanumGothic font, which is embedded), as CSV or, for the register, the
// ledgers and any table a host hands over, as an XLSX workbook
// (libxlsxwriter). The data comes from payroll/papers.h;
// libpayroll.so itself draws nothing and links neither cairo nor pango.
//
// A paper is written whole or not at all: its bytes go to a temporary file
// beside the final one (`.<name>.tmp-<pid>`), which takes the final name
// only once it is whole and on disk. A write that fails leaves no file under
// the final name and a file it would have replaced as it was.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "payroll/export.h"
#include "payroll/papers.h"

namespace payroll::print {

/// The kind of file a paper is written as.
enum class Format {
    kPdf,  ///< drawn pages, the Korean font embedded
    kCsv,  ///< the same lines as comma-separated UTF-8 text, plain numbers
    /// The CSV's lines as one worksheet, amounts as numbers: the register,
    /// the ledgers and WriteXlsx only (the other papers refuse it).
    kXlsx,
};

/// The sheet the register is printed on, landscape.
enum class PaperSize {
    kA4,  ///< 297 x 210 mm, the default
    kA3,  ///< 420 x 297 mm, for a month with many items
};

/// True when fontconfig finds the papers' font (NanumGothic, Debian's
/// fonts-nanum) and it covers Hangul; else false with a message in *error
/// that says what to install. A PDF is only written with that font.
PAYROLL_API bool CheckFont(std::string* error);

/// Releases what pango, cairo and fontconfig keep for the rest of the
/// process (font maps, caches). A program that prints and ends calls it once
/// the papers are written, so that a leak checker sees only what the program
/// forgot; papers written afterwards build those again. It ends fontconfig
/// for the whole process: a program that goes on using fontconfig (one with
/// Qt windows) does not call it.
PAYROLL_API void ReleaseFonts();

/// Writes one employee's payslip to `path`, in Korean (`language` 0) or
/// English (1): the header, every pay line with its tax class, every
/// deduction, gross and net pay and the calculation notes. True once the
/// file is whole under `path`; false with a message naming the file and the
/// reason, `path` then left as it was.
PAYROLL_API bool WritePayslip(const papers::Payslip& slip, int language, Format format,
                              const std::string& path, std::string* error);

/// Writes the payroll register to `path` as WritePayslip writes a payslip,
/// on A4: landscape pages with the approval box (담당, 검토, 승인), each
/// employee's run in two lines (the pay items above, the deductions below,
/// more only when the items do not fit a line at 7 pt), the subtotal of
/// each department and run and the month's total with people and lines
/// counted apart, a header and page number on every page. No text is
/// smaller than 7 pt. As CSV or XLSX: a line per employee and run, then
/// the same totals.
PAYROLL_API bool WriteRegister(const papers::Register& reg, int language, Format format,
                               const std::string& path, std::string* error);

/// WriteRegister on the sheet `paper` names.
PAYROLL_API bool WriteRegister(const papers::Register& reg, int language, Format format,
                               PaperSize paper, const std::string& path, std::string* error);

/// Writes an employee's withholding ledger of a year to `path` as
/// WritePayslip writes a payslip: the employer's block and the employee's,
/// then each month (January to December) with its pay dates, gross pay,
/// taxable pay and bonus, exempt pay by class and in total, income and
/// resident tax and the insurance withheld, and the year's totals (PDF,
/// CSV or XLSX).
PAYROLL_API bool WriteLedger(const papers::Ledger& ledger, int language, Format format,
                             const std::string& path, std::string* error);

/// Writes the monthly withholding return of a payment month to `path` as
/// WritePayslip writes a payslip: the company, payment month and attribution
/// months, a line per code (A01, A02, A03, A04 and their total A10) with
/// people, total pay, income tax and resident tax, and the return's note of
/// what is left at 0 under them (PDF; the CSV has the lines only).
PAYROLL_API bool WriteWithholdingReturn(const papers::WithholdingReturn& ret, int language,
                                        Format format, const std::string& path, std::string* error);

/// The file name of a payslip: `payslip-<month>-<sq>-<first pay type>-<employee>.pdf`
/// (or `.csv`), each part made safe (anything but letters, digits, '-' and
/// '_' becomes '_'), so that every employee and run has a file of his own.
PAYROLL_API std::string PayslipFileName(const papers::Payslip& slip, Format format);

/// The file name of a register: `register-<month>.pdf` (or `.csv`, `.xlsx`).
PAYROLL_API std::string RegisterFileName(const papers::Register& reg, Format format);

/// The file name of a ledger: `ledger-<year>-<employee>.pdf` (or `.csv`, `.xlsx`).
PAYROLL_API std::string LedgerFileName(const papers::Ledger& ledger, Format format);

/// The file name of a withholding return: `withholding-return-<payment month>.pdf`
/// (or `.csv`).
PAYROLL_API std::string WithholdingReturnFileName(const papers::WithholdingReturn& ret,
                                                  Format format);

/// The bytes every CSV file of the programs starts with: the UTF-8
/// byte-order mark, by which a spreadsheet knows the Hangul is UTF-8.
inline constexpr const char kCsvByteOrderMark[] = "\xEF\xBB\xBF";

/// One cell of a CSV line as every CSV of the programs writes it. A text a
/// spreadsheet would run as a formula (its first character `=`, `+`, `-`,
/// `@`, a tab or a carriage return) gets a leading `'`; a plain number
/// ("-1234", "-0.5") is no formula and stays a number. A cell holding a
/// comma, a quote or a line break is then quoted, its quotes doubled.
PAYROLL_API std::string CsvCell(const std::string& text);

/// One cell of a table written as a spreadsheet: a text or a number.
struct SheetCell {
    std::string text;  ///< a text cell's text; always stored as text, never run as a formula
    double number = 0;
    bool numeric = false;  ///< a number cell (amounts, counts)
};

/// A text cell.
inline SheetCell TextCell(std::string text) {
    return {std::move(text), 0, false};
}
/// A number cell.
inline SheetCell NumberCell(double number) {
    return {std::string(), number, true};
}

/// A table as one worksheet: its first `header_rows` rows are headings, the
/// rows `total_rows` lists are totals (both drawn bold).
struct Sheet {
    std::string name;  ///< the worksheet's name: at most 31 characters, no []:*?/\ (replaced)
    std::vector<std::vector<SheetCell>> rows;
    std::size_t header_rows = 1;
    std::vector<std::size_t> total_rows;
};

/// Writes `sheet` to `path` as an XLSX workbook, whole or not at all and in
/// the papers' mode, as WritePayslip writes a paper: amounts as numbers with
/// thousands separators, every text as a text cell (one that a spreadsheet
/// would run as a formula if typed, such as `=HYPERLINK(...)`, is stored as
/// the text it is and never as a formula). False with a message naming the
/// file and the reason.
PAYROLL_API bool WriteXlsx(const Sheet& sheet, const std::string& path, std::string* error);

/// Checks, before the first paper of a batch is written, that the whole
/// batch can be: for PDF that the font is there (CheckFont); when
/// `refuse_linked_folder`, that `folder` is not a symbolic link (the host
/// named it and means it); that `folder` exists or can be created (with its
/// parents, in the papers' folder mode: SetPaperMode) and files can be made in it; and that each of
/// `paths` may take a paper: it does not exist, or it is a regular file (not a symbolic link, a
/// device, a FIFO or a folder) and not a file of the open SQLite database
/// (the database, its `-wal`, `-shm` or `-journal`). False with a message in
/// *error at the first that fails; nothing is written either way.
PAYROLL_API bool PrepareToWrite(Format format, const std::string& folder, bool refuse_linked_folder,
                                const std::vector<std::string>& paths, std::string* error);

/// Sets the permissions every paper written from now on gets, exactly,
/// whatever the umask (only the 0777 bits count): 0600 unless a host sets
/// another, so that a paper, which shows people's pay, is its owner's
/// alone. A folder the writers create for papers (PrepareToWrite) gets the
/// same bits, with search added wherever reading is allowed (0700 for
/// 0600, 0755 for 0644). For the whole process.
PAYROLL_API void SetPaperMode(unsigned mode);

/// The permissions papers are written with (SetPaperMode; 0600 by default).
PAYROLL_API unsigned PaperMode();

/// Makes a paper's temporary file go with the process: installs a handler
/// that removes it when SIGINT, SIGTERM or SIGHUP ends the process (then
/// ended by the same signal), for each of them the process leaves at its
/// default, and ignores SIGXFSZ when at its default, so that a file-size
/// limit fails a write (EFBIG) instead of ending the process. Writing a
/// paper calls it; a host calls it first to have its database written under
/// the same rule. Only the first call does anything.
PAYROLL_API void GuardSignals();

}  // namespace payroll::print
