#include "print/paper_register_sheet.h"

#include <string>
#include <vector>

#include "print/paper_render.h"

namespace payroll::print {
namespace {

using papers::Register;
using papers::RegisterTotal;

// The columns before the items: kind, run, pay date, department code and
// name, employee and name, people, lines.
constexpr int kHeads[] = {1161, 1108, 1106, 1325, 1104, 1102, 1103, 1196, 1326};

std::vector<SheetCell> Amounts(const std::vector<double>& amounts, double gross, double deductions,
                               double net) {
    std::vector<SheetCell> cells;
    cells.reserve(amounts.size() + 3);
    for (double a : amounts) cells.push_back(NumberCell(a));
    for (double a : {gross, deductions, net}) cells.push_back(NumberCell(a));
    return cells;
}

std::vector<SheetCell> TotalRow(const Register& r, const RegisterTotal& t, int lang, int kind,
                                bool with_run) {
    const papers::RegisterRun* run = with_run && t.run < r.runs.size() ? &r.runs[t.run] : nullptr;
    std::vector<SheetCell> row = {TextCell(PaperLabel(lang, kind)),
                                  run ? NumberCell(run->sq) : TextCell(""),
                                  TextCell(run ? PaperDate(run->pay_date) : ""),
                                  TextCell(t.department),
                                  TextCell(t.department_name),
                                  TextCell(""),
                                  TextCell(""),
                                  NumberCell(static_cast<double>(t.people)),
                                  NumberCell(static_cast<double>(t.lines))};
    std::vector<double> amounts = t.amounts;
    amounts.resize(r.columns.size(), 0);
    for (SheetCell& c : Amounts(amounts, t.gross, t.total_deductions, t.net))
        row.push_back(std::move(c));
    return row;
}

}  // namespace

Sheet RegisterSheet(const Register& r, int lang) {
    Sheet sheet;
    sheet.name = PaperLabel(lang, 1140) + " " + PaperDate(r.month);
    std::vector<SheetCell> head;
    for (int id : kHeads) head.push_back(TextCell(PaperLabel(lang, id)));
    for (const papers::RegisterColumn& c : r.columns)
        head.push_back(TextCell(c.name + " " + c.code));
    for (int id : {1117, 1118, 1119}) head.push_back(TextCell(PaperLabel(lang, id)));
    sheet.rows.push_back(std::move(head));
    auto total = [&](const RegisterTotal& t, int kind, bool with_run) {
        sheet.total_rows.push_back(sheet.rows.size());
        sheet.rows.push_back(TotalRow(r, t, lang, kind, with_run));
    };
    std::size_t department = 0;
    for (std::size_t i = 0; i < r.lines.size(); ++i) {
        const papers::RegisterLine& l = r.lines[i];
        const papers::RegisterRun run =
            l.run < r.runs.size() ? r.runs[l.run] : papers::RegisterRun{};
        std::vector<SheetCell> row = {TextCell(PaperLabel(lang, 1327)),
                                      NumberCell(run.sq),
                                      TextCell(PaperDate(run.pay_date)),
                                      TextCell(l.department),
                                      TextCell(l.department_name),
                                      TextCell(l.employee),
                                      TextCell(l.name),
                                      TextCell(""),
                                      TextCell("")};
        for (SheetCell& c : Amounts(l.amounts, l.gross, l.total_deductions, l.net))
            row.push_back(std::move(c));
        sheet.rows.push_back(std::move(row));
        const bool run_ends = i + 1 == r.lines.size() || r.lines[i + 1].run != l.run;
        if ((run_ends || r.lines[i + 1].department != l.department) &&
            department < r.departments.size())
            total(r.departments[department++], 1328, true);
        if (run_ends && r.runs.size() > 1 && l.run < r.run_totals.size())
            total(r.run_totals[l.run], 1329, true);
    }
    total(r.total, 1141, false);
    return sheet;
}

}  // namespace payroll::print
