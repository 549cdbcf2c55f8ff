#include "cli/demo/demo_report.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cli/commands/commands.h"
#include "cli/commands/host_common.h"
#include "cli/demo/demo_papers.h"
#include "cli/faces/display_width.h"
#include "payroll/diagnostics.h"
#include "payroll/host.h"
#include "payroll/imirak1.h"
#include "payroll/reading.h"
#include "payroll/report.h"
#include "payroll/roads.h"
#include "payroll/salary_calcurate.h"

namespace payroll::cli {
namespace {

std::string MonthText(int year, int month) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04d%02d", year, month);
    return buf;
}

// Builds every run of the year through the build road, as a host would:
// the front forms each run's key, the engine writes the default rows and
// the pay step their amounts; then the month's variable pay comes in.
bool BuildRuns(const DemoCompany& demo, int* runs, long* pay_rows, long* deduction_rows) {
    const std::string& company = demo.company;
    const int year = demo.year;
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
            // A run with its month's variable pay is paid once, by the pay
            // step with the file (build-run --no-pay, then pay import).
            BuildChoices choices;
            choices.pay = !HasVariablePay(demo, key);
            const RoadResult built = BuildPayRun(key, choices);
            if (built.outcome != RoadOutcome::kCommitted) {
                std::fprintf(stderr, "payroll demo: building %s run %s did not commit: %s\n",
                             key.RVRS_YM.c_str(), key.SQ.c_str(), built.reason.c_str());
                return false;
            }
            auto rows = [&built](const char* table) {
                auto t = built.report.tables.find(table);
                return t == built.report.tables.end() ? 0L : t->second.inserted;
            };
            *pay_rows += rows("HPOMPPD");
            *deduction_rows += rows("HPOMPDD");
            std::string error;
            if (!ImportDemoPay(demo, key, &error)) {
                std::fprintf(stderr, "payroll demo: %s\n", error.c_str());
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
    std::fprintf(stderr, "Recalculating the income tax of %d and taxing its bonuses ...\n", year);
    TaxRecalculation done;
    const RoadResult road = RecalculateTax(company, std::to_string(year), 1, true, &done);
    switch (road.outcome) {
        case RoadOutcome::kCommitted:
            break;
        case RoadOutcome::kRolledBack:
            std::fprintf(stderr, "payroll demo: the year recalculation rolled back at %s\n",
                         road.reason.c_str());
            return false;
        case RoadOutcome::kNotEnded:
            std::fprintf(stderr, "payroll demo: the year recalculation did not run: %s\n",
                         road.reason.c_str());
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

// The year's figures through the library's one reading of each month.
bool ReadYear(const std::string& company, int year, std::array<reading::MonthResults, 12>* months) {
    for (int m = 1; m <= 12; ++m) {
        std::string error;
        if (!reading::ReadMonthResults(company, MonthText(year, m), 0, 0,
                                       &(*months)[static_cast<std::size_t>(m - 1)], &error)) {
            std::fprintf(stderr, "payroll demo: %s\n", error.c_str());
            return false;
        }
    }
    return true;
}

bool SalaryRun(const reading::ResultLine& line) {
    return line.pay_types.rfind('1', 0) == 0;
}

void PrintMonths(int year, const std::array<reading::MonthResults, 12>& months) {
    std::printf("\nMonthly runs of %d\n", year);
    std::printf("%-7s %9s %16s %14s %13s\n", "Month", "Employees", "Taxable pay", "Exempt pay",
                "Income tax");
    double taxable = 0, exempt = 0, tax = 0;
    for (int m = 1; m <= 12; ++m) {
        double t = 0, e = 0, x = 0;
        std::set<std::string> people;
        for (const reading::ResultLine& line : months[static_cast<std::size_t>(m - 1)].lines) {
            if (!SalaryRun(line)) continue;
            t += line.taxable - line.bonus;
            e += line.exempt;
            x += line.income_tax;
            people.insert(line.employee);
        }
        if (people.empty()) continue;
        taxable += t;
        exempt += e;
        tax += x;
        std::printf("%04d-%02d %9zu %16s %14s %13s\n", year, m, people.size(), Won(t).c_str(),
                    Won(e).c_str(), Won(x).c_str());
    }
    std::printf("%-7s %9s %16s %14s %13s\n", "Total", "", Won(taxable).c_str(), Won(exempt).c_str(),
                Won(tax).c_str());
}

void PrintEmployees(int year, const std::array<reading::MonthResults, 12>& months) {
    struct Sums {
        std::string name;
        double taxable = 0, bonus = 0, tax = 0, resident = 0;
    };
    std::map<std::string, Sums> by_employee;
    for (const reading::MonthResults& month : months)
        for (const reading::ResultLine& line : month.lines) {
            Sums& s = by_employee[line.employee];
            s.name = line.name;
            s.taxable += line.taxable - line.bonus;
            s.bonus += line.bonus;
            s.tax += line.income_tax;
            s.resident += line.resident_tax;
        }
    std::printf("\nYear %d, the first ten employees\n", year);
    std::printf("%-8s %s %15s %13s %12s %12s\n", "Employee", PadRight("Name", 10).c_str(),
                "Taxable pay", "Taxed bonus", "Income tax", "Resident tax");
    int shown = 0;
    for (const auto& [code, s] : by_employee) {
        if (shown++ == 10) break;
        std::printf("%-8s %s %15s %13s %12s %12s\n", code.c_str(), PadRight(s.name, 10).c_str(),
                    Won(s.taxable).c_str(), Won(s.bonus).c_str(), Won(s.tax).c_str(),
                    Won(s.resident).c_str());
    }
}

}  // namespace

int RunDemoRoads(const DemoCompany& demo) {
    const std::string& company = demo.company;
    const int year = demo.year;
    int runs = 0;
    long pay_rows = 0, deduction_rows = 0;
    if (!BuildRuns(demo, &runs, &pay_rows, &deduction_rows)) return kFailed;
    std::printf(
        "Built %d pay runs through the build road: %ld pay rows, %ld deduction rows, paid by "
        "the pay step.\n",
        runs, pay_rows, deduction_rows);
    std::vector<RetaxedRun> bonusRuns;
    if (!RecalculateYear(company, year, &bonusRuns)) return kFailed;
    std::array<reading::MonthResults, 12> months;
    if (!ReadYear(company, year, &months)) return kFailed;
    PrintMonths(year, months);
    PrintEmployees(year, months);
    PrintJuneBonus(year, bonusRuns);
    long bonuses = 0;
    for (const RetaxedRun& run : bonusRuns) bonuses += static_cast<long>(run.results.size());
    WriteDemoPapers(company, year, "demo-papers");
    std::printf(
        "\nDemo finished: every road committed, %d runs built, %ld results of %d stored, %ld "
        "bonuses taxed.\n",
        runs, reading::CountStoredResults(company, std::to_string(year)), year, bonuses);
    return kOk;
}

}  // namespace payroll::cli
