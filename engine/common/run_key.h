// The pay-run key: its fields by name, the check every step makes before it
// reads them, and the repair of a key that arrived unterminated.
#pragma once

#include <memory>

#include "payroll/cstring.h"
#include "payroll/records.h"

namespace payroll::run_key {

// The run key's fields as the steps put them into statements.
struct Fields {
    CString company;            // CO_CD
    CString month;              // RVRS_YM, YYYYMM
    CString sq;                 // SQ, a number (it goes into statements unquoted)
    CString pay_type;           // PYTP_FG
    CString pay_date;           // PAY_DT
    CString division_filter;    // DIV_FILTER, "ALL" for every division
    CString combined;           // CCIS_YN, "001" when the pay types are paid together
    CString pay_head;           // PYTP_HEAD, the first pay type of a combined run
    CString pay_type_list;      // PYTP_LIST
    CString department_filter;  // DEPT_FILTER, "ALL" for every department
    CString job_group_filter;   // PRTY_FILTER, "ALL" for every job group
};

// The key's fields, complete or not.
Fields Read(const HPHONPD_YMD_FMT& key);

// True when the fields are complete enough for a calculation step: company,
// pay type, pay date and division filter given, a month of six characters
// and a sequence that is a number.
bool IsComplete(const Fields& fields);

// The key's fields when it is complete, nothing (null) otherwise. The fields
// are shared, not copied: every step of every employee checks the same key.
std::shared_ptr<const Fields> Checked(const HPHONPD_YMD_FMT& key);

// Re-writes every text field through its fixed-width setter, so a key that
// arrived with unterminated fields or a character cut at a field's edge is
// made whole before anything reads it.
void Normalize(HPHONPD_YMD_FMT* key);

}  // namespace payroll::run_key
