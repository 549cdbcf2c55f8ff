// resources/schema.sql on its own: it applies twice without harm, it splits on
// semicolons, and its tables keep the conventions the engine relies on.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/platform/db/catalogue/scratch_db.h"

namespace payroll::catalogue {
namespace {

struct Column {
    std::string name;
    std::string type;
    bool not_null = false;
    bool operator==(const Column&) const = default;
};

std::vector<Column> Columns(sqlite3* db, const std::string& table) {
    std::vector<Column> columns;
    sqlite3_stmt* stmt = nullptr;
    const std::string sql = "PRAGMA table_info(" + table + ")";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) return columns;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        columns.push_back({reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1)),
                           reinterpret_cast<const char*>(sqlite3_column_text(stmt, 2)),
                           sqlite3_column_int(stmt, 3) != 0});
    }
    sqlite3_finalize(stmt);
    return columns;
}

std::vector<std::string> Tables(sqlite3* db) {
    std::vector<std::string> tables;
    sqlite3_stmt* stmt = nullptr;
    const char* sql = "SELECT name FROM sqlite_schema WHERE type='table' ORDER BY name";
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) return tables;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    return tables;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(Schema, AppliesTwiceAndKeepsTheRows) {
    ScratchDb db;
    std::string error;
    ASSERT_TRUE(db.ApplySchema(&error)) << error;
    ASSERT_TRUE(db.ExecNative("INSERT INTO SEMP (CO_CD, EMP_CD) VALUES ('1000', 'E0001')", &error))
        << error;
    const size_t tables = Tables(db.handle()).size();
    ASSERT_TRUE(db.ApplySchema(&error)) << "second application: " << error;
    EXPECT_EQ(Tables(db.handle()).size(), tables);
    Result rows;
    ASSERT_TRUE(db.Run("SELECT EMP_CD FROM SEMP", &rows, &error)) << error;
    ASSERT_EQ(rows.rows.size(), 1u);
}

// The file promises that a plain split on ';' gives whole statements, for
// runners that send one statement at a time.
TEST(Schema, SplitsIntoWholeStatementsOnSemicolons) {
    std::string schema;
    ASSERT_TRUE(ReadWholeFile(SchemaPath(), &schema));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    int statements = 0;
    size_t begin = 0;
    while (begin < schema.size()) {
        size_t end = schema.find(';', begin);
        if (end == std::string::npos) end = schema.size();
        const std::string piece = schema.substr(begin, end - begin);
        begin = end + 1;
        sqlite3_stmt* stmt = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db, piece.c_str(), -1, &stmt, nullptr), SQLITE_OK)
            << sqlite3_errmsg(db) << "\n  in: " << piece;
        if (stmt == nullptr) continue;  // only comments and blanks
        ++statements;
        EXPECT_EQ(sqlite3_step(stmt), SQLITE_DONE) << piece;
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    EXPECT_GT(statements, 28);
}

TEST(Schema, TableSetsShareTheirShapes) {
    ScratchDb db;
    std::string error;
    ASSERT_TRUE(db.ApplySchema(&error)) << error;
    const std::pair<const char*, const char*> twins[] = {
        {"HPITMPD", "HPOMPPD"},
        {"HPITMPD", "HTOWTRT"},  // pay rows
        {"HPITMDD", "HPOMPDD"},
        {"HPITMDD", "HTOWTDR"},  // deduction rows
    };
    for (const auto& [a, b] : twins) {
        const std::vector<Column> left = Columns(db.handle(), a);
        ASSERT_FALSE(left.empty()) << a;
        EXPECT_EQ(left, Columns(db.handle(), b)) << a << " and " << b << " differ";
    }
    // Pay and deduction rows differ only in the item code and amount columns.
    std::vector<Column> pay = Columns(db.handle(), "HPITMPD");
    std::vector<Column> deduction = Columns(db.handle(), "HPITMDD");
    ASSERT_EQ(pay.size(), deduction.size());
    for (size_t i = 0; i < pay.size(); ++i) {
        if (pay[i].name == "PAY_CD") pay[i].name = "DDCT_CD";
        if (pay[i].name == "PAY_AM") pay[i].name = "DDCT_AM";
        EXPECT_EQ(pay[i], deduction[i]) << pay[i].name;
    }
}

// Amounts must stay exact decimals with four places, rates with six, and the
// texts the engine compares as dates, months and years must have their widths.
TEST(Schema, EveryColumnKeepsItsConvention) {
    ScratchDb db;
    std::string error;
    ASSERT_TRUE(db.ApplySchema(&error)) << error;
    const struct {
        const char* suffix;
        const char* type;
        bool key_like;  // may be part of a key, and then NOT NULL
    } rules[] = {
        {"_AM", "NUMERIC(19,4)", false}, {"_RT", "NUMERIC(19,6)", false},
        {"_DT", "VARCHAR(8)", false},    {"_YY", "VARCHAR(4)", true},
        {"_FG", "VARCHAR(3)", true},
    };
    int checked = 0;
    for (const std::string& table : Tables(db.handle())) {
        for (const Column& column : Columns(db.handle(), table)) {
            if (column.name == "SQ") {
                EXPECT_EQ(column.type, "INTEGER") << table;
                EXPECT_TRUE(column.not_null) << table << ".SQ";
                ++checked;
            }
            if (column.name == "CO_CD") {
                EXPECT_TRUE(column.not_null) << table << ".CO_CD";
            }
            for (const auto& rule : rules) {
                if (!EndsWith(column.name, rule.suffix)) continue;
                EXPECT_EQ(column.type, rule.type) << table << "." << column.name;
                if (!rule.key_like) {
                    EXPECT_FALSE(column.not_null) << table << "." << column.name;
                }
                ++checked;
            }
            // Months are six characters; HPMPDFM keeps its year in RVRS_YM.
            if (EndsWith(column.name, "_YM")) {
                EXPECT_EQ(column.type, "VARCHAR(6)") << table << "." << column.name;
            }
        }
    }
    EXPECT_GT(checked, 100);
}

}  // namespace
}  // namespace payroll::catalogue
