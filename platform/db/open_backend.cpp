// Which backend a database URL names.
#include <string_view>

#include "platform/db/connection.h"
#include "platform/db/pg_url.h"
#include "platform/db/postgres_backend.h"
#include "platform/db/sqlite_backend.h"

namespace payroll::db {

std::unique_ptr<Backend> OpenBackend(const std::string& url, std::string* error) {
    constexpr std::string_view kSqlite = "sqlite:";
    if (url.compare(0, kSqlite.size(), kSqlite) == 0)
        return OpenSqliteBackend(url.substr(kSqlite.size()), error);
    if (IsPostgresUrl(url)) return OpenPostgresBackend(url, error);
    // Only the scheme is repeated: the rest may hold a password.
    std::string scheme = url.substr(0, url.find(':'));
    if (scheme.size() > 40) scheme = scheme.substr(0, 40) + "...";
    *error = "unknown database URL '" + scheme +
             "': use sqlite:PATH, sqlite::memory: or postgresql://USER@HOST:PORT/DATABASE";
    return nullptr;
}

}  // namespace payroll::db
