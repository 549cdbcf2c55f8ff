// The database component on the test database: the same bodies run on
// SQLite and, in the suite's second configuration, on the PostgreSQL server,
// and must see the same texts and the same transaction behaviour.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "payroll/datasource.h"
#include "payroll/host.h"
#include "platform/db/connection.h"
#include "support/engine_fixture.h"

namespace payroll::testing {
namespace {

class ComponentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(OpenTestDatabase(&schema_, &error)) << error;
        Exec(
            "CREATE TABLE T (K VARCHAR(10) NOT NULL, N INTEGER, A NUMERIC(19,4), "
            "PRIMARY KEY (K))");
    }
    void TearDown() override { CloseTestDatabase(schema_); }

    void Exec(const std::string& sql) {
        G_DirectSQL direct;
        ASSERT_TRUE(direct.OnExecuteQuery(sql.c_str())) << direct.GetLastError().c_str();
    }
    // The first column of every row, or "<failed>".
    std::vector<std::string> Column(const std::string& sql) {
        G_DataSource ds;
        if (!ds.OnExecuteSQL(sql.c_str())) return {"<failed: " + ds.GetLastError().str() + ">"};
        std::vector<std::string> out;
        for (long r = 0; r < ds.OnGetRecordCount(); ++r)
            out.push_back(ds.OnGetFieldValue("V", r).str());
        return out;
    }
    std::string One(const std::string& sql) {
        std::vector<std::string> v = Column(sql);
        return v.size() == 1 ? v[0] : "<" + std::to_string(v.size()) + " rows>";
    }
    db::Connection* Conn() { return db::Connection::Current(); }

    std::string schema_;
};

TEST_F(ComponentTest, ValuesAndFunctionsGiveTheSameTextsOnEveryBackend) {
    Exec(
        "INSERT INTO T (K, N, A) VALUES ('a', 7, 1234.5000) "
        "INSERT INTO T (K, N, A) VALUES ('b', NULL, 1234.0000) "
        "INSERT INTO T (K, N, A) VALUES ('c', -1, -0.5000) "
        "INSERT INTO T (K, N, A) VALUES ('d', 0, NULL)");
    const struct {
        const char* sql;
        const char* want;
    } cases[] = {
        {"SELECT A V FROM T WHERE K='a'", "1234.5"},
        {"SELECT A V FROM T WHERE K='b'", "1234"},
        {"SELECT A V FROM T WHERE K='c'", "-0.5"},
        {"SELECT A V FROM T WHERE K='d'", ""},
        {"SELECT N V FROM T WHERE K='b'", ""},
        {"SELECT SUM(A) V FROM T", "2468"},
        {"SELECT A * 2 V FROM T WHERE K='a'", "2469"},
        {"SELECT COUNT(*) V FROM T WHERE N = '7'", "1"},  // quoted value, integer column
        {"SELECT COUNT(*) V FROM T WHERE K = 'a' AND N != 8", "1"},
        {"SELECT 'x' V", "x"},  // a text alone in the select list
        {"SELECT ROUND(2.675, 2) V", "2.68"},
        {"SELECT ROUND(-2.5, 0) V", "-3"},
        {"SELECT ROUND(12345.678, -2) V", "12300"},
        {"SELECT ROUND(12399, -2, 1) V", "12300"},
        {"SELECT ROUND(-12.3456, 2, 1) V", "-12.34"},
        {"SELECT ROUND(A, -1) V FROM T WHERE K='a'", "1230"},
        {"SELECT ROUND(A / 3, 0, 0) V FROM T WHERE K='a'", "412"},
        {"SELECT STR(12.5, 6, 2) V", " 12.50"},
        {"SELECT STR(123.456, 5, 2) V", "123.5"},
        {"SELECT STR(123456, 3) V", "***"},
        {"SELECT STR(A) V FROM T WHERE K='a'", "      1235"},
        {"SELECT STR('', 3) V", "  0"},
        {"SELECT LEN('ab  ') V", "2"},
        {"SELECT CONVERT(varchar(3), 'abcdef') V", "abc"},
        {"SELECT UPPER(CAST('ab' AS CHAR(4))) V", "AB  "},
        {"SELECT ISNULL(N, 9) V FROM T WHERE K='b'", "9"},
        {"SELECT SUBSTRING('abcdef', 2, 3) V", "bcd"},
        {"SELECT B.K V FROM T A, T B WHERE A.K = 'a' AND A.N *= B.N", "a"},
    };
    for (const auto& c : cases) EXPECT_EQ(One(c.sql), c.want) << c.sql;
}

