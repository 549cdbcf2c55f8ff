// Amount rounding by a company's cut-off code, done by the database (the
// SELECT ROUND statement of the code): what SetAmountReleas does.
#pragma once

#include "engine/common/status.h"
#include "payroll/cstring.h"

namespace payroll::engine {

// *rounded receives `amount` cut by `code` ("001" to "017"), or `amount`
// itself for any other code and when the statement fails (the status then
// says so).
Status RoundAmount(double amount, const CString& code, double* rounded);

}  // namespace payroll::engine
