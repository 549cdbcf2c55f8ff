// One employee's payslip: a page with the header, the pay and deduction
// lines, the totals and the calculation notes; or the same lines as CSV.
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "payroll/print.h"
#include "print/paper_canvas.h"
#include "print/paper_render.h"
#include "print/paper_write.h"

namespace payroll::print {
namespace {

using papers::PaperLine;
using papers::Payslip;

// The words of an exemption class ("식대"): the class's name, or "other".
std::string ClassWords(const std::string& exemption, int lang) {
    static const std::vector<std::string> kClasses = {"001", "002", "003", "004", "005", "006"};
    int id = 1137;
    for (std::size_t i = 0; i < kClasses.size(); ++i)
        if (exemption == kClasses[i]) id = 1131 + static_cast<int>(i);
    return PaperLabel(lang, id);
}

// The tax column of a pay line: taxable, exempt with its class in words, or
// both parts of a line over its exemption limit.
std::string TaxClass(const PaperLine& line, const Payslip::PayDetail& part, int lang) {
    if (line.taxable) return PaperLabel(lang, 1115);
    // An exempt-class item taxed whole (overtime past its ceiling) still
    // shows its class, with nothing exempt.
    const std::string words = ClassWords(line.exemption, lang);
    if (std::abs(part.taxable) < 0.5) return PaperLabel(lang, 1130, {words});
    return PaperLabel(lang, 1407, {words, PaperWon(part.exempt), PaperWon(part.taxable)});
}

// The hours and the method of a line of variable pay, or the days a
// prorated line pays for; empty without them.
std::string WorkText(const Payslip::PayDetail& part, int lang) {
    std::string text;
    if (part.has_hours) text = PaperLabel(lang, 1408, {PaperCsvAmount(part.hours)});
    if (part.prorated_days > 0)
        text += (text.empty() ? "" : " · ") +
                PaperLabel(lang, 1413,
                           {std::to_string(part.prorated_days), std::to_string(part.window_days)});
    if (!part.method.empty())
        text += (text.empty() ? "" : " · ") + PaperLabel(lang, 1409, {part.method});
    return text;
}

Payslip::PayDetail DetailOf(const Payslip& s, std::size_t i) {
    return i < s.pay_detail.size() ? s.pay_detail[i] : Payslip::PayDetail{};
}

std::string RoundingText(const std::string& code, int lang) {
    if (code.size() == 3 && code >= "001" && code <= "017")
        return PaperLabel(lang, 1170 + std::stoi(code));
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
        out.push_back(PaperLabel(lang, 1410,
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

// The slip's title: a bonus run's slip is a bonus slip.
std::string Title(const Payslip& s, int lang) {
    return PaperLabel(lang, s.notes.bonus_run ? 1400 : 1100);
}

// The header's fields, two a row: the employer on the left of the first
// rows, the employee below, the run and its period on the right.
std::vector<std::pair<std::string, std::string>> HeaderFields(const Payslip& s, int lang) {
    std::string period = s.period_from.empty()
                             ? PaperDate(s.month)
                             : PaperDate(s.period_from) + " ~ " + PaperDate(s.period_to);
    const std::string days = s.days_worked > 0 && !s.notes.bonus_run
                                 ? PaperLabel(lang, 1406, {std::to_string(s.days_worked)})
                                 : std::string();
    const std::string run = PaperLabel(
        lang, 1404,
        {s.pay_type_names.empty() ? s.pay_types : s.pay_type_names, std::to_string(s.sq)});
    return {{PaperLabel(lang, 1101), s.company_name.empty() ? s.company : s.company_name},
            {PaperLabel(lang, 1403), s.business_no},
            {PaperLabel(lang, 1402), s.representative},
            {PaperLabel(lang, 1105), PaperDate(s.month)},
            {PaperLabel(lang, 1102), s.employee},
            {PaperLabel(lang, 1109), run},
            {PaperLabel(lang, 1103), s.name},
            {PaperLabel(lang, 1106), PaperDate(s.pay_date)},
            {PaperLabel(lang, 1104), s.department_name},
            {PaperLabel(lang, s.notes.bonus_run ? 1401 : 1107), period},
            {"", ""},
            {days.empty() ? "" : PaperLabel(lang, 1405), days}};
}

void DrawSlip(PdfCanvas& pdf, const Payslip& s, int lang) {
    const double left = kSlipMargin, right = pdf.width() - kSlipMargin, width = right - left;
    double y = kSlipMargin;
    y += pdf.Text(left, y, width, Title(s, lang), {18, true, Align::kCenter}) + 14;
    const auto fields = HeaderFields(s, lang);
    const double half = width / 2, label = 88;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        double x = left + static_cast<double>(i % 2) * half;
        const std::size_t field_row = i / 2;  // two fields a row
        double row = y + static_cast<double>(field_row) * kSlipRow;
        pdf.Text(x, row, label - 2, fields[i].first, {9, true});
        pdf.Text(x + label, row, half - label - 4, fields[i].second, {9});
    }
    const std::size_t rows = (fields.size() + 1) / 2;
    y += static_cast<double>(rows) * kSlipRow + 10;
    // Pay lines: an item over its exemption limit shows both its parts, and
    // variable pay the hours and the method below its line.
    const std::vector<double> pay_x = {left, left + 150, right - 100};
    const std::vector<Align> pay_a = {Align::kLeft, Align::kLeft, Align::kRight};
    y = SlipHeaderRow(pdf, y,
                      {PaperLabel(lang, 1110), PaperLabel(lang, 1114), PaperLabel(lang, 1113)},
                      pay_x, pay_a);
    const TextStyle work_style{7.5, false, Align::kLeft, true};
    for (std::size_t i = 0; i < s.pay.size(); ++i) {
        const PaperLine& l = s.pay[i];
        const Payslip::PayDetail part = DetailOf(s, i);
        const std::string work = WorkText(part, lang);
        if (work.empty()) {
            y = SlipRow(pdf, y, {l.name, TaxClass(l, part, lang), PaperWon(l.amount)}, pay_x, pay_a,
                        false);
            continue;
        }
        const double box = right - 100 - left - 16;
        const double need = kSlipRow + pdf.TextHeight(work, box, work_style) + 3;
        y = SlipRoom(pdf, y, need);
        TextStyle cell{9, false};
        pdf.Text(pay_x[0] + 3, y + 2, pay_x[1] - pay_x[0] - 6, l.name, cell);
        pdf.Text(pay_x[1] + 3, y + 2, pay_x[2] - pay_x[1] - 6, TaxClass(l, part, lang), cell);
        cell.align = Align::kRight;
        pdf.Text(pay_x[2] + 3, y + 2, right - pay_x[2] - 6, PaperWon(l.amount), cell);
        pdf.Text(left + 13, y + kSlipRow - 1, box, work, work_style);
        pdf.Line(left, y + need, right, y + need, 0.3);
        y += need;
    }
    y = SlipRow(pdf, y, {PaperLabel(lang, 1117), "", PaperWon(s.gross)}, pay_x, pay_a, true) + 12;
    // Deduction lines.
    const std::vector<double> ded_x = {left, right - 100};
    const std::vector<Align> ded_a = {Align::kLeft, Align::kRight};
    y = SlipHeaderRow(pdf, y, {PaperLabel(lang, 1111), PaperLabel(lang, 1113)}, ded_x, ded_a);
    for (const PaperLine& l : s.deductions)
        y = SlipRow(pdf, y, {l.name, PaperWon(l.amount)}, ded_x, ded_a, false);
    y = SlipRow(pdf, y, {PaperLabel(lang, 1118), PaperWon(s.total_deductions)}, ded_x, ded_a,
                true) +
        12;
    // Totals.
    y = SlipRow(pdf, y, {PaperLabel(lang, 1120), PaperWon(s.taxable)}, ded_x, ded_a, false);
    y = SlipRow(pdf, y, {PaperLabel(lang, 1121), PaperWon(s.exempt)}, ded_x, ded_a, false);
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

// The slip as CSV: a line per item with the slip's header repeated, each pay
// line with its exempt and taxable parts, hours and method; the notes last.
std::string SlipCsv(const Payslip& s, int lang) {
    std::vector<std::string> head;
    const int period_label = s.notes.bonus_run ? 1401 : 1107;
    for (int id : {1101, 1403, 1102, 1103, 1104, 1105, 1108, 1106, period_label, 1405, 1112})
        head.push_back(PaperLabel(lang, id));
    for (const std::string& extra :
         {std::string("code"), PaperLabel(lang, 1114), PaperLabel(lang, 1113),
          PaperLabel(lang, 1116), PaperLabel(lang, 1115), PaperLabel(lang, 1411),
          PaperLabel(lang, 1412)})
        head.push_back(extra);
    std::string text = PaperCsvLine(head);
    const std::string period = s.period_from.empty() ? "" : s.period_from + "-" + s.period_to;
    auto line = [&](const std::string& item, const std::string& code, const std::string& tax,
                    double amount, const std::vector<std::string>& parts) {
        std::vector<std::string> cells = {
            s.company_name.empty() ? s.company : s.company_name,
            s.business_no,
            s.employee,
            s.name,
            s.department_name,
            s.month,
            std::to_string(s.sq),
            s.pay_date,
            period,
            s.days_worked > 0 && !s.notes.bonus_run ? std::to_string(s.days_worked) : "",
            item,
            code,
            tax,
            PaperCsvAmount(amount)};
        cells.insert(cells.end(), parts.begin(), parts.end());
        text += PaperCsvLine(cells);
    };
    for (std::size_t i = 0; i < s.pay.size(); ++i) {
        const PaperLine& l = s.pay[i];
        const Payslip::PayDetail part = DetailOf(s, i);
        std::string method = part.method;
        if (method.empty() && part.prorated_days > 0)
            method = PaperLabel(
                lang, 1413, {std::to_string(part.prorated_days), std::to_string(part.window_days)});
        line(l.name, l.code, TaxClass(l, part, lang), l.amount,
             {PaperCsvAmount(part.exempt), PaperCsvAmount(part.taxable),
              part.has_hours ? PaperCsvAmount(part.hours) : "", method});
    }
    line(PaperLabel(lang, 1117), "", "", s.gross, {});
    for (const PaperLine& l : s.deductions) line(l.name, l.code, "", l.amount, {});
    line(PaperLabel(lang, 1118), "", "", s.total_deductions, {});
    line(PaperLabel(lang, 1120), "", "", s.taxable, {});
    line(PaperLabel(lang, 1121), "", "", s.exempt, {});
    line(PaperLabel(lang, 1119), "", "", s.net, {});
    for (const std::string& note : Notes(s, lang)) text += PaperCsvLine({"#", note});
    return text;
}

}  // namespace

bool WritePayslip(const Payslip& slip, int language, Format format, const std::string& path,
                  std::string* error) {
    return WritePaper(
        path, format, [&] { return SlipCsv(slip, language); },
        {595.28, 841.89, Title(slip, language) + " " + slip.month + " " + slip.employee},
        [&](PdfCanvas& pdf) { DrawSlip(pdf, slip, language); }, error);
}

}  // namespace payroll::print
