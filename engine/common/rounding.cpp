// Amount rounding by the company's cut-off code: the database rounds, through
// the SELECT ROUND statement of the code, on a query object of its own.
#include <cstdlib>

#include "engine/common/messages.h"
#include "engine/common/rounding_codes.h"
#include "payroll/salary_calcurate.h"
#include "platform/text/number_parse.h"

double CSalaryCalcurate::SetAmountReleas(double amount, CString code) {
    const char* statement = payroll::rounding::StatementFor(code.str());
    if (!statement) return amount;
    CString sql;
    // The statement is one of the engine's own fixed texts, with a single
    // "%.4f" for the amount.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    sql.Format(statement, amount);
#pragma GCC diagnostic pop
    G_DataSource source;
    if (!source.OnExecuteSQL(sql, CString())) {
        payroll::engine::NoteFailure("SetAmountReleas error", source.GetLastError());
        return amount;
    }
    return payroll::text::NumberOf(source.OnGetFieldValue("VAL", 0).str());
}

double CSalaryCalcurate::ValuesCut_Add(double value, int) {
    return payroll::rounding::CutHalfUp(value);
}
