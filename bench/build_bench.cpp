// The run build (roster, item lists, default pay and deduction rows) of a
// generated run of 10,000 and of 100,000 employees with 15 pay and 10
// deduction items each, on a SQLite database file. The same rows are also
// inserted with one prepared statement in one transaction through the raw
// SQLite API, on a connection opened and set up as the engine's, which gives
// the build's cost over the database work itself.
//
// Figures: build_rows_per_s_100000, build_ratio_to_prepared (build over
// prepared inserts at the larger size), build_scaling_ratio (time at the
// larger size over time at the smaller) and build_peak_rss_mib (the peak
// resident memory of a process that builds the larger run). --quick uses
// 2,000 and 20,000 employees.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "bench/figures.h"
#include "bench/scratch_db.h"
#include "bench/year_company.h"
#include "payroll/diagnostics.h"
#include "payroll/host.h"
#include "payroll/salary_calcurate.h"
#include "payroll/ui.h"
#include "platform/db/sqlite_backend.h"
#include "platform/db/sqlite_writeback.h"

namespace payroll::bench {
namespace {

constexpr int kItems = kPayItems + kDeductionItems;
constexpr const char* kDeductionCodes[kDeductionItems] = {"S00", "S10", "S20", "T00", "T10",
                                                          "S30", "S40", "S50", "R01", "R02"};

int SmallRun() {
    return Quick() ? 2000 : 10000;
}
int LargeRun() {
    return Quick() ? 20000 : 100000;
}

std::string Path(const std::string& name) {
    return (std::filesystem::temp_directory_path() / name).string();
}
std::string TemplatePath(int employees) {
    return Path("payroll_bench_build_" + std::to_string(employees) + ".db");
}
std::string WorkPath() {
    return Path("payroll_bench_build_work.db");
}

std::string PayCode(int i) {
    char code[8];
    std::snprintf(code, sizeof code, "P%02d", i);
    return code;
}

// The run 200203/1 of pay type 001 with its windows, items and definitions,
// and the employees, written with the raw SQLite API (apart from what is
// measured). The run has no rows yet.
bool Seed(const std::string& path, int employees) {
    RemoveDb(path);
    std::string error;
    if (!OpenDatabase("sqlite:" + path, &error) || !ApplySchema(nullptr, &error)) {
        std::fprintf(stderr, "bench: %s\n", error.c_str());
        return false;
    }
    CloseDatabase();
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) return false;
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> closer(db, sqlite3_close);
    bool ok = Exec(db, "BEGIN") && Exec(db, "INSERT INTO SHCFG (CO_CD) VALUES ('1000')") &&
              Exec(db,
                   "INSERT INTO SCTRL_D (CO_CD, CTRL_CD, CTD_CD, RMK_DC) VALUES "
                   "('1000','PC','001','100000')") &&
              Exec(db,
                   "INSERT INTO HHFAACC VALUES ('1000','001','001','25'), "
                   "('1000','002','002','21')") &&
              Exec(db, "INSERT INTO SDIV (CO_CD, DIV_CD) VALUES ('1000','DV1'), ('1000','DV2')") &&
              Exec(db, "INSERT INTO HPHPYFQ VALUES ('1000','200203',1,'20020325','002')") &&
              Exec(db,
                   "INSERT INTO HPHONPD (CO_CD, RVRS_YM, SQ, PYTP_FG) VALUES "
                   "('1000','200203',1,'001')") &&
              Exec(db,
                   "INSERT INTO HPHWTPT (CO_CD, RVRS_YM, SQ, PYTP_FG, HTYP_CD, PYSP_FG) VALUES "
                   "('1000','200203',1,'001','001','001'), ('1000','200203',1,'001','002','001')");
    for (int d = 0; ok && d < 10; ++d)
        ok = Exec(db, "INSERT INTO SDEPT (CO_CD, DEPT_CD, DIV_CD) VALUES ('1000','D0" +
                          std::to_string(d) + "','DV" + std::to_string(d % 2 + 1) + "')");
    for (int i = 0; ok && i < kItems; ++i) {
        const bool pay = i < kPayItems;
        const std::string code = pay ? PayCode(i) : kDeductionCodes[i - kPayItems];
        // The item's class and code: P2 for pay, P3 for deductions.
        const std::string item = (pay ? "P2','" : "P3','") + code;
        ok = Exec(db,
                  "INSERT INTO HPHPOYM (CO_CD, RVRS_YM, SQ, PYTP_FG, PYDD_FG, PYDD_CD) VALUES "
                  "('1000','200203',1,'001','" +
                      item + "')") &&
             Exec(db,
                  "INSERT INTO HPMPDFM (CO_CD, RVRS_YM, PYTP_FG, PYDD_FG, PYDD_CD, TAX_FG) VALUES "
                  "('1000','2002','001','" +
                      item + "','" + (i % 3 ? "001" : "002") + "')");
    }
    sqlite3_stmt* emp = nullptr;
    ok = ok && sqlite3_prepare_v2(db,
                                  "INSERT INTO SEMP (CO_CD, EMP_CD, KOR_NM, DEPT_CD, PJT_CD, "
                                  "HTYP_CD, HRSP_CD, PRTY_CD, PYSP_FG, JOIN_DT, EMPL_FG, NAPS_AM, "
                                  "HIFA_AM) VALUES ('1000',?1,?2,?3,'J01',?4,'R01','P1','001',"
                                  "'20000101','001',90000,70000)",
                                  -1, &emp, nullptr) == SQLITE_OK;
    for (int e = 0; ok && e < employees; ++e) {
        char code[16], dept[8];
        std::snprintf(code, sizeof code, "E%06d", e + 1);
        std::snprintf(dept, sizeof dept, "D0%d", e % 10);
        const std::string name = "사원" + std::to_string(e + 1);
        sqlite3_bind_text(emp, 1, code, -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(emp, 2, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(emp, 3, dept, -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(emp, 4, e % 2 ? "002" : "001", -1, SQLITE_STATIC);
        ok = sqlite3_step(emp) == SQLITE_DONE;
        sqlite3_reset(emp);
    }
    sqlite3_finalize(emp);
    ok = ok && Exec(db, "COMMIT");
    if (!ok) std::fprintf(stderr, "bench: seeding failed: %s\n", sqlite3_errmsg(db));
    return ok;
}

bool Prepare(int employees) {
    static std::map<int, bool> ready;
    auto it = ready.find(employees);
    if (it != ready.end()) return it->second;
    return ready[employees] = Seed(TemplatePath(employees), employees);
}

// A fresh copy of the seeded run to build on.
bool FreshCopy(int employees) {
    RemoveDb(WorkPath());
    std::error_code ec;
    std::filesystem::copy_file(TemplatePath(employees), WorkPath(), ec);
    // The copy's pages go to the disk now, not while a build is measured.
    ::sync();
    return !ec;
}

// Builds the run on the working copy; true when the build committed.
bool BuildRun() {
    std::string error;
    if (!OpenDatabase("sqlite:" + WorkPath(), &error)) {
        std::fprintf(stderr, "bench: %s\n", error.c_str());
        return false;
    }
    const bool ok = BuildOpenRun();
    CloseDatabase();
    return ok;
}

long RowsBuilt() {
    sqlite3* db = nullptr;
    sqlite3_open(WorkPath().c_str(), &db);
    long n = 0;
    for (const char* t : {"HPOMPPD", "HPOMPDD"}) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, (std::string("SELECT count(*) FROM ") + t).c_str(), -1, &st,
                           nullptr);
        if (sqlite3_step(st) == SQLITE_ROW) n += sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return n;
}

// The peak resident memory, in kB, of a child process that builds the run.
long PeakKbOfABuild(int employees) {
    if (!FreshCopy(employees)) return -1;
    int fds[2];
    if (pipe(fds) != 0) return -1;
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        close(fds[0]);
        long kb = -1;
        if (BuildRun()) {
            std::ifstream status("/proc/self/status");
            for (std::string line; std::getline(status, line);)
                if (line.rfind("VmHWM:", 0) == 0) kb = std::atol(line.c_str() + 6);
        }
        ssize_t written = write(fds[1], &kb, sizeof kb);
        _exit(written == sizeof kb ? 0 : 1);
    }
    close(fds[1]);
    long kb = -1;
    if (read(fds[0], &kb, sizeof kb) != sizeof kb) kb = -1;
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return kb;
}

void Build(benchmark::State& state, int (*size)(), bool measure_memory) {
    const int employees = size();
    if (!Prepare(employees)) {
        state.SkipWithError("cannot seed the run");
        return;
    }
    if (measure_memory)
        SetFigure("build_peak_rss_mib", static_cast<double>(PeakKbOfABuild(employees)) / 1024.0);
    for (auto _ : state) {
        state.PauseTiming();
        if (!FreshCopy(employees)) state.SkipWithError("cannot copy the run");
        state.ResumeTiming();
        if (!BuildRun()) state.SkipWithError(LastEngineFailure().step.c_str());
    }
    if (RowsBuilt() != static_cast<long>(employees) * kItems)
        state.SkipWithError("the build did not write every row");
}

// The rows the build writes, inserted with one prepared statement per table
// in one transaction.
void Prepared(benchmark::State& state) {
    const int employees = LargeRun();
    if (!Prepare(employees)) {
        state.SkipWithError("cannot seed the run");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        FreshCopy(employees);
        sqlite3* db = nullptr;
        sqlite3_open_v2(WorkPath().c_str(), &db, db::SqliteOpenFlags(), db::SqliteVfs());
        std::string error;
        if (!db::ConfigureSqlite(db, false, &error)) state.SkipWithError(error.c_str());
        state.ResumeTiming();
        Exec(db, "BEGIN");
        for (bool pay : {true, false}) {
            sqlite3_stmt* st = nullptr;
            const std::string sql =
                std::string("INSERT INTO ") + (pay ? "HPOMPPD" : "HPOMPDD") +
                " (CO_CD, PRTY_CD, DIV_CD, DEPT_CD, PJT_CD, EMP_CD, RVRS_YM, SQ, PYTP_FG, "
                "PYDD_FG, " +
                (pay ? "PAY_CD, PAY_AM" : "DDCT_CD, DDCT_AM") +
                ", DUMMY1, DUMMY2, DUMMY3) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
            sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
            char emp[16], dept[8], div[8];
            for (int e = 0; e < employees; ++e) {
                std::snprintf(emp, sizeof emp, "E%06d", e + 1);
                std::snprintf(dept, sizeof dept, "D0%d", e % 10);
                std::snprintf(div, sizeof div, "DV%d", e % 10 % 2 + 1);
                const char* window = e % 2 ? "2002032120020420" : "2002022520020324";
                for (int i = 0; i < (pay ? kPayItems : kDeductionItems); ++i) {
                    const std::string code = pay ? PayCode(i) : kDeductionCodes[i];
                    const char* text[] = {"1000", "P1", div, dept, "J01", emp, "200203"};
                    for (int k = 0; k < 7; ++k)
                        sqlite3_bind_text(st, k + 1, text[k], -1, SQLITE_STATIC);
                    sqlite3_bind_int(st, 8, 1);
                    sqlite3_bind_text(st, 9, "001", -1, SQLITE_STATIC);
                    sqlite3_bind_text(st, 10, pay ? "P2" : "P3", -1, SQLITE_STATIC);
                    sqlite3_bind_text(st, 11, code.c_str(), -1, SQLITE_TRANSIENT);
                    sqlite3_bind_int(st, 12, 0);
                    sqlite3_bind_text(st, 13, code == "T00" ? window : "  ", -1, SQLITE_STATIC);
                    sqlite3_bind_text(st, 14, "R01", -1, SQLITE_STATIC);
                    sqlite3_bind_text(st, 15, pay ? (i % 3 ? "001" : "002") : "", -1,
                                      SQLITE_STATIC);
                    sqlite3_step(st);
                    sqlite3_reset(st);
                }
            }
            sqlite3_finalize(st);
        }
        Exec(db, "COMMIT");
        state.PauseTiming();
        sqlite3_close(db);
        state.ResumeTiming();
    }
}

void BM_BuildSmall(benchmark::State& state) {
    Build(state, SmallRun, false);
}
void BM_BuildLarge(benchmark::State& state) {
    Build(state, LargeRun, true);
}
void BM_BuildPreparedLarge(benchmark::State& state) {
    Prepared(state);
}

const char* const kSmall = Timed("BM_BuildSmall", BM_BuildSmall, 3);
const char* const kLarge = Timed("BM_BuildLarge", BM_BuildLarge, 1);
const char* const kPrepared = Timed("BM_BuildPreparedLarge", BM_BuildPreparedLarge, 2);

const bool build_registered = [] {
    AddFigure("build_rows_per_s_100000", [](const Timings& t) {
        return PerSecond(t, kLarge, static_cast<double>(LargeRun()) * kItems);
    });
    AddFigure("build_ratio_to_prepared",
              [](const Timings& t) { return RatioOf(t, kLarge, kPrepared); });
    AddFigure("build_scaling_ratio", [](const Timings& t) { return RatioOf(t, kLarge, kSmall); });
    return true;
}();

}  // namespace

bool SeedBuildRun(const std::string& path, int employees) {
    return Seed(path, employees);
}

bool BuildOpenRun() {
    QuietUi quiet;
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
    ResetTransactionOutcome();
    CSalaryCalcurate engine;
    return engine.init(&key) == 1 && engine._GetSalaryPepleList(1) == 1 &&
           LastTransactionOutcome() == TransactionOutcome::kCommitted;
}

}  // namespace payroll::bench
