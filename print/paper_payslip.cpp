// One employee's payslip: a page with the header, the pay and deduction
// lines, the totals and the calculation notes; or the same lines as CSV.
#include <cmath>
#include <string>
#include <vector>

#include "payroll/print.h"
#include "print/paper_canvas.h"
#include "print/paper_render.h"
#include "print/paper_write.h"

namespace payroll::print {
namespace {

using papers::PaperLine;
using papers::Payslip;

// The tax column of a pay line: taxable, or exempt with its class.
std::string TaxClass(const PaperLine& line, int lang) {
    if (line.taxable) return PaperLabel(lang, 1115);
    static const std::vector<std::string> kClasses = {"001", "002", "003", "004", "005", "006"};
    int id = 1137;
    for (std::size_t i = 0; i < kClasses.size(); ++i)
        if (line.exemption == kClasses[i]) id = 1131 + static_cast<int>(i);
    std::string cls = line.exemption.empty() ? "" : line.exemption + " ";
    return PaperLabel(lang, 1130, {cls + PaperLabel(lang, id)});
}

std::string RoundingText(const std::string& code, int lang) {
    if (code.size() == 3 && code >= "001" && code <= "017")
        return code + " " + PaperLabel(lang, 1170 + std::stoi(code));
    return PaperLabel(lang, 1129);
}

// The simplified table's working for the employee, line by line.
void TableNotes(const papers::PayslipNotes& n, const std::string& year, int lang,
                std::vector<std::string>* out) {
    out->push_back(PaperLabel(
        lang, 1340,
        {year, PaperWon(n.taxable_pay), PaperWon(n.table_cell), PaperWon(n.table_annual_pay)}));
    out->push_back(PaperLabel(
        lang, 1341,
        {PaperWon(n.table_earned), PaperWon(n.table_personal), std::to_string(n.table_persons),
         PaperWon(n.table_standard), PaperWon(n.table_pension), PaperWon(n.table_base)}));
    out->push_back(PaperLabel(
        lang, 1342,
        {PaperWon(n.table_computed), PaperWon(n.table_credit), PaperWon(n.table_monthly)}));
    if (n.table_monthly > 0 && n.computed_tax == 0) out->push_back(PaperLabel(lang, 1343));
}

std::vector<std::string> Notes(const Payslip& s, int lang) {
    const papers::PayslipNotes& n = s.notes;
    std::vector<std::string> out;
    if (n.has_pension && !n.pension_grade.empty())
        out.push_back(PaperLabel(lang, 1123,
                                 {PaperWon(n.pension_income), n.pension_grade,
                                  PaperPercent(n.pension_rate), PaperWon(n.pension_amount)}));
    else if (n.has_pension)
        out.push_back(PaperLabel(lang, 1346, {PaperWon(n.pension_amount)}));
    // Exempt-class pay over its limits (or beyond the overtime ceiling) was taxed.
    double exempt_items = 0;
    for (const PaperLine& l : s.pay)
        if (!l.taxable) exempt_items += l.amount;
    if (exempt_items - s.exempt >= 1)
        out.push_back(PaperLabel(lang, 1138, {PaperWon(exempt_items - s.exempt)}));
    const std::string year = s.month.substr(0, 4);
    if (n.has_income_tax && n.bonus_run) {
        out.push_back(PaperLabel(lang, 1126, {PaperWon(n.tax_base), year, PaperWon(n.income_tax)}));
    } else if (n.has_income_tax && n.by_table) {
        TableNotes(n, year, lang, &out);
    } else if (n.has_income_tax) {
        out.push_back(PaperLabel(lang, 1124,
                                 {PaperWon(n.taxable_pay), PaperWon(n.savings_deduction),
                                  PaperWon(n.division_deduction), PaperWon(n.tax_base)}));
        if (n.tax_base <= 0 || n.tax_rate <= 0)
            out.push_back(PaperLabel(lang, 1128, {year}));
        else
            out.push_back(
                PaperLabel(lang, 1125,
                           {year, PaperPercent(n.tax_rate), PaperWon(n.tax_less),
                            RoundingText(n.rounding_code, lang), PaperWon(n.computed_tax)}));
    }
    // Where the stored tax is not what the working gives, the slip says so.
    if (n.has_income_tax && !n.bonus_run && std::abs(n.computed_tax - n.income_tax) >= 0.5)
        out.push_back(PaperLabel(lang, 1344, {PaperWon(n.income_tax), PaperWon(n.computed_tax)}));
    if (n.has_income_tax) {
        out.push_back(PaperLabel(lang, 1127,
                                 {PaperWon(n.income_tax), PaperPercent(n.resident_rate),
                                  PaperWon(n.computed_resident_tax)}));
        if (std::abs(n.computed_resident_tax - n.resident_tax) >= 0.5)
            out.push_back(PaperLabel(
                lang, 1345, {PaperWon(n.resident_tax), PaperWon(n.computed_resident_tax)}));
    }
    return out;
}

constexpr double kSlipMargin = 50;
constexpr double kSlipRow = 15;

// Where the next `need` points go: here, or at the top of a new page when
// the page is full (a slip of very many lines goes on over a second page
// rather than off the bottom of the first).
double SlipRoom(PdfCanvas& pdf, double y, double need) {
    if (y + need <= pdf.height() - kSlipMargin) return y;
    pdf.NextPage();
    return kSlipMargin;
}

// A table's grey header row with its column titles.
double SlipHeaderRow(PdfCanvas& pdf, double y, const std::vector<std::string>& titles,
                     const std::vector<double>& xs, const std::vector<Align>& aligns) {
    const double right = pdf.width() - kSlipMargin;
    y = SlipRoom(pdf, y, 3 * kSlipRow);
    pdf.Rect(kSlipMargin, y, right - kSlipMargin, kSlipRow + 2, 0.88);
    TextStyle style{8.5, true};
    for (std::size_t i = 0; i < titles.size(); ++i) {
        double end = i + 1 < xs.size() ? xs[i + 1] : right;
        style.align = aligns[i];
        pdf.Text(xs[i] + 3, y + 3, end - xs[i] - 6, titles[i], style);
    }
    return y + kSlipRow + 2;
}

double SlipRow(PdfCanvas& pdf, double y, const std::vector<std::string>& cells,
               const std::vector<double>& xs, const std::vector<Align>& aligns, bool bold) {
    const double right = pdf.width() - kSlipMargin;
    y = SlipRoom(pdf, y, kSlipRow);
    TextStyle style{9, bold};
    for (std::size_t i = 0; i < cells.size(); ++i) {
        double end = i + 1 < xs.size() ? xs[i + 1] : right;
        style.align = aligns[i];
        pdf.Text(xs[i] + 3, y + 2, end - xs[i] - 6, cells[i], style);
    }
    pdf.Line(kSlipMargin, y + kSlipRow, right, y + kSlipRow, bold ? 0.8 : 0.3);
    return y + kSlipRow;
}

void DrawSlip(PdfCanvas& pdf, const Payslip& s, int lang) {
    const double left = kSlipMargin, right = pdf.width() - kSlipMargin, width = right - left;
    double y = kSlipMargin;
    y += pdf.Text(left, y, width, PaperLabel(lang, 1100), {18, true, Align::kCenter}) + 14;
    // The header: two columns of label and value.
    std::string period = s.period_from.empty()
                             ? PaperDate(s.month)
                             : PaperDate(s.period_from) + " ~ " + PaperDate(s.period_to);
    std::string department =
        s.department_name + (s.department.empty() ? "" : " (" + s.department + ")");
    const std::pair<int, std::string> fields[] = {
        {1101, s.company},  {1105, PaperDate(s.month)},
        {1102, s.employee}, {1108, std::to_string(s.sq) + " (" + s.pay_types + ")"},
        {1103, s.name},     {1106, PaperDate(s.pay_date)},
        {1104, department}, {1107, period}};
    const double half = width / 2;
    for (int i = 0; i < 8; ++i) {
        double x = left + (i % 2) * half;
        const int field_row = i / 2;  // two fields a row
        double row = y + field_row * kSlipRow;
        pdf.Text(x, row, 70, PaperLabel(lang, fields[i].first), {9, true});
        pdf.Text(x + 72, row, half - 76, fields[i].second, {9});
    }
    y += 4 * kSlipRow + 10;
    // Pay lines.
    const std::vector<double> pay_x = {left, left + 200, right - 120};
    const std::vector<Align> pay_a = {Align::kLeft, Align::kLeft, Align::kRight};
    y = SlipHeaderRow(pdf, y,
                      {PaperLabel(lang, 1110), PaperLabel(lang, 1114), PaperLabel(lang, 1113)},
                      pay_x, pay_a);
    for (const PaperLine& l : s.pay)
        y = SlipRow(pdf, y, {l.name + " (" + l.code + ")", TaxClass(l, lang), PaperWon(l.amount)},
                    pay_x, pay_a, false);
    y = SlipRow(pdf, y, {PaperLabel(lang, 1117), "", PaperWon(s.gross)}, pay_x, pay_a, true) + 12;
    // Deduction lines.
    const std::vector<double> ded_x = {left, right - 120};
    const std::vector<Align> ded_a = {Align::kLeft, Align::kRight};
    y = SlipHeaderRow(pdf, y, {PaperLabel(lang, 1111), PaperLabel(lang, 1113)}, ded_x, ded_a);
    for (const PaperLine& l : s.deductions)
        y = SlipRow(pdf, y, {l.name + " (" + l.code + ")", PaperWon(l.amount)}, ded_x, ded_a,
                    false);
    y = SlipRow(pdf, y, {PaperLabel(lang, 1118), PaperWon(s.total_deductions)}, ded_x, ded_a,
                true) +
        12;
    // Totals.
    const std::vector<double> sum_x = {left, right - 120};
    y = SlipRow(pdf, y, {PaperLabel(lang, 1120), PaperWon(s.taxable)}, sum_x, ded_a, false);
    y = SlipRow(pdf, y, {PaperLabel(lang, 1121), PaperWon(s.exempt)}, sum_x, ded_a, false);
    y = SlipRoom(pdf, y, kSlipRow + 8);
    pdf.Rect(left, y + 2, width, kSlipRow + 6, 0.93);
    pdf.Text(left + 3, y + 5, 200, PaperLabel(lang, 1119), {11, true});
    pdf.Text(right - 203, y + 5, 200, PaperWon(s.net), {11, true, Align::kRight});
    y += kSlipRow + 20;
    // Notes.
    y = SlipRoom(pdf, y, 2 * kSlipRow);
    y += pdf.Text(left, y, width, PaperLabel(lang, 1122), {9, true}) + 4;
    const TextStyle note_style{8, false, Align::kLeft, true};
    for (const std::string& note : Notes(s, lang)) {
        const std::string text = "· " + note;
        y = SlipRoom(pdf, y, pdf.TextHeight(text, width - 6, note_style));
        y += pdf.Text(left + 6, y, width - 6, text, note_style) + 3;
    }
}

std::string SlipCsv(const Payslip& s, int lang) {
    std::string text =
        PaperCsvLine({PaperLabel(lang, 1101), PaperLabel(lang, 1102), PaperLabel(lang, 1103),
                      PaperLabel(lang, 1104), PaperLabel(lang, 1105), PaperLabel(lang, 1108),
                      PaperLabel(lang, 1106), PaperLabel(lang, 1112), "code",
                      PaperLabel(lang, 1114), PaperLabel(lang, 1113)});
    auto line = [&](const std::string& item, const std::string& code, const std::string& tax,
                    double amount) {
        text += PaperCsvLine({s.company, s.employee, s.name, s.department_name, s.month,
                              std::to_string(s.sq), s.pay_date, item, code, tax,
                              PaperCsvAmount(amount)});
    };
    for (const PaperLine& l : s.pay) line(l.name, l.code, TaxClass(l, lang), l.amount);
    line(PaperLabel(lang, 1117), "", "", s.gross);
    for (const PaperLine& l : s.deductions) line(l.name, l.code, "", l.amount);
    line(PaperLabel(lang, 1118), "", "", s.total_deductions);
    line(PaperLabel(lang, 1120), "", "", s.taxable);
    line(PaperLabel(lang, 1121), "", "", s.exempt);
    line(PaperLabel(lang, 1119), "", "", s.net);
    for (const std::string& note : Notes(s, lang)) text += PaperCsvLine({"#", note});
    return text;
}

}  // namespace

bool WritePayslip(const Payslip& slip, int language, Format format, const std::string& path,
                  std::string* error) {
    return WritePaper(
        path, format, [&] { return SlipCsv(slip, language); },
        {595.28, 841.89, PaperLabel(language, 1100) + " " + slip.month + " " + slip.employee},
        [&](PdfCanvas& pdf) { DrawSlip(pdf, slip, language); }, error);
}

}  // namespace payroll::print
