// Texts that hold several statements, run together as the engine sends them.
#include <gtest/gtest.h>

#include <string>

#include "tests/platform/db/tsql/tsql_test_db.h"

namespace payroll::tsql::testing {
namespace {

class SplittingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db_.Exec("CREATE TABLE T (K TEXT, SQ INTEGER, AMT NUMERIC(19,4))");
        db_.Exec("CREATE TABLE U (K TEXT, SQ INTEGER)");
        db_.Exec("INSERT INTO T VALUES ('a', 1, 10), ('b', 1, 20), ('c', 2, 30)");
    }

    std::vector<Statement> Split(std::string_view text) {
        std::vector<Statement> out;
        std::string error;
        EXPECT_TRUE(db_.translator().Translate(text, &out, &error)) << error;
        return out;
    }

    std::string Count(const char* table) {
        return db_.Scalar(std::string("SELECT count(*) N FROM ") + table);
    }

    TestDb db_;
};

TEST_F(SplittingTest, DeleteThenInsert) {
    auto statements = Split(
        "DELETE FROM T WHERE   K='a' AND SQ=1  INSERT INTO T( K, SQ, AMT ) \nVALUES ( 'a',  1, "
        "\n99.5000 ) \n ");
    ASSERT_EQ(statements.size(), 2u);
    db_.Query(
        "DELETE FROM T WHERE   K='a' AND SQ=1  INSERT INTO T( K, SQ, AMT ) \nVALUES ( 'a',  1, "
        "\n99.5000 ) \n ");
    EXPECT_EQ(db_.Scalar("SELECT AMT FROM T WHERE K='a'"), "99.5");
    EXPECT_EQ(Count("T"), "3");
}

// A WITH clause and the statement its names serve are one statement; a
// statement run together after it still starts one of its own.
TEST_F(SplittingTest, WithStaysWithItsStatement) {
    const std::string text =
        "WITH X AS (SELECT K, AMT FROM T WHERE SQ=1), Y AS (SELECT K FROM X) "
        "SELECT K, AMT FROM X ORDER BY K";
    auto statements = Split(text);
    ASSERT_EQ(statements.size(), 1u);
    EXPECT_TRUE(statements[0].returns_rows);
    EXPECT_EQ(db_.Query(text), (Rows{{"a", "10"}, {"b", "20"}}));

    EXPECT_EQ(Split("WITH X AS (SELECT K FROM T) DELETE FROM U WHERE K IN (SELECT K FROM X) "
                    "SELECT K FROM T")
                  .size(),
              2u);
    auto values = Split("VALUES (1, 'a')");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_TRUE(values[0].returns_rows);
}

// The backends' questions about the database itself answer with rows.
TEST_F(SplittingTest, PragmaAndShowAnswerWithRows) {
    for (const char* text : {"PRAGMA table_info(T)", "pragma user_version", "SHOW search_path"}) {
        auto statements = Split(text);
        ASSERT_EQ(statements.size(), 1u) << text;
        EXPECT_TRUE(statements[0].returns_rows) << text;
    }
    EXPECT_FALSE(Split("UPDATE T SET AMT=1 WHERE K='show'")[0].returns_rows);
}

TEST_F(SplittingTest, UpdatesOneAfterAnother) {
    std::string text =
        "UPDATE T SET AMT=1 WHERE K='a' \nUPDATE T SET AMT=2 WHERE K='b' UPDATE T SET AMT=3 WHERE "
        "K='c' \n";
    EXPECT_EQ(Split(text).size(), 3u);
    db_.Query(text);
    Rows rows = db_.Query("SELECT K, AMT FROM T ORDER BY K");
    EXPECT_EQ(rows, (Rows{{"a", "1"}, {"b", "2"}, {"c", "3"}}));
}

TEST_F(SplittingTest, DeletesSeparatedByLineBreaks) {
    db_.Exec("INSERT INTO U VALUES ('a', 1), ('b', 1), ('z', 1)");
    std::string text =
        "DELETE FROM T WHERE K='a' AND (SQ=1) \n DELETE FROM U WHERE K='a' AND (SQ=1) \n DELETE "
        "FROM T WHERE K='b' AND (SQ=1 OR SQ=2) \n DELETE FROM U WHERE K='b' AND (SQ=1 OR SQ=2) \n ";
    EXPECT_EQ(Split(text).size(), 4u);
    db_.Query(text);
    EXPECT_EQ(Count("T"), "1");
    EXPECT_EQ(db_.Scalar("SELECT K FROM U"), "z");
}

TEST_F(SplittingTest, ThousandsOfInserts) {
    std::string text;
    const int n = 5000;
    for (int i = 0; i < n; ++i)
        text += "INSERT INTO U (K, SQ ) values ('k" + std::to_string(i) + "'," + std::to_string(i) +
                " ) \n";
    auto statements = Split(text);
    ASSERT_EQ(statements.size(), static_cast<std::size_t>(n));
    EXPECT_EQ(statements[0].sql, statements[n - 1].sql);  // one shape, one text
    EXPECT_EQ(statements[n - 1].values[0].text, "k4999");
    db_.Query(text);
    EXPECT_EQ(Count("U"), "5000");
    EXPECT_EQ(db_.Scalar("SELECT sum(SQ) S FROM U"), std::to_string(n * (n - 1) / 2));
    EXPECT_EQ(db_.translator().CachedShapes(), 3u);  // the INSERT, the count and the sum
}

TEST_F(SplittingTest, SemicolonsAndEmptyStatements) {
    auto statements = Split(";; UPDATE T SET AMT=0 WHERE K='a'; ; SELECT K FROM T WHERE K='a';");
    ASSERT_EQ(statements.size(), 2u);
    EXPECT_FALSE(statements[0].returns_rows);
    EXPECT_TRUE(statements[1].returns_rows);
    EXPECT_TRUE(Split("  -- nothing here\n ; /* or here */ ").empty());
}

TEST_F(SplittingTest, SelectsThatBelongToTheirStatement) {
    const struct {
        const char* text;
        std::size_t statements;
    } cases[] = {
        {"SELECT K FROM T WHERE SQ IN (SELECT SQ FROM U)", 1},
        {"SELECT K FROM T UNION SELECT K FROM U", 1},
        {"SELECT K FROM T UNION ALL SELECT K FROM U", 1},
        {"INSERT INTO U (K, SQ) SELECT K, SQ FROM T", 1},
        {"INSERT INTO U SELECT K, SQ FROM T WHERE SQ = 1", 1},
        {"INSERT INTO U VALUES ('x', 1) SELECT K FROM U", 2},
        {"SELECT K FROM T SELECT K FROM U", 2},
        {"SELECT (SELECT count(*) FROM U) N", 1},
        {"DELETE FROM U WHERE SQ IN (SELECT SQ FROM T)", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(Split(c.text).size(), c.statements) << c.text;
    db_.Query("INSERT INTO U (K, SQ) SELECT K, SQ FROM T WHERE SQ = 1 UNION SELECT 'x', 9");
    EXPECT_EQ(Count("U"), "3");
}

}  // namespace
}  // namespace payroll::tsql::testing
