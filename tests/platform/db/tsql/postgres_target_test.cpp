// The PostgreSQL forms of the old dialect's functions, as text. Their results
// on a server are checked by tests/platform/db/postgres against SQLite's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/db/tsql/translate.h"

namespace payroll::tsql {
namespace {

std::string Sql(Translator& t, const std::string& text) {
    std::vector<Statement> out;
    std::string error;
    if (!t.Translate(text, &out, &error)) return "error: " + error;
    return out.size() == 1 ? *out[0].sql : "statements: " + std::to_string(out.size());
}

TEST(PostgresFunctions, RoundAndStrUseBuiltIns) {
    Translator t(Target::kPostgres);
    const struct {
        const char* in;
        const char* want;
    } cases[] = {
        {"SELECT ROUND(X, 2) FROM T", "SELECT ROUND(CAST(X AS NUMERIC), 2) FROM T"},
        {"SELECT ROUND(X, -1) FROM T", "SELECT ROUND(CAST(X AS NUMERIC), -1) FROM T"},
        {"SELECT ROUND(X, -1, 1) FROM T", "SELECT TRUNC(CAST(X AS NUMERIC), -1) FROM T"},
        {"SELECT ROUND(X, 0, 0) FROM T", "SELECT ROUND(CAST(X AS NUMERIC), 0) FROM T"},
        {"SELECT ROUND(X, P) FROM T",
         "SELECT ROUND(CAST(X AS NUMERIC), CAST(P AS INTEGER)) FROM T"},
        {"SELECT ROUND(X, 2, F) FROM T",
         "SELECT CASE WHEN(F) <> 0 THEN TRUNC(CAST(X AS NUMERIC), 2) ELSE "
         "ROUND(CAST(X AS NUMERIC), 2) END FROM T"},
        {"SELECT STR(X, 0) FROM T", "SELECT CAST(NULL AS TEXT) FROM T"},
        {"SELECT CAST(X AS CHAR(3)) FROM T", "SELECT RPAD(CAST(X AS TEXT), 3) FROM T"},
        {"SELECT ROUND(X) FROM T",
         "error: statement 1: expected ROUND(value, places[, truncate]) near "
         "\"ROUND(X) FROM T\""},
    };
    for (const auto& c : cases) EXPECT_EQ(Sql(t, c.in), c.want) << c.in;
}

TEST(PostgresFunctions, StrTriesFewerDecimalsThenStars) {
    Translator t(Target::kPostgres);
    std::string sql = Sql(t, "SELECT STR(X, 6, 2) FROM T");
    // One branch per number of decimals from 2 down to 0, then stars.
    for (const char* piece : {"ROUND(", ", 2) AS TEXT)", ", 1) AS TEXT)", ", 0) AS TEXT)", "LPAD(",
                              "REPEAT('*', 6)", "X IS NULL THEN NULL"})
        EXPECT_NE(sql.find(piece), std::string::npos) << piece << " in " << sql;
    EXPECT_EQ(sql.find(", 3) AS TEXT)"), std::string::npos) << sql;
    EXPECT_NE(Sql(t, "SELECT STR(X, N) FROM T").find("error"), std::string::npos);
}

TEST(PostgresFunctions, QuotedNamesFoldToLowerCase) {
    Translator t(Target::kPostgres);
    EXPECT_EQ(Sql(t, "SELECT [Pay Am], \"Emp\"\"Cd\" FROM [HPOMPPD]"),
              "SELECT \"pay am\", \"emp\"\"cd\" FROM \"hpomppd\"");
    Translator lite(Target::kSqlite);
    EXPECT_EQ(Sql(lite, "SELECT [Pay Am] FROM T"), "SELECT [Pay Am] FROM T");
}

}  // namespace
}  // namespace payroll::tsql
