// payroll results: a month's figures per employee and run (gross pay,
// taxes, insurance, net pay), or the stored result rows as they stand, as an
// aligned table, CSV or JSON; the month's figures also as an XLSX workbook.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands/commands.h"
#include "cli/commands/host_common.h"
#include "payroll/print.h"
#include "payroll/reading.h"

namespace payroll::cli {
namespace {

struct ResultsOptions {
    std::string company;
    std::string month;
    int sq = -1;
    std::string format = "table";
    std::string columns = "month";
    std::string language = "ko";
    std::string out;  // the workbook --format xlsx writes
};

enum class Kind { kText, kInteger, kAmount };

struct Column {
    const char* name;  // as selected
    Kind kind;
    bool in_table;  // shown in the table format (CSV and JSON show every column)
};

constexpr Column kColumns[] = {
    {"CO_CD", Kind::kText, false},      {"EMP_CD", Kind::kText, true},
    {"KOR_NM", Kind::kText, true},      {"RVRS_YM", Kind::kText, false},
    {"SQ", Kind::kInteger, true},       {"PYTP_FG", Kind::kText, true},
    {"DIV_CD", Kind::kText, true},      {"DEPT_CD", Kind::kText, true},
    {"PJT_CD", Kind::kText, false},     {"HTYP_CD", Kind::kText, false},
    {"HRSP_CD", Kind::kText, false},    {"HCLS_CD", Kind::kText, false},
    {"HOPR_CD", Kind::kText, false},    {"PYSP_FG", Kind::kText, false},
    {"PRTY_CD", Kind::kText, false},    {"TPAY_AM", Kind::kAmount, true},
    {"TBON_AM", Kind::kAmount, true},   {"SALY_AM", Kind::kAmount, true},
    {"BONUS_AM", Kind::kAmount, false}, {"FGTE_AM", Kind::kAmount, false},
    {"EWTE_AM", Kind::kAmount, true},   {"AITE_AM", Kind::kAmount, false},
    {"ETTE_AM", Kind::kAmount, true},   {"FEDD_AM", Kind::kAmount, false},
    {"TXST_AM", Kind::kAmount, false},  {"CCTX_AM", Kind::kAmount, false},
    {"PFND_AM", Kind::kAmount, false},  {"DEXT_AM", Kind::kAmount, false},
    {"SPIC_AM", Kind::kAmount, false},  {"AGTX_AM", Kind::kAmount, false},
    {"INTX_AM", Kind::kAmount, true},   {"RSTX_AM", Kind::kAmount, true},
    {"RTTF_AM", Kind::kAmount, false},  {"ACBN_AM", Kind::kAmount, false},
    {"HIFE_AM", Kind::kAmount, true},   {"NAPE_AM", Kind::kAmount, true},
    {"DDCT_AM", Kind::kAmount, true},   {"ETIN_AM", Kind::kAmount, false},
    {"EXCL_YN", Kind::kInteger, false},
};

// Decodes one UTF-8 character at text[i]; false (and one byte) when invalid.
bool NextCodePoint(std::string_view text, std::size_t* i, std::uint32_t* cp) {
    unsigned char c = static_cast<unsigned char>(text[*i]);
    int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (extra < 0 || (extra > 0 && *i + extra >= text.size())) {
        ++*i;
        return false;
    }
    std::uint32_t v = extra == 0 ? c : (c & (0x3F >> extra));
    for (int k = 1; k <= extra; ++k) {
        unsigned char next = static_cast<unsigned char>(text[*i + k]);
        if ((next & 0xC0) != 0x80) {
            ++*i;
            return false;
        }
        v = (v << 6) | (next & 0x3F);
    }
    *i += extra + 1;
    *cp = v;
    return true;
}

// Terminal cells of a text: East Asian wide characters (Hangul among them)
// take two, combining marks none, anything else (invalid bytes too) one.
int DisplayWidth(std::string_view text) {
    int width = 0;
    for (std::size_t i = 0; i < text.size();) {
        std::uint32_t cp = 0;
        if (!NextCodePoint(text, &i, &cp)) {
            ++width;
            continue;
        }
        if (cp >= 0x300 && cp <= 0x36F) continue;
        bool wide = (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0x303E) ||
                    (cp >= 0x3041 && cp <= 0x33FF) || (cp >= 0x3400 && cp <= 0x4DBF) ||
                    (cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0xA000 && cp <= 0xA4CF) ||
                    (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
                    (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
                    (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x20000 && cp <= 0x3FFFD);
        width += wide ? 2 : 1;
    }
    return width;
}

// A cell made safe for one terminal line: control characters become '?'.
std::string Printable(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return out;
}

// An amount as won with thousands separators; decimals only when present.
std::string FormatAmount(const std::string& text) {
    double value = std::atof(text.c_str());
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4f", value < 0 ? -value : value);
    std::string digits = buf, whole = digits.substr(0, digits.find('.'));
    std::string fraction = digits.substr(digits.find('.') + 1);
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    std::string grouped;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) grouped += ',';
        grouped += whole[i];
    }
    if (value < 0 && (grouped != "0" || !fraction.empty())) grouped = "-" + grouped;
    return fraction.empty() ? grouped : grouped + "." + fraction;
}

using Row = std::vector<std::string>;

// Prints cells as an aligned table: every column padded to its widest cell
// (in terminal cells), those `right(i)` says to the right.
template <typename RightAligned>
void PrintAligned(const std::vector<Row>& cells, RightAligned right) {
    std::vector<int> width(cells.empty() ? 0 : cells[0].size(), 0);
    for (const Row& r : cells)
        for (std::size_t i = 0; i < r.size() && i < width.size(); ++i)
            width[i] = std::max(width[i], DisplayWidth(r[i]));
    for (const Row& r : cells) {
        std::string line;
        for (std::size_t i = 0; i < r.size() && i < width.size(); ++i) {
            std::string pad(static_cast<std::size_t>(width[i] - DisplayWidth(r[i])), ' ');
            if (i > 0) line += "  ";
            line += right(i) ? pad + r[i] : r[i] + (i + 1 < r.size() ? pad : "");
        }
        std::printf("%s\n", line.c_str());
    }
}

void PrintTable(const std::vector<Row>& rows) {
    std::vector<std::size_t> shown;
    for (std::size_t c = 0; c < std::size(kColumns); ++c)
        if (kColumns[c].in_table) shown.push_back(c);
    std::vector<Row> cells(1);
    for (std::size_t c : shown) cells[0].push_back(kColumns[c].name);
    for (const Row& r : rows) {
        cells.emplace_back();
        for (std::size_t c : shown)
            cells.back().push_back(kColumns[c].kind == Kind::kAmount ? FormatAmount(r[c])
                                                                     : Printable(r[c]));
    }
    PrintAligned(cells, [&](std::size_t i) { return kColumns[shown[i]].kind != Kind::kText; });
}

// CSV goes out as the papers' CSV files are written: the byte-order mark
// first, a text that would run as a formula made safe.
using print::CsvCell;

void PrintCsv(const std::vector<Row>& rows) {
    std::string line = print::kCsvByteOrderMark;
    for (std::size_t c = 0; c < std::size(kColumns); ++c)
        line += (c ? "," : "") + std::string(kColumns[c].name);
    std::printf("%s\n", line.c_str());
    for (const Row& r : rows) {
        line.clear();
        for (std::size_t c = 0; c < r.size(); ++c) line += (c ? "," : "") + CsvCell(r[c]);
        std::printf("%s\n", line.c_str());
    }
}

void PrintJson(const std::vector<Row>& rows) {
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (const Row& r : rows) {
        nlohmann::ordered_json item = nlohmann::ordered_json::object();
        for (std::size_t c = 0; c < r.size(); ++c) {
            const Column& col = kColumns[c];
            if (col.kind == Kind::kText)
                item[col.name] = r[c];
            else if (col.kind == Kind::kInteger)
                item[col.name] = std::atoll(r[c].c_str());
            else
                item[col.name] = std::atof(r[c].c_str());
        }
        out.push_back(std::move(item));
    }
    std::string text = out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    std::printf("%s\n", text.c_str());
}

// The month's figures as a clerk reads them: one column per figure.
struct Figure {
    const char* korean;
    const char* english;
    const char* key;  // the JSON name
    double reading::ResultLine::*amount;
};

constexpr Figure kFigures[] = {
    {"지급총액", "Gross pay", "gross", &reading::ResultLine::gross},
    {"과세", "Taxable", "taxable", &reading::ResultLine::taxable},
    {"비과세", "Exempt", "exempt", &reading::ResultLine::exempt},
    {"상여", "Bonus", "bonus", &reading::ResultLine::bonus},
    {"소득세", "Income tax", "income_tax", &reading::ResultLine::income_tax},
    {"주민세", "Resident tax", "resident_tax", &reading::ResultLine::resident_tax},
    {"국민연금", "Pension", "pension", &reading::ResultLine::pension},
    {"건강보험", "Health ins.", "health", &reading::ResultLine::health},
    {"고용보험", "Employment ins.", "employment", &reading::ResultLine::employment},
    {"기타공제", "Other deductions", "other_deductions", &reading::ResultLine::other_deductions},
    {"공제총액", "Total deductions", "total_deductions", &reading::ResultLine::total_deductions},
    {"차인지급액", "Net pay", "net", &reading::ResultLine::net},
};

// The columns before the figures: employee, name, run, pay types.
constexpr const char* kLineHeads[2][4] = {{"사번", "성명", "회차", "지급구분"},
                                          {"Employee", "Name", "Run", "Pay types"}};

std::string WholeWon(double amount) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.0f", amount);
    return buf;
}

// The month's cells (a heading, the lines, the totals) as a workbook at
// `path`: the CSV's cells, its figures (from column 4 on) as numbers.
int WriteMonthXlsx(const std::vector<Row>& cells, const std::string& month, int language,
                   const std::string& path) {
    print::Sheet sheet;
    sheet.name =
        (language == 1 ? "Results " : "급여 결과 ") + month.substr(0, 4) + "-" + month.substr(4);
    for (std::size_t r = 0; r < cells.size(); ++r) {
        std::vector<print::SheetCell> row;
        for (std::size_t c = 0; c < cells[r].size(); ++c) {
            const bool number = r > 0 && c >= 4;
            row.push_back(number ? print::NumberCell(std::atof(cells[r][c].c_str()))
                                 : print::TextCell(cells[r][c]));
        }
        sheet.rows.push_back(std::move(row));
    }
    sheet.total_rows.push_back(cells.size() - 1);
    const std::filesystem::path out(path);
    const std::string folder = out.parent_path().empty() ? "." : out.parent_path().string();
    std::string error;
    if (!out.has_filename()) {
        error = "--out names the file to write, not a folder";
    } else if (print::PrepareToWrite(print::Format::kXlsx, folder, false, {path}, &error) &&
               print::WriteXlsx(sheet, path, &error)) {
        std::printf("%s\n", path.c_str());
        return kOk;
    }
    std::fprintf(stderr, "payroll results: %s\n", error.c_str());
    return kFailed;
}

int PrintMonth(const reading::MonthResults& month, const std::string& format, int language,
               const std::string& month_text, const std::string& workbook) {
    const bool english = language == 1;
    if (format == "json") {
        nlohmann::ordered_json lines = nlohmann::ordered_json::array();
        auto figures = [](const reading::ResultLine& l, nlohmann::ordered_json* item) {
            for (const Figure& f : kFigures) (*item)[f.key] = std::llround(l.*f.amount);
        };
        for (const reading::ResultLine& l : month.lines) {
            nlohmann::ordered_json item = {{"employee", l.employee},
                                           {"name", l.name},
                                           {"month", l.month},
                                           {"sq", l.sq},
                                           {"pay_types", l.pay_types}};
            figures(l, &item);
            lines.push_back(std::move(item));
        }
        nlohmann::ordered_json totals = {{"people", month.people},
                                         {"lines", static_cast<long>(month.lines.size())}};
        figures(month.totals, &totals);
        nlohmann::ordered_json out = {{"lines", lines}, {"totals", totals}};
        std::printf(
            "%s\n",
            out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace).c_str());
        return kOk;
    }
    std::vector<Row> cells(1);
    for (const char* head : kLineHeads[english ? 1 : 0]) cells[0].push_back(head);
    for (const Figure& f : kFigures) cells[0].push_back(english ? f.english : f.korean);
    const bool csv = format == "csv" || format == "xlsx";
    auto amount = [csv](double v) { return csv ? WholeWon(v) : FormatAmount(WholeWon(v)); };
    for (const reading::ResultLine& l : month.lines) {
        Row row = {l.employee, csv ? l.name : Printable(l.name), std::to_string(l.sq), l.pay_types};
        for (const Figure& f : kFigures) row.push_back(amount(l.*f.amount));
        cells.push_back(std::move(row));
    }
    // The totals count people and lines apart: a person paid in two runs
    // has two lines.
    const std::string people = std::to_string(month.people);
    const std::string lines = std::to_string(month.lines.size());
    Row total = {english ? "Total" : "합계", english ? people + " people" : people + "명",
                 english ? lines + " lines" : lines + "건", ""};
    for (const Figure& f : kFigures) total.push_back(amount(month.totals.*f.amount));
    cells.push_back(std::move(total));
    if (format == "xlsx") return WriteMonthXlsx(cells, month_text, language, workbook);
    if (csv) {
        std::printf("%s", print::kCsvByteOrderMark);
        for (const Row& r : cells) {
            std::string line;
            for (std::size_t c = 0; c < r.size(); ++c) line += (c ? "," : "") + CsvCell(r[c]);
            std::printf("%s\n", line.c_str());
        }
        return kOk;
    }
    if (month.lines.empty()) return kOk;
    // The run and the figures to the right.
    PrintAligned(cells, [](std::size_t i) { return i >= 4 || i == 2; });
    return kOk;
}

