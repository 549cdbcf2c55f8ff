// The payroll register of a month: a line per employee and run, a column per
// item with an amount in the runs, and the sums a clerk checks against:
// each department of a run, each run and the month.
#include <algorithm>
#include <set>
#include <tuple>

#include "papers/run_rows.h"
#include "payroll/papers.h"
#include "payroll/reading.h"

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

RegisterLine LineOf(std::size_t run, const std::string& employee, const detail::EmployeeRun& e,
                    const std::map<std::string, detail::Person>& people,
                    const std::vector<RegisterColumn>& columns) {
    RegisterLine line;
    line.run = run;
    line.employee = employee;
    if (auto p = people.find(employee); p != people.end()) {
        line.name = p->second.name;
        line.department = p->second.department;
        line.department_name = p->second.department_name;
    }
    line.amounts.assign(columns.size(), 0);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const auto& from = columns[c].deduction ? e.deductions : e.pay;
        for (const PaperLine& l : from)
            if (l.code == columns[c].code) line.amounts[c] += l.amount;
    }
    line.gross = e.gross;
    line.total_deductions = e.total_deductions;
    line.net = e.gross - e.total_deductions;
    return line;
}

// Sums lines into a total; `seen` holds the employees it counted already.
void AddTo(const RegisterLine& line, RegisterTotal* total, std::set<std::string>* seen) {
    if (total->amounts.size() < line.amounts.size()) total->amounts.resize(line.amounts.size(), 0);
    for (std::size_t c = 0; c < line.amounts.size(); ++c) total->amounts[c] += line.amounts[c];
    total->gross += line.gross;
    total->total_deductions += line.total_deductions;
    total->net += line.net;
    ++total->lines;
    if (seen->insert(line.employee).second) ++total->people;
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
    // A database made before the company record existed prints the code.
    reading::CompanyIdentity identity;
    std::string no_identity;
    if (!reading::ReadCompanyIdentity(query.company, &identity, &no_identity))
        identity.code = query.company;
    out->company_name = reading::CompanyDisplayName(identity, query.language == 1);
    out->month = query.period;
    out->columns = Columns(month);
    for (const detail::RunRows& rows : month) {
        if (rows.employees.empty()) continue;
        const std::size_t run = out->runs.size();
        out->runs.push_back({rows.unit.sq, rows.unit.TypesText(), rows.unit.pay_date});
        std::vector<RegisterLine> lines;
        for (const auto& [employee, e] : rows.employees)
            lines.push_back(LineOf(run, employee, e, people, out->columns));
        std::stable_sort(
            lines.begin(), lines.end(), [](const RegisterLine& a, const RegisterLine& b) {
                return std::tie(a.department, a.employee) < std::tie(b.department, b.employee);
            });
        RegisterTotal run_total;
        run_total.run = run;
        std::set<std::string> in_run;
        std::set<std::string> in_department;
        for (RegisterLine& line : lines) {
            if (out->departments.empty() || out->departments.back().run != run ||
                out->departments.back().department != line.department) {
                RegisterTotal department;
                department.run = run;
                department.department = line.department;
                department.department_name = line.department_name;
                out->departments.push_back(std::move(department));
                in_department.clear();
            }
            AddTo(line, &out->departments.back(), &in_department);
            AddTo(line, &run_total, &in_run);
            out->lines.push_back(std::move(line));
        }
        out->run_totals.push_back(std::move(run_total));
    }
    std::set<std::string> in_month;
    out->total.amounts.assign(out->columns.size(), 0);
    for (const RegisterLine& line : out->lines) AddTo(line, &out->total, &in_month);
    return true;
}

}  // namespace payroll::papers
