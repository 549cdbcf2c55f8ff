// What a SQLite connection needs to run the dialect layer's statements.
#pragma once

#include <sqlite3.h>

#include <string>
#include <vector>

#include "platform/db/tsql/translate.h"

namespace payroll::tsql {

// Adds the functions the SQLite translations call (tsql_round, tsql_str,
// tsql_char). Call once after opening each connection. False (with a message
// in *error when given) if SQLite refused one.
bool RegisterSqliteFunctions(sqlite3* db, std::string* error = nullptr);

// Binds `values` to ?1, ?2 ... of a statement prepared from Statement::sql, as
// SQLite would read the same literals written inline: text as text, integers
// as integers (beyond 64 bits as reals), the rest as reals. False with a
// message in *error when the count does not match the statement or SQLite
// refuses a value.
// REQUIRES: `values` stays alive and unchanged until the statement has been
// stepped and reset: texts are bound in place, not copied (the batches of the
// default-row step are bound a hundred thousand times).
bool BindSqliteValues(sqlite3_stmt* stmt, const std::vector<BoundValue>& values,
                      std::string* error);

}  // namespace payroll::tsql
