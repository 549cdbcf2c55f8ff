// The fixture of the run-build tests: a scratch database with the run-build
// company seeded (support/company_builder.h) and an engine; and snapshots of
// what a build writes.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "payroll/records.h"
#include "payroll/salary_calcurate.h"
#include "platform/db/connection.h"
#include "support/company_builder.h"
#include "support/engine_fixture.h"

namespace payroll::testing {

// Every row of a table as text, each cell followed by '|', sorted: a
// snapshot to compare databases.
inline std::vector<std::string> TableSnapshot(const std::string& table) {
    std::vector<std::string> out = QueryRows("SELECT * FROM " + table);
    for (std::string& line : out) line += '|';
    std::sort(out.begin(), out.end());
    return out;
}

// The snapshot of every table the run build and refresh write.
inline std::vector<std::string> WrittenTablesSnapshot() {
    std::vector<std::string> out;
    for (const char* t :
         {"HPITMPD", "HPITMDD", "HPOMPPD", "HPOMPDD", "HTOWTRT", "HTOWTDR", "HPOMNPY"}) {
        for (std::string& line : TableSnapshot(t)) out.push_back(std::string(t) + ":" + line);
    }
    return out;
}

// A scratch database with the company seeded, an engine, and a recorder of
// the texts the engine sends.
class BuildFixture : public DatabaseFixture {
  protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        SeedCompany();
    }
    // Seeds the run and binds the engine to it (init).
    void Bind(const SeedRun& run, const std::string& pay_type) {
        key_ = SeedKey(run, pay_type);
        ASSERT_EQ(engine_.init(&key_), 1);
    }
    int Depth() const { return db::Connection::Current()->depth(); }

    ScopedRegistry registry_{""};
    CSalaryCalcurate engine_;
    HPHONPD_YMD_FMT key_{};
};

}  // namespace payroll::testing
