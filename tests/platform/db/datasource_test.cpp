#include "payroll/datasource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "payroll/host.h"
#include "platform/db/connection.h"
#include "support/recording_backend.h"
#include "support/scratch_db.h"
#include "support/test_connection.h"

namespace {

using payroll::TransactionOutcome;
using payroll::db::Connection;
using payroll::testing::RecordingBackend;
using payroll::testing::TestConnection;

class DataSourceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(payroll::testing::OpenTestConnection("sqlite::memory:", &error)) << error;
        ASSERT_TRUE(
            sql_.OnExecuteQuery("CREATE TABLE T (CO_CD VARCHAR(4), EMP_CD VARCHAR(10), SQ INTEGER, "
                                "AMT NUMERIC(19,4), NM VARCHAR(40))"));
        ASSERT_TRUE(sql_.OnExecuteQuery(
            "INSERT INTO T VALUES ('1000','E1',1,1234.5,'O''Brien 100%') "
            "INSERT INTO T VALUES ('1000','E2',2,1000000000000000,NULL) "
            "INSERT INTO T VALUES ('1000','E3',1,0.09,'\xea\xb9\x80\xec\xb2\xa0\xec\x88\x98')"));
    }
    void TearDown() override { payroll::CloseDatabase(); }

    int RowsInT() {
        G_DataSource ds;
        return ds.OnExecuteSQL("SELECT * FROM T") ? static_cast<int>(ds.OnGetRecordCount()) : -1;
    }

    G_DirectSQL sql_;
};

TEST_F(DataSourceTest, ValuesComeBackAsPlainText) {
    G_DataSource ds;
    ASSERT_TRUE(ds.OnExecuteSQL("SELECT EMP_CD, SQ, AMT, NM FROM T ORDER BY EMP_CD"));
    ASSERT_EQ(ds.OnGetRecordCount(), 3);
    EXPECT_EQ(ds.OnGetFieldValue("AMT", 0), "1234.5");
    EXPECT_EQ(ds.OnGetFieldValue("amt", 1), "1000000000000000");  // no exponent
    EXPECT_EQ(ds.OnGetFieldValue("AMT", 2), "0.09");
    EXPECT_EQ(ds.OnGetFieldValue("NM", 0), "O'Brien 100%");
    EXPECT_EQ(ds.OnGetFieldValue("NM", 1), "");  // NULL
    EXPECT_EQ(ds.OnGetFieldValue("SQ", 1), "2");
    // Unknown columns and rows give empty text, never a crash.
    EXPECT_EQ(ds.OnGetFieldValue("NOPE", 0), "");
    EXPECT_EQ(ds.OnGetFieldValue("NM", 3), "");
    EXPECT_EQ(ds.OnGetFieldValue("NM", -1), "");
    // By index: the same texts, and nothing out of range.
    const int amount = ds.OnGetColumnIndex("amt");
    ASSERT_EQ(amount, 2);
    EXPECT_EQ(ds.OnGetCellText(amount, 0), "1234.5");
    EXPECT_EQ(ds.OnGetColumnIndex("NOPE"), -1);
    EXPECT_EQ(ds.OnGetCellText(-1, 0), "");
    EXPECT_EQ(ds.OnGetCellText(4, 0), "");
    EXPECT_EQ(ds.OnGetCellText(amount, 3), "");
    EXPECT_EQ(ds.OnGetCellText(amount, -1), "");
    EXPECT_EQ(ds.OnFieldSearch("EMP_CD", "E2"), 1);
    EXPECT_EQ(ds.OnFieldSearch("EMP_CD", "E2", 2), -1);
    EXPECT_LT(ds.OnFieldSearch("EMP_CD", "E9"), 0);
    EXPECT_LT(ds.OnFieldSearch("NOPE", "E1"), 0);
}

