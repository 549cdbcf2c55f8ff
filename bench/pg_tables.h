// Moving benchmark companies onto a PostgreSQL server: a fresh schema with
// the payroll tables, filled from a seeded SQLite file with COPY, and the
// rows of tables read back and written again with COPY (the floor a build's
// inserts are measured against).
#pragma once

#include <libpq-fe.h>

#include <memory>
#include <string>
#include <vector>

namespace payroll::bench {

// PAYROLL_BENCH_POSTGRES_URL, or empty when no server was given.
std::string PostgresUrl();

using PgConnection = std::unique_ptr<PGconn, void (*)(PGconn*)>;

// A raw connection whose search path is `schema`; null (with the reason on
// standard error) when it cannot be made.
PgConnection ConnectRaw(const std::string& url, const std::string& schema);

// Drops and creates `schema` with the payroll tables in it, then opens the
// process's database connection on it (search path set).
bool FreshSchema(const std::string& url, const std::string& schema);
// Drops `schema` and closes the process's connection.
void DropSchema(const std::string& url, const std::string& schema);

// Copies every row of `tables` from the SQLite file into the schema.
bool CopyFromSqlite(const std::string& sqlite_path, PGconn* pg,
                    const std::vector<std::string>& tables);

// A table's rows in COPY text form, read with COPY TO, and written with COPY
// FROM (inside whatever transaction the connection has open).
bool ReadCopy(PGconn* pg, const std::string& table, std::string* data);
bool WriteCopy(PGconn* pg, const std::string& table, const std::string& data);

// Runs a statement on the raw connection; false with the server's message on
// standard error.
bool PgExec(PGconn* pg, const std::string& sql);

}  // namespace payroll::bench
