// The month's close and the one reading of a month, on the year company of
// the recalculation benchmarks (10,000 employees, 12 monthly runs; --quick
// 2,000) with the year's resident-tax rate and the employees' insurance:
//
//   close_ratio_to_year  the tax road over the year with its close over the
//                        same road without it
//   month_read_ratio     the reading of June (every employee's figures from
//                        the pay and deduction rows) over a plain query of
//                        the same rows through the raw SQLite API
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/figures.h"
#include "bench/scratch_db.h"
#include "bench/year_company.h"
#include "payroll/host.h"
#include "payroll/reading.h"
#include "payroll/roads.h"

namespace payroll::bench {
namespace {

int Employees() {
    return Quick() ? 2000 : 10000;
}

std::string Path() {
    return (std::filesystem::temp_directory_path() / "payroll_bench_close.db").string();
}

// The year company, once per process, with what the close reads.
bool Ready() {
    static const bool ready = [] {
        const std::string path = Path();
        if (!SeedYearCompany(path, Employees())) return false;
        sqlite3* db = nullptr;
        if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) return false;
        std::unique_ptr<sqlite3, int (*)(sqlite3*)> closer(db, sqlite3_close);
        return Exec(db,
                    "INSERT INTO HPMLBEC (CO_CD, RVRS_YY, RSTX_RT) VALUES ('0000','2002',0.1)") &&
               Exec(db, "UPDATE SEMP SET NAPS_AM=90000, HIFA_AM=35000");
    }();
    return ready;
}

void TaxRoad(benchmark::State& state, bool close) {
    QuietUi quiet;
    std::string error;
    if (!Ready() || !OpenDatabase("sqlite:" + Path(), &error)) {
        state.SkipWithError("the company could not be written or opened");
        return;
    }
    for (auto _ : state) {
        const RoadResult r = RecalculateTax("1000", "2002", 1, false, nullptr, close);
        if (r.outcome != RoadOutcome::kCommitted) state.SkipWithError(r.reason.c_str());
    }
    CloseDatabase();
}

void BM_YearWithoutClose(benchmark::State& state) {
    TaxRoad(state, false);
}
void BM_YearWithClose(benchmark::State& state) {
    TaxRoad(state, true);
}

void BM_MonthReading(benchmark::State& state) {
    std::string error;
    if (!Ready() || !OpenDatabase("sqlite:" + Path(), &error)) {
        state.SkipWithError("the company could not be written or opened");
        return;
    }
    for (auto _ : state) {
        reading::MonthResults month;
        if (!reading::ReadMonthResults("1000", "200206", 0, 0, &month, &error) ||
            static_cast<int>(month.lines.size()) != Employees())
            state.SkipWithError("the month could not be read");
        benchmark::DoNotOptimize(month);
    }
    CloseDatabase();
}

// The same rows read as plainly as SQLite reads them: every column of the
// month's pay rows, deduction rows and results, each value taken as text.
void BM_MonthPlainQuery(benchmark::State& state) {
    if (!Ready()) {
        state.SkipWithError("the company could not be written");
        return;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open(Path().c_str(), &db) != SQLITE_OK) return;
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> closer(db, sqlite3_close);
    const char* queries[] = {
        "SELECT EMP_CD, PYTP_FG, PAY_CD, PAY_AM FROM HPOMPPD WHERE CO_CD='1000' AND "
        "RVRS_YM='200206' AND SQ=1 AND PYDD_FG='P2' ORDER BY EMP_CD",
        "SELECT EMP_CD, PYTP_FG, DDCT_CD, DDCT_AM FROM HPOMPDD WHERE CO_CD='1000' AND "
        "RVRS_YM='200206' AND SQ=1 AND PYDD_FG='P3' ORDER BY EMP_CD",
        "SELECT EMP_CD, TPAY_AM, TBON_AM, EWTE_AM, AITE_AM, ETTE_AM FROM HPOMNPY WHERE "
        "CO_CD='1000' AND RVRS_YM='200206' AND SQ=1 ORDER BY EMP_CD",
        "SELECT EMP_CD, KOR_NM, DEPT_CD FROM SEMP WHERE CO_CD='1000'"};
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (const char* sql : queries) {
            sqlite3_stmt* st = nullptr;
            sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
            while (sqlite3_step(st) == SQLITE_ROW)
                for (int c = 0; c < sqlite3_column_count(st); ++c)
                    bytes += static_cast<std::size_t>(sqlite3_column_bytes(st, c)) +
                             (sqlite3_column_text(st, c) ? 1 : 0);
            sqlite3_finalize(st);
        }
        benchmark::DoNotOptimize(bytes);
    }
}

const char* const kWithout = Timed("BM_YearWithoutClose", BM_YearWithoutClose, 2);
const char* const kWith = Timed("BM_YearWithClose", BM_YearWithClose, 2);
const char* const kReading = Timed("BM_MonthReading", BM_MonthReading, 5);
const char* const kPlain = Timed("BM_MonthPlainQuery", BM_MonthPlainQuery, 5);

const bool month_close_registered = [] {
    AddFigure("close_ratio_to_year", [](const Timings& t) { return RatioOf(t, kWith, kWithout); });
    AddFigure("month_read_ratio", [](const Timings& t) { return RatioOf(t, kReading, kPlain); });
    return true;
}();

}  // namespace
}  // namespace payroll::bench
