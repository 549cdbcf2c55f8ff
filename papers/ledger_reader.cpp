// The withholding ledgers of a year: per employee, each month's pay, exempt
// pay by class, taxes and insurance withheld (the sums of the runs paid for
// it), with the year's sums and the employer's block, read month by month
// through the one reading of a month.
#include <map>
#include <set>

#include "papers/paper_source.h"
#include "payroll/papers.h"
#include "payroll/reading.h"

namespace payroll::papers {
namespace {

void AddTo(const LedgerLine& from, LedgerLine* to) {
    to->pay_dates.insert(to->pay_dates.end(), from.pay_dates.begin(), from.pay_dates.end());
    to->runs += from.runs;
    to->gross += from.gross;
    to->taxable += from.taxable;
    to->bonus += from.bonus;
    to->exempt_overtime += from.exempt_overtime;
    to->exempt_childbirth += from.exempt_childbirth;
    to->exempt_other += from.exempt_other;
    to->income_tax += from.income_tax;
    to->resident_tax += from.resident_tax;
    to->pension += from.pension;
    to->health += from.health;
    to->employment += from.employment;
}

// One run of the month as a ledger's figures.
LedgerLine RunOf(const reading::ResultLine& r) {
    LedgerLine line;
    line.month = r.month;
    line.pay_dates = {r.pay_date};
    line.runs = 1;
    line.gross = r.gross;
    line.taxable = r.taxable - r.bonus;
    line.bonus = r.bonus;
    line.exempt_overtime = r.exempt_overtime;
    line.exempt_childbirth = r.exempt_childbirth;
    line.exempt_other = r.exempt_other;
    line.income_tax = r.income_tax;
    line.resident_tax = r.resident_tax;
    line.pension = r.pension;
    line.health = r.health;
    line.employment = r.employment;
    return line;
}

Employer EmployerOf(const std::string& company, int language) {
    reading::CompanyIdentity identity;
    std::string no_identity;
    Employer employer;
    employer.code = company;
    // A database made before the company record existed: the code alone.
    if (!reading::ReadCompanyIdentity(company, &identity, &no_identity)) return employer;
    const std::string name = reading::CompanyDisplayName(identity, language == 1);
    employer.name = name == company ? std::string() : name;
    employer.representative = identity.representative;
    employer.business_no = identity.business_no;
    employer.address = identity.address;
    return employer;
}

}  // namespace

bool ReadLedgers(const PaperQuery& query, std::vector<Ledger>* out, std::string* error) {
    out->clear();
    std::string ignored;
    if (!error) error = &ignored;
    if (!detail::CheckQuery(query, true, error)) return false;
    const std::set<std::string> wanted(query.employees.begin(), query.employees.end());
    std::map<std::string, Ledger> ledgers;  // by EMP_CD
    const Employer employer = EmployerOf(query.company, query.language);
    for (int m = 1; m <= 12; ++m) {
        const std::string month = query.period + (m < 10 ? "0" : "") + std::to_string(m);
        reading::MonthResults results;
        if (!reading::ReadMonthResults(query.company, month, 0, query.language, &results, error))
            return false;
        for (const reading::ResultLine& r : results.lines) {
            if (!wanted.empty() && !wanted.count(r.employee)) continue;
            Ledger& ledger = ledgers[r.employee];
            if (ledger.employee.empty()) {
                ledger.employer = employer;
                ledger.year = query.period;
                ledger.employee = r.employee;
                ledger.name = r.name;
                ledger.department = r.department;
                ledger.department_name = r.department_name;
                for (int k = 1; k <= 12; ++k) {
                    ledger.lines.emplace_back();
                    ledger.lines.back().month =
                        query.period + (k < 10 ? "0" : "") + std::to_string(k);
                }
            }
            const LedgerLine run = RunOf(r);
            AddTo(run, &ledger.lines[static_cast<std::size_t>(m - 1)]);
            AddTo(run, &ledger.totals);
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
