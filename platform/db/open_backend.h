// Which backend a database URL names, decided from the text alone: nothing
// is opened, so the decision can be checked on any text.
#pragma once

#include <string>

namespace payroll::db {

enum class BackendKind { kSqlite, kPostgres, kUnknown };

struct BackendChoice {
    BackendKind kind = BackendKind::kUnknown;
    // SQLite: the path after "sqlite:" (":memory:" for a memory database);
    // PostgreSQL: the URL as given.
    std::string target;
    // kUnknown: why, for a person; it repeats no part of the URL that may
    // hold a password.
    std::string error;
};

BackendChoice ChooseBackend(const std::string& url);

}  // namespace payroll::db
