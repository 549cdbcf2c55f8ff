#include "cli/demo_report.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/display_width.h"
#include "cli/host_common.h"
#include "cli/paper_jobs.h"
#include "payroll/datasource.h"
#include "payroll/diagnostics.h"
#include "payroll/host.h"
#include "payroll/imirak1.h"
#include "payroll/report.h"
#include "payroll/roads.h"
#include "payroll/salary_calcurate.h"
#include "tools/company/company.h"

namespace payroll::cli {
namespace {

void PrintFailure(const char* what) {
    EngineFailure failure = LastEngineFailure();
    std::fprintf(stderr, "payroll demo: %s%s%s%s%s\n", what, failure.step.empty() ? "" : " at ",
                 failure.step.c_str(), failure.detail.empty() ? "" : ": ", failure.detail.c_str());
}

std::string MonthText(int year, int month) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04d%02d", year, month);
    return buf;
}

// Builds every run of the year through the build road, as a host would:
// the front forms each run's key, the engine writes the default rows, and
// the host's pay step fills the amounts.
bool BuildRuns(const std::string& company, int year, int* runs) {
    std::fprintf(stderr, "Building the pay runs of %d ...\n", year);
    CIMirak1 front;
    for (int month = 1; month <= 12; ++month) {
        for (int index = 1;; ++index) {
            HPHONPD_YMD_FMT key;
            std::memset(static_cast<void*>(&key), 0, sizeof key);
            key.CO_CD = company;
            key.RVRS_YM = MonthText(year, month);
            front.SearchMirak(&key, 0, index);
            if (key.SEL_NO != index) break;  // no such run: the key was cleared
            const RoadResult built = BuildPayRun(key, BuildChoices{});
            if (built.outcome != RoadOutcome::kCommitted) {
                std::fprintf(stderr, "payroll demo: building %s run %s did not commit: %s\n",
                             key.RVRS_YM.c_str(), key.SQ.c_str(), built.reason.c_str());
                return false;
            }
            std::string error;
            if (!company::FillPayAmounts(company, key.RVRS_YM.Str(), std::atoi(key.SQ.c_str()),
                                         &error)) {
                std::fprintf(stderr, "payroll demo: filling the pay amounts failed: %s\n",
                             error.c_str());
                return false;
            }
            ++*runs;
        }
    }
    return true;
}

// Recalculates the year's income tax and then taxes the year's bonus runs
// again by the bonus road, in one transaction, as `payroll recalc-tax` does:
// a recalculation right after the demo finds every row as it is.
bool RecalculateYear(const std::string& company, int year, std::vector<RetaxedRun>* bonuses) {
    ResetTransactionOutcome();
    ClearLastFailure();
    BeginRoadReport("demo recalc-tax");
    std::fprintf(stderr, "Recalculating the income tax of %d and taxing its bonuses ...\n", year);
    TaxRecalculation done;
    switch (RecalculateTax(company, std::to_string(year), 1, true, &done)) {
        case RoadOutcome::kCommitted:
            break;
        case RoadOutcome::kRolledBack:
            PrintFailure("the year recalculation rolled back");
            return false;
        case RoadOutcome::kNotEnded:
            PrintFailure("the year recalculation found no pay runs");
            return false;
    }
    *bonuses = std::move(done.bonus_runs);
    return true;
}

// The June bonus (pay type "200", the second bonus of the year, so its
// period starts in January): the first five employees' stored figures.
void PrintJuneBonus(int year, const std::vector<RetaxedRun>& bonuses) {
    for (const RetaxedRun& run : bonuses) {
        if (run.key.RVRS_YM.Str() != MonthText(year, 6) || !(run.key.PYTP_FG == "200")) continue;
        std::printf("\nJune bonus of %d (period from January), the first five employees\n", year);
        std::printf("%-8s %6s %14s %14s %12s %12s\n", "Employee", "Months", "Taxable bonus",
                    "Tax base", "Income tax", "Resident tax");
        for (std::size_t r = 0; r < run.results.size() && r < 5; ++r) {
            const BonusResult& b = run.results[r];
            std::printf("%-8s %6d %14s %14s %12s %12s\n", b.employee.c_str(), b.months,
                        Won(b.bonus).c_str(), Won(b.tax_base).c_str(), Won(b.income_tax).c_str(),
                        Won(b.resident_tax).c_str());
        }
    }
}

// The host's resident-tax step after the tax road.
bool FillDeductions(const std::string& company, int year) {
    std::string error;
    if (company::FillResidentTax(company, year, &error)) return true;
    std::fprintf(stderr, "payroll demo: writing the resident tax failed: %s\n", error.c_str());
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

// Result rows stored for the company's year.
long StoredResults(const std::string& company, int year) {
    G_DataSource ds;
    CString sql;
    sql.Format("SELECT COUNT(*) N FROM HPOMNPY WHERE CO_CD='%s' AND RVRS_YM LIKE '%04d%%'",
               company.c_str(), year);
    return ds.OnExecuteSQL(sql) ? std::atol(ds.OnGetFieldValue("N", 0).c_str()) : 0;
}

}  // namespace

int RunDemoRoads(const std::string& company, int year) {
    int runs = 0;
    if (!BuildRuns(company, year, &runs)) return kFailed;
    std::printf("Built %d pay runs through the build road.\n", runs);
    std::vector<RetaxedRun> bonusRuns;
    if (!RecalculateYear(company, year, &bonusRuns) || !FillDeductions(company, year))
        return kFailed;
    PrintMonths(company, year);
    PrintEmployees(company, year);
    PrintJuneBonus(year, bonusRuns);
    long bonuses = 0;
    for (const RetaxedRun& run : bonusRuns) bonuses += static_cast<long>(run.results.size());
    WriteDemoPapers(company, year, "demo-papers");
    std::printf(
        "\nDemo finished: every road committed, %d runs built, %ld results of %d stored, %ld "
        "bonuses taxed.\n",
        runs, StoredResults(company, year), year, bonuses);
    return kOk;
}

}  // namespace payroll::cli
