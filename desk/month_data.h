// What payroll-desk shows of a month, from the library's one reading of it:
// each employee's figures of each run with their totals, the same as CSV,
// and the monthly pay, bonuses and income tax of a year for the chart.
#pragma once

#include <QString>
#include <array>
#include <string>
#include <vector>

#include "payroll/reading.h"

namespace payroll::desk {

// The figures of a result row, in the table's order.
inline constexpr double reading::ResultLine::*kFigures[] = {
    &reading::ResultLine::gross,        &reading::ResultLine::taxable,
    &reading::ResultLine::exempt,       &reading::ResultLine::income_tax,
    &reading::ResultLine::resident_tax, &reading::ResultLine::total_deductions,
    &reading::ResultLine::net};
inline constexpr int kAmountCount = 7;
// Their names in the CSV's header.
inline constexpr const char* kAmountColumns[kAmountCount] = {
    "GROSS", "TAXABLE", "EXEMPT", "INCOME_TAX", "RESIDENT_TAX", "TOTAL_DEDUCTIONS", "NET"};

struct ResultRow {
    QString employee;
    QString name;
    int sq = 0;
    QString pay_type;        // codes with their names: "100 급여, 110 특별수당"
    QString pay_type_codes;  // "100,110"
    QString department;      // code and name: "D100 총무부"
    QString department_code;
    std::array<double, kAmountCount> amounts{};
};

struct MonthResults {
    std::vector<ResultRow> rows;
    std::array<double, kAmountCount> totals{};
    long people = 0;  // distinct employees among the rows
};

// The figures of a company's month, by run and employee, names in the
// desk's language. False, with the reason, when they cannot be read.
bool ReadMonthResults(const std::string& company, const std::string& month, MonthResults* out,
                      std::string* error);

// "D100 총무부": a code with its name beside it (the code alone without one).
QString CodeAndName(const QString& code, const QString& name);
// Pay type codes ("100,110") with the names of a run's list ("급여,특별수당").
QString PayTypesNamed(const QString& codes, const QString& names);

// The results as CSV: a header line of column names, one line per row.
QString ResultsCsv(const MonthResults& results);

// One month of the chart.
struct MonthFigures {
    double pay = 0;         // the gross pay of the salary runs
    double bonus = 0;       // the gross pay of the bonus runs
    double income_tax = 0;  // every run's
};

// The twelve months of a company's year (index 0 is January).
bool ReadYearFigures(const std::string& company, const std::string& year,
                     std::array<MonthFigures, 12>* out, std::string* error);

}  // namespace payroll::desk
