#include "bench/pg_tables.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

#include "payroll/host.h"
#include "platform/db/connection.h"

namespace payroll::bench {
namespace {

// A value in COPY's text form.
void PutCopyValue(std::string* out, const unsigned char* text, int size) {
    if (!text) {
        out->append("\\N");
        return;
    }
    for (int i = 0; i < size; ++i) {
        const char c = static_cast<char>(text[i]);
        switch (c) {
            case '\\':
                out->append("\\\\");
                break;
            case '\t':
                out->append("\\t");
                break;
            case '\n':
                out->append("\\n");
                break;
            case '\r':
                out->append("\\r");
                break;
            default:
                out->push_back(c);
        }
    }
}

bool Native(const std::string& sql) {
    std::string error;
    db::Connection* c = db::Connection::Current();
    if (c && c->backend().RunNative(sql, &error)) return true;
    std::fprintf(stderr, "bench: %s\n", error.c_str());
    return false;
}

}  // namespace

std::string PostgresUrl() {
    const char* url = std::getenv("PAYROLL_BENCH_POSTGRES_URL");
    return url ? url : "";
}

bool PgExec(PGconn* pg, const std::string& sql) {
    PGresult* res = PQexec(pg, sql.c_str());
    const ExecStatusType status = PQresultStatus(res);
    const bool ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
    if (!ok) std::fprintf(stderr, "bench: %s\n  in: %.200s\n", PQerrorMessage(pg), sql.c_str());
    PQclear(res);
    return ok;
}

PgConnection ConnectRaw(const std::string& url, const std::string& schema) {
    PgConnection pg(PQconnectdb(url.c_str()), PQfinish);
    if (!pg || PQstatus(pg.get()) != CONNECTION_OK) {
        std::fprintf(stderr, "bench: %s\n", pg ? PQerrorMessage(pg.get()) : "out of memory");
        return PgConnection(nullptr, PQfinish);
    }
    if (!PgExec(pg.get(), "SET search_path TO " + schema)) return PgConnection(nullptr, PQfinish);
    return pg;
}

bool FreshSchema(const std::string& url, const std::string& schema) {
    std::string error;
    if (!OpenDatabase(url, &error)) {
        std::fprintf(stderr, "bench: %s\n", error.c_str());
        return false;
    }
    if (!Native("DROP SCHEMA IF EXISTS " + schema + " CASCADE; CREATE SCHEMA " + schema +
                "; SET search_path TO " + schema))
        return false;
    if (!ApplySchema(nullptr, &error)) {
        std::fprintf(stderr, "bench: %s\n", error.c_str());
        return false;
    }
    return true;
}

void DropSchema(const std::string& url, const std::string& schema) {
    std::string error;
    if (!IsDatabaseOpen() && !OpenDatabase(url, &error)) return;
    Native("DROP SCHEMA IF EXISTS " + schema + " CASCADE");
    CloseDatabase();
}

bool CopyFromSqlite(const std::string& sqlite_path, PGconn* pg,
                    const std::vector<std::string>& tables) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(sqlite_path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> closer(db, sqlite3_close);
    for (const std::string& table : tables) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, ("SELECT * FROM " + table).c_str(), -1, &st, nullptr) !=
            SQLITE_OK)
            return false;
        std::string columns;
        for (int c = 0; c < sqlite3_column_count(st); ++c)
            columns += std::string(c ? "," : "") + sqlite3_column_name(st, c);
        std::string data;
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                if (c) data.push_back('\t');
                PutCopyValue(&data,
                             sqlite3_column_type(st, c) == SQLITE_NULL ? nullptr
                                                                       : sqlite3_column_text(st, c),
                             sqlite3_column_bytes(st, c));
            }
            data.push_back('\n');
        }
        sqlite3_finalize(st);
        std::string target = table;
        target += " (";
        target += columns;
        target += ')';
        if (!WriteCopy(pg, target, data)) return false;
    }
    return PgExec(pg, "ANALYZE");
}

bool ReadCopy(PGconn* pg, const std::string& table, std::string* data) {
    PGresult* res = PQexec(pg, ("COPY " + table + " TO STDOUT").c_str());
    const bool started = PQresultStatus(res) == PGRES_COPY_OUT;
    PQclear(res);
    if (!started) return false;
    data->clear();
    char* line = nullptr;
    int n;
    while ((n = PQgetCopyData(pg, &line, 0)) > 0) {
        data->append(line, static_cast<std::size_t>(n));
        PQfreemem(line);
    }
    res = PQgetResult(pg);
    const bool ok = n == -1 && PQresultStatus(res) == PGRES_COMMAND_OK;
    PQclear(res);
    while ((res = PQgetResult(pg))) PQclear(res);
    return ok;
}

bool WriteCopy(PGconn* pg, const std::string& table, const std::string& data) {
    PGresult* res = PQexec(pg, ("COPY " + table + " FROM STDIN").c_str());
    const bool started = PQresultStatus(res) == PGRES_COPY_IN;
    PQclear(res);
    if (!started) {
        std::fprintf(stderr, "bench: %s\n", PQerrorMessage(pg));
        return false;
    }
    bool ok = PQputCopyData(pg, data.data(), static_cast<int>(data.size())) == 1 &&
              PQputCopyEnd(pg, nullptr) == 1;
    res = PQgetResult(pg);
    ok = ok && PQresultStatus(res) == PGRES_COMMAND_OK;
    if (!ok) std::fprintf(stderr, "bench: COPY %s: %s\n", table.c_str(), PQerrorMessage(pg));
    PQclear(res);
    while ((res = PQgetResult(pg))) PQclear(res);
    return ok;
}

}  // namespace payroll::bench
