// The payroll register of a month: a line per employee, a column per item
// with an amount in the runs, and the column totals.
#include <algorithm>

#include "papers/run_rows.h"
#include "payroll/papers.h"

namespace payroll::papers {
namespace {

// The columns: every item with a non-zero amount somewhere in the runs.
std::vector<RegisterColumn> Columns(const std::vector<detail::RunRows>& month) {
    std::vector<RegisterColumn> columns;
    auto add = [&](const PaperLine& line, bool deduction) {
        if (line.amount == 0) return;
        for (const RegisterColumn& c : columns)
            if (c.code == line.code && c.deduction == deduction) return;
        columns.push_back({line.code, line.name, deduction});
    };
    for (const detail::RunRows& rows : month) {
        for (const auto& [employee, e] : rows.employees) {
            for (const PaperLine& l : e.pay) add(l, false);
            for (const PaperLine& l : e.deductions) add(l, true);
        }
    }
    std::stable_sort(columns.begin(), columns.end(),
                     [](const RegisterColumn& a, const RegisterColumn& b) {
                         if (a.deduction != b.deduction) return !a.deduction;
                         return detail::ItemBefore(a.deduction, a.code, b.code);
                     });
    return columns;
}

}  // namespace

bool ReadRegister(const PaperQuery& query, Register* out, std::string* error) {
    *out = Register{};
    std::string ignored;
    if (!error) error = &ignored;
    if (!detail::CheckQuery(query, false, error)) return false;
    PaperQuery everyone = query;
    everyone.employees.clear();
    detail::ItemCatalog items;
    std::vector<detail::RunRows> month;
    std::map<std::string, detail::Person> people;
    if (!detail::ReadMonth(everyone, &items, &month, error) ||
        !detail::ReadPeople(query.company, query.language, &people, error))
        return false;
    out->company = query.company;
    out->month = query.period;
    for (const detail::RunRows& rows : month) {
        if (rows.employees.empty()) continue;
        std::string sep = out->runs.empty() ? "" : ", ";
        out->runs += sep + std::to_string(rows.unit.sq) + " (" + rows.unit.TypesText() + ")";
        out->pay_dates += sep + rows.unit.pay_date;
    }
    out->columns = Columns(month);
    out->totals.assign(out->columns.size(), 0);
    std::map<std::string, RegisterLine> lines;
    for (const detail::RunRows& rows : month) {
        for (const auto& [employee, e] : rows.employees) {
            RegisterLine& line = lines[employee];
            if (line.employee.empty()) {
                line.employee = employee;
                line.amounts.assign(out->columns.size(), 0);
                if (auto p = people.find(employee); p != people.end()) {
                    line.name = p->second.name;
                    line.department_name = p->second.department_name;
                }
            }
            for (std::size_t c = 0; c < out->columns.size(); ++c) {
                const auto& from = out->columns[c].deduction ? e.deductions : e.pay;
                for (const PaperLine& l : from)
                    if (l.code == out->columns[c].code) line.amounts[c] += l.amount;
            }
            line.gross += e.gross;
            line.total_deductions += e.total_deductions;
            line.net += e.gross - e.total_deductions;
        }
    }
    for (auto& [employee, line] : lines) {
        for (std::size_t c = 0; c < line.amounts.size(); ++c) out->totals[c] += line.amounts[c];
        out->gross += line.gross;
        out->total_deductions += line.total_deductions;
        out->net += line.net;
        out->lines.push_back(std::move(line));
    }
    return true;
}

}  // namespace payroll::papers