// The stored result rows (HPOMNPY) as they stand.
int ShowStoredResults(const ResultsOptions& o) {
    std::vector<std::string> names;
    std::vector<Row> read;
    std::string error;
    if (!reading::ReadStoredResults(o.company, o.month, o.sq, &names, &read, &error)) {
        std::fprintf(stderr, "payroll: the results could not be read: %s\n", error.c_str());
        return kFailed;
    }
    // The library's columns in the order this program lays them out.
    std::vector<Row> rows;
    for (const Row& in : read) {
        rows.emplace_back();
        for (const Column& c : kColumns) {
            const auto at = std::find(names.begin(), names.end(), c.name);
            rows.back().push_back(at == names.end()
                                      ? std::string()
                                      : in[static_cast<std::size_t>(at - names.begin())]);
        }
    }
    if (o.format == "csv") {
        PrintCsv(rows);
    } else if (o.format == "json") {
        PrintJson(rows);
    } else if (rows.empty()) {
        std::printf("no results for company %s in %s\n", o.company.c_str(), o.month.c_str());
    } else {
        PrintTable(rows);
    }
    return kOk;
}

int ShowResults(const GlobalOptions& options, const ResultsOptions& o) {
    if ((o.format == "xlsx") != !o.out.empty()) {
        std::fprintf(stderr,
                     "payroll results: --format xlsx writes the file --out names, and "
                     "--out is for --format xlsx only\n");
        return kUsage;
    }
    if (o.format == "xlsx" && o.columns == "stored") {
        std::fprintf(stderr,
                     "payroll results: --columns stored is shown as a table, CSV or JSON\n");
        return kUsage;
    }
    if (!OpenDatabaseFor(options)) return kFailed;
    if (o.columns == "stored") return ShowStoredResults(o);
    reading::MonthResults month;
    std::string error;
    const int language = o.language == "en" ? 1 : 0;
    if (!reading::ReadMonthResults(o.company, o.month, o.sq < 0 ? 0 : o.sq, language, &month,
                                   &error)) {
        std::fprintf(stderr, "payroll: the results could not be read: %s\n", error.c_str());
        return kFailed;
    }
    const int code = PrintMonth(month, o.format, language, o.month, o.out);
    if (o.format == "table" && month.lines.empty())
        std::printf("no results for company %s in %s\n", o.company.c_str(), o.month.c_str());
    return code;
}