// One source read again and again, as the engine does: each result has its
// own columns, and a text without rows or a failed one leaves none behind.
TEST_F(DataSourceTest, ASourceReadAgainHoldsOnlyItsLastResult) {
    G_DataSource ds;
    ASSERT_TRUE(ds.OnExecuteSQL("SELECT EMP_CD, SQ FROM T WHERE EMP_CD='E1'"));
    ASSERT_TRUE(ds.OnExecuteSQL("SELECT NM, AMT FROM T WHERE EMP_CD='E1'"));
    EXPECT_EQ(ds.OnGetFieldValue("NM", 0), "O'Brien 100%");
    EXPECT_EQ(ds.OnGetFieldValue("EMP_CD", 0), "");  // the first query's column is gone
    // The same statement with other values, and names the same length.
    ASSERT_TRUE(ds.OnExecuteSQL("SELECT NM, AMT FROM T WHERE EMP_CD='E3'"));
    EXPECT_EQ(ds.OnGetFieldValue("AMT", 0), "0.09");
    ASSERT_TRUE(ds.OnExecuteSQL("SELECT NM XX, AMT YYY FROM T WHERE EMP_CD='E3'"));
    EXPECT_EQ(ds.OnGetFieldValue("NM", 0), "");
    EXPECT_EQ(ds.OnGetFieldValue("YYY", 0), "0.09");
    // A text that yields no rows, and a failed one, leave no rows.
    ASSERT_TRUE(ds.OnExecuteSQL("UPDATE T SET SQ=SQ WHERE EMP_CD='E9'"));
    EXPECT_EQ(ds.OnGetRecordCount(), 0);
    EXPECT_EQ(ds.OnGetFieldValue("YYY", 0), "");
    ASSERT_TRUE(ds.OnExecuteSQL("SELECT NM FROM T WHERE EMP_CD='E1'"));
    EXPECT_FALSE(ds.OnExecuteSQL("SELECT NM FROM NO_SUCH_TABLE"));
    EXPECT_EQ(ds.OnGetRecordCount(), 0);
    // A count's rows handed to the query that follows it, then a new count.
    EXPECT_EQ(ds.OnGetBulkRecordCount("SELECT EMP_CD FROM T"), 3);
    ASSERT_TRUE(ds.OnExecuteSQL("SELECT EMP_CD FROM T"));
    EXPECT_EQ(ds.OnGetRecordCount(), 3);
    EXPECT_EQ(ds.OnGetBulkRecordCount("SELECT NM FROM T WHERE EMP_CD='E1'"), 1);
    ASSERT_TRUE(ds.OnExecuteSQL("SELECT NM FROM T WHERE EMP_CD='E1'"));
    EXPECT_EQ(ds.OnGetFieldValue("NM", 0), "O'Brien 100%");
    EXPECT_EQ(ds.OnGetRecordCount(), 1);
}

// Columns are found by name in any order; where two share a name, the
// first is the one found.
TEST_F(DataSourceTest, ColumnsAreFoundInAnyOrderAndTheFirstOfTwoNamesWins) {
    G_DataSource ds;
    ASSERT_TRUE(ds.OnExecuteSQL("SELECT EMP_CD, SQ, NM, AMT FROM T WHERE EMP_CD='E1'"));
    for (const char* name : {"EMP_CD", "SQ", "NM", "AMT", "NM", "EMP_CD", "AMT", "amt", "SQ"})
        EXPECT_EQ(ds.OnGetFieldValue(name, 0), std::string(name) == "EMP_CD" ? "E1"
                                               : std::string(name) == "SQ"   ? "1"
                                               : std::string(name) == "NM"   ? "O'Brien 100%"
                                                                             : "1234.5")
            << name;
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(ds.OnExecuteSQL("SELECT EMP_CD, SQ, NM SQ, AMT FROM T WHERE EMP_CD='E1'"));
        EXPECT_EQ(ds.OnGetColumnIndex("EMP_CD"), 0);
        EXPECT_EQ(ds.OnGetColumnIndex("SQ"), 1);
        EXPECT_EQ(ds.OnGetColumnIndex("SQ"), 1);
        EXPECT_EQ(ds.OnGetColumnIndex("AMT"), 3);
    }
}

// A statement read again after the table gained a column shows it.
TEST_F(DataSourceTest, AStatementReadAgainAfterASchemaChangeHasTheNewColumns) {
    G_DataSource ds;
    ASSERT_TRUE(ds.OnExecuteSQL("SELECT * FROM T WHERE EMP_CD='E1'"));
    EXPECT_EQ(ds.OnGetColumnIndex("EXTRA"), -1);
    ASSERT_TRUE(sql_.OnExecuteQuery("ALTER TABLE T ADD EXTRA VARCHAR(5)"));
    ASSERT_TRUE(sql_.OnExecuteQuery("UPDATE T SET EXTRA='x' WHERE EMP_CD='E3'"));
    for (const char* employee : {"E1", "E3"}) {
        ASSERT_TRUE(ds.OnExecuteSQL(CString("SELECT * FROM T WHERE EMP_CD='") + employee + "'"));
        ASSERT_EQ(ds.OnGetColumnIndex("EXTRA"), 5) << employee;
        EXPECT_EQ(ds.OnGetFieldValue("EXTRA", 0), employee[1] == '3' ? "x" : "") << employee;
        EXPECT_EQ(ds.OnGetFieldValue("EMP_CD", 0), employee);
    }
}

