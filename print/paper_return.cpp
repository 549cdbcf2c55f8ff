// The monthly withholding return for earned income: a portrait page with the
// company, the payment month and the attribution months, a line per code
// (A01 .. A10) with people, total pay and the taxes withheld, and the note of
// what is left at 0 under them; or the same lines as CSV.
#include <string>
#include <utility>
#include <vector>

#include "payroll/print.h"
#include "print/paper_canvas.h"
#include "print/paper_file.h"
#include "print/paper_render.h"
#include "print/paper_write.h"

namespace payroll::print {
namespace {

using papers::ReturnLine;
using papers::WithholdingReturn;

std::vector<std::string> ReturnHeaders(int lang) {
    std::vector<std::string> h;
    for (int id : {1160, 1161, 1196, 1197, 1198, 1199}) h.push_back(PaperLabel(lang, id));
    return h;
}

std::string AttributionMonths(const WithholdingReturn& r) {
    std::string text;
    for (const std::string& m : r.attribution_months)
        text += (text.empty() ? "" : ", ") + PaperDate(m);
    return text;
}

void DrawReturn(PdfCanvas& pdf, const WithholdingReturn& r, int lang) {
    const double margin = 40, left = margin, right = pdf.width() - margin, avail = right - left;
    double y = margin;
    y += pdf.Text(left, y, avail, PaperLabel(lang, 1188), {15, true, Align::kCenter}) + 14;
    const std::pair<int, std::string> fields[] = {
        {1101, r.company}, {1195, PaperDate(r.payment_month)}, {1194, AttributionMonths(r)}};
    for (const auto& [id, value] : fields) {
        const std::string label = PaperLabel(lang, id);
        pdf.Text(left, y, 110, label, {9, true});
        y += pdf.Text(left + 110, y, avail - 110, value, {9, false, Align::kLeft, true}) + 5;
    }
    y += 12;
    // Code and title on the left, the four figures in equal columns.
    const double code_w = 40, title_w = 130, figure_w = (avail - code_w - title_w) / 4;
    std::vector<double> xs = {left, left + code_w, left + code_w + title_w};
    for (int i = 0; i < 4; ++i) xs.push_back(xs.back() + figure_w);
    const std::vector<std::string> headers = ReturnHeaders(lang);
    const double row_h = 20;
    pdf.Rect(left, y, avail, row_h, 0.88);
    for (std::size_t c = 0; c < headers.size(); ++c)
        pdf.Text(xs[c] + 2, y + 5, xs[c + 1] - xs[c] - 4, headers[c], {8.5, true, Align::kCenter});
    y += row_h;
    pdf.Line(left, y, right, y, 0.8);
    for (const ReturnLine& line : r.lines) {
        const bool total = &line == &r.lines.back();
        if (total) pdf.Rect(left, y, avail, row_h, 0.93);
        const std::vector<std::string> cells = {line.code,
                                                line.name,
                                                std::to_string(line.people),
                                                PaperWon(line.pay),
                                                PaperWon(line.income_tax),
                                                PaperWon(line.resident_tax)};
        for (std::size_t c = 0; c < cells.size(); ++c)
            pdf.Text(xs[c] + 4, y + 5, xs[c + 1] - xs[c] - 8, cells[c],
                     {9, total, c < 2 ? Align::kLeft : Align::kRight});
        y += row_h;
        pdf.Line(left, y, right, y, total ? 0.8 : 0.25);
    }
    for (double x : xs)
        pdf.Line(x, y - row_h * static_cast<double>(r.lines.size() + 1), x, y, 0.25);
    if (!r.note.empty()) pdf.Text(left, y + 10, avail, r.note, {8.5, false, Align::kLeft, true});
}

std::string ReturnCsv(const WithholdingReturn& r, int lang) {
    std::vector<std::string> headers = {PaperLabel(lang, 1101), PaperLabel(lang, 1195),
                                        PaperLabel(lang, 1194)};
    for (const std::string& h : ReturnHeaders(lang)) headers.push_back(h);
    std::string text = PaperCsvLine(headers);
    std::string months;
    for (const std::string& m : r.attribution_months) months += (months.empty() ? "" : " ") + m;
    for (const ReturnLine& line : r.lines)
        text += PaperCsvLine({r.company, r.payment_month, months, line.code, line.name,
                              std::to_string(line.people), PaperCsvAmount(line.pay),
                              PaperCsvAmount(line.income_tax), PaperCsvAmount(line.resident_tax)});
    return text;
}

}  // namespace

bool WriteWithholdingReturn(const WithholdingReturn& ret, int language, Format format,
                            const std::string& path, std::string* error) {
    return WritePaper(
        path, format, [&] { return ReturnCsv(ret, language); },
        {595.28, 841.89, PaperLabel(language, 1188) + " " + ret.payment_month},
        [&](PdfCanvas& pdf) { DrawReturn(pdf, ret, language); }, error);
}

std::string WithholdingReturnFileName(const WithholdingReturn& ret, Format format) {
    return "withholding-return-" + FileNamePart(ret.payment_month) +
           (format == Format::kPdf ? ".pdf" : ".csv");
}

}  // namespace payroll::print
