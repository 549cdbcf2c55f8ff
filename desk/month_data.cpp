#include "desk/month_data.h"

#include <cstdlib>

#include "payroll/datasource.h"

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

QString Field(G_DataSource& query, const char* column, long row) {
    return QString::fromUtf8(query.OnGetFieldValue(column, row).c_str());
}

}  // namespace

bool ReadMonthResults(const std::string& company, const std::string& month, MonthResults* out,
                      std::string* error) {
    *out = MonthResults{};
    std::string sql =
        "SELECT A.EMP_CD EMP_CD, B.KOR_NM KOR_NM, A.SQ SQ, A.PYTP_FG PYTP_FG, "
        "A.DEPT_CD DEPT_CD";
    for (const char* column : kAmountColumns) sql += std::string(", A.") + column + " " + column;
    sql +=
        " FROM HPOMNPY A LEFT OUTER JOIN SEMP B ON B.CO_CD = A.CO_CD AND B.EMP_CD = A.EMP_CD "
        "WHERE A.CO_CD=" +
        SqlQuoted(company) + " AND A.RVRS_YM=" + SqlQuoted(month) +
        " ORDER BY A.SQ, A.PYTP_FG, A.EMP_CD";
    G_DataSource query;
    if (!query.OnExecuteSQL(CString(sql))) {
        *error = query.GetLastError().str();
        return false;
    }
    for (long r = 0; r < query.OnGetRecordCount(); ++r) {
        ResultRow row;
        row.employee = Field(query, "EMP_CD", r);
        row.name = Field(query, "KOR_NM", r);
        row.sq = std::atoi(query.OnGetFieldValue("SQ", r).c_str());
        row.pay_type = Field(query, "PYTP_FG", r);
        row.department = Field(query, "DEPT_CD", r);
        for (int c = 0; c < kAmountCount; ++c) {
            row.amounts[c] = std::atof(query.OnGetFieldValue(kAmountColumns[c], r).c_str());
            out->totals[c] += row.amounts[c];
        }
        out->rows.push_back(std::move(row));
    }
    return true;
}

QString ResultsCsv(const MonthResults& results) {
    QString csv = QStringLiteral("EMP_CD,KOR_NM,SQ,PYTP_FG,DEPT_CD");
    for (const char* column : kAmountColumns) csv += QLatin1Char(',') + QLatin1String(column);
    csv += QLatin1Char('\n');
    for (const ResultRow& row : results.rows) {
        csv += CsvField(row.employee) + QLatin1Char(',') + CsvField(row.name) + QLatin1Char(',') +
               QString::number(row.sq) + QLatin1Char(',') + CsvField(row.pay_type) +
               QLatin1Char(',') + CsvField(row.department);
        for (double amount : row.amounts) csv += QLatin1Char(',') + QString::number(amount, 'f', 0);
        csv += QLatin1Char('\n');
    }
    return csv;
}

std::string LatestRunMonth(const std::string& company) {
    G_DataSource query;
    const std::string sql = "SELECT max(RVRS_YM) YM FROM HPHONPD WHERE CO_CD=" + SqlQuoted(company);
    if (!query.OnExecuteSQL(CString(sql))) return std::string();
    return query.OnGetFieldValue("YM", 0).str();
}

bool ReadYearFigures(const std::string& company, const std::string& year,
                     std::array<MonthFigures, 12>* out, std::string* error) {
    *out = {};
    const std::string sql =
        "SELECT RVRS_YM, sum(SALY_AM) PAY, sum(INTX_AM) TAX FROM HPOMNPY WHERE CO_CD=" +
        SqlQuoted(company) + " AND RVRS_YM >= " + SqlQuoted(year + "01") +
        " AND RVRS_YM <= " + SqlQuoted(year + "12") + " GROUP BY RVRS_YM";
    G_DataSource query;
    if (!query.OnExecuteSQL(CString(sql))) {
        *error = query.GetLastError().str();
        return false;
    }
    for (long r = 0; r < query.OnGetRecordCount(); ++r) {
        const std::string month = query.OnGetFieldValue("RVRS_YM", r).str();
        const int m = month.size() == 6 ? std::atoi(month.c_str() + 4) : 0;
        if (m < 1 || m > 12) continue;
        (*out)[m - 1].pay = std::atof(query.OnGetFieldValue("PAY", r).c_str());
        (*out)[m - 1].income_tax = std::atof(query.OnGetFieldValue("TAX", r).c_str());
    }
    return true;
}

}  // namespace payroll::desk
