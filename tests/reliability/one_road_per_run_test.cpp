// One road on one run at a time: two processes that build the same run at
// once, on SQLite and on PostgreSQL, leave the run's rows written once. The
// second waits for the first (or stops and says why) and then finds every
// row there.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "payroll/datasource.h"
#include "payroll/host.h"
#include "platform/db/connection.h"
#include "support/host_program.h"
#include "support/scratch_db.h"

namespace payroll::reliability {
namespace {

using testing::HostRun;

class OneRoadPerRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (testing::TestDatabaseIsPostgres()) {
            // The demo company in a schema of its own on the test server.
            const std::string server = testing::TestDatabaseUrl();
            schema_ = "one_road_" + std::to_string(::getpid());
            std::string error;
            ASSERT_TRUE(OpenDatabase(server, &error)) << error;
            ASSERT_TRUE(db::Connection::Current()->backend().RunNative(
                "DROP SCHEMA IF EXISTS " + schema_ + " CASCADE; CREATE SCHEMA " + schema_, &error))
                << error;
            CloseDatabase();
            url_ = server + (server.find('?') == std::string::npos ? "?" : "&") +
                   "options=-csearch_path%3D" + schema_;
        } else {
            path_ = testing::TempPath("one_road") + ".db";
            url_ = "sqlite:" + path_;
        }
        const HostRun demo = testing::RunHost({"--db", url_, "--quiet", "demo"});
        ASSERT_EQ(demo.exit_code, 0) << demo.err;
    }
    void TearDown() override {
        CloseDatabase();
        if (!schema_.empty()) {
            std::string error;
            if (OpenDatabase(testing::TestDatabaseUrl(), &error))
                db::Connection::Current()->backend().RunNative(
                    "DROP SCHEMA IF EXISTS " + schema_ + " CASCADE", &error);
            CloseDatabase();
        }
        if (!path_.empty()) testing::RemoveDatabaseFiles(path_);
    }
    // One figure of the open database.
    long Count(const std::string& sql) {
        std::string error;
        EXPECT_TRUE(OpenDatabase(url_, &error)) << error;
        G_DataSource rows;
        EXPECT_TRUE(rows.OnExecuteSQL(CString(sql))) << rows.GetLastError().str();
        const long n =
            rows.OnGetRecordCount() > 0 ? std::atol(rows.OnGetFieldValue("N", 0).c_str()) : -1;
        CloseDatabase();
        return n;
    }
    void Exec(const std::string& sql) {
        std::string error;
        ASSERT_TRUE(OpenDatabase(url_, &error)) << error;
        G_DirectSQL direct;
        EXPECT_TRUE(direct.OnExecuteQuery(CString(sql))) << LastDatabaseError();
        CloseDatabase();
    }
    std::string url_, path_, schema_;
};

TEST_F(OneRoadPerRunTest, TwoBuildsOfOneRunAtOnceWriteItsRowsOnce) {
    const std::string june = "RVRS_YM='200206' AND SQ=1";
    const long pay = Count("SELECT COUNT(*) N FROM HPOMPPD WHERE " + june);
    const long deductions = Count("SELECT COUNT(*) N FROM HPOMPDD WHERE " + june);
    ASSERT_GT(pay, 1000);
    const std::string build =
        testing::Program("--db " + testing::ShellQuote(url_) +
                         " --quiet build-run --company 1000 --month 200206 --run 1");
    for (int trial = 0; trial < 3; ++trial) {
        // The run's rows gone, and the same build started twice at once.
        Exec(std::string("DELETE FROM HPOMPPD WHERE ")
                 .append(june)
                 .append("; DELETE FROM HPOMPDD WHERE ")
                 .append(june));
        std::string script = "(";
        script.append(build).append(" & ").append(build).append(" & wait) 2>&1; ");
        script.append(build).append(" >/dev/null 2>&1; echo third $?");
        const HostRun both = testing::Shell(script);
        EXPECT_NE(both.out.find("committed"), std::string::npos) << both.out;
        // The third build, after both, had nothing left to insert and said so
        // with exit code 0.
        EXPECT_NE(both.out.find("third 0"), std::string::npos) << both.out;
        EXPECT_EQ(Count("SELECT COUNT(*) N FROM HPOMPPD WHERE " + june), pay) << both.out;
        EXPECT_EQ(Count("SELECT COUNT(*) N FROM HPOMPDD WHERE " + june), deductions);
        EXPECT_EQ(Count("SELECT COUNT(*) N FROM (SELECT EMP_CD, PYTP_FG, PAY_CD FROM HPOMPPD "
                        "WHERE " +
                        june + " GROUP BY EMP_CD, PYTP_FG, PAY_CD HAVING COUNT(*) > 1) D"),
                  0);
    }
}

}  // namespace
}  // namespace payroll::reliability
