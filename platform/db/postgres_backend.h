// The server backend: one PostgreSQL connection through libpq, opened with a
// postgresql:// (or postgres://) URL.
#pragma once

#include <memory>
#include <string>

#include "platform/db/backend.h"

namespace payroll::db {

struct PgOptions {
    // How long one round trip may wait for the server before the connection
    // is given up (and with it any open transaction).
    int answer_seconds = 600;
};

// Connects with the URL (libpq's URI form). Unless the URL says otherwise:
// connect_timeout 10 s, TCP keepalives, statement_timeout 5 min and
// lock_timeout 1 min on the server, UTF-8. nullptr and a message without
// the password when the server cannot be reached or refuses the login.
std::unique_ptr<Backend> OpenPostgresBackend(const std::string& url, std::string* error,
                                             const PgOptions& options = PgOptions());

}  // namespace payroll::db
