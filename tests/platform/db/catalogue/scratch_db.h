// A scratch SQLite database in memory with the reference schema applied, that
// runs texts of the engine's dialect through the translator the way the
// database component does: translate, prepare, bind the lifted values, step.
#pragma once

#include <sqlite3.h>

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/tsql/sqlite_support.h"
#include "platform/db/tsql/translate.h"
#include "tests/platform/db/catalogue/catalogue.h"

namespace payroll::catalogue {

// resources/schema.sql, found through PAYROLL_RESOURCES when the test runner
// sets it, else in the source tree.
inline std::string SchemaPath() {
    const char* resources = std::getenv("PAYROLL_RESOURCES");
    if (resources != nullptr && *resources != '\0') return std::string(resources) + "/schema.sql";
    return std::string(PAYROLL_SOURCE_DIR) + "/resources/schema.sql";
}

// Rows of a result, every value as text; NULL becomes the empty text, as the
// database component hands it to the engine.
struct Result {
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
};

class ScratchDb {
  public:
    ScratchDb() : translator_(tsql::Target::kSqlite) {
        if (sqlite3_open(":memory:", &db_) != SQLITE_OK) {
            setup_error_ = "cannot open an in-memory database";
        } else if (!tsql::RegisterSqliteFunctions(db_, &setup_error_)) {
            setup_error_ = "registering the dialect functions: " + setup_error_;
        }
    }
    ~ScratchDb() { sqlite3_close(db_); }
    ScratchDb(const ScratchDb&) = delete;
    ScratchDb& operator=(const ScratchDb&) = delete;

    sqlite3* handle() { return db_; }

    // Runs resources/schema.sql as it stands, with SQLite's own executor.
    bool ApplySchema(std::string* error) {
        if (!setup_error_.empty()) {
            *error = setup_error_;
            return false;
        }
        std::string schema;
        if (!ReadWholeFile(SchemaPath(), &schema)) {
            *error = "cannot read " + SchemaPath();
            return false;
        }
        return ExecNative(schema, error);
    }

    // Runs native SQLite text (seed rows, pragmas).
    bool ExecNative(const std::string& sql, std::string* error) {
        char* message = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return true;
        *error = message != nullptr ? message : sqlite3_errmsg(db_);
        sqlite3_free(message);
        return false;
    }

    // Translates a text of the engine's dialect and runs every statement in
    // it. `result` (may be null) receives the rows of the last statement that
    // returns rows. On failure `error` says at which stage and shows the SQL.
    bool Run(std::string_view text, Result* result, std::string* error) {
        std::vector<tsql::Statement> statements;
        std::string why;
        if (!translator_.Translate(text, &statements, &why)) {
            *error = "translate: " + why;
            return false;
        }
        if (statements.empty()) {
            *error = "translate: no statement";
            return false;
        }
        for (const tsql::Statement& statement : statements) {
            if (statement.sql == nullptr) {
                *error = "translate: statement without text";
                return false;
            }
            Result rows;
            if (!Step(statement, &rows, error)) return false;
            if (result != nullptr && statement.returns_rows) *result = std::move(rows);
        }
        return true;
    }

  private:
    bool Step(const tsql::Statement& statement, Result* result, std::string* error) {
        const std::string& sql = *statement.sql;
        sqlite3_stmt* stmt = nullptr;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &stmt, &tail) !=
            SQLITE_OK) {
            *error = std::string("prepare: ") + sqlite3_errmsg(db_) + "\n  in: " + sql;
            return false;
        }
        bool ok = Bind(stmt, statement, error);
        if (ok && tail != nullptr &&
            std::string_view(tail).find_first_not_of(" \t\r\n;") != std::string_view::npos) {
            *error = "prepare: more than one statement in one translation\n  in: " + sql;
            ok = false;
        }
        const int width = sqlite3_column_count(stmt);
        for (int c = 0; ok && c < width; ++c)
            result->columns.emplace_back(sqlite3_column_name(stmt, c));
        while (ok) {
            const int rc = sqlite3_step(stmt);
            if (rc == SQLITE_DONE) break;
            if (rc != SQLITE_ROW) {
                *error = std::string("step: ") + sqlite3_errmsg(db_) + "\n  in: " + sql;
                ok = false;
                break;
            }
            std::vector<std::string> row;
            for (int c = 0; c < width; ++c) {
                const unsigned char* value = sqlite3_column_text(stmt, c);
                row.emplace_back(value != nullptr ? reinterpret_cast<const char*>(value) : "");
            }
            result->rows.push_back(std::move(row));
        }
        sqlite3_finalize(stmt);
        return ok;
    }

    bool Bind(sqlite3_stmt* stmt, const tsql::Statement& statement, std::string* error) {
        const int wanted = sqlite3_bind_parameter_count(stmt);
        if (wanted != static_cast<int>(statement.values.size())) {
            *error = "bind: the statement has " + std::to_string(wanted) + " placeholders for " +
                     std::to_string(statement.values.size()) + " values\n  in: " + *statement.sql;
            return false;
        }
        std::string why;
        if (!tsql::BindSqliteValues(stmt, statement.values, &why)) {
            *error = "bind: " + why + "\n  in: " + *statement.sql;
            return false;
        }
        return true;
    }

    sqlite3* db_ = nullptr;
    std::string setup_error_;
    tsql::Translator translator_;
};

}  // namespace payroll::catalogue
