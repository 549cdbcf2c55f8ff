// The month's variable pay file: a CSV file a clerk keeps beside the company
// folder (overtime, allowances that change), written like the folder's
// files (docs/company-files.md) and checked against a pay run before the pay
// step (FillRunPay) writes it.
#pragma once

#include <string>
#include <vector>

#include "payroll/company.h"
#include "payroll/export.h"
#include "payroll/records.h"
#include "payroll/roads.h"

namespace payroll::folder {

// Reads the variable pay file at `path` (UTF-8 with or without a
// byte-order mark, or CP949; headers 사번 [EMP_CD], 항목코드 [PYDD_CD],
// 금액 [PAY_AM], and optionally 시간 [WORK_TM] and 비고 [CALC_DC]) and checks
// every line against run `run` of the open database: an employee of the
// company with rows in the run, an item on the run's list that the pay step
// fills, an amount, hours, and each employee and item once. Writes nothing.
// Returns every problem found (file, line, column, value, what was
// expected); with none, *entries (may be null) receives the lines in the
// file's order.
PAYROLL_API std::vector<Problem> ReadPayFile(const std::string& path, const HPHONPD_YMD_FMT& run,
                                             std::vector<VariablePay>* entries);

}  // namespace payroll::folder
