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

#include "bench/default_row_batches.h"
#include "bench/figures.h"
#include "bench/pg_tables.h"
#include "payroll/datasource.h"
#include "payroll/host.h"
#include "platform/db/connection.h"

namespace payroll::bench {
namespace {

void BM_PostgresDefaultRows(benchmark::State& state) {
    const std::string url = PostgresUrl();
    if (url.empty()) {
        state.SkipWithError("PAYROLL_BENCH_POSTGRES_URL is not set");
        return;
    }
    std::vector<std::string> pay = DefaultRowBatches(true, "0.0000"),
                             deductions = DefaultRowBatches(false, "0.0000");
    const std::string schema = "bench_" + std::to_string(getpid());
    for (auto _ : state) {
        state.PauseTiming();
        if (!FreshSchema(url, schema)) {
            state.SkipWithError("cannot prepare the server");
            return;
        }
        state.ResumeTiming();
        SendBatches(state, pay, deductions);
        state.PauseTiming();
        DropSchema(url, schema);
        state.ResumeTiming();
    }
}

const char* const kDefaultRows = Timed("BM_PostgresDefaultRows", BM_PostgresDefaultRows, 2);

const bool pg_insert_registered = [] {
    AddFigure("pg_default_rows_per_s", [](const Timings& t) {
        return PerSecond(t, kDefaultRows, BatchEmployees() * (kPayItems + kDeductionItems));
    });
    return true;
}();

}  // namespace
}  // namespace payroll::bench
