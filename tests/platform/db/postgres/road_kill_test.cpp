// The server connection is killed in the middle of a road (the year's
// income-tax recalculation, one transaction over every run): the road fails
// with a message, the transaction is rolled back, nothing of it stays on the
// server, and the engine neither hangs nor crashes on the statements that
// follow. PostgreSQL configuration only.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "payroll/datasource.h"
#include "payroll/host.h"
#include "payroll/salary_calcurate.h"
#include "platform/db/connection.h"
#include "platform/db/postgres_backend.h"
#include "support/test_connection.h"
#include "tests/engine/tax_road_fixture.h"

namespace payroll::testing {
namespace {

class RoadKillTest : public TaxRoadTest {
  protected:
    void SetUp() override {
        if (!TestDatabaseIsPostgres()) GTEST_SKIP() << "needs the PostgreSQL configuration";
        TaxRoadTest::SetUp();
    }

    // Recalculates the year; how many texts the engine sent.
    long RunYear(CSalaryCalcurate* engine) {
        long sent = 0;
        TestConnection::Current()->SetRecorder([&](std::string_view) {
            ++sent;
            if (sent == kill_at_) Kill();
        });
        HPHONPD_YMD_FMT key = Key("200201", "", "");
        engine->Call_AllSum1to12_Year(&key, 1, "", 0);
        if (TestConnection* c = TestConnection::Current()) c->SetRecorder(nullptr);
        return sent;
    }

    void Kill() {
        std::string error;
        std::unique_ptr<db::Backend> other = db::OpenPostgresBackend(TestDatabaseUrl(), &error);
        ASSERT_TRUE(other) << error;
        ASSERT_TRUE(other->RunNative("SELECT pg_terminate_backend(" + pid_ + ")", &error)) << error;
        killed_ = true;
    }

    std::string pid_;
    long kill_at_ = 0;
    bool killed_ = false;
};

TEST_F(RoadKillTest, ALostConnectionRollsTheYearBack) {
    SeedYearCompany();
    const std::vector<std::string> before = Dump();

    // A full year first, to learn how many texts it sends; then the same
    // year from the same start with the connection killed half-way.
    auto counting = std::make_unique<CSalaryCalcurate>();
    const long texts = RunYear(counting.get());
    ASSERT_GT(texts, 10);
    ASSERT_EQ(LastTransactionOutcome(), TransactionOutcome::kCommitted);
    ASSERT_NE(Dump(), before);  // the year does write
    counting.reset();
    FreshDatabase();
    SeedYearCompany();
    ASSERT_EQ(Dump(), before);
    driver_.Clear();
    ResetTransactionOutcome();

    const std::string schema = Scalar("SELECT current_schema() V");
    pid_ = Scalar("SELECT pg_backend_pid() V");
    kill_at_ = texts / 2;
    auto engine = std::make_unique<CSalaryCalcurate>();
    RunYear(engine.get());
    ASSERT_TRUE(killed_);
    EXPECT_EQ(LastTransactionOutcome(), TransactionOutcome::kRolledBack);
    EXPECT_FALSE(Messages().empty());
    EXPECT_NE(LastDatabaseError().find("connection"), std::string::npos) << LastDatabaseError();
    engine.reset();

    // Seen over a new connection, the year left nothing behind.
    std::string error;
    ASSERT_TRUE(OpenDatabase(TestDatabaseUrl(), &error)) << error;
    ASSERT_TRUE(
        db::Connection::Current()->backend().RunNative("SET search_path TO " + schema, &error))
        << error;
    EXPECT_EQ(Dump(), before);
}

}  // namespace
}  // namespace payroll::testing
