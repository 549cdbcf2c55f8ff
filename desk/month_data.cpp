#include "desk/month_data.h"

#include <QStringList>
#include <cstdlib>
#include <map>

#include "desk/desk_text.h"
#include "payroll/roads.h"

namespace payroll::desk {
namespace {

QString CsvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString Utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString CodeAndName(const QString& code, const QString& name) {
    if (name.isEmpty() || name == code) return code;
    return code.isEmpty() ? name : code + QLatin1Char(' ') + name;
}

QString PayTypesNamed(const QString& codes, const QString& names) {
    const QStringList c = codes.split(QLatin1Char(','), Qt::SkipEmptyParts);
    const QStringList n = names.split(QLatin1Char(','));
    QStringList out;
    for (qsizetype i = 0; i < c.size(); ++i)
        out << CodeAndName(c[i].trimmed(), i < n.size() ? n[i].trimmed() : QString());
    return out.join(QStringLiteral(", "));
}

bool ReadMonthResults(const std::string& company, const std::string& month, MonthResults* out,
                      std::string* error) {
    *out = MonthResults{};
    reading::MonthResults read;
    if (!reading::ReadMonthResults(company, month, 0, TextLanguage(), &read, error)) return false;
    // The pay types' names come with the month's runs, in their list's order.
    std::map<int, QString> names_by_sq;
    std::vector<HPHONPD_YMD_FMT> runs;
    std::string why;
    if (ListPayRuns(company, month, &runs, &why))
        for (const HPHONPD_YMD_FMT& run : runs)
            names_by_sq[std::atoi(run.SQ.Str().c_str())] = Utf8(run.NM1.Str());
    for (const reading::ResultLine& line : read.lines) {
        ResultRow row;
        row.employee = Utf8(line.employee);
        row.name = Utf8(line.name);
        row.sq = line.sq;
        row.pay_type_codes = Utf8(line.pay_types);
        row.pay_type = PayTypesNamed(row.pay_type_codes, names_by_sq[line.sq]);
        row.department_code = Utf8(line.department);
        row.department = CodeAndName(row.department_code, Utf8(line.department_name));
        for (int c = 0; c < kAmountCount; ++c) row.amounts[c] = line.*kFigures[c];
        out->rows.push_back(std::move(row));
    }
    for (int c = 0; c < kAmountCount; ++c) out->totals[c] = read.totals.*kFigures[c];
    out->people = read.people;
    return true;
}

QString ResultsCsv(const MonthResults& results) {
    QString csv = QStringLiteral("EMP_CD,KOR_NM,SQ,PYTP_FG,DEPT");
    for (const char* column : kAmountColumns) csv += QLatin1Char(',') + QLatin1String(column);
    csv += QLatin1Char('\n');
    for (const ResultRow& row : results.rows) {
        csv += CsvField(row.employee) + QLatin1Char(',') + CsvField(row.name) + QLatin1Char(',') +
               QString::number(row.sq) + QLatin1Char(',') +
               CsvField(row.pay_type_codes.isEmpty() ? row.pay_type : row.pay_type_codes) +
               QLatin1Char(',') + CsvField(row.department);
        for (double amount : row.amounts) csv += QLatin1Char(',') + QString::number(amount, 'f', 0);
        csv += QLatin1Char('\n');
    }
    return csv;
}

bool ReadYearFigures(const std::string& company, const std::string& year,
                     std::array<MonthFigures, 12>* out, std::string* error) {
    *out = {};
    std::array<reading::MonthTotals, 12> months;
    if (!reading::ReadYearTotals(company, year, &months, error)) return false;
    for (std::size_t m = 0; m < months.size(); ++m) {
        (*out)[m].pay = months[m].gross - months[m].bonus_runs;
        (*out)[m].bonus = months[m].bonus_runs;
        (*out)[m].income_tax = months[m].income_tax;
    }
    return true;
}

}  // namespace payroll::desk
