// dialect_insert_ratio: the default-row INSERT texts sent through G_DirectSQL
// in batches of 500 employees' texts, against the same rows inserted with one
// prepared statement through the raw SQLite API.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/default_row_batches.h"
#include "bench/figures.h"
#include "bench/scratch_db.h"
#include "payroll/datasource.h"
#include "payroll/host.h"

namespace payroll::bench {
namespace {

std::string TempDb(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

bool OpenFresh(const std::string& path) {
    RemoveDb(path);
    std::string error;
    if (!OpenDatabase("sqlite:" + path, &error) || !ApplySchema(nullptr, &error)) {
        std::fprintf(stderr, "bench: %s\n", error.c_str());
        return false;
    }
    return true;
}

void BM_DialectInsert(benchmark::State& state) {
    std::vector<std::string> pay = DefaultRowBatches(true, "0"),
                             deductions = DefaultRowBatches(false, "0");
    std::string path = TempDb("payroll_bench_dialect.db");
    for (auto _ : state) {
        state.PauseTiming();
        if (!OpenFresh(path)) {
            state.SkipWithError("cannot open the database");
            return;
        }
        state.ResumeTiming();
        SendBatches(state, pay, deductions);
        state.PauseTiming();
        CloseDatabase();
        state.ResumeTiming();
    }
    RemoveDb(path);
}

void BM_PreparedInsert(benchmark::State& state) {
    std::string path = TempDb("payroll_bench_prepared.db");
    for (auto _ : state) {
        state.PauseTiming();
        if (!OpenFresh(path)) {
            state.SkipWithError("cannot open the database");
            return;
        }
        CloseDatabase();
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL", nullptr, nullptr,
                     nullptr);
        state.ResumeTiming();
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (bool pay : {true, false}) {
            sqlite3_stmt* st = nullptr;
            std::string sql = std::string("INSERT INTO ") + (pay ? "HPOMPPD" : "HPOMPDD") +
                              " (CO_CD, PRTY_CD, DIV_CD, DEPT_CD, PJT_CD, EMP_CD, RVRS_YM, SQ, "
                              "PYTP_FG, PYDD_FG, " +
                              (pay ? "PAY_CD, PAY_AM" : "DDCT_CD, DDCT_AM") +
                              ", DUMMY1, DUMMY2, DUMMY3) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
            sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
            int items = pay ? kPayItems : kDeductionItems;
            char emp[16], code[8];
            for (int e = 0; e < BatchEmployees(); ++e) {
                std::snprintf(emp, sizeof emp, "E%06d", e);
                for (int i = 0; i < items; ++i) {
                    std::snprintf(code, sizeof code, "%c%02d", pay ? 'P' : 'S', i);
                    const char* text[] = {"1000", "P01", "D10", "D1001", "PJ1", emp, "200203"};
                    for (int k = 0; k < 7; ++k)
                        sqlite3_bind_text(st, k + 1, text[k], -1, SQLITE_STATIC);
                    sqlite3_bind_int(st, 8, 1);
                    sqlite3_bind_text(st, 9, "001", -1, SQLITE_STATIC);
                    sqlite3_bind_text(st, 10, pay ? "P2" : "P3", -1, SQLITE_STATIC);
                    sqlite3_bind_text(st, 11, code, -1, SQLITE_STATIC);
                    sqlite3_bind_int(st, 12, 0);
                    sqlite3_bind_text(st, 13, "  ", -1, SQLITE_STATIC);
                    sqlite3_bind_text(st, 14, "R01", -1, SQLITE_STATIC);
                    sqlite3_bind_text(st, 15, "001", -1, SQLITE_STATIC);
                    sqlite3_step(st);
                    sqlite3_reset(st);
                }
            }
            sqlite3_finalize(st);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        state.PauseTiming();
        sqlite3_close(db);
        state.ResumeTiming();
    }
    RemoveDb(path);
}

const char* const kDialect = Timed("BM_DialectInsert", BM_DialectInsert, 3);
const char* const kPrepared = Timed("BM_PreparedInsert", BM_PreparedInsert, 3);

const bool dialect_insert_registered = [] {
    AddFigure("dialect_insert_ratio",
              [](const Timings& t) { return RatioOf(t, kDialect, kPrepared); });
    AddFigure("dialect_insert_rows_per_s", [](const Timings& t) {
        return PerSecond(t, kDialect, BatchEmployees() * (kPayItems + kDeductionItems));
    });
    return true;
}();

}  // namespace
}  // namespace payroll::bench
