// The one reading of a month: the figures every host shows, gathered from
// the same run rows as the payslip.
#include <cstdlib>
#include <set>

#include "papers/paper_source.h"
#include "papers/run_rows.h"
#include "payroll/reading.h"
#include "platform/text/sql_text.h"

namespace payroll::reading {
namespace {

using papers::detail::Amount;
using papers::detail::EmployeeRun;
using papers::detail::ItemCatalog;
using papers::detail::Person;
using papers::detail::RunRows;
using papers::detail::RunUnit;
using papers::detail::Select;

// The deduction codes a clerk reads in columns of their own.
constexpr const char* kIncomeTax = "T00";
constexpr const char* kResidentTax = "T10";
constexpr const char* kPension = "S00";
constexpr const char* kHealth = "S10";
constexpr const char* kEmployment = "S20";

ResultLine LineOf(const RunUnit& unit, const std::string& code, const EmployeeRun& e,
                  const Person* person) {
    ResultLine line;
    line.employee = code;
    if (person) {
        line.name = person->name;
        line.department = person->department;
        line.department_name = person->department_name;
    }
    line.month = unit.month;
    line.sq = unit.sq;
    line.pay_types = unit.TypesText();
    line.pay_date = unit.pay_date;
    line.gross = e.gross;
    line.taxable = e.tpay + e.tbon;
    line.exempt = e.ewte + e.aite + e.ette;
    line.exempt_overtime = e.ewte;
    line.exempt_childbirth = e.aite;
    line.exempt_other = e.ette;
    line.bonus = e.tbon;
    for (const papers::PaperLine& d : e.deductions) {
        double* into = d.code == kIncomeTax     ? &line.income_tax
                       : d.code == kResidentTax ? &line.resident_tax
                       : d.code == kPension     ? &line.pension
                       : d.code == kHealth      ? &line.health
                       : d.code == kEmployment  ? &line.employment
                                                : &line.other_deductions;
        *into += d.amount;
    }
    line.total_deductions = e.total_deductions;
    line.net = e.gross - e.total_deductions;
    return line;
}

void Add(const ResultLine& line, ResultLine* sum) {
    sum->gross += line.gross;
    sum->taxable += line.taxable;
    sum->exempt += line.exempt;
    sum->exempt_overtime += line.exempt_overtime;
    sum->exempt_childbirth += line.exempt_childbirth;
    sum->exempt_other += line.exempt_other;
    sum->bonus += line.bonus;
    sum->income_tax += line.income_tax;
    sum->resident_tax += line.resident_tax;
    sum->pension += line.pension;
    sum->health += line.health;
    sum->employment += line.employment;
    sum->other_deductions += line.other_deductions;
    sum->total_deductions += line.total_deductions;
    sum->net += line.net;
}

bool Digits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

bool ReadCompanies(std::vector<std::string>* out, std::string* error) {
    out->clear();
    G_DataSource rows;
    if (!Select("SELECT DISTINCT CO_CD FROM HPHONPD ORDER BY CO_CD", "the companies", &rows, error))
        return false;
    for (long r = 0; r < rows.OnGetRecordCount(); ++r)
        out->push_back(rows.OnGetFieldValue("CO_CD", r).str());
    return true;
}

std::string LatestRunMonth(const std::string& company) {
    G_DataSource rows;
    std::string ignored;
    if (!Select("SELECT max(RVRS_YM) YM FROM HPHONPD WHERE CO_CD=" + SqlQuoted(company),
                "the latest month", &rows, &ignored))
        return std::string();
    return rows.OnGetRecordCount() > 0 ? rows.OnGetFieldValue("YM", 0).str() : std::string();
}

bool ReadRunEmployees(const HPHONPD_YMD_FMT& run, std::vector<RunEmployee>* out,
                      std::string* error) {
    out->clear();
    if (!Digits(run.SQ.View())) {
        *error = "the run has no sequence number";
        return false;
    }
    std::string where = "H.CO_CD=" + SqlQuoted(run.CO_CD.View()) +
                        " AND H.RVRS_YM=" + SqlQuoted(run.RVRS_YM.View()) +
                        " AND H.SQ=" + run.SQ.Str();
    if (!(run.CCIS_YN == "001")) where += " AND H.PYTP_FG=" + SqlQuoted(run.PYTP_FG.View());
    const std::string sql =
        "SELECT A.EMP_CD EMP_CD, S.KOR_NM KOR_NM FROM (SELECT H.CO_CD CO_CD, H.EMP_CD EMP_CD "
        "FROM HPOMPPD H WHERE " +
        where + " UNION SELECT H.CO_CD CO_CD, H.EMP_CD EMP_CD FROM HPOMPDD H WHERE " + where +
        ") A LEFT OUTER JOIN SEMP S ON S.CO_CD = A.CO_CD AND S.EMP_CD = A.EMP_CD ORDER BY "
        "A.EMP_CD";
    G_DataSource rows;
    if (!Select(sql, "the run's employees", &rows, error)) return false;
    for (long r = 0; r < rows.OnGetRecordCount(); ++r)
        out->push_back(
            {rows.OnGetFieldValue("EMP_CD", r).str(), rows.OnGetFieldValue("KOR_NM", r).str()});
    return true;
}

bool ReadMonthResults(const std::string& company, const std::string& month, int sq, int language,
                      MonthResults* out, std::string* error) {
    *out = MonthResults{};
    papers::PaperQuery query;
    query.company = company;
    query.period = month;
    query.sq = sq;
    query.language = language;
    if (!papers::detail::CheckQuery(query, false, error)) return false;
    std::vector<RunUnit> units;
    if (!papers::detail::ReadRunUnits(query, month, &units, error)) return false;
    if (units.empty()) return true;
    ItemCatalog items;
    std::map<std::string, Person> people;
    if (!items.Load(company, month.substr(0, 4), language, error) ||
        !papers::detail::ReadPeople(company, language, &people, error))
        return false;
    std::set<std::string> seen;
    for (const RunUnit& unit : units) {
        RunRows rows;
        if (!papers::detail::ReadRunRows(query, unit, items, &rows, error)) return false;
        for (const auto& [code, e] : rows.employees) {
            // Employees the tax road has not seen yet have no figures.
            if (!e.has_result) continue;
            const auto person = people.find(code);
            out->lines.push_back(
                LineOf(unit, code, e, person == people.end() ? nullptr : &person->second));
            Add(out->lines.back(), &out->totals);
            seen.insert(code);
        }
    }
    out->people = static_cast<long>(seen.size());
    return true;
}

bool ReadYearTotals(const std::string& company, const std::string& year,
                    std::array<MonthTotals, 12>* out, std::string* error) {
    *out = {};
    if (!papers::detail::IsYear(year)) {
        *error = "the year is YYYY";
        return false;
    }
    for (int m = 1; m <= 12; ++m) {
        const std::string month = year + (m < 10 ? "0" : "") + std::to_string(m);
        MonthResults results;
        if (!ReadMonthResults(company, month, 0, 0, &results, error)) return false;
        MonthTotals& t = (*out)[static_cast<std::size_t>(m - 1)];
        for (const ResultLine& line : results.lines)
            if (line.pay_types.rfind('2', 0) == 0) t.bonus_runs += line.gross;
        t.gross = results.totals.gross;
        t.income_tax = results.totals.income_tax;
        t.resident_tax = results.totals.resident_tax;
        t.total_deductions = results.totals.total_deductions;
        t.net = results.totals.net;
        t.people = results.people;
    }
    return true;
}

bool ReadStoredResults(const std::string& company, const std::string& month, int sq,
                       std::vector<std::string>* columns,
                       std::vector<std::vector<std::string>>* rows, std::string* error) {
    static const char* const kColumns[] = {
        "CO_CD",   "EMP_CD",  "KOR_NM",   "RVRS_YM", "SQ",      "PYTP_FG", "DIV_CD",  "DEPT_CD",
        "PJT_CD",  "HTYP_CD", "HRSP_CD",  "HCLS_CD", "HOPR_CD", "PYSP_FG", "PRTY_CD", "TPAY_AM",
        "TBON_AM", "SALY_AM", "BONUS_AM", "FGTE_AM", "EWTE_AM", "AITE_AM", "ETTE_AM", "FEDD_AM",
        "TXST_AM", "CCTX_AM", "PFND_AM",  "DEXT_AM", "SPIC_AM", "AGTX_AM", "INTX_AM", "RSTX_AM",
        "RTTF_AM", "ACBN_AM", "HIFE_AM",  "NAPE_AM", "DDCT_AM", "ETIN_AM", "EXCL_YN"};
    columns->assign(std::begin(kColumns), std::end(kColumns));
    rows->clear();
    std::string select;
    for (const char* c : kColumns) {
        if (!select.empty()) select += ", ";
        select += std::string_view(c) == "KOR_NM" ? "B.KOR_NM" : "A." + std::string(c);
    }
    std::string sql = "SELECT " + select +
                      " FROM HPOMNPY A LEFT OUTER JOIN SEMP B ON B.CO_CD = A.CO_CD AND "
                      "B.EMP_CD = A.EMP_CD WHERE A.CO_CD=" +
                      SqlQuoted(company) + " AND A.RVRS_YM=" + SqlQuoted(month) + " ";
    if (sq >= 0) sql += "AND A.SQ=" + std::to_string(sq) + " ";
    sql += "ORDER BY A.SQ, A.PYTP_FG, A.EMP_CD";
    G_DataSource source;
    if (!Select(sql, "the results", &source, error)) return false;
    for (long r = 0; r < source.OnGetRecordCount(); ++r) {
        rows->emplace_back();
        for (const char* c : kColumns) rows->back().push_back(source.OnGetFieldValue(c, r).str());
    }
    return true;
}

namespace {

// The rows of a table of a company's period, or -1.
long CountOf(const char* table, const std::string& company, const std::string& period) {
    if (!papers::detail::IsYear(period) && !papers::detail::IsMonth(period)) return -1;
    G_DataSource rows;
    std::string ignored;
    if (!Select(std::string("SELECT COUNT(*) N FROM ") + table + " WHERE CO_CD=" +
                    SqlQuoted(company) + " AND RVRS_YM LIKE " + SqlQuoted(period + "%"),
                table, &rows, &ignored) ||
        rows.OnGetRecordCount() < 1)
        return -1;
    return std::atol(rows.OnGetFieldValue("N", 0).c_str());
}

}  // namespace

long CountRuns(const std::string& company, const std::string& period) {
    return CountOf("HPHONPD", company, period);
}

long CountStoredResults(const std::string& company, const std::string& period) {
    return CountOf("HPOMNPY", company, period);
}

}  // namespace payroll::reading
