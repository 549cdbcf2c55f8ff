#include "platform/db/sqlite_backend.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>
#include <unordered_map>

#include "platform/db/number_text.h"
#include "platform/db/sqlite_writeback.h"
#include "platform/db/tsql/sqlite_support.h"

namespace payroll::db {
namespace {

// Prepared statements kept per translated text; the engine sends a few
// hundred shapes at most, so a full cache is simply emptied.
constexpr std::size_t kSqliteCacheLimit = 512;

class SqliteBackend final : public Backend {
  public:
    SqliteBackend(sqlite3* db, std::string name, bool read_only = false)
        : db_(db), name_(std::move(name)), read_only_(read_only) {}
    ~SqliteBackend() override {
        ClearCache();
        sqlite3_close_v2(db_);
    }

    tsql::Target target() const override { return tsql::Target::kSqlite; }
    std::string DisplayName() const override { return name_; }
    bool InTransaction() const override { return sqlite3_get_autocommit(db_) == 0; }
    // A transaction begins holding the write lock: no other connection
    // writes until it ends. A file opened to read takes no write lock (its
    // writes fail as they come).
    const char* BeginStatement() const override { return read_only_ ? "BEGIN" : "BEGIN IMMEDIATE"; }
    bool StableReads() const override { return true; }

    bool Run(const tsql::Statement& st, ResultSet* rows, long* count, std::string* error) override {
        Prepared* entry = PrepareShape(st, error);
        if (!entry) return false;
        sqlite3_stmt* stmt = entry->stmt;
        if (!tsql::BindSqliteValues(stmt, st.values, error)) {
            sqlite3_reset(stmt);
            sqlite3_clear_bindings(stmt);
            return false;
        }
        if (rows) {
            rows->cells.clear();
            rows->ends.clear();
        }
        // The columns are known once the statement has stepped: a change of
        // the schema makes SQLite prepare it anew (a SELECT * may then have
        // other columns) inside its first step.
        int columns = -1;
        const auto named = [&] {
            columns = sqlite3_column_count(stmt);
            if (rows) NameColumns(entry, columns, rows);
        };
        long n = 0;
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            if (columns < 0) named();
            ++n;
            if (rows)
                for (int c = 0; c < columns; ++c) AppendCell(stmt, c, rows);
        }
        if (columns < 0) named();
        bool ok = rc == SQLITE_DONE;
        if (!ok) *error = sqlite3_errmsg(db_);
        sqlite3_reset(stmt);
        // The bindings (pointers into the statement's values) stay behind:
        // the next run binds every parameter again before it steps.
        // A statement without result columns wrote: count what it changed.
        if (count) *count = columns == 0 ? sqlite3_changes(db_) : n;
        return ok;
    }

    bool RunNative(std::string_view sql, std::string* error) override {
        // One statement (transaction control, mostly, which recurs) runs
        // prepared; a text of several goes through sqlite3_exec.
        if (sql.find(';') == std::string_view::npos &&
            sql.find_first_not_of(" \t\r\n") != std::string_view::npos) {
            Prepared* entry = Prepare(std::string(sql), error);
            if (!entry) return false;
            sqlite3_stmt* stmt = entry->stmt;
            int rc;
            while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            }
            const bool ok = rc == SQLITE_DONE;
            if (!ok) *error = sqlite3_errmsg(db_);
            sqlite3_reset(stmt);
            return ok;
        }
        std::string text(sql);
        char* message = nullptr;
        if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return true;
        *error = message ? message : sqlite3_errmsg(db_);
        sqlite3_free(message);
        return false;
    }

