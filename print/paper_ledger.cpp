// An employee's withholding ledger of a year (근로소득 원천징수부) as the
// tax office reads it: the employer's block (the withholding agent) beside
// the employee's, then a line per month, January to December, with its pay
// dates, gross pay, taxable pay and bonus, exempt pay by class and in
// total, the income and resident tax withheld and the insurance, under
// grouped headings, and the year's totals; or the same months as CSV or
// XLSX.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "payroll/print.h"
#include "print/paper_canvas.h"
#include "print/paper_render.h"
#include "print/paper_sheet.h"
#include "print/paper_table.h"
#include "print/paper_write.h"

namespace payroll::print {
namespace {

using papers::Ledger;
using papers::LedgerLine;

constexpr double kLedgerMargin = 30, kLedgerPad = 6, kLedgerSize = 8.5;

// The amounts of a month, in the order of the amount columns.
std::vector<double> LedgerAmounts(const LedgerLine& l) {
    return {l.gross,           l.taxable,
            l.bonus,           l.taxable + l.bonus,
            l.exempt_overtime, l.exempt_childbirth,
            l.exempt_other,    l.exempt_overtime + l.exempt_childbirth + l.exempt_other,
            l.income_tax,      l.resident_tax,
            l.pension,         l.health,
            l.employment};
}

// The amount columns' names in the CSV and XLSX files, where each stands alone.
constexpr int kLedgerSheetHeads[] = {1117, 1120, 1321, 1322, 1153, 1154, 1155,
                                     1165, 1157, 1158, 1162, 1163, 1164};

// The PDF's columns under their groups: a group's heading spans its columns;
// a column without a group spans both heading lines.
struct LedgerColumn {
    int group;  // 0 none
    int label;
};
constexpr LedgerColumn kLedgerColumns[] = {
    {0, 1152},    {0, 1106},    {0, 1117},    {1314, 1315}, {1314, 1156},
    {1314, 1316}, {1317, 1330}, {1317, 1331}, {1317, 1332}, {1317, 1316},
    {1318, 1157}, {1318, 1158}, {1319, 1162}, {1319, 1163}, {1319, 1164},
};
constexpr std::size_t kLedgerColumnCount = std::size(kLedgerColumns);

std::string Dates(const std::vector<std::string>& dates, const char* between) {
    std::string out;
    for (const std::string& d : dates) out += (out.empty() ? "" : between) + PaperDate(d);
    return out;
}

class LedgerPage {
  public:
    LedgerPage(PdfCanvas& pdf, const Ledger& l, int lang) : pdf_(pdf), l_(l), lang_(lang) {}

    void Draw() {
        const double width = pdf_.width() - 2 * kLedgerMargin;
        double y = kLedgerMargin;
        y +=
            pdf_.Text(kLedgerMargin, y, width, PaperLabel(lang_, 1150), {16, true, Align::kCenter});
        y += pdf_.Text(kLedgerMargin, y + 2, width, PaperLabel(lang_, 1320, {l_.year}),
                       {9, false, Align::kCenter}) +
             10;
        y += DrawParties(y, width) + 14;
        DrawTable(y, width);
    }

  private:
    // The employer's block on the left, the employee's on the right: a
    // title cell, then a label and a value per line.
    double DrawParties(double y, double width) {
        const papers::Employer& e = l_.employer;
        std::string company = e.name.empty() ? e.code : e.name + " (" + e.code + ")";
        const std::vector<std::pair<int, std::string>> employer = {
            {1309, company}, {1310, e.representative}, {1311, e.business_no}, {1312, e.address}};
        std::string department = l_.department;
        if (!l_.department_name.empty() && l_.department_name != l_.department)
            department += " " + l_.department_name;
        const std::vector<std::pair<int, std::string>> employee = {
            {1102, l_.employee}, {1103, l_.name}, {1104, department}, {1151, l_.year}};
        const double gap = 14, left_w = (width - gap) * 0.58;
        const double a = Party(kLedgerMargin, y, left_w, 1308, employer);
        const double b =
            Party(kLedgerMargin + left_w + gap, y, width - left_w - gap, 1313, employee);
        return std::max(a, b);
    }

