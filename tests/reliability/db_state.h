// The state of a SQLite database file as the crash tests compare it: whether
// it opens, what PRAGMA integrity_check says, and for every table its row
// count and a hash of its rows in a fixed order (every column sorted), so two
// states are equal exactly when every table holds the same rows.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace payroll::reliability {

struct TableState {
    long rows = 0;
    std::uint64_t hash = 0;
    bool operator==(const TableState&) const = default;
};

struct DbState {
    bool opened = false;
    std::string integrity;  // "ok" on a sound file
    std::string error;
    std::map<std::string, TableState> tables;

    bool SameRows(const DbState& other) const { return tables == other.tables; }
};

namespace detail {

// FNV-1a over bytes; each value is followed by its length so that
// neighbouring values cannot trade bytes.
inline void Mix(std::uint64_t* h, const void* data, std::size_t n) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < n; ++i) {
        *h ^= p[i];
        *h *= 1099511628211ull;
    }
}

inline bool Each(sqlite3* db, const std::string& sql, std::string* error,
                 const std::function<void(sqlite3_stmt*)>& row) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
        *error = sqlite3_errmsg(db);
        return false;
    }
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) row(st);
    if (rc != SQLITE_DONE) *error = sqlite3_errmsg(db);
    sqlite3_finalize(st);
    return rc == SQLITE_DONE;
}

}  // namespace detail

// Opens the file as a fresh process would after a crash (recovering its
// write-ahead log) and reads its state.
inline DbState ReadDbState(const std::string& path) {
    DbState state;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        state.error = db ? sqlite3_errmsg(db) : "cannot open";
        sqlite3_close(db);
        return state;
    }
    state.opened = true;
    std::string error;
    bool ok = detail::Each(db, "PRAGMA integrity_check", &error, [&](sqlite3_stmt* st) {
        const auto* text = sqlite3_column_text(st, 0);
        if (!state.integrity.empty()) state.integrity += "; ";
        state.integrity += text ? reinterpret_cast<const char*>(text) : "";
    });
    std::vector<std::string> names;
    ok = ok && detail::Each(db,
                            "SELECT name FROM sqlite_master WHERE type='table' AND name NOT "
                            "LIKE 'sqlite_%' ORDER BY name",
                            &error, [&](sqlite3_stmt* st) {
                                names.emplace_back(
                                    reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
                            });
    for (const std::string& name : names) {
        int columns = 0;
        ok =
            ok && detail::Each(db, "SELECT count(*) FROM pragma_table_info('" + name + "')", &error,
                               [&](sqlite3_stmt* st) { columns = sqlite3_column_int(st, 0); });
        std::string order;
        for (int c = 1; c <= columns; ++c) order += (c > 1 ? "," : "") + std::to_string(c);
        TableState table;
        table.hash = 14695981039346656037ull;
        std::string select = "SELECT * FROM \"" + name;
        select += "\" ORDER BY " + order;
        ok = ok && detail::Each(db, select, &error, [&](sqlite3_stmt* st) {
                 ++table.rows;
                 for (int c = 0; c < columns; ++c) {
                     const int type = sqlite3_column_type(st, c);
                     const auto* v = sqlite3_column_blob(st, c);
                     const int n = sqlite3_column_bytes(st, c);
                     detail::Mix(&table.hash, &type, sizeof type);
                     if (v) detail::Mix(&table.hash, v, n);
                     detail::Mix(&table.hash, &n, sizeof n);
                 }
             });
        state.tables[name] = table;
    }
    if (!ok) state.error = error;
    sqlite3_close(db);
    return state;
}

// Runs SQLite's own SQL on the database file `path`, opened for it and
// closed again; false when either fails.
inline bool ExecOnFile(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
              sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// The tables whose rows differ between two states, with their row counts.
inline std::string DescribeDifference(const DbState& a, const DbState& b) {
    std::string out;
    for (const auto& [name, table] : a.tables) {
        auto other = b.tables.find(name);
        if (other == b.tables.end()) {
            out += name + " missing; ";
        } else if (!(other->second == table)) {
            out += name + " (" + std::to_string(table.rows) + " vs " +
                   std::to_string(other->second.rows) + " rows); ";
        }
    }
    for (const auto& [name, table] : b.tables)
        if (!a.tables.count(name)) out += name + " added; ";
    return out;
}

}  // namespace payroll::reliability
