// What the steps of the run build share inside the engine: the table of a
// kind, the statement text slots, the roster load with its three outcomes,
// and one single-pay-type pass of the build. Not part of the exported class.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "payroll/salary_calcurate.h"

namespace payroll::build {

// The language-file texts of the build's refusals.
inline constexpr int kLeaversKept = 1205;     // a pay type's roster could not be read
inline constexpr int kNoSuchTableSet = 1206;  // %d: the table set asked for
inline constexpr int kTooManyBatches = 1207;  // %ld employees, %d batches
inline constexpr int kRunTooLarge = 1208;     // %ld employees, %d at most

// The pay (kind 1) or deduction (kind 2) table of the engine's table set,
// with its trailing blank; empty for a table set or kind outside the range.
std::string TableOf(const CSalaryCalcurate& engine, int kind);
bool ValidTableSet(int table_set);
// Refuses a table set outside 0 to 2 with a message; true when valid.
bool CheckTableSet(int table_set);

// Makes room for roster position `position` in the statement texts; false
// for a position outside the run's limit.
bool ReserveRowText(CSalaryCalcurate& engine, int position);

// The roster load: its statement is built (and, when executing, run, the
// roster filled and the build's transaction begun). kEmpty: no employee
// qualified; kFailed: the statement, the window table or the transaction
// could not be had, so the roster is unknown.
enum class RosterLoad { kLoaded, kEmpty, kFailed };
RosterLoad LoadRoster(CSalaryCalcurate& engine, int execute);

// Whether a strict join or retirement rule applies to a pass of the key's
// pay type: a bonus type ("2..") whose rule code is "000". The roster and
// the leaver filter judge by the same answer.
bool RuleApplies(const HPHONPD_YMD_FMT& key, std::string_view rule);

// The pay types a build of the run covers: every pay type of the pay date
// for a combined run (read from the run's rows; false when they cannot be
// read), else the key's own.
bool RunPayTypes(CSalaryCalcurate& engine, std::vector<std::string>* pay_types);

// One pass of the build under the run key's pay type: roster, item lists,
// default rows. 1 when the rows were written and committed. *roster_known
// is false when the roster of this pay type could not be read; *roster_empty
// (when given) is true when nobody qualified. The pass is added to the road
// report.
int BuildPass(CSalaryCalcurate& engine, bool* roster_known, bool* roster_empty);

}  // namespace payroll::build
