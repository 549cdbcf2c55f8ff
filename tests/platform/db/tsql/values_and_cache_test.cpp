// Literals become bound values; each shape is translated once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/platform/db/tsql/tsql_test_db.h"

namespace payroll::tsql::testing {
namespace {

std::vector<Statement> Translate(Translator& t, std::string_view text) {
    std::vector<Statement> out;
    std::string error;
    EXPECT_TRUE(t.Translate(text, &out, &error)) << error << "\n" << text;
    return out;
}

TEST(BoundValuesTest, TextsRoundTripUnchanged) {
    TestDb db;
    db.Exec("CREATE TABLE T (K TEXT, V TEXT)");
    const std::string texts[] = {"O'Brien",
                                 "100%",
                                 "%s%d%%",
                                 "''",
                                 "",
                                 "  ",
                                 "한글 이름",
                                 "back\\slash",
                                 "tab\tline\nbreak",
                                 "--not a comment",
                                 "/* nor this */",
                                 "?1 $1 :a @b"};
    int k = 0;
    for (const std::string& v : texts) {
        std::string quoted;
        for (char c : v) quoted += c == '\'' ? std::string("''") : std::string(1, c);
        db.Query("INSERT INTO T (K, V) VALUES ('k" + std::to_string(k++) + "', '" + quoted + "')");
    }
    Rows rows = db.Query("SELECT V FROM T ORDER BY rowid");
    ASSERT_EQ(rows.size(), std::size(texts));
    for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i][0], texts[i]);
    EXPECT_EQ(db.Scalar("SELECT count(*) N FROM T WHERE V LIKE '100%'"), "1");
    EXPECT_EQ(db.Scalar("SELECT V FROM T WHERE V = 'O''Brien'"), "O'Brien");
}

TEST(BoundValuesTest, KindsAndTextsOfTheValues) {
    Translator t(Target::kSqlite);
    auto out = Translate(t, "SELECT 'a''b', N'c', 12, 1.5000, .0000, 1e3, -7 FROM X");
    ASSERT_EQ(out.size(), 1u);
    using K = BoundValue::Kind;
    const std::vector<std::pair<K, std::string>> want = {
        {K::kText, "a'b"},   {K::kText, "c"},   {K::kInteger, "12"}, {K::kReal, "1.5000"},
        {K::kReal, ".0000"}, {K::kReal, "1e3"}, {K::kInteger, "7"}};
    ASSERT_EQ(out[0].values.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(out[0].values[i].kind, want[i].first) << i;
        EXPECT_EQ(out[0].values[i].text, want[i].second) << i;
    }
    EXPECT_NE(out[0].sql->find("-?7"), std::string::npos) << *out[0].sql;
}

TEST(BoundValuesTest, NumbersBindAsSqliteReadsLiterals) {
    TestDb db;
    Rows rows = db.Query(
        "SELECT typeof(12), typeof(1.5), typeof('12'), typeof(99999999999999999999), "
        "1.5 + 1, 7 / 2, '3' + 1");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (Row{"integer", "real", "text", "real", "2.5", "3", "4"}));
}

TEST(BoundValuesTest, CountMismatchIsRefused) {
    TestDb db;
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db.db(), "SELECT ?1, ?2", -1, &st, nullptr), SQLITE_OK);
    std::string error;
    EXPECT_FALSE(BindSqliteValues(st, {BoundValue{}}, &error));
    EXPECT_NE(error.find("takes 2 values"), std::string::npos) << error;
    BoundValue bad;
    bad.kind = BoundValue::Kind::kReal;
    bad.text = "x";
    EXPECT_FALSE(BindSqliteValues(st, {BoundValue{}, bad}, &error));
    EXPECT_FALSE(BindSqliteValues(nullptr, {}, &error));
    sqlite3_finalize(st);
}