    double Party(double x, double y, double w, int title,
                 const std::vector<std::pair<int, std::string>>& lines) {
        const TextStyle label{8, true}, value{8.5};
        const double row_h = 15;
        double title_w = 0, label_w = 0;
        for (const std::string& word : WordLines(pdf_, PaperLabel(lang_, title), 1, label))
            title_w = std::max(title_w, pdf_.TextWidth(word, label));
        title_w += 10;
        for (const auto& [id, text] : lines)
            label_w = std::max(label_w, pdf_.TextWidth(PaperLabel(lang_, id), label));
        label_w += 10;
        const double h = row_h * static_cast<double>(lines.size());
        pdf_.Rect(x, y, title_w + label_w, h, 0.92);
        Frame(pdf_, x, y, w, h, 0.6);
        const std::vector<std::string> title_lines =
            WordLines(pdf_, PaperLabel(lang_, title), title_w - 6, label);
        const double line_h = 8 * 1.4;
        DrawLines(pdf_, x + 3, y + (h - line_h * static_cast<double>(title_lines.size())) / 2,
                  title_w - 6, line_h, title_lines, {8, true, Align::kCenter});
        pdf_.Line(x + title_w, y, x + title_w, y + h, 0.4);
        pdf_.Line(x + title_w + label_w, y, x + title_w + label_w, y + h, 0.2);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const double ry = y + row_h * static_cast<double>(i);
            if (i > 0) pdf_.Line(x + title_w, ry, x + w, ry, 0.2);
            pdf_.Text(x + title_w + 5, ry + 3, label_w - 10, PaperLabel(lang_, lines[i].first),
                      label);
            const std::string& text = lines[i].second.empty() ? "-" : lines[i].second;
            pdf_.Text(x + title_w + label_w + 5, ry + 2.5, w - title_w - label_w - 10, text, value);
        }
        return h;
    }

    // Each row's cells: the month, its pay dates one a line, the amounts.
    std::vector<std::vector<std::string>> Rows() const {
        std::vector<std::vector<std::string>> rows;
        for (const LedgerLine& m : l_.lines) {
            std::vector<std::string> row = {PaperDate(m.month), Dates(m.pay_dates, " ")};
            for (double a : LedgerAmounts(m)) row.push_back(m.runs ? PaperWon(a) : "");
            rows.push_back(std::move(row));
        }
        std::vector<std::string> totals = {PaperLabel(lang_, 1159), ""};
        for (double a : LedgerAmounts(l_.totals)) totals.push_back(PaperWon(a));
        rows.push_back(std::move(totals));
        return rows;
    }

