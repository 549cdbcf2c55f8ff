// Amount rounding by the company's cut-off code: the database rounds, through
// the SELECT ROUND statement of the code, on a query object of its own.
#include "engine/common/rounding.h"

#include "engine/common/messages.h"
#include "engine/common/rounding_codes.h"
#include "engine/common/statements.h"
#include "payroll/salary_calcurate.h"
#include "platform/text/number_parse.h"

namespace payroll::engine {

Status RoundAmount(double amount, const CString& code, double* rounded) {
    *rounded = amount;
    const char* statement = rounding::StatementFor(code.str());
    if (!statement) return Status();
    CString sql;
    // The statement is one of the engine's own fixed texts, with a single
    // "%.4f" for the amount.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    sql.Format(statement, amount);
#pragma GCC diagnostic pop
    G_DataSource source;
    if (!source.OnExecuteSQL(sql, CString())) return FailedOn("SetAmountReleas error", source);
    *rounded = text::NumberOf(source.OnGetFieldValue("VAL", 0).str());
    return Status();
}

}  // namespace payroll::engine

double CSalaryCalcurate::SetAmountReleas(double amount, CString code) {
    double rounded = amount;
    payroll::engine::Publish(payroll::engine::RoundAmount(amount, code, &rounded));
    return rounded;
}

double CSalaryCalcurate::ValuesCut_Add(double value, int) {
    return payroll::rounding::CutHalfUp(value);
}
