// The statement texts and the leaver rule of the roster refresh: which
// employees of a month no longer belong to the run, how their rows are
// removed, and how the run's rows take over the current organisation
// attributes. Pure; every quoted value is escaped.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace payroll::refresh {

// Whether an employee has left the run, from the day numbers of his join
// date J, retirement date R and his window's start F and end T (a number
// of 0 or below means no date). Retirement is tested first: before the
// window's start, or with the retirement rule by its end; then joining:
// after the window's end, or with the join rule from its start on.
bool IsLeaver(int join, int retire, int from, int to, bool join_strict, bool retire_strict);

// Appends "EMP_CD='..' " to an OR list (joined by " OR ").
void AppendEmployee(std::string* list, std::string_view employee);

// " AND SQ=.. AND PYTP_FG IN ('..',..) ": the rows of one run, its
// sequence and its pay types, and nothing of the month's other runs.
std::string RunRowsCondition(const std::string& sq, const std::vector<std::string>& pay_types);

// The deletion of the listed employees' rows of one run (`run_condition`,
// from RunRowsCondition): all five pay, deduction and result tables for
// table set 0, else the last three.
std::string LeaverDeleteText(const std::string& company, const std::string& month,
                             const std::string& run_condition, const std::string& list,
                             int table_set);

// The employees with rows of the run in the pay table, the deduction table
// or the results, with their master dates and type.
std::string LeaverQuery(const std::string& pay_table, const std::string& deduction_table,
                        const std::string& company, const std::string& month,
                        const std::string& run_condition);

// "AND A.PYTP_FG='..' ", or empty for a combined run.
std::string PayTypeCondition(bool combined, const std::string& pay_type);

// The refresh of one table: organisation attributes, and for the pay table
// also the tax flag from the item definitions; the result table takes the
// longer attribute list.
enum class RefreshTable { kPay, kDeduction, kResults };
std::string RefreshText(RefreshTable kind, const std::string& table, const std::string& company,
                        const std::string& month, const std::string& sq,
                        const std::string& pay_type_condition, const std::string& year);

}  // namespace payroll::refresh
