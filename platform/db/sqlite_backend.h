// The embedded default backend: one SQLite database file (or memory).
#pragma once

#include <memory>
#include <string>

#include "platform/db/backend.h"

namespace payroll::db {

// Opens `path` (":memory:" for a private in-memory database) in write-ahead
// log mode with durable commits. nullptr and a message when it cannot be
// opened for writing.
std::unique_ptr<Backend> OpenSqliteBackend(const std::string& path, std::string* error);

}  // namespace payroll::db
