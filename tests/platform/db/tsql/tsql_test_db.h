// A scratch SQLite database that runs texts of the engine's dialect through
// the translator, as the database component does.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <charconv>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/tsql/sqlite_support.h"
#include "platform/db/tsql/translate.h"

namespace payroll::tsql::testing {

using Row = std::vector<std::string>;
using Rows = std::vector<Row>;

inline constexpr const char* kNull = "<null>";

// A column as text: integers in decimal, reals in their shortest exact form
// (12350.0 reads "12350", 2.68 reads "2.68"), NULL as kNull.
inline std::string ColumnText(sqlite3_stmt* st, int col) {
    switch (sqlite3_column_type(st, col)) {
        case SQLITE_NULL:
            return kNull;
        case SQLITE_FLOAT: {
            char buf[64];
            auto [end, ec] = std::to_chars(buf, buf + sizeof buf, sqlite3_column_double(st, col));
            (void)ec;
            return std::string(buf, end);
        }
        default: {
            const unsigned char* text = sqlite3_column_text(st, col);
            return std::string(reinterpret_cast<const char*>(text),
                               static_cast<std::size_t>(sqlite3_column_bytes(st, col)));
        }
    }
}

class TestDb {
  public:
    TestDb() {
        EXPECT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
        std::string error;
        EXPECT_TRUE(RegisterSqliteFunctions(db_, &error)) << error;
    }
    ~TestDb() { sqlite3_close(db_); }
    TestDb(const TestDb&) = delete;
    TestDb& operator=(const TestDb&) = delete;

    sqlite3* db() const { return db_; }
    Translator& translator() { return translator_; }

    // Plain SQLite, for setting up tables.
    void Exec(const std::string& sql) {
        char* message = nullptr;
        int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message);
        EXPECT_EQ(rc, SQLITE_OK) << (message ? message : "") << "\n" << sql;
        sqlite3_free(message);
    }

    // Translates `text` and runs every statement; the rows of all statements
    // that return rows, in order. False with *error on any failure.
    bool Run(std::string_view text, Rows* rows, std::string* error) {
        std::vector<Statement> statements;
        if (!translator_.Translate(text, &statements, error)) return false;
        return RunStatements(statements, rows, error);
    }

    bool RunStatements(const std::vector<Statement>& statements, Rows* rows, std::string* error) {
        for (const Statement& s : statements) {
            sqlite3_stmt* st = nullptr;
            if (sqlite3_prepare_v2(db_, s.sql->c_str(), -1, &st, nullptr) != SQLITE_OK) {
                *error = std::string(sqlite3_errmsg(db_)) + " in: " + *s.sql;
                return false;
            }
            if (!BindSqliteValues(st, s.values, error)) {
                sqlite3_finalize(st);
                return false;
            }
            int rc;
            while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
                Row row;
                for (int c = 0; c < sqlite3_column_count(st); ++c) row.push_back(ColumnText(st, c));
                if (rows) rows->push_back(std::move(row));
            }
            sqlite3_finalize(st);
            if (rc != SQLITE_DONE) {
                *error = std::string(sqlite3_errmsg(db_)) + " in: " + *s.sql;
                return false;
            }
        }
        return true;
    }

    // Run, expecting success.
    Rows Query(std::string_view text) {
        Rows rows;
        std::string error;
        EXPECT_TRUE(Run(text, &rows, &error)) << error << "\n" << text;
        return rows;
    }

    // The single value of a one-row, one-column query.
    std::string Scalar(std::string_view text) {
        Rows rows = Query(text);
        if (rows.size() != 1 || rows[0].size() != 1) {
            ADD_FAILURE() << "expected one value from: " << text;
            return "";
        }
        return rows[0][0];
    }

  private:
    sqlite3* db_ = nullptr;
    Translator translator_{Target::kSqlite};
};

}  // namespace payroll::tsql::testing
