// The withholding ledgers of a year: per employee, each run's pay, exempt
// pay by class, taxes and insurance withheld, with the year's sums, read
// month by month through the one reading of a month.
#include <map>
#include <set>

#include "papers/paper_source.h"
#include "payroll/papers.h"
#include "payroll/reading.h"

namespace payroll::papers {
namespace {

void AddTo(const LedgerLine& from, LedgerLine* to) {
    to->gross += from.gross;
    to->taxable += from.taxable;
    to->exempt_overtime += from.exempt_overtime;
    to->exempt_childbirth += from.exempt_childbirth;
    to->exempt_other += from.exempt_other;
    to->bonus += from.bonus;
    to->income_tax += from.income_tax;
    to->resident_tax += from.resident_tax;
    to->pension += from.pension;
    to->health += from.health;
    to->employment += from.employment;
}

LedgerLine LineOf(const reading::ResultLine& r) {
    LedgerLine line;
    line.month = r.month;
    line.sq = r.sq;
    line.pay_types = r.pay_types;
    line.pay_date = r.pay_date;
    line.gross = r.gross;
    line.taxable = r.taxable - r.bonus;
    line.exempt_overtime = r.exempt_overtime;
    line.exempt_childbirth = r.exempt_childbirth;
    line.exempt_other = r.exempt_other;
    line.bonus = r.bonus;
    line.income_tax = r.income_tax;
    line.resident_tax = r.resident_tax;
    line.pension = r.pension;
    line.health = r.health;
    line.employment = r.employment;
    return line;
}

}  // namespace

bool ReadLedgers(const PaperQuery& query, std::vector<Ledger>* out, std::string* error) {
    out->clear();
    std::string ignored;
    if (!error) error = &ignored;
    if (!detail::CheckQuery(query, true, error)) return false;
    const std::set<std::string> wanted(query.employees.begin(), query.employees.end());
    std::map<std::string, Ledger> ledgers;  // by EMP_CD
    for (int m = 1; m <= 12; ++m) {
        const std::string month = query.period + (m < 10 ? "0" : "") + std::to_string(m);
        reading::MonthResults results;
        if (!reading::ReadMonthResults(query.company, month, 0, query.language, &results, error))
            return false;
        for (const reading::ResultLine& r : results.lines) {
            if (!wanted.empty() && !wanted.count(r.employee)) continue;
            Ledger& ledger = ledgers[r.employee];
            if (ledger.employee.empty()) {
                ledger.company = query.company;
                ledger.year = query.period;
                ledger.employee = r.employee;
                ledger.name = r.name;
                ledger.department_name = r.department_name;
            }
            ledger.lines.push_back(LineOf(r));
            AddTo(ledger.lines.back(), &ledger.totals);
        }
    }
    if (ledgers.empty()) {
        *error = "no results for company " + query.company + " in " + query.period +
                 (query.employees.empty() ? "" : " for those employees") +
                 " (has the income tax been calculated?)";
        return false;
    }
    for (const std::string& employee : query.employees)
        if (!ledgers.count(employee)) {
            *error = "employee " + employee + " has no results in " + query.period;
            return false;
        }
    for (auto& [code, ledger] : ledgers) out->push_back(std::move(ledger));
    return true;
}

}  // namespace payroll::papers