TEST_F(DataSourceTest, BadStatementsFailWithoutThrowing) {
    G_DataSource ds;
    ASSERT_TRUE(ds.OnExecuteSQL("SELECT * FROM T"));
    EXPECT_FALSE(ds.OnExecuteSQL("SELECT * FROM NO_SUCH_TABLE"));
    EXPECT_EQ(ds.OnGetRecordCount(), 0);  // a failed query holds no rows
    EXPECT_FALSE(ds.GetLastError().IsEmpty());
    EXPECT_FALSE(ds.OnExecuteSQL("SELECT FROM WHERE"));
    EXPECT_FALSE(ds.OnExecuteSQL("SELECT 'unterminated"));
    EXPECT_EQ(ds.OnGetBulkRecordCount("SELECT * FROM NO_SUCH_TABLE"), 0);
    EXPECT_FALSE(sql_.OnExecuteQuery("INSERT INTO NO_SUCH_TABLE VALUES (1)"));
    EXPECT_EQ(RowsInT(), 3);
}

TEST_F(DataSourceTest, ClosedConnectionGivesFalse) {
    payroll::CloseDatabase();
    G_DataSource ds;
    EXPECT_FALSE(ds.OnExecuteSQL("SELECT 1"));
    EXPECT_EQ(ds.OnGetBulkRecordCount("SELECT 1"), 0);
    EXPECT_FALSE(ds.OnBeginTrans());
    EXPECT_FALSE(sql_.OnExecuteQuery("DELETE FROM T"));
    EXPECT_EQ(sql_.GetLastError(), "no database is open");
}

TEST_F(DataSourceTest, QuotedValuesRoundTrip) {
    const char* hostile = "x'); DROP TABLE T; --";
    CString insert;
    CString escaped(hostile);
    escaped.Replace("'", "''");
    insert.Format("INSERT INTO T (CO_CD, EMP_CD, NM) VALUES ('1000','E9','%s')", escaped.c_str());
    ASSERT_TRUE(sql_.OnExecuteQuery(insert));
    G_DataSource ds;
    ASSERT_TRUE(ds.OnExecuteSQL("SELECT NM FROM T WHERE EMP_CD='E9'"));
    EXPECT_EQ(ds.OnGetFieldValue("NM", 0), hostile);
    EXPECT_EQ(RowsInT(), 4);
}

TEST_F(DataSourceTest, MultiStatementTextRunsWholeOrNotAtAll) {
    // The DELETE runs, the INSERT fails: nothing of the text may remain.
    EXPECT_FALSE(sql_.OnExecuteQuery(
        "DELETE FROM T WHERE EMP_CD='E1' \n INSERT INTO NO_SUCH_TABLE VALUES (1)"));
    EXPECT_EQ(RowsInT(), 3);

    // The same inside an open transaction keeps the transaction's earlier work.
    G_DataSource tx;
    ASSERT_TRUE(tx.OnBeginTrans());
    ASSERT_TRUE(sql_.OnExecuteQuery("DELETE FROM T WHERE EMP_CD='E3'"));
    EXPECT_FALSE(sql_.OnExecuteQuery(
        "DELETE FROM T WHERE EMP_CD='E1' \n INSERT INTO NO_SUCH_TABLE VALUES (1)"));
    EXPECT_EQ(RowsInT(), 2);
    ASSERT_TRUE(tx.OnCommitTrans());
    EXPECT_EQ(RowsInT(), 2);
    EXPECT_EQ(payroll::LastTransactionOutcome(), TransactionOutcome::kCommitted);
}

