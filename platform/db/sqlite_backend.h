// The embedded default backend: one SQLite database file (or memory).
#pragma once

#include <memory>
#include <string>

#include "platform/db/backend.h"

struct sqlite3;

namespace payroll::db {

// Opens `path` (":memory:" for a private in-memory database) in write-ahead
// log mode with durable commits. nullptr and a message when it cannot be
// opened for writing. to_read: the file is not created when missing, and a
// file this process may not write is opened read-only instead (every write
// then fails; nothing is created beside it).
std::unique_ptr<Backend> OpenSqliteBackend(const std::string& path, std::string* error,
                                           bool to_read = false);

// The flags a connection is opened with: one connection serves one thread,
// so SQLite's own locking of it is left out. It is opened through the VFS of
// sqlite_writeback.h.
int SqliteOpenFlags();
// Settings of an open connection: write-ahead log (unless in memory) with a
// sync at every commit, a page cache that holds a company's working set, and
// plans that do not change with bound values (a LIKE pattern bound as a value
// would otherwise make SQLite compile the statement again at every run).
// Benchmarks that replay the engine's statements open their connection the
// same way.
bool ConfigureSqlite(sqlite3* db, bool memory, std::string* error);

}  // namespace payroll::db
