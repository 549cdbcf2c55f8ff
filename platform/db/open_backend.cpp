// Which backend a database URL names.
#include <string_view>

#include "platform/db/connection.h"
#include "platform/db/sqlite_backend.h"

namespace payroll::db {

std::unique_ptr<Backend> OpenBackend(const std::string& url, std::string* error) {
    constexpr std::string_view kSqlite = "sqlite:";
    if (url.compare(0, kSqlite.size(), kSqlite) == 0)
        return OpenSqliteBackend(url.substr(kSqlite.size()), error);
    std::string scheme = url.substr(0, url.find(':'));
    *error = "unknown database URL '" + scheme + "': use sqlite:PATH or sqlite::memory:";
    return nullptr;
}

}  // namespace payroll::db
