// What the steps of the run build share inside the engine: the table of a
// kind, the statement text slots, the roster load with its three outcomes,
// one single-pay-type pass of the build, and each step's work with the
// status it comes to. The exported method of the same work (named beside
// each) is its boundary. Not part of the exported class.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/common/status.h"
#include "payroll/salary_calcurate.h"

namespace payroll::build {

using engine::Status;

// The language-file texts of the build's refusals.
inline constexpr int kLeaversKept = 1205;     // a pay type's roster could not be read
inline constexpr int kNoSuchTableSet = 1206;  // %d: the table set asked for
inline constexpr int kTooManyBatches = 1207;  // %ld employees, %d batches
inline constexpr int kRunTooLarge = 1208;     // %ld employees, %d at most

// The pay (kind 1) or deduction (kind 2) table of the engine's table set,
// with its trailing blank; empty for a table set or kind outside the range.
std::string TableOf(const CSalaryCalcurate& engine, int kind);
bool ValidTableSet(int table_set);
// Refuses a table set outside 0 to 2 with a message.
Status CheckTableSet(int table_set);

// Makes room for roster position `position` in the statement texts; false
// for a position outside the run's limit.
bool ReserveRowText(CSalaryCalcurate& engine, int position);

// The roster load (Load_SEMP): its statement is built (and, when executing,
// run, the roster filled and the build's transaction begun). kEmpty: no
// employee qualified; kFailed: the statement, the window table or the
// transaction could not be had, so the roster is unknown (the status says
// why).
enum class RosterLoad { kLoaded, kEmpty, kFailed };
Status LoadRoster(CSalaryCalcurate& engine, int execute, RosterLoad* load);
// Load_HPHPOYM: the run's pay-item and deduction-item lists; *loaded is
// false when either list is empty or could not be read.
Status LoadItemLists(CSalaryCalcurate& engine, bool* loaded);
// GetPYSP_MAX: the pay types sharing the run's pay date into m_PYTP_FG and
// *count.
Status PayTypesOfPayDate(CSalaryCalcurate& engine, int* count);

// Whether a strict join or retirement rule applies to a pass of the key's
// pay type: a bonus type ("2..") whose rule code is "000". The roster and
// the leaver filter judge by the same answer.
bool RuleApplies(const HPHONPD_YMD_FMT& key, std::string_view rule);

// The pay types a build of the run covers: every pay type of the pay date
// for a combined run (read from the run's rows), else the key's own.
Status RunPayTypes(CSalaryCalcurate& engine, std::vector<std::string>* pay_types);

// OpenSEMP_ALL: the company's employee master into m_SEMP_ALL; *loaded is
// false when there is none or it could not be read.
Status LoadEmployeeMaster(CSalaryCalcurate& engine, bool* loaded);
// Load_HPITMPD: the run's existing pay and deduction rows (of one employee,
// or all when empty) into m_PAY_LIST; *loaded is false when a read failed.
Status LoadExistingRows(CSalaryCalcurate& engine, const CString& employee, bool* loaded);
// SetAllSempInsert: every missing default row of the roster, in batches, and
// the commit of the build's transaction; *committed is false (everything
// rolled back) when the build could not be finished.
Status InsertDefaultRows(CSalaryCalcurate& engine, bool* committed);

// One pass of the build under the run key's pay type (GetSalaryPepleList):
// roster, item lists, default rows. *result is 1 when the rows were written
// and committed. *roster_known is false when the roster of this pay type
// could not be read; *roster_empty (when given) is true when nobody
// qualified. The pass is added to the road report.
Status BuildPass(CSalaryCalcurate& engine, bool* roster_known, bool* roster_empty, int* result);
// _GetSalaryPepleList: the run built into a table set, every pass of a
// combined run and the removal of the leavers no pass took on. The status
// is the first failure of any pass; *result as the exported method returns.
Status BuildRun(CSalaryCalcurate& engine, int table_set, int* result);

// FileterSempData: marks (combined run) or removes the run's leavers;
// *result as the exported method returns (0 also when nobody could be a
// leaver).
Status FilterLeavers(CSalaryCalcurate& engine, int* result);
// GetSempDataUpdate: the leaver filter, then the organisation attributes of
// the run's rows in one transaction; *committed when that committed. The
// status covers the filter too: a refresh goes on past it.
Status RefreshRows(CSalaryCalcurate& engine, bool* committed);
// GetSempDataUpdate__: the refresh of the run in a table set.
Status RefreshRun(CSalaryCalcurate& engine, int table_set, int* result);

// ChkTotalPay: the pay totals per employee of the run (one employee, or all
// when empty) into m_ChkPay; *loaded is false when they could not be read.
Status PayTotals(CSalaryCalcurate& engine, int kind, const CString& employee, bool* loaded);

}  // namespace payroll::build
