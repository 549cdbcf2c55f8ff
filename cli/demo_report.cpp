#include "cli/demo_report.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/commands.h"
#include "cli/display_width.h"
#include "payroll/datasource.h"
#include "payroll/diagnostics.h"
#include "payroll/host.h"
#include "payroll/salary_calcurate.h"

namespace payroll::cli {
namespace {

std::string Won(double amount) {
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.0f", amount);
    std::string s(digits);
    std::string out;
    int start = s[0] == '-' ? 1 : 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        out += s[i];
        std::size_t left = s.size() - i - 1;
        if (static_cast<int>(i) >= start && left > 0 && left % 3 == 0) out += ',';
    }
    return out;
}

bool RecalculateYear(const std::string& company, int year) {
    HPHONPD_YMD_FMT key;
    std::memset(&key, 0, sizeof key);
    key.CO_CD = company;
    char month[8];
    std::snprintf(month, sizeof month, "%04d01", year);
    key.RVRS_YM = month;
    ResetTransactionOutcome();
    ClearLastFailure();
    std::fprintf(stderr, "Recalculating the income tax of %d ...\n", year);
    CSalaryCalcurate engine;
    engine.Call_AllSum1to12_Year(&key, 1, "", 0);
    if (LastTransactionOutcome() == TransactionOutcome::kCommitted) return true;
    EngineFailure failure = LastEngineFailure();
    std::fprintf(stderr, "payroll demo: the year recalculation rolled back%s%s%s%s\n",
                 failure.step.empty() ? "" : " at ", failure.step.c_str(),
                 failure.detail.empty() ? "" : ": ", failure.detail.c_str());
    return false;
}

void PrintMonths(const std::string& company, int year) {
    G_DataSource ds;
    CString sql;
    sql.Format(
        "SELECT RVRS_YM, COUNT(DISTINCT EMP_CD) PEOPLE, SUM(TPAY_AM) TAXABLE, "
        "SUM(EWTE_AM + AITE_AM + ETTE_AM) EXEMPT, SUM(INTX_AM) TAX FROM HPOMNPY "
        "WHERE CO_CD='%s' AND RVRS_YM LIKE '%04d%%' AND PYTP_FG LIKE '1%%' "
        "GROUP BY RVRS_YM ORDER BY RVRS_YM",
        company.c_str(), year);
    if (!ds.OnExecuteSQL(sql)) {
        std::fprintf(stderr, "payroll demo: %s\n", ds.GetLastError().c_str());
        return;
    }
    std::printf("\nMonthly runs of %d\n", year);
    std::printf("%-7s %9s %16s %14s %13s\n", "Month", "Employees", "Taxable pay", "Exempt pay",
                "Income tax");
    double taxable = 0, exempt = 0, tax = 0;
    for (long r = 0; r < ds.OnGetRecordCount(); ++r) {
        double t = std::atof(ds.OnGetFieldValue("TAXABLE", r));
        double e = std::atof(ds.OnGetFieldValue("EXEMPT", r));
        double x = std::atof(ds.OnGetFieldValue("TAX", r));
        taxable += t;
        exempt += e;
        tax += x;
        CString ym = ds.OnGetFieldValue("RVRS_YM", r);
        std::printf("%s-%s %9s %16s %14s %13s\n", ym.Left(4).c_str(), ym.Mid(4).c_str(),
                    ds.OnGetFieldValue("PEOPLE", r).c_str(), Won(t).c_str(), Won(e).c_str(),
                    Won(x).c_str());
    }
    std::printf("%-7s %9s %16s %14s %13s\n", "Total", "", Won(taxable).c_str(), Won(exempt).c_str(),
                Won(tax).c_str());
}

void PrintEmployees(const std::string& company, int year) {
    G_DataSource ds;
    CString sql;
    sql.Format(
        "SELECT A.EMP_CD, S.KOR_NM, SUM(A.TPAY_AM) TAXABLE, SUM(A.TBON_AM) BONUS, "
        "SUM(A.INTX_AM) TAX, SUM(A.RSTX_AM) RESIDENT FROM HPOMNPY A, SEMP S WHERE "
        "A.CO_CD='%s' AND A.RVRS_YM LIKE '%04d%%' AND S.CO_CD=A.CO_CD AND "
        "S.EMP_CD=A.EMP_CD GROUP BY A.EMP_CD, S.KOR_NM ORDER BY A.EMP_CD",
        company.c_str(), year);
    if (!ds.OnExecuteSQL(sql)) {
        std::fprintf(stderr, "payroll demo: %s\n", ds.GetLastError().c_str());
        return;
    }
    std::printf("\nYear %d, the first ten employees\n", year);
    std::printf("%-8s %s %15s %13s %12s %12s\n", "Employee", PadRight("Name", 10).c_str(),
                "Taxable pay", "Taxed bonus", "Income tax", "Resident tax");
    for (long r = 0; r < ds.OnGetRecordCount() && r < 10; ++r) {
        std::printf("%-8s %s %15s %13s %12s %12s\n", ds.OnGetFieldValue("EMP_CD", r).c_str(),
                    PadRight(ds.OnGetFieldValue("KOR_NM", r).str(), 10).c_str(),
                    Won(std::atof(ds.OnGetFieldValue("TAXABLE", r))).c_str(),
                    Won(std::atof(ds.OnGetFieldValue("BONUS", r))).c_str(),
                    Won(std::atof(ds.OnGetFieldValue("TAX", r))).c_str(),
                    Won(std::atof(ds.OnGetFieldValue("RESIDENT", r))).c_str());
    }
}

}  // namespace

int RunDemoRoads(const std::string& company, int year) {
    if (!RecalculateYear(company, year)) return kFailed;
    PrintMonths(company, year);
    PrintEmployees(company, year);
    return kOk;
}

}  // namespace payroll::cli