TEST_F(ComponentTest, ColumnNamesMatchWithoutCase) {
    Exec("INSERT INTO T (K, N, A) VALUES ('a', 1, 2)");
    G_DataSource ds;
    ASSERT_TRUE(ds.OnExecuteSQL("SELECT K, N AS Total_N, A FROM T"));
    EXPECT_EQ(ds.OnGetFieldValue("TOTAL_N", 0), "1");
    EXPECT_EQ(ds.OnGetFieldValue("total_n", 0), "1");
    EXPECT_EQ(ds.OnGetFieldValue("k", 0), "a");
    EXPECT_EQ(ds.OnFieldSearch("a", "2"), 0);
}

// Each backend's own question about the database answers through the
// component with its rows.
TEST_F(ComponentTest, TheBackendsOwnQuestionsAnswerWithRows) {
    G_DataSource ds;
    if (TestDatabaseIsPostgres()) {
        ASSERT_TRUE(ds.OnExecuteSQL("SHOW client_encoding")) << ds.GetLastError().c_str();
        ASSERT_EQ(ds.OnGetRecordCount(), 1);
        EXPECT_EQ(ds.OnGetFieldValue("client_encoding", 0), "UTF8");
    } else {
        ASSERT_TRUE(ds.OnExecuteSQL("PRAGMA table_info(T)")) << ds.GetLastError().c_str();
        ASSERT_EQ(ds.OnGetRecordCount(), 3);
        EXPECT_EQ(ds.OnGetFieldValue("name", 1), "N");
        EXPECT_EQ(ds.OnGetFieldValue("pk", 0), "1");
    }
}

TEST_F(ComponentTest, AFailedStatementInsideATransactionLosesNothingElse) {
    std::string error;
    ASSERT_TRUE(Conn()->Begin(&error)) << error;
    Exec("INSERT INTO T (K, N) VALUES ('a', 1)");
    G_DirectSQL direct;
    EXPECT_FALSE(direct.OnExecuteQuery("INSERT INTO T (K, N) VALUES ('a', 2)"));  // duplicate
    G_DataSource ds;
    EXPECT_FALSE(ds.OnExecuteSQL("SELECT NO_SUCH_COLUMN FROM T"));
    // The transaction goes on: later statements run and the commit keeps all.
    Exec("INSERT INTO T (K, N) VALUES ('b', 3)");
    EXPECT_EQ(One("SELECT SUM(N) V FROM T"), "4");
    ASSERT_TRUE(Conn()->Commit(&error)) << error;
    EXPECT_EQ(Conn()->last_outcome(), TransactionOutcome::kCommitted);
    EXPECT_EQ(Column("SELECT K V FROM T ORDER BY K"), (std::vector<std::string>{"a", "b"}));
}

TEST_F(ComponentTest, ATextOfStatementsRunsWholeOrNotAtAll) {
    G_DirectSQL direct;
    // Outside a transaction.
    EXPECT_FALSE(
        direct.OnExecuteQuery("INSERT INTO T (K, N) VALUES ('a', 1) "
                              "INSERT INTO T (K, N) VALUES ('b', 2) "
                              "INSERT INTO T (K, N) VALUES ('a', 3)"));
    EXPECT_EQ(One("SELECT COUNT(*) V FROM T"), "0");
    // Inside one: the failed text is undone, the transaction stays usable.
    std::string error;
    ASSERT_TRUE(Conn()->Begin(&error)) << error;
    Exec("INSERT INTO T (K, N) VALUES ('x', 1)");
    EXPECT_FALSE(
        direct.OnExecuteQuery("INSERT INTO T (K, N) VALUES ('y', 2) "
                              "DELETE FROM T WHERE K = 'x' "
                              "INSERT INTO T (K, N) VALUES ('y', 3)"));
    Exec("INSERT INTO T (K, N) VALUES ('z', 4) INSERT INTO T (K, N) VALUES ('w', 5)");
    ASSERT_TRUE(Conn()->Commit(&error)) << error;
    EXPECT_EQ(Column("SELECT K V FROM T ORDER BY K"), (std::vector<std::string>{"w", "x", "z"}));
}

