// The old dialect's functions, run on SQLite.
#include <gtest/gtest.h>

#include <string>

#include "tests/platform/db/tsql/tsql_test_db.h"

namespace payroll::tsql::testing {
namespace {

struct Case {
    const char* expr;
    const char* expected;
};

void ExpectValues(TestDb& db, const Case* begin, const Case* end) {
    for (const Case* c = begin; c != end; ++c)
        EXPECT_EQ(db.Scalar(std::string("SELECT ") + c->expr + " VAL"), c->expected) << c->expr;
}

TEST(FunctionsTest, LenIgnoresTrailingBlanks) {
    TestDb db;
    const Case cases[] = {
        {"LEN('abc  ')", "3"}, {"LEN('  a')", "3"},   {"LEN('')", "0"},   {"LEN('   ')", "0"},
        {"LEN(NULL)", kNull},  {"LEN('한글 ')", "2"}, {"LEN(12.5)", "4"}, {"LEN('20020301')", "8"},
    };
    ExpectValues(db, std::begin(cases), std::end(cases));
}

TEST(FunctionsTest, StrRightAlignsARoundedNumber) {
    TestDb db;
    const Case cases[] = {
        {"STR(2.5)", "         3"},
        {"STR(-2.5)", "        -3"},
        {"STR(123.45, 6, 1)", " 123.5"},
        {"STR(123.45, 2)", "**"},
        {"STR('', 3)", "  0"},
        {"STR( '',10 )", "         0"},
        {"STR(-1.5, 4)", "  -2"},
        {"STR(1234.5678, 7, 2)", "1234.57"},
        {"STR(1234.5678, 6, 2)", "1234.6"},
        {"STR(99.96, 3, 2)", "100"},
        {"STR(999.6, 3)", "***"},
        {"STR(7, 5, 3)", "7.000"},
        {"STR(NULL, 3)", kNull},
        {"STR(2.675, 10, 2)", "      2.68"},
        {"STR(12, 0)", kNull},
    };
    ExpectValues(db, std::begin(cases), std::end(cases));
}

TEST(FunctionsTest, ConvertAndCastCutAndPadText) {
    TestDb db;
    const Case cases[] = {
        {"CONVERT(varchar(3), 'abcdef')", "abc"},
        {"CONVERT(VARCHAR(40), 'abc')", "abc"},
        {"CONVERT(varchar(2), 1234)", "12"},
        {"CONVERT(varchar, 'abc')", "abc"},
        {"CONVERT(varchar(5), NULL)", kNull},
        {"CAST('.' AS CHAR(5))", ".    "},
        {"CAST('abcdef' AS CHAR(3))", "abc"},
        {"UPPER(CAST( 'ab' AS CHAR(3)))", "AB "},
        {"CAST(NULL AS CHAR(3))", kNull},
        {"CAST('한글날' AS CHAR(2))", "한글"},
        {"CAST('한' AS CHAR(3))", "한  "},
        {"CAST(12.5 AS VARCHAR(10))", "12.5"},
        {"CAST('abcdef' AS varchar(4))", "abcd"},
        {"CAST(2.675 AS DECIMAL(10,2))", "2.68"},
        {"CAST('42' AS INT) + 1", "43"},
        {"SUBSTRING('abcdef', 2, 3)", "bcd"},
        {"SUBSTRING('R01', 1,1)", "R"},
        {"SUBSTRING('abc', 0, 2)", "a"},
        {"SUBSTRING('abc', -1, 3)", "a"},
        {"SUBSTRING('abc', -5, 3)", ""},
        {"SUBSTRING('abc', 2, 10)", "bc"},
        {"ISNULL(NULL, 'x')", "x"},
        {"UPPER('abc')", "ABC"},
    };
    ExpectValues(db, std::begin(cases), std::end(cases));
}

TEST(FunctionsTest, CastToCharReadsSumsAsText) {
    TestDb db;
    db.Exec("CREATE TABLE P (EMP_CD TEXT, PAY_AM NUMERIC(19,4))");
    db.Exec("INSERT INTO P VALUES ('E1', 100.5), ('E1', 200), ('E2', 7)");
    Rows rows = db.Query(
        "SELECT EMP_CD, CAST( SUM(PAY_AM)  AS char(17)) PAY_AM FROM P GROUP BY EMP_CD ORDER BY 1");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][1], "300.5" + std::string(12, ' '));
    EXPECT_EQ(rows[1][1], "7" + std::string(16, ' '));
}

