// A table written as an XLSX workbook with libxlsxwriter. libxlsxwriter
// writes a named file of its own (and its scratch files) with the process's
// umask; so it writes into a private folder (0700) made for the one
// workbook, and the finished bytes go to the paper through PaperFile, which
// gives them the papers' mode and their final name only once they are whole.
#include <glib.h>
#include <stdlib.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "payroll/print.h"
#include "print/paper_file.h"

namespace payroll::print {
namespace {

// The private folder of one workbook, removed with everything in it.
class ScratchFolder {
  public:
    bool Make(std::string* error) {
        std::error_code ec;
        std::filesystem::path base = std::filesystem::temp_directory_path(ec);
        if (ec) base = "/tmp";
        std::string name = (base / "payroll-xlsx-XXXXXX").string();
        if (!mkdtemp(name.data())) {
            *error =
                "cannot make a scratch folder in " + base.string() + ": " + std::strerror(errno);
            return false;
        }
        path_ = name;
        return true;
    }
    ~ScratchFolder() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// Text as the workbook's XML takes it: valid UTF-8 (a broken sequence
// becomes U+FFFD).
std::string Valid(const std::string& text) {
    if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) return text;
    gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    std::string out = valid;
    g_free(valid);
    return out;
}

// A worksheet name Excel accepts: at most 31 characters, none of []:*?/\.
std::string SheetName(const std::string& name) {
    std::string out;
    long characters = 0;
    const std::string valid = Valid(name);
    for (std::size_t i = 0; i < valid.size() && characters < 31; ++characters) {
        std::size_t length = 1;
        const auto lead = static_cast<unsigned char>(valid[i]);
        if (lead >= 0xF0)
            length = 4;
        else if (lead >= 0xE0)
            length = 3;
        else if (lead >= 0xC0)
            length = 2;
        std::string ch = valid.substr(i, length);
        if (ch.size() == 1 && std::string_view("[]:*?/\\").find(ch[0]) != std::string_view::npos)
            ch = "_";
        out += ch;
        i += length;
    }
    if (out.empty() || out.front() == '\'' || out.back() == '\'') out = "Sheet1";
    return out;
}

// A column's width in characters: its widest cell, Hangul counted double.
double CellWidth(const SheetCell& cell) {
    if (cell.numeric) return 14;
    double width = 0;
    for (unsigned char c : cell.text)
        if ((c & 0xC0) != 0x80) width += c >= 0xE0 ? 2 : 1;
    return width;
}

struct Formats {
    lxw_format* head;
    lxw_format* amount;
    lxw_format* total_amount;
    lxw_format* total_text;
};

Formats MakeFormats(lxw_workbook* book) {
    Formats f{};
    f.head = workbook_add_format(book);
    format_set_bold(f.head);
    format_set_bg_color(f.head, 0xE0E0E0);
    format_set_bottom(f.head, LXW_BORDER_THIN);
    format_set_text_wrap(f.head);
    f.amount = workbook_add_format(book);
    format_set_num_format(f.amount, "#,##0");
    f.total_amount = workbook_add_format(book);
    format_set_num_format(f.total_amount, "#,##0");
    format_set_bold(f.total_amount);
    f.total_text = workbook_add_format(book);
    format_set_bold(f.total_text);
    return f;
}

lxw_error WriteCells(lxw_worksheet* sheet, const Sheet& table, const Formats& f) {
    std::vector<double> widths;
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        const bool head = r < table.header_rows;
        const bool total = std::find(table.total_rows.begin(), table.total_rows.end(), r) !=
                           table.total_rows.end();
        const auto row = static_cast<lxw_row_t>(r);
        for (std::size_t c = 0; c < table.rows[r].size(); ++c) {
            const SheetCell& cell = table.rows[r][c];
            const auto col = static_cast<lxw_col_t>(c);
            if (widths.size() <= c) widths.resize(c + 1, 6);
            if (!head) widths[c] = std::max(widths[c], CellWidth(cell));
            lxw_error status = LXW_NO_ERROR;
            if (cell.numeric) {
                status = worksheet_write_number(sheet, row, col, cell.number,
                                                total ? f.total_amount : f.amount);
            } else if (!cell.text.empty()) {
                // Always a string cell, `=HYPERLINK(...)` too: a spreadsheet
                // shows it and never runs it (only a formula cell runs).
                lxw_format* format = head ? f.head : total ? f.total_text : nullptr;
                status = worksheet_write_string(sheet, row, col, Valid(cell.text).c_str(), format);
            } else if (head) {
                status = worksheet_write_blank(sheet, row, col, f.head);
            }
            if (status != LXW_NO_ERROR) return status;
        }
    }
    for (std::size_t c = 0; c < widths.size(); ++c)
        worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                             std::min(widths[c] + 2, 60.0), nullptr);
    // The headings stay in sight, and the last of them filters the lines.
    if (table.header_rows > 0 && table.header_rows < table.rows.size() && !widths.empty()) {
        worksheet_freeze_panes(sheet, static_cast<lxw_row_t>(table.header_rows), 0);
        worksheet_autofilter(sheet, static_cast<lxw_row_t>(table.header_rows - 1), 0,
                             static_cast<lxw_row_t>(table.rows.size() - 1),
                             static_cast<lxw_col_t>(widths.size() - 1));
    }
    return LXW_NO_ERROR;
}

}  // namespace

bool WriteXlsx(const Sheet& table, const std::string& path, std::string* error) {
    ScratchFolder scratch;
    if (!scratch.Make(error)) {
        *error = "cannot write " + path + ": " + *error;
        return false;
    }
    const std::string book_path = scratch.path() + "/paper.xlsx";
    std::string tmpdir = scratch.path();
    lxw_workbook_options options{};
    options.tmpdir = tmpdir.data();
    lxw_workbook* book = workbook_new_opt(book_path.c_str(), &options);
    if (!book) {
        *error = "cannot write " + path + ": the workbook could not be started";
        return false;
    }
    lxw_worksheet* sheet = workbook_add_worksheet(book, SheetName(table.name).c_str());
    lxw_error status =
        sheet ? WriteCells(sheet, table, MakeFormats(book)) : LXW_ERROR_INVALID_SHEETNAME_CHARACTER;
    // Closing writes the file, and frees the workbook whatever happened.
    const lxw_error closed = workbook_close(book);
    if (status == LXW_NO_ERROR) status = closed;
    if (status != LXW_NO_ERROR) {
        *error = "cannot write " + path + ": " + lxw_strerror(status);
        return false;
    }
    std::ifstream in(book_path, std::ios::binary);
    std::vector<char> bytes;
    if (in) bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (bytes.empty()) {
        *error = "cannot write " + path + ": the workbook could not be read back";
        return false;
    }
    PaperFile file;
    if (!file.Open(path, error)) return false;
    file.Write(bytes.data(), bytes.size());
    return file.Commit(error);
}

}  // namespace payroll::print