TEST_F(DataSourceTest, TransactionDepthRules) {
    G_DataSource a, b;
    // Commit or rollback with nothing open is harmless.
    EXPECT_TRUE(a.OnCommitTrans());
    EXPECT_TRUE(a.OnRollbackTrans());
    EXPECT_EQ(payroll::LastTransactionOutcome(), TransactionOutcome::kNone);

    ASSERT_TRUE(a.OnBeginTrans());
    ASSERT_TRUE(b.OnBeginTrans());
    ASSERT_TRUE(sql_.OnExecuteQuery("DELETE FROM T WHERE EMP_CD='E1'"));
    ASSERT_TRUE(b.OnCommitTrans());  // inner commit: still open
    EXPECT_EQ(Connection::Current()->depth(), 1);
    EXPECT_EQ(payroll::LastTransactionOutcome(), TransactionOutcome::kNone);
    ASSERT_TRUE(a.OnRollbackTrans());  // undoes everything, inner work included
    EXPECT_EQ(Connection::Current()->depth(), 0);
    EXPECT_EQ(RowsInT(), 3);
    EXPECT_EQ(payroll::LastTransactionOutcome(), TransactionOutcome::kRolledBack);

    ASSERT_TRUE(a.OnBeginTrans());
    ASSERT_TRUE(sql_.OnExecuteQuery("DELETE FROM T WHERE EMP_CD='E1'"));
    ASSERT_TRUE(b.OnCommitTrans());  // the commit may come through another object
    EXPECT_EQ(RowsInT(), 2);
    EXPECT_EQ(payroll::LastTransactionOutcome(), TransactionOutcome::kCommitted);
}

TEST_F(DataSourceTest, WholeDataReadFillsFixedRecords) {
    // Layout: EMP_CD 3 bytes (cut), NM 5 bytes (Korean cut at a character).
    struct Rec {
        char emp[3];
        char nm[5];
    };
    std::vector<Rec> recs(3 + 5);
    std::memset(recs.data(), 'x', sizeof(Rec) * recs.size());
    G_DataSource ds;
    ASSERT_TRUE(ds.OnWholeDataRead("SELECT EMP_CD || '0', NM FROM T ORDER BY EMP_CD", recs.data(),
                                   3, {3, 5}));
    EXPECT_STREQ(recs[0].emp, "E1");
    EXPECT_EQ(std::string(recs[0].nm, 4), "O'Br");
    EXPECT_EQ(recs[0].nm[4], '\0');
    EXPECT_EQ(recs[1].nm[0], '\0');            // NULL
    EXPECT_STREQ(recs[2].nm, "\xea\xb9\x80");  // one whole character of three bytes
    EXPECT_EQ(recs[3].emp[0], 'x');            // nothing past the rows asked for
    // Asking for more rows than the query gives fails.
    EXPECT_FALSE(ds.OnWholeDataRead("SELECT EMP_CD, NM FROM T", recs.data(), 4, {3, 5}));
    EXPECT_FALSE(ds.OnWholeDataRead("SELECT EMP_CD, NM FROM T", recs.data(), 1, {3, 0}));
    EXPECT_FALSE(ds.OnWholeDataRead("SELECT EMP_CD, NM FROM T", nullptr, 1, {3, 5}));
}

// The test kit's connection sees each text as the engine sent it, a count's
// rows answering the query after it included, and fails the one it was told
// to the way a refused statement fails: nothing of it is done.
TEST_F(DataSourceTest, TheTestConnectionSeesEveryTextAndFailsTheOneAskedFor) {
    std::vector<std::string> seen;
    TestConnection* c = TestConnection::Current();
    ASSERT_NE(c, nullptr);
    c->SetRecorder([&](std::string_view text) { seen.emplace_back(text); });
    G_DataSource ds;
    EXPECT_EQ(ds.OnGetBulkRecordCount("SELECT * FROM T"), 3);
    ASSERT_TRUE(ds.OnExecuteSQL("SELECT * FROM T"));  // served from the count
    EXPECT_EQ(ds.OnGetRecordCount(), 3);
    c->FailAt(2);
    EXPECT_TRUE(sql_.OnExecuteQuery("DELETE FROM T WHERE EMP_CD='E1'"));
    EXPECT_FALSE(sql_.OnExecuteQuery("DELETE FROM T WHERE EMP_CD='E2'"));
    EXPECT_EQ(sql_.GetLastError(), "injected fault");
    EXPECT_TRUE(sql_.OnExecuteQuery("DELETE FROM T WHERE EMP_CD='E3'"));
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[3], "DELETE FROM T WHERE EMP_CD='E2'");
    EXPECT_EQ(RowsInT(), 1);
    // A failed count holds no rows for the query after it.
    c->FailAt(1);
    EXPECT_EQ(ds.OnGetBulkRecordCount("SELECT * FROM T"), 0);
    EXPECT_EQ(ds.GetLastError(), "injected fault");
    ASSERT_TRUE(ds.OnExecuteSQL("SELECT * FROM T"));
    EXPECT_EQ(ds.OnGetRecordCount(), 1);
}

