// Which backend a database URL names.
#include "platform/db/open_backend.h"

#include <string_view>

#include "platform/db/connection.h"
#include "platform/db/pg_url.h"
#include "platform/db/postgres_backend.h"
#include "platform/db/sqlite_backend.h"

namespace payroll::db {
namespace {

// A URL's scheme: a letter, then letters, digits, "+", "-" and ".".
bool IsUrlScheme(std::string_view text) {
    auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (text.empty() || !letter(text.front())) return false;
    for (char c : text)
        if (!letter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') return false;
    return true;
}

}  // namespace

BackendChoice ChooseBackend(const std::string& url) {
    constexpr std::string_view kSqlite = "sqlite:";
    BackendChoice choice;
    if (url.compare(0, kSqlite.size(), kSqlite) == 0) {
        choice.kind = BackendKind::kSqlite;
        choice.target = url.substr(kSqlite.size());
        return choice;
    }
    if (IsPostgresUrl(url)) {
        choice.kind = BackendKind::kPostgres;
        choice.target = url;
        return choice;
    }
    // Only the scheme is repeated: the rest may hold a password. A text
    // without one (a libpq connection string "host=... password=...") is
    // not repeated at all.
    constexpr std::string_view kUse =
        ": use sqlite:PATH, sqlite::memory: or postgresql://USER@HOST:PORT/DATABASE";
    const std::size_t colon = url.find(':');
    std::string scheme = url.substr(0, colon);
    if (colon == std::string::npos || !IsUrlScheme(scheme)) {
        choice.error = "unknown database URL" + std::string(kUse);
        return choice;
    }
    if (scheme.size() > 40) scheme = scheme.substr(0, 40) + "...";
    choice.error = "unknown database URL '" + scheme + "'" + std::string(kUse);
    return choice;
}

std::unique_ptr<Backend> OpenBackend(const std::string& url, std::string* error, bool to_read) {
    BackendChoice choice = ChooseBackend(url);
    switch (choice.kind) {
        case BackendKind::kSqlite:
            return OpenSqliteBackend(choice.target, error, to_read);
        case BackendKind::kPostgres:
            return OpenPostgresBackend(choice.target, error);
        case BackendKind::kUnknown:
            break;
    }
    *error = choice.error;
    return nullptr;
}

}  // namespace payroll::db
