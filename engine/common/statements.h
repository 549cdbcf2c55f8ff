// The statements of the engine's steps: each is traced, run on a query
// object or the engine's executor, and comes back as a status, failed with
// the database's message under the step's name when it did not run.
#pragma once

#include "engine/common/status.h"
#include "payroll/salary_calcurate.h"

namespace payroll::engine {

// Traces `sql` under `title` quietly and runs it on `source`. When it fails,
// traces it again under `failed` (in a message box with that title unless
// quiet is 1) and returns the failure of step `failed`.
Status TracedQuery(CSalaryCalcurate& e, G_DataSource& source, const CString& sql, const char* title,
                   const char* failed, int quiet = 0);
// The engine's query routine (QueryOpen): a traced query under "QueryOpen ",
// failing as "QueryOpen error" with a message box.
Status QueryOpen(CSalaryCalcurate& e, G_DataSource& source, const CString& sql);
// The same for a text of one or more statements, run whole or not at all
// through the engine's executor.
Status TracedExecute(CSalaryCalcurate& e, const CString& sql, const char* title, const char* failed,
                     int quiet = 0);
// Counts the rows of a query on `source` into *count (0 when it fails). A
// count that does not run fails unnamed, with the database's message: the
// step that counts names it, or leaves it unnamed when it only sizes a table.
Status Count(G_DataSource& source, const CString& sql, long* count);
// The failure of step `step` with the message of `source`'s last operation.
Status FailedOn(const char* step, const G_DataSource& source);

}  // namespace payroll::engine