    void DrawTable(double y, double width) {
        const std::vector<std::vector<std::string>> rows = Rows();
        // The widths at the base size: the widest cell or heading word; a
        // group's heading gets its columns' sum.
        std::vector<double> widths(kLedgerColumnCount, 0);
        const TextStyle bold{kLedgerSize, true};
        for (std::size_t c = 0; c < kLedgerColumnCount; ++c) {
            widths[c] = WidestWord(pdf_, PaperLabel(lang_, kLedgerColumns[c].label), bold);
            for (const auto& row : rows)
                widths[c] = std::max(widths[c], c == 1 ? WidestWord(pdf_, row[c], {kLedgerSize})
                                                       : pdf_.TextWidth(row[c], bold));
        }
        double total = 0;
        for (double w : widths) total += w + kLedgerPad;
        const double size = std::max(kSmallestText, kLedgerSize * std::min(1.0, width / total));
        for (double& w : widths) w = w * size / kLedgerSize + kLedgerPad;
        total = 0;
        for (double w : widths) total += w;
        const double spare = std::max(0.0, width - total) / (kLedgerColumnCount - 2);
        for (std::size_t c = 2; c < kLedgerColumnCount; ++c) widths[c] += spare;
        std::vector<double> xs = {kLedgerMargin};
        for (double w : widths) xs.push_back(xs.back() + w);
        const double right = xs.back(), line_h = size * 1.45;
        const TextStyle head{size, true, Align::kCenter};
        // Two heading lines: the groups, then their columns, each as high as
        // its most broken heading.
        auto group_end = [](std::size_t c) {
            std::size_t end = c + 1;
            while (kLedgerColumns[c].group && end < kLedgerColumnCount &&
                   kLedgerColumns[end].group == kLedgerColumns[c].group)
                ++end;
            return end;
        };
        auto words = [&](int id, double w) {
            return WordLines(pdf_, PaperLabel(lang_, id), w, head);
        };
        std::size_t group_lines = 1, column_lines = 1;
        for (std::size_t c = 0; c < kLedgerColumnCount; c = group_end(c)) {
            if (!kLedgerColumns[c].group) continue;
            const std::size_t end = group_end(c);
            group_lines =
                std::max(group_lines, words(kLedgerColumns[c].group, xs[end] - xs[c] - 4).size());
            for (std::size_t k = c; k < end; ++k)
                column_lines =
                    std::max(column_lines, words(kLedgerColumns[k].label, widths[k] - 4).size());
        }
        const double group_h = static_cast<double>(group_lines) * line_h + 4;
        const double head_h = group_h + static_cast<double>(column_lines) * line_h + 4;
        pdf_.Rect(kLedgerMargin, y, right - kLedgerMargin, head_h, 0.88);
        for (std::size_t c = 0; c < kLedgerColumnCount; c = group_end(c)) {
            const std::size_t end = group_end(c);
            const double w = xs[end] - xs[c];
            if (kLedgerColumns[c].group) {
                DrawLines(pdf_, xs[c] + 2, y + 2, w - 4, line_h,
                          words(kLedgerColumns[c].group, w - 4), head);
                pdf_.Line(xs[c], y + group_h, xs[end], y + group_h, 0.2);
                for (std::size_t k = c; k < end; ++k)
                    DrawLines(pdf_, xs[k] + 2, y + group_h + 2, widths[k] - 4, line_h,
                              words(kLedgerColumns[k].label, widths[k] - 4), head);
            } else {
                const std::vector<std::string> lines = words(kLedgerColumns[c].label, w - 4);
                DrawLines(pdf_, xs[c] + 2,
                          y + (head_h - line_h * static_cast<double>(lines.size())) / 2, w - 4,
                          line_h, lines, head);
            }
        }
        const double top = y;
        y += head_h;
        pdf_.Line(kLedgerMargin, y, right, y, 0.8);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const bool totals = r + 1 == rows.size();
            const std::vector<std::string> dates =
                WordLines(pdf_, rows[r][1], widths[1] - kLedgerPad, {size});
            const double row_h =
                static_cast<double>(std::max<std::size_t>(1, dates.size())) * line_h + 4;
            if (totals) pdf_.Rect(kLedgerMargin, y, right - kLedgerMargin, row_h, 0.9);
            pdf_.Text(xs[0] + 3, y + 2, widths[0] - kLedgerPad, rows[r][0], {size, totals});
            DrawLines(pdf_, xs[1] + 3, y + 2, widths[1] - kLedgerPad, line_h, dates, {size});
            for (std::size_t c = 2; c < kLedgerColumnCount; ++c)
                pdf_.Text(xs[c] + 3, y + 2, widths[c] - kLedgerPad, rows[r][c],
                          {size, totals, Align::kRight});
            y += row_h;
            pdf_.Line(kLedgerMargin, y, right, y, totals ? 0.8 : 0.2);
        }
        for (std::size_t c = 0; c <= kLedgerColumnCount; ++c) {
            const bool group = c < 4 || c == kLedgerColumnCount ||
                               kLedgerColumns[c].group != kLedgerColumns[c - 1].group;
            pdf_.Line(xs[c], group ? top : top + group_h, xs[c], y, group ? 0.5 : 0.15);
        }
    }

    PdfCanvas& pdf_;
    const Ledger& l_;
    const int lang_;
};

Sheet LedgerSheet(const Ledger& l, int lang) {
    Sheet sheet;
    sheet.name = PaperLabel(lang, 1150) + " " + l.year;
    std::vector<SheetCell> head;
    for (int id : {1102, 1103, 1152, 1106}) head.push_back(TextCell(PaperLabel(lang, id)));
    for (int id : kLedgerSheetHeads) head.push_back(TextCell(PaperLabel(lang, id)));
    sheet.rows.push_back(std::move(head));
    auto row = [&](const LedgerLine& x, const std::string& month, const std::string& dates) {
        std::vector<SheetCell> cells = {TextCell(l.employee), TextCell(l.name), TextCell(month),
                                        TextCell(dates)};
        for (double a : LedgerAmounts(x)) cells.push_back(NumberCell(a));
        sheet.rows.push_back(std::move(cells));
    };
    for (const LedgerLine& x : l.lines) row(x, PaperDate(x.month), Dates(x.pay_dates, ", "));
    sheet.total_rows.push_back(sheet.rows.size());
    row(l.totals, PaperLabel(lang, 1159), "");
    return sheet;
}

}  // namespace

bool WriteLedger(const Ledger& ledger, int language, Format format, const std::string& path,
                 std::string* error) {
    if (format != Format::kPdf)
        return WriteSheetFile(LedgerSheet(ledger, language), format, path, error);
    return WritePaper(
        path, format, [] { return std::string(); },
        {kA4Long, kA4Short, PaperLabel(language, 1150) + " " + ledger.year + " " + ledger.employee},
        [&](PdfCanvas& pdf) { LedgerPage(pdf, ledger, language).Draw(); }, error);
}

}  // namespace payroll::print
