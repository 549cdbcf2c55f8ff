// The default-row insert texts the insert benchmarks send, formatted as the
// build's default-row step formats them, in batches of 500 employees.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/figures.h"
#include "bench/scratch_db.h"
#include "payroll/datasource.h"

namespace payroll::bench {

constexpr int kBatchEmployees = 500;

// Employees of the run: 100,000 rows in all (20,000 with --quick).
inline int BatchEmployees() {
    return (Quick() ? 20000 : 100000) / (kPayItems + kDeductionItems);
}

// One INSERT text; `amount` is the amount literal as the step writes it.
inline std::string RowText(bool pay, int emp, int item, const char* amount) {
    char buf[512];
    std::snprintf(buf, sizeof buf,
                  "INSERT INTO %s (CO_CD, PRTY_CD, DIV_CD, DEPT_CD, PJT_CD, EMP_CD, RVRS_YM, SQ, "
                  "PYTP_FG, PYDD_FG, %s, %s, DUMMY1, DUMMY2, DUMMY3 ) values ('%s','%s','%s','%s',"
                  "'%s','E%06d','%s',%s,'%s','%s','%c%02d',%s, '%s','%s','%s' ) \n",
                  pay ? "HPOMPPD " : "HPOMPDD ", pay ? "PAY_CD" : "DDCT_CD",
                  pay ? "PAY_AM" : "DDCT_AM", "1000", "P01", "D10", "D1001", "PJ1", emp, "200203",
                  "1", "001", pay ? "P2" : "P3", pay ? 'P' : 'S', item, amount, "  ", "R01", "001");
    return buf;
}

// The batches of one kind: 500 employees' texts each.
inline std::vector<std::string> DefaultRowBatches(bool pay, const char* amount) {
    std::vector<std::string> batches;
    const int items = pay ? kPayItems : kDeductionItems;
    for (int e = 0; e < BatchEmployees(); ++e) {
        if (e % kBatchEmployees == 0) batches.emplace_back();
        for (int i = 0; i < items; ++i) batches.back() += RowText(pay, e, i, amount);
    }
    return batches;
}

// Sends the batches of both kinds through the engine's statement interface in
// one transaction; the first refusal ends the benchmark.
inline void SendBatches(benchmark::State& state, const std::vector<std::string>& pay,
                        const std::vector<std::string>& deductions) {
    G_DataSource tx;
    G_DirectSQL sql;
    tx.OnBeginTrans();
    for (const auto* kind : {&pay, &deductions})
        for (const std::string& batch : *kind)
            if (!sql.OnExecuteQuery(batch)) state.SkipWithError(sql.GetLastError().c_str());
    tx.OnCommitTrans();
}

}  // namespace payroll::bench