bool SixDigitMonth(const std::string& m) {
    if (m.size() != 6) return false;
    for (char c : m)
        if (c < '0' || c > '9') return false;
    int month = std::atoi(m.c_str() + 4);
    return month >= 1 && month <= 12;
}

void AddResultsCommand(CLI::App& app, const GlobalOptions& options, int* exit_code) {
    auto opts = std::make_shared<ResultsOptions>();
    CLI::App* cmd =
        app.add_subcommand("results", "a month's pay, taxes, insurance and net pay, per employee");
    cmd->add_option("--company", opts->company, "company code")->required();
    cmd->add_option("--month", opts->month, "attribution month YYYYMM")
        ->required()
        ->check([](const std::string& m) {
            return SixDigitMonth(m) ? std::string() : std::string("the month is YYYYMM");
        });
    cmd->add_option("--sq", opts->sq, "only the run of this sequence")
        ->check(CLI::Range(0, 999999999));
    cmd->add_option("--format", opts->format,
                    "table (default), csv, json, or xlsx (a workbook at --out, figures as numbers)")
        ->check(CLI::IsMember({"table", "csv", "json", "xlsx"}));
    cmd->add_option("--out", opts->out,
                    "the workbook --format xlsx writes (the owner's alone: 0600)");
    cmd->add_option("--columns", opts->columns,
                    "month (default): gross pay, taxes, insurance and net pay per employee "
                    "and run; stored: the stored result rows as they stand")
        ->check(CLI::IsMember({"month", "stored"}));
    cmd->add_option("--language", opts->language, "column names: ko (default) or en")
        ->check(CLI::IsMember({"ko", "en"}));
    cmd->footer(
        "Example: payroll results --company 1000 --month 200203 --format csv\n"
        "         payroll results --company 1000 --month 200203 --format xlsx --out results.xlsx");
    cmd->callback([opts, &options, exit_code] { *exit_code = ShowResults(options, *opts); });
}

const bool results_registered = RegisterCommand(55, AddResultsCommand);

}  // namespace
}  // namespace payroll::cli