TEST(BoundValuesTest, MoreValuesThanSqliteBindsStayInline) {
    TestDb db;
    db.Exec("CREATE TABLE T (K TEXT, N INTEGER); INSERT INTO T VALUES ('k7', 1), ('O''k', 2)");
    std::string text = "SELECT N FROM T WHERE K IN ('O''k'";
    for (int i = 0; i < 40000; ++i) text += ", N'k" + std::to_string(i) + "'";
    text += ") AND N > -1.5 ORDER BY N";
    std::vector<Statement> out;
    std::string error;
    ASSERT_TRUE(db.translator().Translate(text, &out, &error)) << error;
    ASSERT_EQ(out.size(), 1u);
    EXPECT_TRUE(out[0].values.empty());
    EXPECT_FALSE(out[0].cached);
    Rows rows;
    ASSERT_TRUE(db.RunStatements(out, &rows, &error)) << error;
    EXPECT_EQ(rows, (Rows{{"1"}, {"2"}}));
}

TEST(ShapeCacheTest, SameShapeSharesOneTranslation) {
    TestDb db;
    db.Exec("CREATE TABLE T (K TEXT, N INTEGER); INSERT INTO T VALUES ('a', 1), ('b', 2)");
    Translator& t = db.translator();
    auto first = Translate(t, "SELECT N FROM T WHERE K='a'");
    auto second = Translate(t, "SELECT  N\nFROM T WHERE K = 'b'  ");
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(first[0].sql, second[0].sql);
    EXPECT_EQ(t.CachedShapes(), 1u);
    EXPECT_EQ(db.Scalar("SELECT N FROM T WHERE K='a'"), "1");
    EXPECT_EQ(db.Scalar("SELECT N FROM T WHERE K='b'"), "2");
    EXPECT_EQ(t.CachedShapes(), 1u);
    Translate(t, "SELECT N FROM T WHERE K='a' AND N=1");
    Translate(t, "SELECT ROUND(N, 1) FROM T");
    Translate(t, "SELECT ROUND(N, 2) FROM T");
    Translate(t, "SELECT ROUND(N, 2) FROM T");
    EXPECT_EQ(t.CachedShapes(), 4u);
}

TEST(ShapeCacheTest, BeyondCapacityStatementsStillTranslate) {
    TestDb db;
    db.Exec("CREATE TABLE T (K TEXT, N INTEGER); INSERT INTO T VALUES ('a', 1)");
    Translator small(Target::kSqlite, 2);
    auto a = Translate(small, "SELECT N FROM T");
    auto b = Translate(small, "SELECT K FROM T");
    auto c = Translate(small, "SELECT K, N FROM T WHERE K='a'");
    EXPECT_EQ(small.CachedShapes(), 2u);
    EXPECT_TRUE(a[0].cached);
    EXPECT_FALSE(c[0].cached);
    Rows rows;
    std::string error;
    ASSERT_TRUE(db.RunStatements(c, &rows, &error)) << error;
    EXPECT_EQ(rows, (Rows{{"a", "1"}}));
    auto again = Translate(small, "SELECT N FROM T");
    EXPECT_EQ(again[0].sql, a[0].sql);
}

