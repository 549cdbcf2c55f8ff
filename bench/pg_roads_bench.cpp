// The roads on a PostgreSQL server (PAYROLL_BENCH_POSTGRES_URL; bench/run
// starts a throw-away server when it can). Each company is seeded in SQLite
// as the SQLite benchmarks seed it and copied onto the server in a schema of
// its own, dropped after.
//
// Figures: pg_year_employee_runs_per_s (the year recalculation of a company
// of 300 employees, 12 runs), pg_build_rows_per_s (the build of a run of
// 10,000 employees) and pg_build_ratio_to_copy (that build's time over a
// COPY of the very rows it wrote, in one transaction). --quick uses 100 and
// 2,000 employees.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/figures.h"
#include "bench/pg_tables.h"
#include "bench/scratch_db.h"
#include "bench/year_company.h"
#include "payroll/diagnostics.h"
#include "payroll/host.h"

namespace payroll::bench {
namespace {

constexpr int kMonths = 12;
const std::vector<std::string> kYearTables = {"SHCFG", "SCTRL_D", "HHFAACC", "SDIV",    "HPFTITC",
                                              "SDEPT", "HPMPDFM", "HPHPYFQ", "HPHONPD", "HPHWTPT",
                                              "SEMP",  "HPOMPPD", "HPOMPDD"};
const std::vector<std::string> kBuildTables = {"SHCFG",   "SCTRL_D", "HHFAACC", "SDIV",
                                               "HPHPYFQ", "HPHONPD", "HPHWTPT", "SDEPT",
                                               "HPHPOYM", "HPMPDFM", "SEMP"};

int YearEmployees() {
    return Quick() ? 100 : 300;
}
int BuildEmployees() {
    return Quick() ? 2000 : 10000;
}

std::string Scratch(const std::string& name) {
    return (std::filesystem::temp_directory_path() / name).string();
}
std::string Schema(const char* road) {
    return std::string("bench_") + road + "_" + std::to_string(getpid());
}

// A schema holding the company seeded into `sqlite_path`; the process's
// connection is open on it.
bool Onto(const std::string& url, const std::string& schema, const std::string& sqlite_path,
          const std::vector<std::string>& tables) {
    if (!FreshSchema(url, schema)) return false;
    PgConnection pg = ConnectRaw(url, schema);
    return pg && CopyFromSqlite(sqlite_path, pg.get(), tables);
}

// Before a measured iteration: the server writes out what the seeding (or an
// earlier benchmark) left in its buffers, so that a checkpoint does not fall
// into the measurement. Needs a superuser, as the throw-away server's role
// is; on another server the iteration simply starts without it.
void Settle(PGconn* pg) {
    if (pg) PgExec(pg, "CHECKPOINT");
}

void BM_PostgresYear(benchmark::State& state) {
    const std::string url = PostgresUrl();
    if (url.empty()) {
        state.SkipWithError("PAYROLL_BENCH_POSTGRES_URL is not set");
        return;
    }
    const std::string seeded = Scratch("payroll_bench_pg_year.db");
    const std::string schema = Schema("year");
    QuietUi quiet;
    if (!SeedYearCompany(seeded, YearEmployees()) || !Onto(url, schema, seeded, kYearTables) ||
        !RecalculateYear()) {
        state.SkipWithError("cannot seed the company on the server");
        DropSchema(url, schema);
        return;
    }
    for (auto _ : state) {
        // Each recalculation starts from tables without dead rows.
        state.PauseTiming();
        PgConnection pg = ConnectRaw(url, schema);
        if (!pg || !PgExec(pg.get(), "VACUUM ANALYZE")) state.SkipWithError("cannot vacuum");
        Settle(pg.get());
        state.ResumeTiming();
        if (!RecalculateYear()) state.SkipWithError(LastEngineFailure().step.c_str());
    }
    DropSchema(url, schema);
    RemoveDb(seeded);
}

// Rows the build wrote, as COPY text, kept for the COPY it is measured against.
std::string g_pay_rows, g_deduction_rows;

void BM_PostgresBuild(benchmark::State& state) {
    const std::string url = PostgresUrl();
    if (url.empty()) {
        state.SkipWithError("PAYROLL_BENCH_POSTGRES_URL is not set");
        return;
    }
    const std::string seeded = Scratch("payroll_bench_pg_build.db");
    const std::string schema = Schema("build");
    QuietUi quiet;
    if (!SeedBuildRun(seeded, BuildEmployees())) {
        state.SkipWithError("cannot seed the run");
        return;
    }
    bool built = false;
    for (auto _ : state) {
        state.PauseTiming();
        if (!Onto(url, schema, seeded, kBuildTables)) state.SkipWithError("cannot seed the run");
        Settle(ConnectRaw(url, schema).get());
        state.ResumeTiming();
        built = BuildOpenRun();
        if (!built) state.SkipWithError(LastEngineFailure().step.c_str());
    }
    PgConnection pg = ConnectRaw(url, schema);
    if (built && pg &&
        (!ReadCopy(pg.get(), "HPOMPPD", &g_pay_rows) ||
         !ReadCopy(pg.get(), "HPOMPDD", &g_deduction_rows)))
        state.SkipWithError("cannot read the rows back");
    pg.reset();
    DropSchema(url, schema);
    RemoveDb(seeded);
}

void BM_PostgresCopyOfTheBuild(benchmark::State& state) {
    const std::string url = PostgresUrl();
    if (url.empty() || g_pay_rows.empty()) {
        state.SkipWithError("no build to copy");
        return;
    }
    const std::string seeded = Scratch("payroll_bench_pg_build.db");
    const std::string schema = Schema("copy");
    if (!SeedBuildRun(seeded, BuildEmployees())) {
        state.SkipWithError("cannot seed the run");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        if (!Onto(url, schema, seeded, kBuildTables)) state.SkipWithError("cannot seed the run");
        CloseDatabase();
        PgConnection pg = ConnectRaw(url, schema);
        Settle(pg.get());
        state.ResumeTiming();
        if (!pg || !PgExec(pg.get(), "BEGIN") || !WriteCopy(pg.get(), "HPOMPPD", g_pay_rows) ||
            !WriteCopy(pg.get(), "HPOMPDD", g_deduction_rows) || !PgExec(pg.get(), "COMMIT"))
            state.SkipWithError("COPY failed");
    }
    DropSchema(url, schema);
    RemoveDb(seeded);
}

const char* const kYear = Timed("BM_PostgresYear", BM_PostgresYear, 2);
const char* const kBuild = Timed("BM_PostgresBuild", BM_PostgresBuild, 1);
const char* const kCopy = Timed("BM_PostgresCopyOfTheBuild", BM_PostgresCopyOfTheBuild, 2);

const bool pg_roads_registered = [] {
    AddFigure("pg_year_employee_runs_per_s", [](const Timings& t) {
        return PerSecond(t, kYear, static_cast<double>(YearEmployees()) * kMonths);
    });
    AddFigure("pg_build_rows_per_s", [](const Timings& t) {
        return PerSecond(t, kBuild,
                         static_cast<double>(BuildEmployees()) * (kPayItems + kDeductionItems));
    });
    AddFigure("pg_build_ratio_to_copy", [](const Timings& t) { return RatioOf(t, kBuild, kCopy); });
    return true;
}();

}  // namespace
}  // namespace payroll::bench
