// The roster statement of a pay run: employees of the company selected by
// employee type, pay-system flag and join and retirement dates against each
// pay-period window, with the optional division, department and job-group
// filters. Pure text building; every value is escaped and no value ever
// becomes a format.
#pragma once

#include <string>
#include <vector>

#include "payroll/engine_tables.h"

namespace payroll::roster {

// One window as the roster reads it.
struct Window {
    std::string htyp_cd;
    std::string pysp_fg;
    std::string start;  // BNST_DT
    std::string end;    // BNED_DT
};

struct RosterFilter {
    std::string name_column;  // "S.KOR_NM" or "S.KOR_NMK"
    std::string company;
    std::string division;    // "ALL": every division
    std::string department;  // "ALL": every department
    std::string job_group;   // "ALL": every job group
    bool join_strict = false;
    bool retire_strict = false;
};

// The join limit J and retirement limit R of a window under the rule flags:
// J is the window's start when joining must precede it, else its end; R is
// the end when retiring within the window excludes, else the start.
std::string JoinLimit(const Window& w, bool join_strict);
std::string RetireLimit(const Window& w, bool retire_strict);

// The clause that selects the employees paid in one window.
std::string WindowClause(const Window& w, bool join_strict, bool retire_strict);

// "and S.DEPT_CD='..'  " / "and S.PRTY_CD='..'  ", or empty for "ALL".
std::string DepartmentCondition(const std::string& department);
std::string JobGroupCondition(const std::string& job_group);

// The whole roster statement, ordered by employee code.
std::string RosterStatement(const RosterFilter& filter, const std::vector<Window>& windows);

// Entries of a window table (a table that was not built holds none).
std::size_t WindowCount(const RecordTable<BHHAFF_FMT>& table);
// The entries of a window table in order.
std::vector<Window> WindowsOf(const RecordTable<BHHAFF_FMT>& table);

}  // namespace payroll::roster