TEST_F(ComponentTest, LongBatchesKeepEveryRowAndValue) {
    // Over two merge sizes of one shape, a different statement in between,
    // values that need escaping, NULLs and both integer sizes.
    std::string text;
    long expected_sum = 0;
    for (int i = 0; i < 1203; ++i) {
        if (i == 700) text += "UPDATE T SET N = N + 1000 WHERE K = 'k0' \n";
        std::string k = "k" + std::to_string(i);
        if (i % 97 == 5) {
            text += "INSERT INTO T (K, N, A) VALUES ('" + k + "''q', NULL, NULL) \n";
            continue;
        }
        text += "INSERT INTO T (K, N, A) VALUES ('" + k + "', " + std::to_string(i) + ", " +
                std::to_string(i) + ".2500) \n";
        expected_sum += i;
    }
    std::string error;
    ASSERT_TRUE(Conn()->Begin(&error)) << error;
    Exec(text);
    ASSERT_TRUE(Conn()->Commit(&error)) << error;
    EXPECT_EQ(One("SELECT COUNT(*) V FROM T"), "1203");
    EXPECT_EQ(One("SELECT SUM(N) V FROM T"), std::to_string(expected_sum + 1000));
    EXPECT_EQ(One("SELECT COUNT(*) V FROM T WHERE N IS NULL AND A IS NULL"), "13");
    EXPECT_EQ(One("SELECT A V FROM T WHERE K = 'k1202'"), "1202.25");
    EXPECT_EQ(One("SELECT K V FROM T WHERE K LIKE 'k5''%'"), "k5'q");
    // The same batch again fails on its first duplicate and leaves nothing.
    ASSERT_TRUE(Conn()->Begin(&error)) << error;
    G_DirectSQL direct;
    EXPECT_FALSE(
        direct.OnExecuteQuery(("INSERT INTO T (K, N) VALUES ('new', 1) \n" + text).c_str()));
    ASSERT_TRUE(Conn()->Commit(&error)) << error;
    EXPECT_EQ(One("SELECT COUNT(*) V FROM T"), "1203");
}

TEST_F(ComponentTest, RollbackUndoesAndCountKeepsItsRows) {
    std::string error;
    ASSERT_TRUE(Conn()->Begin(&error)) << error;
    ASSERT_TRUE(Conn()->Begin(&error)) << error;  // nested: depth 2
    Exec("INSERT INTO T (K, N) VALUES ('a', 1)");
    EXPECT_TRUE(Conn()->Commit(&error));  // depth 1: nothing committed yet
    Conn()->Rollback();
    EXPECT_EQ(Conn()->last_outcome(), TransactionOutcome::kRolledBack);
    EXPECT_EQ(One("SELECT COUNT(*) V FROM T"), "0");
    Exec("INSERT INTO T (K, N) VALUES ('a', 1) INSERT INTO T (K, N) VALUES ('b', 2)");
    G_DataSource ds;
    EXPECT_EQ(ds.OnGetBulkRecordCount("SELECT K FROM T"), 2);
    ASSERT_TRUE(ds.OnExecuteSQL("SELECT K FROM T ORDER BY K"));
    EXPECT_EQ(ds.OnGetRecordCount(), 2);
    // A prepared shape with new values finds the new rows.
    for (const char* k : {"a", "b", "zz"}) {
        std::string sql = std::string("SELECT N V FROM T WHERE K = '") + k + "'";
        EXPECT_EQ(Column(sql).size(), std::string(k) == "zz" ? 0u : 1u) << k;
    }
}

TEST_F(ComponentTest, TheSchemaAppliesTwiceWithExactAmounts) {
    std::vector<std::string> created;
    std::string error;
    ASSERT_TRUE(ApplySchema(&created, &error)) << error;
    EXPECT_TRUE(created.empty());
    if (!TestDatabaseIsPostgres()) return;
    // On the server the amounts are exact decimals of four places (SQLite
    // keeps them as doubles).
    Exec(
        "INSERT INTO HPOMNPY (CO_CD, EMP_CD, RVRS_YM, SQ, PYTP_FG, INTX_AM) VALUES "
        "('1000', 'E1', '200203', 1, '001', 0.1) "
        "UPDATE HPOMNPY SET INTX_AM = INTX_AM + 0.2 WHERE EMP_CD = 'E1'");
    EXPECT_EQ(One("SELECT INTX_AM V FROM HPOMNPY"), "0.3");
    EXPECT_EQ(One("SELECT COUNT(*) V FROM HPOMNPY WHERE INTX_AM = 0.3"), "1");
    EXPECT_EQ(One("SELECT CAST(numeric_precision AS TEXT) || ',' || "
                  "CAST(numeric_scale AS TEXT) V FROM information_schema.columns WHERE "
                  "table_schema = current_schema() AND table_name = 'hpomnpy' AND "
                  "column_name = 'intx_am'"),
              "19,4");
    EXPECT_EQ(One("SELECT 123456789012345.6789 + 0.0001 V"), "123456789012345.679");
}

}  // namespace
}  // namespace payroll::testing