    bool ListTables(std::vector<std::string>* names, std::string* error) override {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db_, "SELECT name FROM sqlite_master WHERE type='table'", -1, &stmt,
                               nullptr) != SQLITE_OK) {
            *error = sqlite3_errmsg(db_);
            return false;
        }
        names->clear();
        while (sqlite3_step(stmt) == SQLITE_ROW)
            names->emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
        return true;
    }

  private:
    struct Prepared;

    // A cached shape's text keeps its address for its translator's life, so
    // its statement is found by that address; comparing the texts, far
    // cheaper than hashing one, guards against an address used again.
    Prepared* PrepareShape(const tsql::Statement& st, std::string* error) {
        if (!st.cached) return Prepare(*st.sql, error);
        auto it = by_shape_.find(st.sql);
        if (it != by_shape_.end() && *it->second.text == *st.sql) return it->second.entry;
        const std::string* text = nullptr;
        Prepared* entry = Prepare(*st.sql, error, &text);
        if (entry) by_shape_[st.sql] = Shape{text, entry};
        return entry;
    }

    Prepared* Prepare(const std::string& sql, std::string* error,
                      const std::string** kept = nullptr) {
        auto it = cache_.find(sql);
        if (it != cache_.end()) {
            if (kept) *kept = &it->first;
            return &it->second;
        }
        if (cache_.size() >= kSqliteCacheLimit) ClearCache();
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size()),
                               SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK) {
            *error = sqlite3_errmsg(db_);
            sqlite3_finalize(stmt);
            return nullptr;
        }
        if (!stmt) {
            *error = "empty statement";
            return nullptr;
        }
        auto added = cache_.emplace(sql, Prepared{stmt, nullptr, 0}).first;
        if (kept) *kept = &added->first;
        return &added->second;
    }

    void ClearCache() {
        for (auto& [sql, entry] : cache_) sqlite3_finalize(entry.stmt);
        cache_.clear();
        by_shape_.clear();
    }

    // The result's column names, read once per prepared statement (again
    // only when SQLite prepared it anew, after a change of the schema) and
    // shared by every result it gives.
    void NameColumns(Prepared* entry, int count, ResultSet* rows) {
        sqlite3_stmt* stmt = entry->stmt;
        const int prepared = sqlite3_stmt_status(stmt, SQLITE_STMTSTATUS_REPREPARE, 0);
        if (!entry->names || entry->prepared != prepared) {
            std::vector<std::string> list;
            list.reserve(static_cast<std::size_t>(count));
            for (int c = 0; c < count; ++c) {
                const char* name = sqlite3_column_name(stmt, c);
                list.emplace_back(name ? name : "");
            }
            entry->names = std::make_shared<const ColumnNames>(std::move(list));
            entry->prepared = prepared;
        }
        if (!rows->SharesColumns(entry->names)) rows->ShareColumns(entry->names);
    }

    // One cell as text. The cell's value is fetched once and read through
    // the value interface, which skips the per-call checks of the column
    // interface. The connection is opened without a mutex (one thread), so
    // the unprotected value of a column may be read directly.
    static void AppendCell(sqlite3_stmt* stmt, int c, ResultSet* rows) {
        sqlite3_value* v = sqlite3_column_value(stmt, c);
        switch (sqlite3_value_type(v)) {
            case SQLITE_INTEGER:
                AppendIntegerText(sqlite3_value_int64(v), &rows->cells);
                rows->EndCell();
                break;
            case SQLITE_FLOAT:
                AppendRealText(sqlite3_value_double(v), &rows->cells);
                rows->EndCell();
                break;
            case SQLITE_NULL:
                rows->EndCell();
                break;
            default: {
                const void* p = sqlite3_value_blob(v);
                const int len = sqlite3_value_bytes(v);
                if (p)
                    rows->cells.append(static_cast<const char*>(p), static_cast<std::size_t>(len));
                rows->EndCell();
            }
        }
    }

    sqlite3* db_;
    std::string name_;
    bool read_only_ = false;
    // A prepared statement with its result's column names, once read.
    struct Prepared {
        sqlite3_stmt* stmt;
        std::shared_ptr<const ColumnNames> names;
        int prepared;  // SQLite's count of the statement's new preparations then
    };
    std::unordered_map<std::string, Prepared> cache_;
    struct Shape {
        const std::string* text;  // its key in cache_
        Prepared* entry;          // its value there (a map's elements stay in place)
    };
    std::unordered_map<const std::string*, Shape> by_shape_;
};

bool Pragma(sqlite3* db, const char* sql, std::string* error) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
    *error = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    return false;
}

// The file as a URI for a connection that only reads. Immutable: SQLite
// then reads the file as it stands, without the lock and log files a reader
// of a write-ahead-log database would otherwise create (and, on a file it
// cannot write, leave behind unwritable for the file's owner).
std::string ReadOnlyUri(const std::string& path, bool immutable) {
    std::string uri = path.rfind('/', 0) == 0 ? "file://" : "file:";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '%' || c == '?' || c == '#' || byte < 0x20) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", byte);
            uri += hex;
        } else {
            uri += c;
        }
    }
    return uri + (immutable ? "?immutable=1" : "?mode=ro");
}

