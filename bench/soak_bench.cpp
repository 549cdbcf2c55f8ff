// The soak run (bench/run --soak; not part of the default figures): 20 year
// recalculations of one 10,000-employee company back to back in one
// process, on a database file. Each recalculation must cost what the first
// did, in time and in resident memory: a leak or a cache that never stops
// growing shows as a rising VmRSS, a slowing statement cache as rising
// times. --quick uses 2,000 employees.
//
// Figures: soak_rounds, soak_employees, soak_seconds_first, soak_seconds_last,
// soak_rss_mib_first, soak_rss_mib_last, soak_rss_growth_mib (last minus
// first) and soak_time_ratio (last over first).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/figures.h"
#include "bench/year_company.h"
#include "payroll/diagnostics.h"
#include "payroll/host.h"
#include "payroll/salary_calcurate.h"
#include "payroll/ui.h"

namespace payroll::bench {
namespace {

constexpr int kRounds = 20;

// Resident memory of this process in KiB, from /proc.
long ResidentKib() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

bool Recalculate() {
    HPHONPD_YMD_FMT key;
    std::memset(static_cast<void*>(&key), 0, sizeof key);
    key.CO_CD = "1000";
    key.RVRS_YM = "200201";
    ResetTransactionOutcome();
    ClearLastFailure();
    {
        CSalaryCalcurate engine;
        engine.Call_AllSum1to12_Year(&key, 1, CString(), 0);
    }
    return LastTransactionOutcome() == TransactionOutcome::kCommitted;
}

void BM_SoakYearRecalc(benchmark::State& state) {
    const int employees = Quick() ? 2000 : 10000;
    const std::string path = (std::filesystem::temp_directory_path() / "payroll_soak.db").string();
    ui::HeadlessDriver driver;
    ui::InstantClock clock;
    ui::ScopedUiDriver scoped_driver(&driver);
    ui::ScopedClock scoped_clock(&clock);
    std::string error;
    if (!SeedYearCompany(path, employees) || !OpenDatabase("sqlite:" + path, &error)) {
        state.SkipWithError("cannot seed the company");
        return;
    }
    // One recalculation first stores every result; the rounds then do the
    // steady work of rewriting them.
    if (!Recalculate()) {
        state.SkipWithError(LastEngineFailure().step.c_str());
        return;
    }
    double first_s = 0, last_s = 0;
    long first_kib = 0, last_kib = 0;
    for (auto _ : state) {
        for (int round = 1; round <= kRounds; ++round) {
            driver.Clear();
            const auto start = std::chrono::steady_clock::now();
            if (!Recalculate()) {
                state.SkipWithError(LastEngineFailure().step.c_str());
                break;
            }
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            const long kib = ResidentKib();
            std::fprintf(stderr, "soak round %2d: %.2f s, VmRSS %.1f MiB\n", round, seconds,
                         static_cast<double>(kib) / 1024.0);
            if (round == 1) {
                first_s = seconds;
                first_kib = kib;
            }
            last_s = seconds;
            last_kib = kib;
        }
    }
    CloseDatabase();
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path + suffix);
    SetFigure("soak_rounds", kRounds);
    SetFigure("soak_employees", employees);
    SetFigure("soak_seconds_first", first_s);
    SetFigure("soak_seconds_last", last_s);
    SetFigure("soak_time_ratio", first_s > 0 ? last_s / first_s : -1);
    SetFigure("soak_rss_mib_first", static_cast<double>(first_kib) / 1024.0);
    SetFigure("soak_rss_mib_last", static_cast<double>(last_kib) / 1024.0);
    SetFigure("soak_rss_growth_mib", static_cast<double>(last_kib - first_kib) / 1024.0);
}

// Registered only for bench/run --soak, which sets PAYROLL_SOAK.
const bool soak_registered = [] {
    if (const char* soak = std::getenv("PAYROLL_SOAK"); soak && *soak)
        benchmark::RegisterBenchmark("BM_SoakYearRecalc", BM_SoakYearRecalc)
            ->Iterations(1)
            ->Unit(benchmark::kSecond)
            ->UseRealTime();
    return true;
}();

}  // namespace
}  // namespace payroll::bench
