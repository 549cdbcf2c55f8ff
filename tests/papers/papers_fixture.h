// A small generated company of 2002 (the demo's generator, eight employees,
// two divisions), its year's income tax recalculated by the engine and the
// month's close run: the stored runs the papers are read from.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "payroll/datasource.h"
#include "payroll/host.h"
#include "payroll/papers.h"
#include "payroll/roads.h"
#include "payroll/salary_calcurate.h"
#include "support/engine_fixture.h"
#include "support/run_key_builder.h"
#include "tools/company/company.h"

namespace payroll::testing {

class PapersTest : public DatabaseFixture {
  protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        company::Options options;
        options.employees = 8;
        std::string error;
        ASSERT_TRUE(company::Generate(options, nullptr, &error)) << error;
        HPHONPD_YMD_FMT key = RunKeyBuilder().Company("1000").Month("200201").Build();
        ResetTransactionOutcome();
        CSalaryCalcurate engine;
        engine.Call_AllSum1to12_Year(&key, 1, "", 0);
        ASSERT_EQ(LastTransactionOutcome(), TransactionOutcome::kCommitted);
        // The month's close: resident tax and insurance of every run.
        G_DataSource tx;
        ASSERT_TRUE(tx.OnBeginTrans());
        ASSERT_TRUE(CloseMonths("1000", "2002", &error)) << error;
        ASSERT_TRUE(tx.OnCommitTrans());
    }

    // The query's single number ("" or NULL as 0).
    double Sum(const std::string& sql) {
        std::string v = Scalar(sql);
        return v.empty() ? 0 : std::stod(v);
    }

    static papers::PaperQuery Query(const std::string& period, int sq = 0) {
        papers::PaperQuery q;
        q.company = "1000";
        q.period = period;
        q.sq = sq;
        return q;
    }
};

}  // namespace payroll::testing
