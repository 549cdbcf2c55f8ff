// A query text run again inside a transaction is answered from the rows read
// before only while they are exactly what the database would return.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <string>

#include "payroll/datasource.h"
#include "payroll/host.h"
#include "platform/db/connection.h"
#include "support/scratch_db.h"

namespace {

using payroll::db::Connection;

class ReadReuseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = payroll::testing::TempPath("read_reuse.db");
        std::string error;
        ASSERT_TRUE(payroll::OpenDatabase("sqlite:" + path_, &error)) << error;
        ASSERT_TRUE(sql_.OnExecuteQuery(
            "CREATE TABLE T (EMP_CD VARCHAR(10), AMT NUMERIC(19,4)); "
            "CREATE TABLE U (V INTEGER); "
            "INSERT INTO T VALUES ('E1', 100) INSERT INTO T VALUES ('E2', 200)"));
    }
    void TearDown() override {
        payroll::CloseDatabase();
        payroll::testing::RemoveDatabaseFiles(path_);
    }

    // The total of T as the engine would read it, and whether reading it
    // sent a statement to the database.
    std::string Total(bool* sent = nullptr) {
        const long before = Connection::Current()->statements_run();
        G_DataSource ds;
        EXPECT_TRUE(ds.OnExecuteSQL("SELECT SUM(AMT) TOTAL FROM T WHERE EMP_CD LIKE 'E%'"));
        if (sent) *sent = Connection::Current()->statements_run() != before;
        return ds.OnGetFieldValue("TOTAL", 0).str();
    }

    std::string path_;
    G_DirectSQL sql_;
    G_DataSource tx_;
};

TEST_F(ReadReuseTest, ARepeatedReadIsAnsweredUntilItsTableIsWritten) {
    ASSERT_TRUE(tx_.OnBeginTrans());
    bool sent = false;
    EXPECT_EQ(Total(&sent), "300");
    EXPECT_TRUE(sent);
    const long reused = Connection::Current()->reads_reused();
    EXPECT_EQ(Total(&sent), "300");
    EXPECT_FALSE(sent);
    EXPECT_EQ(Connection::Current()->reads_reused(), reused + 1);

    // Another table written, or this one without a row changed: still kept.
    ASSERT_TRUE(sql_.OnExecuteQuery("INSERT INTO U VALUES (1)"));
    ASSERT_TRUE(sql_.OnExecuteQuery("UPDATE T SET AMT = 0 WHERE EMP_CD = 'nobody'"));
    EXPECT_EQ(Total(&sent), "300");
    EXPECT_FALSE(sent);

    // Its table written: read again, with the new rows.
    ASSERT_TRUE(sql_.OnExecuteQuery("UPDATE t SET AMT = 150 WHERE EMP_CD = 'E1'"));
    EXPECT_EQ(Total(&sent), "350");
    EXPECT_TRUE(sent);
    // A write through the backend's own dialect cannot be named.
    std::string error;
    ASSERT_TRUE(
        Connection::Current()->backend().RunNative("DELETE FROM T WHERE EMP_CD='E2'", &error));
    EXPECT_EQ(Total(&sent), "150");
    EXPECT_TRUE(sent);

    // What the rollback undid is not handed back afterwards.
    tx_.OnRollbackTrans();
    ASSERT_TRUE(tx_.OnBeginTrans());
    EXPECT_EQ(Total(&sent), "300");
    EXPECT_TRUE(sent);
    tx_.OnCommitTrans();
}

// More texts than are kept: the oldest give way (their room is taken by
// the newest), and every text, kept or read again, has its own rows.
TEST_F(ReadReuseTest, WhenTheKeptReadsAreFullTheOldestGiveWay) {
    ASSERT_TRUE(tx_.OnBeginTrans());
    const auto read = [](int i, bool* sent) {
        const long before = Connection::Current()->statements_run();
        G_DataSource ds;
        const std::string text =
            "SELECT EMP_CD, AMT + " + std::to_string(i) + " V FROM T WHERE EMP_CD='E1'";
        EXPECT_TRUE(ds.OnExecuteSQL(text.c_str()));
        *sent = Connection::Current()->statements_run() != before;
        return ds.OnGetFieldValue("V", 0).str();
    };
    bool sent = false;
    constexpr int kTexts = 400;
    for (int i = 0; i < kTexts; ++i) {
        EXPECT_EQ(read(i, &sent), std::to_string(100 + i));
        EXPECT_TRUE(sent) << i;
        EXPECT_EQ(read(i, &sent), std::to_string(100 + i));
        EXPECT_FALSE(sent) << i;  // kept right after it was read
    }
    EXPECT_EQ(read(0, &sent), "100");
    EXPECT_TRUE(sent);  // the oldest gave way
    EXPECT_EQ(read(kTexts - 1, &sent), std::to_string(100 + kTexts - 1));
    EXPECT_FALSE(sent);
    tx_.OnCommitTrans();
}

TEST_F(ReadReuseTest, OutsideATransactionAndAcrossTransactionsEveryReadIsSent) {
    bool sent = false;
    Total();
    EXPECT_EQ(Total(&sent), "300");
    EXPECT_TRUE(sent);

    ASSERT_TRUE(tx_.OnBeginTrans());
    Total();
    tx_.OnCommitTrans();
    // Another process writes between two transactions of this one.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path_.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(other, "UPDATE T SET AMT = 1 WHERE EMP_CD = 'E2'", nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(other);
    ASSERT_TRUE(tx_.OnBeginTrans());
    EXPECT_EQ(Total(&sent), "101");
    EXPECT_TRUE(sent);
    tx_.OnCommitTrans();
}

TEST_F(ReadReuseTest, ACountAndItsReadShareTheRowsKept) {
    ASSERT_TRUE(tx_.OnBeginTrans());
    const char* query = "SELECT EMP_CD FROM T ORDER BY EMP_CD";
    G_DataSource ds;
    EXPECT_EQ(ds.OnGetBulkRecordCount(query), 2);
    ASSERT_TRUE(ds.OnExecuteSQL(query));
    const long before = Connection::Current()->statements_run();
    EXPECT_EQ(ds.OnGetBulkRecordCount(query), 2);
    ASSERT_TRUE(ds.OnExecuteSQL(query));
    EXPECT_EQ(ds.OnGetFieldValue("EMP_CD", 1), "E2");
    EXPECT_EQ(Connection::Current()->statements_run(), before);
    ASSERT_TRUE(sql_.OnExecuteQuery("DELETE FROM T WHERE EMP_CD = 'E1'"));
    EXPECT_EQ(ds.OnGetBulkRecordCount(query), 1);
    tx_.OnCommitTrans();
}

}  // namespace
