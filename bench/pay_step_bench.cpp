// The pay step beside the build: the run of the build benchmarks (15 pay and
// 10 deduction items an employee) with a pay-step table of five steps, a
// fixed allowance and a fixed deduction for everyone and one joiner in
// twenty inside the window, built by the build road without and with its
// pay step, and filled again once built (nothing to change), on a SQLite
// database file.
//
// Figures: pay_step_us_per_employee_run (the pay step's own time per
// employee: the build with it less the build without it),
// build_us_per_employee_run (the build without it, for comparison),
// pay_step_share_of_build (the build with the pay step over the build
// without) and pay_refill_us_per_employee_run (a second fill that finds
// every amount right). 10,000 employees; --quick 2,000.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/figures.h"
#include "bench/scratch_db.h"
#include "bench/year_company.h"
#include "payroll/diagnostics.h"
#include "payroll/host.h"
#include "payroll/roads.h"

namespace payroll::bench {
namespace {

int PayRunSize() {
    return Quick() ? 2000 : 10000;
}

std::string PayPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("payroll_bench_pay_" + name + ".db"))
        .string();
}

// The build benchmarks' run, and what the pay step reads: each employee's
// class and step, the table of steps, a fixed allowance (P01) and fixed
// union dues (R02), and one joiner in twenty on the 10th of March.
bool SeedPayRun(const std::string& path, int employees) {
    if (!SeedBuildRun(path, employees)) return false;
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) return false;
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> closer(db, sqlite3_close);
    bool ok = Exec(db, "BEGIN") &&
              Exec(db,
                   "UPDATE SEMP SET HCLS_CD='A', PYST_GR='0' || (1 + rowid % 5), JOIN_DT=CASE "
                   "WHEN rowid % 20 = 0 THEN '20020310' ELSE JOIN_DT END") &&
              Exec(db,
                   "INSERT INTO HPHFXPD (CO_CD, EMP_CD, FIXP_CD, CTST_YM, CTED_YM, FIX_AM) "
                   "SELECT CO_CD, EMP_CD, 'P01', '200201', '', 50000 FROM SEMP") &&
              Exec(db,
                   "INSERT INTO HPHFXPD (CO_CD, EMP_CD, FIXP_CD, CTST_YM, CTED_YM, FIX_AM) "
                   "SELECT CO_CD, EMP_CD, 'R02', '200201', '', 10000 FROM SEMP");
    for (int step = 1; ok && step <= 5; ++step)
        ok = Exec(db,
                  "INSERT INTO HHCPYST (CO_CD, HCLS_CD, PYST_CD, APST_YM, APED_YM, PAY_AM) VALUES "
                  "('1000','A','0" +
                      std::to_string(step) + "','200201','', " +
                      std::to_string(1500000 + step * 300000) + ")");
    ok = ok && Exec(db, "COMMIT");
    if (!ok) std::fprintf(stderr, "bench: seeding the pay step failed: %s\n", sqlite3_errmsg(db));
    return ok;
}

bool PayTemplate() {
    static const bool seeded = SeedPayRun(PayPath("template"), PayRunSize());
    return seeded;
}

bool FreshPayCopy() {
    RemoveDb(PayPath("work"));
    std::error_code ec;
    std::filesystem::copy_file(PayPath("template"), PayPath("work"), ec);
    ::sync();
    return !ec;
}

HPHONPD_YMD_FMT PayRunKey() {
    HPHONPD_YMD_FMT key;
    std::memset(&key, 0, sizeof key);
    key.CO_CD = "1000";
    key.RVRS_YM = "200203";
    key.SQ = "1";
    key.PAY_DT = "20020325";
    key.CCIS_YN = "002";
    key.PYTP_FG = "001";
    key.PYTP_LIST = "001";
    key.PYTP_HEAD = "001";
    return key;
}

// Builds (or, with `refill`, fills again) the run on the working copy;
// false with the reason when it did not commit.
bool RunRoad(bool pay, bool refill, std::string* why) {
    QuietUi quiet;
    if (!OpenDatabase("sqlite:" + PayPath("work"), why)) return false;
    RoadResult r;
    if (refill) {
        r = FillRunPay(PayRunKey(), PayChoices{});
    } else {
        BuildChoices choices;
        choices.pay = pay;
        r = BuildPayRun(PayRunKey(), choices);
    }
    CloseDatabase();
    *why = r.reason;
    return r.outcome == RoadOutcome::kCommitted && (!pay || r.pay.filled >= 3L * PayRunSize());
}

void Build(benchmark::State& state, bool pay) {
    if (!PayTemplate()) {
        state.SkipWithError("cannot seed the run");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        if (!FreshPayCopy()) state.SkipWithError("cannot copy the run");
        state.ResumeTiming();
        std::string why;
        if (!RunRoad(pay, false, &why)) state.SkipWithError(why.c_str());
    }
}

void BM_PayBuildWithout(benchmark::State& state) {
    Build(state, false);
}
void BM_PayBuildWith(benchmark::State& state) {
    Build(state, true);
}
void BM_PayRefill(benchmark::State& state) {
    if (!PayTemplate() || !FreshPayCopy()) {
        state.SkipWithError("cannot seed the run");
        return;
    }
    std::string why;
    if (!RunRoad(true, false, &why)) state.SkipWithError(why.c_str());
    for (auto _ : state)
        if (!RunRoad(true, true, &why)) state.SkipWithError(why.c_str());
}

const char* const kWithout = Timed("BM_PayBuildWithout", BM_PayBuildWithout, 2);
const char* const kWith = Timed("BM_PayBuildWith", BM_PayBuildWith, 2);
const char* const kRefill = Timed("BM_PayRefill", BM_PayRefill, 2);

double MicrosPerEmployee(double seconds) {
    return seconds > 0 ? seconds * 1e6 / PayRunSize() : -1.0;
}

const bool pay_step_registered = [] {
    AddFigure("pay_step_us_per_employee_run", [](const Timings& t) {
        const double with = SecondsOf(t, kWith), without = SecondsOf(t, kWithout);
        return with > 0 && without > 0 ? MicrosPerEmployee(with - without) : -1.0;
    });
    AddFigure("build_us_per_employee_run",
              [](const Timings& t) { return MicrosPerEmployee(SecondsOf(t, kWithout)); });
    AddFigure("pay_step_share_of_build",
              [](const Timings& t) { return RatioOf(t, kWith, kWithout); });
    AddFigure("pay_refill_us_per_employee_run",
              [](const Timings& t) { return MicrosPerEmployee(SecondsOf(t, kRefill)); });
    return true;
}();

}  // namespace
}  // namespace payroll::bench
