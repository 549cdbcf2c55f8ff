// pg_default_rows_per_s: the default-row INSERT texts sent through
// G_DirectSQL to a PostgreSQL server, in batches of 500 employees' texts
// inside one transaction, as the build road sends them. Runs when
// PAYROLL_BENCH_POSTGRES_URL names a server (scripts/pg-test-server start
// prints one); each iteration writes into a fresh schema, dropped after.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/figures.h"
#include "payroll/datasource.h"
#include "payroll/host.h"
#include "platform/db/connection.h"

namespace payroll::bench {
namespace {

constexpr int kPayItems = 15;
constexpr int kDeductionItems = 10;
constexpr int kBatchEmployees = 500;

int Employees() {
    return (Quick() ? 20000 : 100000) / (kPayItems + kDeductionItems);
}

std::string ServerUrl() {
    const char* url = std::getenv("PAYROLL_BENCH_POSTGRES_URL");
    return url ? url : "";
}

std::string RowText(bool pay, int emp, int item) {
    char buf[512];
    std::snprintf(buf, sizeof buf,
                  "INSERT INTO %s (CO_CD, PRTY_CD, DIV_CD, DEPT_CD, PJT_CD, EMP_CD, RVRS_YM, SQ, "
                  "PYTP_FG, PYDD_FG, %s, %s, DUMMY1, DUMMY2, DUMMY3 ) values ('%s','%s','%s','%s',"
                  "'%s','E%06d','%s',%s,'%s','%s','%c%02d',%s, '%s','%s','%s' ) \n",
                  pay ? "HPOMPPD " : "HPOMPDD ", pay ? "PAY_CD" : "DDCT_CD",
                  pay ? "PAY_AM" : "DDCT_AM", "1000", "P01", "D10", "D1001", "PJ1", emp, "200203",
                  "1", "001", pay ? "P2" : "P3", pay ? 'P' : 'S', item, "0.0000", "  ", "R01",
                  "001");
    return buf;
}

std::vector<std::string> Batches(bool pay) {
    std::vector<std::string> batches;
    int items = pay ? kPayItems : kDeductionItems;
    for (int e = 0; e < Employees(); ++e) {
        if (e % kBatchEmployees == 0) batches.emplace_back();
        for (int i = 0; i < items; ++i) batches.back() += RowText(pay, e, i);
    }
    return batches;
}

bool Native(const std::string& sql) {
    std::string error;
    db::Connection* c = db::Connection::Current();
    if (c && c->backend().RunNative(sql, &error)) return true;
    std::fprintf(stderr, "bench: %s\n", error.c_str());
    return false;
}

void BM_PostgresDefaultRows(benchmark::State& state) {
    const std::string url = ServerUrl();
    if (url.empty()) {
        state.SkipWithError("PAYROLL_BENCH_POSTGRES_URL is not set");
        return;
    }
    std::vector<std::string> pay = Batches(true), deductions = Batches(false);
    const std::string schema = "bench_" + std::to_string(getpid());
    std::string error;
    for (auto _ : state) {
        state.PauseTiming();
        if (!OpenDatabase(url, &error) ||
            !Native("DROP SCHEMA IF EXISTS " + schema + " CASCADE; CREATE SCHEMA " + schema +
                    "; SET search_path TO " + schema) ||
            !ApplySchema(nullptr, &error)) {
            state.SkipWithError("cannot prepare the server");
            return;
        }
        state.ResumeTiming();
        G_DataSource tx;
        G_DirectSQL sql;
        tx.OnBeginTrans();
        for (const auto* kind : {&pay, &deductions})
            for (const std::string& batch : *kind)
                if (!sql.OnExecuteQuery(batch)) state.SkipWithError(sql.GetLastError().c_str());
        tx.OnCommitTrans();
        state.PauseTiming();
        Native("DROP SCHEMA IF EXISTS " + schema + " CASCADE");
        CloseDatabase();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_PostgresDefaultRows)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

const bool registered = [] {
    AddFigure("pg_default_rows_per_s", [](const Timings& t) {
        auto a = t.find("BM_PostgresDefaultRows/iterations:2/real_time");
        return a != t.end() && a->second > 0
                   ? Employees() * (kPayItems + kDeductionItems) / a->second
                   : -1.0;
    });
    return true;
}();

}  // namespace
}  // namespace payroll::bench
