// A refresh touches its own run only: every run of the generated company's
// March and June (a monthly run and a bonus run each; June's monthly run
// pays two pay types together), refreshed in every order, leaves each other
// run's rows as they were. An employee who retired late in June is paid his
// June salary and is a leaver of the June bonus's strict retirement rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "payroll/roads.h"
#include "support/build_fixture.h"
#include "tools/company/company.h"

namespace {

using namespace payroll::testing;

class RefreshScopeTest : public DatabaseFixture {
  protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        payroll::company::Options options;
        options.employees = 10;
        std::string error;
        ASSERT_TRUE(payroll::company::Generate(options, nullptr, &error)) << error;
        Exec("UPDATE SEMP SET RTR_DT='20020628' WHERE EMP_CD='E000003'");
        Exec("UPDATE HPHONPD SET RTCM_FG='000' WHERE PYTP_FG LIKE '2%'");
    }
    // Every row of one run in the tables a build and refresh write.
    std::vector<std::string> RunRows(const std::string& month, const std::string& sq) {
        std::vector<std::string> out;
        for (const char* table : {"HPOMPPD", "HPOMPDD", "HPOMNPY"})
            for (std::string& row : QueryRows(std::string("SELECT * FROM ")
                                                  .append(table)
                                                  .append(" WHERE RVRS_YM='")
                                                  .append(month)
                                                  .append("' AND SQ=")
                                                  .append(sq)))
                out.push_back(std::string(table).append("|").append(row));
        std::sort(out.begin(), out.end());
        return out;
    }
};

TEST_F(RefreshScopeTest, EveryRunRefreshedInEveryOrderLeavesTheOthersAlone) {
    long refreshed = 0;
    for (const char* month : {"200203", "200206"}) {
        std::vector<HPHONPD_YMD_FMT> runs;
        std::string error;
        ASSERT_TRUE(payroll::ListPayRuns("1000", month, &runs, &error)) << error;
        ASSERT_GE(runs.size(), 2u) << month;
        std::vector<std::size_t> order(runs.size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
        do {
            for (std::size_t picked : order) {
                std::map<std::string, std::vector<std::string>> before;
                for (const HPHONPD_YMD_FMT& run : runs)
                    before[run.SQ.Str()] = RunRows(month, run.SQ.Str());
                payroll::BuildChoices choices;
                choices.refresh = true;
                const payroll::RoadResult r = payroll::BuildPayRun(runs[picked], choices);
                ASSERT_EQ(r.outcome, payroll::RoadOutcome::kCommitted) << month << ": " << r.reason;
                ++refreshed;
                for (const HPHONPD_YMD_FMT& run : runs) {
                    if (run.SQ.Str() == runs[picked].SQ.Str()) continue;
                    EXPECT_EQ(RunRows(month, run.SQ.Str()), before[run.SQ.Str()])
                        << month << ": refreshing run " << runs[picked].SQ.Str() << " changed run "
                        << run.SQ.Str();
                }
            }
        } while (std::next_permutation(order.begin(), order.end()));
    }
    EXPECT_GE(refreshed, 8);
    // The June leaver kept his salary and lost his bonus rows.
    EXPECT_GT(SeedCount("HPOMPPD", "EMP_CD='E000003' AND RVRS_YM='200206' AND SQ=1"), 0);
    EXPECT_EQ(SeedCount("HPOMPPD", "EMP_CD='E000003' AND RVRS_YM='200206' AND SQ=2"), 0);
}

}  // namespace