// What a fresh translator (scanner only) and a warmed one (fast road for
// texts written like the last) make of a text must be the same.
TEST(ShapeCacheTest, FastRoadAgreesWithTheScanner) {
    const std::string warmup =
        "INSERT INTO T (K, N, A) values ('x',1, 2.5 ) \n"
        "DELETE FROM T WHERE K='x' AND N=1\n"
        "UPDATE T SET A=N'y' WHERE K='x' \n"
        "SELECT A FROM T WHERE K='x' AND N=1;\n"
        "SELECT A FROM T WHERE K='x';\n"
        "INSERT INTO T (K, N, A) values ('x',1, 2.5 ) \n";
    const char* texts[] = {
        // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one text of two statements
        "INSERT INTO T (K, N, A) values ('a',2, 3.5 ) \nINSERT INTO T (K, N, A) values "
        "('b''c',3, 0 )",
        "INSERT INTO T (K, N, A) values ('a',2, 3.5 ) SELECT 1",
        "INSERT INTO T (K, N, A) values ('a',2, 3.5 ) UNION SELECT 1",
        "INSERT INTO T (K, N, A) values ('a',2, 3.5 )-- note\nDELETE FROM T WHERE K='q' AND N=2",
        "INSERT INTO T (K, N, A) values ('a',2, 3.5 ) /* x */ ; UPDATE T SET A=N'z' WHERE K='x'",
        "INSERT INTO T (K, N, A) values ('a',0x1F, 3.5 )",
        "INSERT INTO T (K, N, A) values ('a',2, 3.5e2 )",
        "INSERT INTO T (K, N, A) values ('a',2, 3.5 )x",
        "INSERT INTO T (K, N, A) values ('a',2, 3.5 ) INSERT.x",
        "INSERT INTO T (K, N, A) values ('a',2, 'text' )",
        "INSERT INTO T (K, N, A) values (N'a',2, 1 )",
        "DELETE FROM T WHERE K='x' AND N=1.5",
        "DELETE FROM T WHERE K='x' AND N=1 OR N=2",
        "DELETE FROM T WHERE K='x' AND N=12",
        "DELETE FROM T WHERE K='x' AND N=1\nDELETE FROM T WHERE K='x' AND N=1 UPDATE T SET "
        "A=N'y' WHERE K='x''' ",
        "UPDATE T SET A='y' WHERE K='x' ",
        "UPDATE T SET A=N'y' WHERE K='x",
        "DELETE FROM T WHERE K='x' AND N=1 DELETE",
        // Shapes the last statement does not predict, found by their lead text.
        "UPDATE T SET A=N'q' WHERE K='r' ",
        "UPDATE T SET A=N'q' WHERE K='r' x",
        "SELECT A FROM T WHERE K='z' AND N=3",
        "SELECT A FROM T WHERE K='z'",
        "SELECT A FROM T WHERE K='z' AND N=3 AND N=4",
        "SELECT A FROM T WHERE K='z' OR N=3",
    };
    for (const char* text : texts) {
        Translator fresh(Target::kSqlite), warm(Target::kSqlite);
        std::vector<Statement> a, b, scratch;
        std::string error_a, error_b;
        ASSERT_TRUE(warm.Translate(warmup, &scratch, &error_b)) << error_b;
        bool ok_a = fresh.Translate(text, &a, &error_a);
        bool ok_b = warm.Translate(text, &b, &error_b);
        ASSERT_EQ(ok_a, ok_b) << text << "\n" << error_a << "\n" << error_b;
        EXPECT_EQ(error_a, error_b) << text;
        ASSERT_EQ(a.size(), b.size()) << text;
        for (std::size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(*a[i].sql, *b[i].sql) << text;
            EXPECT_EQ(a[i].returns_rows, b[i].returns_rows) << text;
            ASSERT_EQ(a[i].values.size(), b[i].values.size()) << text;
            for (std::size_t v = 0; v < a[i].values.size(); ++v) {
                EXPECT_EQ(a[i].values[v].kind, b[i].values[v].kind) << text;
                EXPECT_EQ(a[i].values[v].text, b[i].values[v].text) << text;
            }
        }
    }
}

TEST(PostgresTargetTest, PlaceholdersAndQuotedNames) {
    Translator t(Target::kPostgres);
    auto out = Translate(t, "SELECT LEN(K) FROM T WHERE K='a' AND N=1");
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(*out[0].sql, "SELECT LENGTH(RTRIM(CAST(K AS TEXT))) FROM T WHERE K = $1 AND N = $2");
    out = Translate(t, "SELECT [a]]b], \"c\" FROM [T x]");
    EXPECT_EQ(*out[0].sql, "SELECT \"a]b\", \"c\" FROM \"t x\"");
}

}  // namespace
}  // namespace payroll::tsql::testing