// Under the connection, what reaches the database: a text of several
// statements arrives as each of them, and a query that a count's rows
// answer never arrives at all.
TEST(ConnectionTest, TextsReachTheDatabaseAsTheStatementsTheyBecome) {
    std::string error;
    std::unique_ptr<payroll::db::Backend> sqlite =
        payroll::db::OpenBackend("sqlite::memory:", &error);
    ASSERT_TRUE(sqlite) << error;
    auto backend = std::make_unique<RecordingBackend>(std::move(sqlite));
    RecordingBackend* recorder = backend.get();
    Connection::Install(std::make_unique<Connection>(std::move(backend)));
    std::vector<std::string> sent;
    recorder->Observe(
        [&](std::string_view sql, const std::vector<payroll::tsql::BoundValue>&, bool native) {
            if (!native) sent.emplace_back(sql);
        });
    G_DirectSQL sql;
    ASSERT_TRUE(sql.OnExecuteQuery("CREATE TABLE K (V INTEGER)"));
    ASSERT_TRUE(sql.OnExecuteQuery("INSERT INTO K VALUES (1) INSERT INTO K VALUES (2)"));
    EXPECT_EQ(sent.size(), 3u);
    G_DataSource ds;
    EXPECT_EQ(ds.OnGetBulkRecordCount("SELECT V FROM K"), 2);
    ASSERT_TRUE(ds.OnExecuteSQL("SELECT V FROM K"));
    EXPECT_EQ(ds.OnGetRecordCount(), 2);
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_NE(sent.back().find("FROM K"), std::string::npos) << sent.back();
    payroll::CloseDatabase();
}

TEST_F(DataSourceTest, CountedRowsAreNotReusedAfterAWrite) {
    G_DataSource ds;
    EXPECT_EQ(ds.OnGetBulkRecordCount("SELECT * FROM T"), 3);
    ASSERT_TRUE(sql_.OnExecuteQuery("DELETE FROM T WHERE EMP_CD='E1'"));
    ASSERT_TRUE(ds.OnExecuteSQL("SELECT * FROM T"));
    EXPECT_EQ(ds.OnGetRecordCount(), 2);
}

TEST(OpenDatabaseTest, RejectsUnknownSchemesAndUnusablePaths) {
    std::string error;
    EXPECT_FALSE(payroll::OpenDatabase("mysql://localhost/x", &error));
    EXPECT_NE(error.find("unknown database URL"), std::string::npos);
    EXPECT_FALSE(payroll::OpenDatabase("payroll.db", &error));
    EXPECT_FALSE(payroll::OpenDatabase("sqlite:", &error));
    EXPECT_FALSE(payroll::OpenDatabase("sqlite:/nonexistent-dir/sub/x.db", &error));
    EXPECT_NE(error.find("cannot"), std::string::npos);
    EXPECT_FALSE(payroll::OpenDatabase("sqlite:/", &error));  // a directory
    EXPECT_FALSE(payroll::IsDatabaseOpen());
}

TEST(OpenDatabaseTest, FileDatabaseKeepsCommittedWork) {
    std::string path = payroll::testing::TempPath("open_test.db");
    std::remove(path.c_str());
    std::string error;
    ASSERT_TRUE(payroll::OpenDatabase("sqlite:" + path, &error)) << error;
    G_DirectSQL sql;
    ASSERT_TRUE(sql.OnExecuteQuery("CREATE TABLE K (V INTEGER); INSERT INTO K VALUES (7)"));
    payroll::CloseDatabase();
    ASSERT_TRUE(payroll::OpenDatabase("sqlite:" + path, &error)) << error;
    G_DataSource ds;
    ASSERT_TRUE(ds.OnExecuteSQL("SELECT V FROM K"));
    EXPECT_EQ(ds.OnGetFieldValue("V", 0), "7");
    payroll::CloseDatabase();
}

}  // namespace
