// What payroll-desk reads for its own views: the stored results (HPOMNPY) of
// a month per employee with their totals, the same as CSV, and the monthly
// pay and income tax of a year for the chart.
#pragma once

#include <QString>
#include <array>
#include <string>
#include <vector>

namespace payroll::desk {

// The amount columns of the results, in order.
inline constexpr const char* kAmountColumns[] = {"TPAY_AM", "TBON_AM", "SALY_AM",
                                                 "INTX_AM", "RSTX_AM", "DDCT_AM"};
inline constexpr int kAmountCount = 6;

struct ResultRow {
    QString employee;
    QString name;
    int sq = 0;
    QString pay_type;
    QString department;
    std::array<double, kAmountCount> amounts{};
};

struct MonthResults {
    std::vector<ResultRow> rows;
    std::array<double, kAmountCount> totals{};
};

// The results of a company's month, by run, pay type and employee. False,
// with the database's reason, when they cannot be read.
bool ReadMonthResults(const std::string& company, const std::string& month, MonthResults* out,
                      std::string* error);

// The results as CSV: a header line of column names, one line per row.
QString ResultsCsv(const MonthResults& results);

// The latest month with pay runs of a company; empty when it has none or
// they cannot be read.
std::string LatestRunMonth(const std::string& company);

// One month of the chart.
struct MonthFigures {
    double pay = 0;         // SALY_AM summed
    double income_tax = 0;  // INTX_AM summed
};

// The twelve months of a company's year (index 0 is January).
bool ReadYearFigures(const std::string& company, const std::string& year,
                     std::array<MonthFigures, 12>* out, std::string* error);

}  // namespace payroll::desk
