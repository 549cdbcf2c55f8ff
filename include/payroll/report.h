// What a road did, as data: how it ended, where it failed, and the rows it
// changed in every table. Hosts print their closing lines and JSON from
// this report, never from trace texts.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "payroll/export.h"

namespace payroll {

// Rows one table gained, changed and lost.
struct TableChanges {
    long inserted = 0;
    long updated = 0;
    long deleted = 0;
};

// How a road ended. kNotEnded: no transaction of it has ended yet (a road
// that failed before writing anything stays here; its failed_step says why).
enum class RoadOutcome { kNotEnded, kCommitted, kRolledBack };

// One pass of a run build: the build of one pay type (a combined run has one
// per pay type of its pay date).
struct BuildPassReport {
    std::string pay_type;
    long employees = 0;      // employees on the pass's roster
    bool committed = false;  // the pass's default rows were written and committed
    bool empty = false;      // nobody qualified: nothing to build, and no failure
    std::string note;        // why not, when it did not commit
};

// What the current (or last) road did.
struct PAYROLL_API RoadReport {
    std::string road;                              // the name BeginRoadReport was given
    RoadOutcome outcome = RoadOutcome::kNotEnded;  // how its last transaction ended
    std::string failed_step;                     // the step that failed, e.g. "GetPersonTax error"
    std::string detail;                          // the database's or the engine's message
    std::string failed_run;                      // the run being worked on at the failure
    std::string failed_employee;                 // the employee being worked on at the failure
    long runs = 0;                               // pay runs calculated
    long employees = 0;                          // employees calculated
    long results_stored = 0;                     // result rows of committed transactions
    std::map<std::string, TableChanges> tables;  // rows changed by committed transactions
    std::vector<BuildPassReport> passes;         // a run build's passes, in order

    // Rows inserted into every table.
    long Inserted() const;
    // Rows updated in every table.
    long Updated() const;
    // Rows deleted from every table.
    long Deleted() const;
};

// Starts a fresh report: every figure 0, nothing failed. Call it before each
// road; the engine and the database component then fill it as they work.
PAYROLL_API void BeginRoadReport(const std::string& road);
// The report as it stands.
PAYROLL_API RoadReport CurrentRoadReport();

}  // namespace payroll
