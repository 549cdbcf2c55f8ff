#include "engine/common/statements.h"

namespace payroll::engine {

Status TracedQuery(CSalaryCalcurate& e, G_DataSource& source, const CString& sql, const char* title,
                   const char* failed, int quiet) {
    e.TraceText(sql, title, 1);
    if (source.OnExecuteSQL(sql)) return Status();
    Status status = FailedOn(failed, source);
    e.TraceText(sql, failed, quiet);
    return status;
}

Status QueryOpen(CSalaryCalcurate& e, G_DataSource& source, const CString& sql) {
    return TracedQuery(e, source, sql, "QueryOpen ", "QueryOpen error");
}

Status TracedExecute(CSalaryCalcurate& e, const CString& sql, const char* title, const char* failed,
                     int quiet) {
    e.TraceText(sql, title, 1);
    if (e.m_DirectSQL.OnExecuteText(sql.str())) return Status();
    Status status = Status::Failed(failed, e.m_DirectSQL.GetLastError().str());
    e.TraceText(sql, failed, quiet);
    return status;
}

Status Count(G_DataSource& source, const CString& sql, long* count) {
    *count = source.OnGetBulkRecordCount(sql);
    // A count that ran leaves no message behind.
    if (*count != 0 || source.GetLastError().IsEmpty()) return Status();
    return Status::Failed("", source.GetLastError().str());
}

Status FailedOn(const char* step, const G_DataSource& source) {
    return Status::Failed(step, source.GetLastError().str());
}

}  // namespace payroll::engine
