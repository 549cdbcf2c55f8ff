// The withholding ledgers of a year: per employee, each run's taxable and
// exempt pay and the taxes withheld, with the year's sums.
#include <cstdlib>
#include <map>

#include "papers/paper_source.h"
#include "payroll/papers.h"

namespace payroll::papers {
namespace {

void AddTo(const LedgerLine& from, LedgerLine* to) {
    to->taxable += from.taxable;
    to->exempt_overtime += from.exempt_overtime;
    to->exempt_childbirth += from.exempt_childbirth;
    to->exempt_other += from.exempt_other;
    to->bonus += from.bonus;
    to->income_tax += from.income_tax;
    to->resident_tax += from.resident_tax;
}

}  // namespace

bool ReadLedgers(const PaperQuery& query, std::vector<Ledger>* out, std::string* error) {
    out->clear();
    std::string ignored;
    if (!error) error = &ignored;
    if (!detail::CheckQuery(query, true, error)) return false;
    G_DataSource rows, resident, dates;
    if (!detail::Select(
            "SELECT EMP_CD, RVRS_YM, SQ, PYTP_FG, TPAY_AM, TBON_AM, EWTE_AM, AITE_AM, ETTE_AM, "
            "INTX_AM, RSTX_AM FROM HPOMNPY WHERE CO_CD=" +
                SqlQuoted(query.company) + " AND RVRS_YM LIKE " + SqlQuoted(query.period + "%") +
                detail::EmployeeFilter(query, "EMP_CD") + " ORDER BY EMP_CD, RVRS_YM, SQ, PYTP_FG",
            "the results", &rows, error) ||
        // What was withheld as resident tax is the T10 deduction: the monthly
        // road leaves the results' RSTX_AM to the bonus road.
        !detail::Select("SELECT EMP_CD, RVRS_YM, SQ, SUM(DDCT_AM) DDCT_AM FROM HPOMPDD WHERE "
                        "CO_CD=" +
                            SqlQuoted(query.company) + " AND RVRS_YM LIKE " +
                            SqlQuoted(query.period + "%") + " AND PYDD_FG='P3' AND DDCT_CD='T10'" +
                            detail::EmployeeFilter(query, "EMP_CD") +
                            " GROUP BY EMP_CD, RVRS_YM, SQ",
                        "the resident tax", &resident, error) ||
        !detail::Select(
            "SELECT RVRS_YM, SQ, PAY_DT FROM HPHPYFQ WHERE CO_CD=" + SqlQuoted(query.company) +
                " AND RVRS_YM LIKE " + SqlQuoted(query.period + "%"),
            "the pay dates", &dates, error))
        return false;
    if (rows.OnGetRecordCount() == 0) {
        *error = "no results for company " + query.company + " in " + query.period +
                 (query.employees.empty() ? "" : " for those employees") +
                 " (has the income tax been calculated?)";
        return false;
    }
    std::map<std::string, std::string> pay_dates;
    for (long r = 0; r < dates.OnGetRecordCount(); ++r)
        pay_dates[dates.OnGetFieldValue("RVRS_YM", r).str() + "/" +
                  dates.OnGetFieldValue("SQ", r).str()] = dates.OnGetFieldValue("PAY_DT", r).str();
    std::map<std::string, detail::Person> people;
    if (!detail::ReadPeople(query.company, query.language, &people, error)) return false;
    for (long r = 0; r < rows.OnGetRecordCount(); ++r) {
        std::string employee = rows.OnGetFieldValue("EMP_CD", r).str();
        if (out->empty() || out->back().employee != employee) {
            Ledger ledger;
            ledger.company = query.company;
            ledger.year = query.period;
            ledger.employee = employee;
            if (auto p = people.find(employee); p != people.end()) {
                ledger.name = p->second.name;
                ledger.department_name = p->second.department_name;
            }
            out->push_back(std::move(ledger));
        }
        Ledger& ledger = out->back();
        std::string month = rows.OnGetFieldValue("RVRS_YM", r).str();
        int sq = std::atoi(rows.OnGetFieldValue("SQ", r).c_str());
        std::string type = rows.OnGetFieldValue("PYTP_FG", r).str();
        if (ledger.lines.empty() || ledger.lines.back().month != month ||
            ledger.lines.back().sq != sq) {
            LedgerLine line;
            line.month = month;
            line.sq = sq;
            line.pay_date = pay_dates[month + "/" + std::to_string(sq)];
            ledger.lines.push_back(std::move(line));
        } else {
            ledger.lines.back().pay_types += ",";
        }
        LedgerLine row;
        row.taxable = detail::Amount(rows.OnGetFieldValue("TPAY_AM", r));
        row.exempt_overtime = detail::Amount(rows.OnGetFieldValue("EWTE_AM", r));
        row.exempt_childbirth = detail::Amount(rows.OnGetFieldValue("AITE_AM", r));
        row.exempt_other = detail::Amount(rows.OnGetFieldValue("ETTE_AM", r));
        row.bonus = detail::Amount(rows.OnGetFieldValue("TBON_AM", r));
        row.income_tax = detail::Amount(rows.OnGetFieldValue("INTX_AM", r));
        row.resident_tax = detail::Amount(rows.OnGetFieldValue("RSTX_AM", r));
        ledger.lines.back().pay_types += type;
        AddTo(row, &ledger.lines.back());
        AddTo(row, &ledger.totals);
    }
    std::map<std::string, double> withheld;  // "EMP_CD/RVRS_YM/SQ"
    for (long r = 0; r < resident.OnGetRecordCount(); ++r)
        withheld[resident.OnGetFieldValue("EMP_CD", r).str() + "/" +
                 resident.OnGetFieldValue("RVRS_YM", r).str() + "/" +
                 std::to_string(std::atoi(resident.OnGetFieldValue("SQ", r).c_str()))] =
            detail::Amount(resident.OnGetFieldValue("DDCT_AM", r));
    for (Ledger& ledger : *out) {
        ledger.totals.resident_tax = 0;
        for (LedgerLine& line : ledger.lines) {
            auto it =
                withheld.find(ledger.employee + "/" + line.month + "/" + std::to_string(line.sq));
            if (it != withheld.end() && it->second != 0) line.resident_tax = it->second;
            ledger.totals.resident_tax += line.resident_tax;
        }
    }
    for (const std::string& employee : query.employees) {
        bool found = false;
        for (const Ledger& l : *out) found = found || l.employee == employee;
        if (!found) {
            out->clear();
            *error = "employee " + employee + " has no results in " + query.period;
            return false;
        }
    }
    return true;
}

}  // namespace payroll::papers
