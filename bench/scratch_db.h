// What the benchmarks share about their scratch SQLite files: the default
// items of a run and two small helpers over the raw SQLite API.
#pragma once

#include <sqlite3.h>

#include <cstdio>
#include <string>

namespace payroll::bench {

// Default rows of one employee: 15 pay items and 10 deduction items.
constexpr int kPayItems = 15;
constexpr int kDeductionItems = 10;

// Removes a database file with its write-ahead log and shared-memory file.
inline void RemoveDb(const std::string& path) {
    for (const char* suffix : {"", "-wal", "-shm"}) std::remove((path + suffix).c_str());
}

// Runs statements on a raw connection; false, with SQLite's message on
// standard error, when one fails.
inline bool Exec(sqlite3* db, const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return true;
    std::fprintf(stderr, "bench: %s\n  in: %.200s\n", message ? message : "?", sql.c_str());
    sqlite3_free(message);
    return false;
}

}  // namespace payroll::bench