TEST(FunctionsTest, RoundHalfAwayFromZeroAndTruncation) {
    TestDb db;
    const Case cases[] = {
        {"ROUND(12345, -1)", "12350"},
        {"ROUND(12344, -1)", "12340"},
        {"ROUND(-2.5, 0)", "-3"},
        {"ROUND(2.5, 0)", "3"},
        {"ROUND(-2.4, 0)", "-2"},
        {"ROUND(12349, -1, 1)", "12340"},
        {"ROUND(-12349, -1, 1)", "-12340"},
        {"ROUND(99.9999, 0, 1)", "99"},
        {"ROUND(2.675, 2)", "2.68"},
        {"ROUND(1.005, 2)", "1.01"},
        {"ROUND(0.285, 2)", "0.29"},
        {"ROUND(12341.0000 + 4,-1)", "12350"},
        {"ROUND(12340.9000 + 4,-1)", "12340"},
        {"ROUND(748.58, -4)", "0"},
        {"ROUND(5000, -4)", "10000"},
        {"ROUND(1.25, 1, 0)", "1.3"},
        {"ROUND(1.25, 1, 7)", "1.2"},
        {"ROUND(123.4567, 5)", "123.4567"},
        {"ROUND(NULL, 2)", kNull},
        {"ROUND(1.5, NULL)", kNull},
        {"ROUND(0.1 + 0.2, 20)", "0.3"},
        {"ROUND(9223372036854775807, -1)", "9223372036854775808"},
    };
    ExpectValues(db, std::begin(cases), std::end(cases));
    EXPECT_EQ(db.Scalar("SELECT typeof(ROUND(12345, -1)) T"), "integer");
    EXPECT_EQ(db.Scalar("SELECT typeof(ROUND(12345.0, -1)) T"), "real");
}

TEST(FunctionsTest, RoundOfTextReadsItExactly) {
    TestDb db;
    db.Exec("CREATE TABLE A (AMT TEXT)");
    db.Exec("INSERT INTO A VALUES ('2.675'), (' 12345 '), ('')");
    Rows rows = db.Query("SELECT ROUND(AMT, 2) FROM A ORDER BY rowid");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][0], "2.68");
    EXPECT_EQ(rows[1][0], "12345");
    EXPECT_EQ(rows[2][0], "0");
    std::string error;
    EXPECT_FALSE(db.Run("SELECT ROUND('abc', 2) VAL", nullptr, &error));
    EXPECT_NE(error.find("not a number"), std::string::npos) << error;
}

TEST(FunctionsTest, SelectWithoutFrom) {
    TestDb db;
    Rows rows = db.Query("SELECT ROUND(12341.0000 + 4,-1) VAL, 'x' Y, 3 Z");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (Row{"12350", "x", "3"}));
}

TEST(FunctionsTest, WrongArgumentCountsAreRefused) {
    TestDb db;
    for (const char* text :
         {"SELECT ROUND(1) V", "SELECT ROUND(1,2,3,4) V", "SELECT LEN() V", "SELECT LEN(1,2) V",
          "SELECT STR() V", "SELECT SUBSTRING('a', 1) V", "SELECT CONVERT(varchar(3)) V",
          "SELECT CONVERT(varchar(10), 1, 112) V", "SELECT CAST(1) V",
          "SELECT CAST(1 AS DATETIME) V", "SELECT CAST(1 AS CHAR(0)) V",
          "SELECT CAST(1 AS CHAR(x)) V", "SELECT ROUND(1, ) V", "SELECT TOP 5 a FROM T"}) {
        std::string error;
        EXPECT_FALSE(db.Run(text, nullptr, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

}  // namespace
}  // namespace payroll::tsql::testing
