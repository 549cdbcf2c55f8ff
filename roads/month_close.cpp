// The month's close: what a payroll office completes after the income tax
// of its runs is known. Each run's resident tax (the year's rate of the
// income tax, cut to tens; a bonus run's as the bonus road computed it),
// the national pension and health insurance of the employee master once a
// month in the first salary run that pays him, the employment insurance at
// the rate in force of the run's taxable pay, and the result rows' fields
// that carry these deductions. Set-based statements per month, inside the
// caller's transaction; only the deduction rows a run has are filled.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "engine/common/messages.h"
#include "payroll/datasource.h"
#include "payroll/roads.h"
#include "platform/text/sql_text.h"

namespace payroll {
namespace {

// The correlation of a subquery's rows (alias X) with the deduction row
// being updated: the same company, month, run, employee and pay type.
std::string SameRow(const char* x, const char* table) {
    std::string out;
    for (const char* column : {"CO_CD", "RVRS_YM", "SQ", "EMP_CD", "PYTP_FG"}) {
        if (!out.empty()) out += " AND ";
        out += std::string(x) + "." + column + "=" + table + "." + column;
    }
    return out;
}

std::string Number(double value) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.6f", value);
    return buf;
}

// The employment-insurance rates of the employee, by the date each took
// effect (ascending).
using RateTable = std::vector<std::pair<std::string, double>>;

bool ReadEmploymentRates(RateTable* rates, std::string* error) {
    G_DataSource rows;
    if (!rows.OnExecuteSQL(
            "SELECT FROM_YMD, EMPL_RT FROM HINSRAT WHERE INS_KIND='EMPLOY' ORDER BY FROM_YMD")) {
        *error = "the employment-insurance rates (HINSRAT) could not be read: " +
                 rows.GetLastError().str();
        return false;
    }
    rates->clear();
    for (long r = 0; r < rows.OnGetRecordCount(); ++r)
        if (!rows.OnGetFieldValue("EMPL_RT", r).IsEmpty())
            rates->emplace_back(rows.OnGetFieldValue("FROM_YMD", r).str(),
                                std::atof(rows.OnGetFieldValue("EMPL_RT", r).c_str()));
    return true;
}

// The rate in force on the last day of a month; false when none is.
bool RateOn(const RateTable& rates, const std::string& month, double* rate) {
    const std::string last_day = month + "31";
    bool found = false;
    for (const auto& [from, value] : rates)
        if (from <= last_day) {
            *rate = value;
            found = true;
        }
    return found;
}

bool ResidentRate(const std::string& year, double* rate, std::string* error) {
    G_DataSource row;
    if (!row.OnExecuteSQL(CString("SELECT RSTX_RT FROM HPMLBEC WHERE CO_CD='0000' AND RVRS_YY=" +
                                  SqlQuoted(year)))) {
        *error = row.GetLastError().str();
        return false;
    }
    if (row.OnGetRecordCount() < 1 || row.OnGetFieldValue("RSTX_RT", 0).IsEmpty()) {
        *error =
            "the resident-tax rate of " + year + " is missing (HPMLBEC RSTX_RT of company 0000)";
        return false;
    }
    *rate = std::atof(row.OnGetFieldValue("RSTX_RT", 0).c_str());
    return true;
}

// The statements that close one month of a company: one pass over the
// month's deduction rows of the four codes, then one over its results.
std::vector<std::string> CloseStatements(const std::string& company, const std::string& month,
                                         double resident_rate, double employment_rate) {
    const std::string where =
        " WHERE CO_CD=" + SqlQuoted(company) + " AND RVRS_YM=" + SqlQuoted(month);
    // Resident tax: a salary run's is the year's rate of its income tax, a
    // bonus run's the bonus road's.
    const std::string salary_resident = "COALESCE((SELECT ROUND(SUM(T.DDCT_AM)*" +
                                        Number(resident_rate) + ",-1,1) FROM HPOMPDD T WHERE " +
                                        SameRow("T", "HPOMPDD") + " AND T.DDCT_CD='T00'),0)";
    const std::string bonus_resident =
        "COALESCE((SELECT SUM(N.RSTX_AM) FROM HPOMNPY N WHERE " + SameRow("N", "HPOMPDD") + "),0)";
    // The pension and the health insurance the agencies bill for the month,
    // in the first salary run of the month that pays the employee.
    auto billed = [](const char* column) {
        return std::string(
                   "CASE WHEN SQ=(SELECT MIN(N.SQ) FROM HPOMNPY N WHERE N.CO_CD=HPOMPDD.CO_CD "
                   "AND N.RVRS_YM=HPOMPDD.RVRS_YM AND N.EMP_CD=HPOMPDD.EMP_CD AND N.PYTP_FG NOT "
                   "LIKE '2%') THEN COALESCE((SELECT S.") +
               column +
               " FROM SEMP S WHERE S.CO_CD=HPOMPDD.CO_CD AND S.EMP_CD=HPOMPDD.EMP_CD),0) ELSE 0 "
               "END";
    };
    // Employment insurance: the rate of the run's taxable pay.
    const std::string employment = "COALESCE((SELECT ROUND(SUM(N.TPAY_AM+N.TBON_AM)*" +
                                   Number(employment_rate) + ",-1,1) FROM HPOMNPY N WHERE " +
                                   SameRow("N", "HPOMPDD") + "),0)";
    std::vector<std::string> out;
    out.push_back("UPDATE HPOMPDD SET DDCT_AM=CASE WHEN DDCT_CD='S20' THEN " + employment +
                  " WHEN PYTP_FG LIKE '2%' THEN (CASE WHEN DDCT_CD='T10' THEN " + bonus_resident +
                  " ELSE 0 END) WHEN DDCT_CD='T10' THEN " + salary_resident +
                  " WHEN DDCT_CD='S00' THEN " + billed("NAPS_AM") + " ELSE " + billed("HIFA_AM") +
                  " END" + where + " AND PYDD_FG='P3' AND DDCT_CD IN ('S00','S10','S20','T10')");
    // The result rows carry the deductions as the rows now hold them.
    std::string set;
    for (const auto& [field, code] : {std::pair{"HIFE_AM", "S00"}, std::pair{"NAPE_AM", "S10"},
                                      std::pair{"DDCT_AM", "S20"}, std::pair{"RSTX_AM", "T10"}}) {
        if (!set.empty()) set += ", ";
        set += std::string(field) + "=COALESCE((SELECT SUM(D.DDCT_AM) FROM HPOMPDD D WHERE " +
               SameRow("D", "HPOMNPY") + " AND D.PYDD_FG='P3' AND D.DDCT_CD='" + code + "')," +
               field + ")";
    }
    out.push_back("UPDATE HPOMNPY SET " + set + where);
    return out;
}

}  // namespace

bool CloseMonths(const std::string& company, const std::string& period, std::string* error) {
    if ((period.size() != 4 && period.size() != 6) ||
        period.find_first_not_of("0123456789") != std::string::npos) {
        *error = "the period is YYYY or YYYYMM";
        return false;
    }
    const std::string year = period.substr(0, 4);
    double resident_rate = 0;
    RateTable rates;
    if (!ResidentRate(year, &resident_rate, error) || !ReadEmploymentRates(&rates, error))
        return false;
    std::vector<std::string> months;
    if (period.size() == 6) {
        months.push_back(period);
    } else {
        for (int m = 1; m <= 12; ++m)
            months.push_back(year + (m < 10 ? "0" : "") + std::to_string(m));
    }
    for (const std::string& month : months) {
        double employment_rate = 0;
        if (!RateOn(rates, month, &employment_rate)) {
            *error = "no employment-insurance rate is in force in " + month + " (HINSRAT)";
            return false;
        }
        for (const std::string& sql :
             CloseStatements(company, month, resident_rate, employment_rate)) {
            G_DirectSQL direct;
            if (!direct.OnExecuteQuery(CString(sql))) {
                *error = direct.GetLastError().str();
                return false;
            }
        }
    }
    return true;
}

}  // namespace payroll
