// A small company for the run-build tests: settings, organisation, employee
// master, pay-run calendar with windows and items, and the run key to build
// it with. Everything goes through the open connection of the fixture.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "payroll/records.h"
#include "payroll/salary_calcurate.h"
#include "platform/db/connection.h"
#include "support/engine_fixture.h"

namespace payroll::testing::build {

struct SeedEmployee {
    std::string emp;
    std::string htyp = "001";
    std::string pysp = "001";
    std::string dept = "D01";
    std::string join = "20000101";
    std::string retire;  // empty: NULL
    std::string prty = "P01";
    std::string pjt = "J01";
    std::string hrsp = "R01";
    std::string naps = "150000";  // empty: NULL
    std::string hifa = "50000";
    std::string empl_fg = "001";
};

struct SeedRun {
    std::string company = "1000";
    std::string month = "200203";
    int sq = 1;
    std::string pay_date = "20020325";
    std::string combined = "002";  // CCIS_YN of the run
    std::vector<std::string> pay_types = {"001"};
    // Employee types and pay systems the run covers (HPHWTPT), with the
    // cut-off of each type (HHFAACC: kind "001", day 25 gives the window
    // 20020225-20020324 for 200203).
    std::vector<std::string> types = {"001"};
    // (pay type, employee type) pairs covered by one pay type only.
    std::vector<std::pair<std::string, std::string>> extra_types;
    std::string pysp = "001";
    std::string cutoff_kind = "001";
    std::string cutoff_day = "25";
    std::vector<std::string> pay_items = {"P00", "P10"};
    std::vector<std::string> deduction_items = {"S00", "S10", "T00"};
};

// Runs statements through the component; a failure fails the test.
void SeedExec(const std::string& sql);
// One value of a query as text ("" when no row).
std::string SeedScalar(const std::string& sql);
long SeedCount(const std::string& table, const std::string& where);

// Company settings, 'PC' codes, divisions DV1/DV2 and departments D01 (DV1),
// D02 (DV2).
void SeedCompany(const std::string& company = "1000");
// The run's calendar, windows, pay types, items and item definitions.
void SeedRunCalendar(const SeedRun& run);
void SeedEmployees(const std::string& company, const std::vector<SeedEmployee>& people);
// Employees E0001.. of the default kind.
std::vector<SeedEmployee> NumberedEmployees(int count, int first = 1);

// The key of the run for pay type `pay_type`.
HPHONPD_YMD_FMT SeedKey(const SeedRun& run, const std::string& pay_type);

// Every row of a table as text, sorted: a snapshot to compare databases.
std::vector<std::string> TableSnapshot(const std::string& table);
// The snapshot of every table the run build and refresh write.
std::vector<std::string> WrittenTablesSnapshot();

// A scratch database with the company seeded, an engine, and a recorder of
// the texts the engine sends.
class BuildFixture : public DatabaseFixture {
  protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        SeedCompany();
    }
    void TearDown() override {
        StopRecording();
        DatabaseFixture::TearDown();
    }
    // Seeds the run and binds the engine to it (init).
    void Bind(const SeedRun& run, const std::string& pay_type) {
        key_ = SeedKey(run, pay_type);
        ASSERT_EQ(engine_.init(&key_), 1);
    }
    void Record() {
        sent_.clear();
        db::Connection::Current()->SetRecorder(
            [this](std::string_view text) { sent_.emplace_back(text); });
    }
    void StopRecording() {
        if (db::Connection* c = db::Connection::Current()) c->SetRecorder(nullptr);
    }
    // The recorded texts that contain `needle`.
    std::vector<std::string> SentWith(std::string_view needle) const {
        std::vector<std::string> out;
        for (const std::string& t : sent_)
            if (t.find(needle) != std::string::npos) out.push_back(t);
        return out;
    }
    int Depth() const { return db::Connection::Current()->depth(); }

    ScopedRegistry registry_{""};
    CSalaryCalcurate engine_;
    HPHONPD_YMD_FMT key_{};
    std::vector<std::string> sent_;
};

}  // namespace payroll::testing::build
