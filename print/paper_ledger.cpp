// An employee's withholding ledger of a year: a landscape page of the
// year's runs with gross, taxable and exempt pay (by class and in total),
// the taxes and insurance withheld, and the year's totals; or the same table
// as CSV.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "payroll/print.h"
#include "print/paper_canvas.h"
#include "print/paper_render.h"
#include "print/paper_write.h"

namespace payroll::print {
namespace {

using papers::Ledger;
using papers::LedgerLine;

std::vector<std::string> LedgerHeaders(int lang) {
    std::vector<std::string> h;
    for (int id : {1152, 1108, 1109, 1106, 1117, 1120, 1153, 1154, 1155, 1165, 1156, 1157, 1158,
                   1162, 1163, 1164})
        h.push_back(PaperLabel(lang, id));
    return h;
}

// The amounts of a run, in the order of the headers after the run's four.
std::vector<double> LedgerAmounts(const LedgerLine& l) {
    const double exempt = l.exempt_overtime + l.exempt_childbirth + l.exempt_other;
    return {l.gross,        l.taxable, l.exempt_overtime, l.exempt_childbirth,
            l.exempt_other, exempt,    l.bonus,           l.income_tax,
            l.resident_tax, l.pension, l.health,          l.employment};
}
constexpr int kLedgerAmounts = 12;

void DrawLedger(PdfCanvas& pdf, const Ledger& l, int lang) {
    const double margin = 30, left = margin, right = pdf.width() - margin, avail = right - left;
    double y = margin;
    y += pdf.Text(left, y, avail, PaperLabel(lang, 1150), {16, true, Align::kCenter}) + 12;
    const std::pair<int, std::string> fields[] = {{1101, l.company},
                                                  {1151, l.year},
                                                  {1102, l.employee},
                                                  {1103, l.name},
                                                  {1104, l.department_name}};
    double x = left;
    for (const auto& [id, value] : fields) {
        std::string label = PaperLabel(lang, id);
        pdf.Text(x, y, 200, label, {9, true});
        x += pdf.TextWidth(label, {9, true}) + 5;
        pdf.Text(x, y, 200, value, {9});
        x += pdf.TextWidth(value, {9}) + 22;
    }
    y += 24;
    std::vector<std::string> headers = LedgerHeaders(lang);
    // Four narrow columns for the run, twelve wide ones for the amounts.
    const double narrow[] = {44, 24, 46, 56};
    const double wide = (avail - 170) / kLedgerAmounts;
    std::vector<double> xs = {left};
    for (double w : narrow) xs.push_back(xs.back() + w);
    for (int i = 0; i < kLedgerAmounts; ++i) xs.push_back(xs.back() + wide);
    const double row_h = 17;
    TextStyle head{7, true, Align::kCenter, true};
    double header_h = 0;
    for (std::size_t c = 0; c < headers.size(); ++c)
        header_h = std::max(header_h, pdf.TextHeight(headers[c], xs[c + 1] - xs[c] - 4, head));
    header_h += 6;
    pdf.Rect(left, y, avail, header_h, 0.88);
    for (std::size_t c = 0; c < headers.size(); ++c)
        pdf.Text(xs[c] + 2, y + 3, xs[c + 1] - xs[c] - 4, headers[c], head);
    y += header_h;
    auto row = [&](const std::vector<std::string>& cells, bool bold) {
        if (bold) pdf.Rect(left, y, avail, row_h, 0.93);
        for (std::size_t c = 0; c < cells.size(); ++c)
            pdf.Text(xs[c] + 2, y + 4, xs[c + 1] - xs[c] - 4, cells[c],
                     {7.5, bold, c < 4 ? Align::kLeft : Align::kRight});
        y += row_h;
        pdf.Line(left, y, right, y, bold ? 0.8 : 0.25);
    };
    for (const LedgerLine& line : l.lines) {
        std::vector<std::string> cells = {PaperDate(line.month), std::to_string(line.sq),
                                          line.pay_types, PaperDate(line.pay_date)};
        for (double a : LedgerAmounts(line)) cells.push_back(PaperWon(a));
        row(cells, false);
    }
    std::vector<std::string> totals = {PaperLabel(lang, 1159), "", "", ""};
    for (double a : LedgerAmounts(l.totals)) totals.push_back(PaperWon(a));
    row(totals, true);
}

std::string LedgerCsv(const Ledger& l, int lang) {
    std::vector<std::string> headers = {PaperLabel(lang, 1102), PaperLabel(lang, 1103)};
    for (const std::string& h : LedgerHeaders(lang)) headers.push_back(h);
    std::string text = PaperCsvLine(headers);
    auto line = [&](const LedgerLine& x, const std::string& month) {
        std::vector<std::string> cells = {
            l.employee, l.name, month, x.sq ? std::to_string(x.sq) : "", x.pay_types, x.pay_date};
        for (double a : LedgerAmounts(x)) cells.push_back(PaperCsvAmount(a));
        text += PaperCsvLine(cells);
    };
    for (const LedgerLine& x : l.lines) line(x, x.month);
    line(l.totals, PaperLabel(lang, 1159));
    return text;
}

}  // namespace

bool WriteLedger(const Ledger& ledger, int language, Format format, const std::string& path,
                 std::string* error) {
    return WritePaper(
        path, format, [&] { return LedgerCsv(ledger, language); },
        {841.89, 595.28, PaperLabel(language, 1150) + " " + ledger.year + " " + ledger.employee},
        [&](PdfCanvas& pdf) { DrawLedger(pdf, ledger, language); }, error);
}

}  // namespace payroll::print