// True when this process may not write the file (its permissions, or a
// read-only file system) while it may well read it.
bool CannotWrite(const std::string& path) {
    if (::access(path.c_str(), W_OK) == 0) return false;
    return errno == EACCES || errno == EROFS || errno == EPERM;
}

std::unique_ptr<Backend> OpenSqliteToRead(const std::string& path, std::string* error) {
    // A log beside the file holds commits the file does not have yet: read
    // through it then; otherwise read the file alone.
    std::error_code no_log;
    const std::uintmax_t log_size = std::filesystem::file_size(path + "-wal", no_log);
    const bool log = !no_log && log_size > 0;
    sqlite3* db = nullptr;
    const int rc =
        sqlite3_open_v2(ReadOnlyUri(path, !log).c_str(), &db,
                        SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, SqliteVfs());
    std::string message = rc == SQLITE_OK ? "" : db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    if (rc == SQLITE_OK) {
        sqlite3_extended_result_codes(db, 1);
        sqlite3_busy_timeout(db, 5000);
        if (sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_QPSG, 1, nullptr) != SQLITE_OK)
            message = sqlite3_errmsg(db);
        else
            Pragma(db, "PRAGMA user_version", &message);  // a database at all?
    }
    if (!message.empty()) {
        *error = "cannot read database " + path + ": " + message;
        sqlite3_close_v2(db);
        return nullptr;
    }
    tsql::RegisterSqliteFunctions(db);
    return std::make_unique<SqliteBackend>(db, "sqlite:" + path, /*read_only=*/true);
}

}  // namespace

int SqliteOpenFlags() {
    return SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
}

bool ConfigureSqlite(sqlite3* db, bool memory, std::string* error) {
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 5000);
    if (sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_QPSG, 1, nullptr) != SQLITE_OK) {
        *error = sqlite3_errmsg(db);
        return false;
    }
    // Write-ahead log with a sync at every commit: a committed run survives
    // a crash of the process or of the machine. 128 MiB of pages: a year of
    // 10,000 employees or a build of 100,000 reads and rewrites far more than
    // that, and each page the cache keeps is one read and one spill less.
    return (memory || Pragma(db, "PRAGMA journal_mode=WAL", error)) &&
           Pragma(db, "PRAGMA synchronous=FULL", error) &&
           Pragma(db, "PRAGMA cache_size=-131072", error);
}

std::unique_ptr<Backend> OpenSqliteBackend(const std::string& path, std::string* error,
                                           bool to_read) {
    if (path.empty()) {
        *error = "no database file given (use sqlite:PATH or sqlite::memory:)";
        return nullptr;
    }
    if (path != ":memory:" && CannotWrite(path)) {
        if (to_read) return OpenSqliteToRead(path, error);
        // Refused before SQLite opens it: a writer's open of a file it may not
        // write would leave log files beside it that its owner cannot write.
        *error = "cannot use database " + path + ": the database is read-only";
        return nullptr;
    }
    sqlite3* db = nullptr;
    // A reader never creates the file it was to read.
    const int flags = to_read ? SqliteOpenFlags() & ~SQLITE_OPEN_CREATE : SqliteOpenFlags();
    int rc = sqlite3_open_v2(path.c_str(), &db, flags, SqliteVfs());
    if (rc != SQLITE_OK) {
        *error =
            "cannot open database " + path + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        return nullptr;
    }
    std::string message;
    bool memory = path == ":memory:";
    bool ok = ConfigureSqlite(db, memory, &message) && Pragma(db, "PRAGMA user_version", &message);
    if (ok && sqlite3_db_readonly(db, "main") == 1) {
        ok = false;
        message = "the database is read-only";
    }
    if (ok && !memory) {
        // Prove that the file can be written before any road starts.
        ok = Pragma(db, "BEGIN IMMEDIATE; COMMIT", &message);
    }
    if (!ok) {
        *error = "cannot use database " + path + ": " + message;
        sqlite3_close_v2(db);
        return nullptr;
    }
    tsql::RegisterSqliteFunctions(db);
    return std::make_unique<SqliteBackend>(db, "sqlite:" + path);
}

}  // namespace payroll::db
