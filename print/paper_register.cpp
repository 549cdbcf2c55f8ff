// The payroll register: landscape pages of a line per employee and a column
// per item, sized so every column fits, with page headers, page numbers and
// the column totals at the end; or the same columns as CSV.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "payroll/print.h"
#include "print/paper_canvas.h"
#include "print/paper_render.h"
#include "print/paper_write.h"

namespace payroll::print {
namespace {

using papers::Register;

constexpr double kRegMargin = 30;
constexpr double kRegBaseSize = 7.5;

struct RegTable {
    std::vector<std::string> headers;
    std::vector<bool> amount;                    // right-aligned columns
    std::vector<std::vector<std::string>> rows;  // the employees' lines
    std::vector<std::string> totals;
};

RegTable MakeRegTable(const Register& r, int lang) {
    RegTable t;
    t.headers = {PaperLabel(lang, 1102), PaperLabel(lang, 1103), PaperLabel(lang, 1104)};
    for (const papers::RegisterColumn& c : r.columns) t.headers.push_back(c.name + " " + c.code);
    for (int id : {1117, 1118, 1119}) t.headers.push_back(PaperLabel(lang, id));
    t.amount.assign(t.headers.size(), true);
    t.amount[0] = t.amount[1] = t.amount[2] = false;
    for (const papers::RegisterLine& l : r.lines) {
        std::vector<std::string> row = {l.employee, l.name, l.department_name};
        for (double a : l.amounts) row.push_back(PaperWon(a));
        for (double a : {l.gross, l.total_deductions, l.net}) row.push_back(PaperWon(a));
        t.rows.push_back(std::move(row));
    }
    t.totals = {PaperLabel(lang, 1141), PaperLabel(lang, 1143, {std::to_string(r.lines.size())}),
                ""};
    for (double a : r.totals) t.totals.push_back(PaperWon(a));
    for (double a : {r.gross, r.total_deductions, r.net}) t.totals.push_back(PaperWon(a));
    return t;
}

void DrawRegister(PdfCanvas& pdf, const Register& r, int lang) {
    RegTable t = MakeRegTable(r, lang);
    const double left = kRegMargin, right = pdf.width() - kRegMargin, avail = right - left;
    // Column widths at the base size: the widest cell, or the header's widest word.
    const TextStyle base{kRegBaseSize};
    std::vector<double> widths(t.headers.size(), 0);
    for (std::size_t c = 0; c < t.headers.size(); ++c) {
        std::size_t start = 0;
        const std::string& h = t.headers[c];
        while (start <= h.size()) {
            std::size_t end = std::min(h.find(' ', start), h.size());
            widths[c] = std::max(widths[c], pdf.TextWidth(h.substr(start, end - start), base));
            start = end + 1;
        }
        for (const auto& row : t.rows) widths[c] = std::max(widths[c], pdf.TextWidth(row[c], base));
        widths[c] = std::max(widths[c], pdf.TextWidth(t.totals[c], {kRegBaseSize, true})) + 9;
    }
    double total = 0;
    for (double w : widths) total += w;
    // Everything shrinks together when the columns are wider than the page.
    const double scale = std::min(1.0, avail / total);
    const double size = kRegBaseSize * scale;
    for (double& w : widths)
        w = w * scale + (avail - total * scale) / static_cast<double>(widths.size());
    std::vector<double> xs = {left};
    for (double w : widths) xs.push_back(xs.back() + w);
    TextStyle head{size, true, Align::kCenter, true};
    double header_h = 0;
    for (std::size_t c = 0; c < t.headers.size(); ++c)
        header_h = std::max(header_h, pdf.TextHeight(t.headers[c], widths[c] - 2, head));
    header_h += 4;
    const double row_h = std::ceil(size * 1.7);
    const double table_top = kRegMargin + 44, bottom = pdf.height() - kRegMargin - 16;
    const std::size_t per_page =
        std::max<std::size_t>(1, static_cast<std::size_t>((bottom - table_top - header_h) / row_h));
    const std::size_t lines = t.rows.size() + 1;  // the totals line last
    const std::size_t pages = (lines + per_page - 1) / per_page;
    std::string subtitle = PaperLabel(lang, 1101) + " " + r.company + "   " +
                           PaperLabel(lang, 1105) + " " + PaperDate(r.month) + "   " +
                           PaperLabel(lang, 1108) + " " + r.runs + "   " + PaperLabel(lang, 1106) +
                           " " + r.pay_dates;
    for (std::size_t page = 0; page < pages; ++page) {
        if (page > 0) pdf.NextPage();
        pdf.Text(left, kRegMargin, avail, PaperLabel(lang, 1140), {14, true, Align::kCenter});
        pdf.Text(left, kRegMargin + 24, avail, subtitle, {8});
        double y = table_top;
        pdf.Rect(left, y, avail, header_h, 0.88);
        for (std::size_t c = 0; c < t.headers.size(); ++c)
            pdf.Text(xs[c] + 1, y + 2, widths[c] - 2, t.headers[c], head);
        y += header_h;
        for (std::size_t i = page * per_page; i < std::min(lines, (page + 1) * per_page); ++i) {
            bool totals = i == t.rows.size();
            const std::vector<std::string>& row = totals ? t.totals : t.rows[i];
            if (totals) pdf.Rect(left, y, avail, row_h, 0.93);
            for (std::size_t c = 0; c < row.size(); ++c)
                pdf.Text(xs[c] + 3, y + (row_h - size * 1.2) / 2, widths[c] - 6, row[c],
                         {size, totals, t.amount[c] ? Align::kRight : Align::kLeft});
            y += row_h;
            pdf.Line(left, y, right, y, totals ? 0.8 : 0.2);
        }
        pdf.Text(left, pdf.height() - kRegMargin - 8, avail,
                 PaperLabel(lang, 1142, {std::to_string(page + 1), std::to_string(pages)}),
                 {7.5, false, Align::kCenter});
    }
}

std::string RegisterCsv(const Register& r, int lang) {
    RegTable t = MakeRegTable(r, lang);
    std::string text = PaperCsvLine(t.headers);
    for (const papers::RegisterLine& l : r.lines) {
        std::vector<std::string> row = {l.employee, l.name, l.department_name};
        for (double a : l.amounts) row.push_back(PaperCsvAmount(a));
        for (double a : {l.gross, l.total_deductions, l.net}) row.push_back(PaperCsvAmount(a));
        text += PaperCsvLine(row);
    }
    std::vector<std::string> totals = {PaperLabel(lang, 1141), "", ""};
    for (double a : r.totals) totals.push_back(PaperCsvAmount(a));
    for (double a : {r.gross, r.total_deductions, r.net}) totals.push_back(PaperCsvAmount(a));
    return text + PaperCsvLine(totals);
}

}  // namespace

bool WriteRegister(const Register& reg, int language, Format format, const std::string& path,
                   std::string* error) {
    return WritePaper(
        path, format, [&] { return RegisterCsv(reg, language); },
        {841.89, 595.28, PaperLabel(language, 1140) + " " + reg.company + " " + reg.month},
        [&](PdfCanvas& pdf) { DrawRegister(pdf, reg, language); }, error);
}

}  // namespace payroll::print
