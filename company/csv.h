// The CSV files of the company folder: decoding (UTF-8 with or without a
// byte-order mark, or CP949), parsing into rows of cells with their line
// numbers, and writing cells back so that a spreadsheet shows them as text.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace payroll::folder {

// A parsed row: its cells and the line it starts on (1-based).
struct CsvRow {
    long line = 0;
    std::vector<std::string> cells;
};

// A decoded and parsed file. `error` is empty when the whole text was read;
// else it says what stopped the reading at `error_line` (rows before it are
// kept).
struct CsvText {
    std::vector<CsvRow> rows;
    std::string error;
    long error_line = 0;
};

// The text as UTF-8: a UTF-8 byte-order mark is dropped; a text that is not
// valid UTF-8 is read as CP949. False with *error (naming the line) when it is
// neither, or when it holds a NUL byte.
bool DecodeText(std::string_view bytes, std::string* utf8, std::string* error, long* line);
// The same in place: *text, read as bytes, becomes its UTF-8 (a text that is
// UTF-8 already is not copied).
bool DecodeInPlace(std::string* text, std::string* error, long* line);

// Parses UTF-8 CSV text: commas between cells, double quotes around a cell
// that holds a comma, quote or line break ("" inside is one quote), lines
// ending in LF or CRLF. Blank lines are skipped. A quote that never closes
// stops the reading with an error.
CsvText ParseCsv(std::string_view text);
// The same, handing each row to `take` as it is read (a row `take` leaves
// moved-from is fine) instead of keeping them all. False with *error and
// *error_line when a quote never closes; the rows before it were taken.
bool ParseCsvRows(std::string_view text, const std::function<void(CsvRow&)>& take,
                  std::string* error, long* error_line);

// A parsed row as views: each cell is a piece of the text, or of the
// parser's own buffer for a quoted cell; they are valid during the call that
// hands the row over only.
struct CsvRowView {
    long line = 0;
    std::vector<std::string_view> cells;
};
// Parses as ParseCsvRows does, without a string per cell: a company's
// million fixed items are read without a million small allocations.
bool ScanCsv(std::string_view text, const std::function<void(const CsvRowView&)>& take,
             std::string* error, long* error_line);

// Decodes and parses a file's bytes.
CsvText ReadCsv(std::string_view bytes);

// A cell as written: quoted when it needs to be, and with a leading
// apostrophe when a spreadsheet would take it for a formula (it starts with
// =, +, -, @, a tab or a carriage return).
std::string CsvCell(std::string_view value);

// A cell as read: the apostrophe CsvCell put before a formula-like value is
// dropped, and surrounding blanks are trimmed.
std::string PlainCell(std::string_view cell);
// The same as a piece of `cell`.
std::string_view PlainView(std::string_view cell);

// One line of cells, ending in CRLF.
std::string CsvLine(const std::vector<std::string>& cells);

}  // namespace payroll::folder
