// The employee's result record (HPOMNPY_FMT) as the persistence step sees
// it: which field each fixed deduction code carries, which summary columns a
// reload copies back, the records of its whole-data reads, and the filters
// its statements share. Pure: no database in sight.
#pragma once

#include <string_view>
#include <vector>

#include "payroll/cstring.h"
#include "payroll/engine_tables.h"
#include "payroll/records.h"

namespace payroll::result {

using AmountField = double HPOMNPY_FMT::*;

// The record field a deduction code carries: S00 HIFE_AM, S10 NAPE_AM,
// S20 DDCT_AM, T00 INTX_AM, S30 RTTF_AM, S40 ACBN_AM, S50 ETIN_AM,
// T10 RSTX_AM, T20 AGTX_AM; nullptr for any other code.
AmountField DeductionField(std::string_view code);

// Whether a stored deduction row of this code is loaded into the record in
// this mode: modes 1 and 11 compute the income tax themselves, so their T00
// and T10 rows are not loaded.
bool LoadsDeduction(std::string_view code, int mode);

// The deduction rows the persistence step writes back, in this order.
inline constexpr const char* kWrittenCodes[4] = {"S00", "S10", "S20", "T00"};

// A summary column and the field it fills.
struct SummaryColumn {
    const char* name;
    AmountField field;
};

// The summary columns a reload of kind 2 (pay totals) or kind 0 (taxes)
// copies into the record; empty for any other kind.
std::vector<SummaryColumn> ReloadedColumns(int kind);

// Sets every amount of the record to 0 and EXCL_YN to 0.
void Clear(HPOMNPY_FMT* record);

// The clauses the persistence statements share; each is empty when it does
// not apply. Values are escaped.
struct Filters {
    CString pay_type;    // "and PYTP_FG='P' ", empty for a combined run (CCIS_YN "001")
    CString division;    // "and DIV_CD='X'  ", empty for "ALL"
    CString department;  // "and DEPT_CD='X'  ", empty for "ALL"
    CString party;       // "and PRTY_CD='X'  ", empty for "ALL"
};
Filters FiltersOf(const HPHONPD_YMD_FMT& key, std::string_view pay_type);

// The pay type a result row is stored under: the run's first pay type for a
// combined run (CCIS_YN "001"), else its pay type.
CString StoredPayType(const HPHONPD_YMD_FMT& key);

#pragma pack(push, 1)

// A stored deduction row as the reload reads it (41 bytes).
struct DeductionAmountRecord {
    FixedText<5> DDCT_CD;
    FixedText<19> DDCT_AM;
    FixedText<6> DIV_CD;
    FixedText<6> DEPT_CD;
    FixedText<5> PRTY_CD;
    static constexpr int kLayout[] = {5, 19, 6, 6, 5};
};

// A deduction code present for the employee (47 bytes).
struct DeductionCodeRecord {
    FixedText<5> DDCT_CD;
    FixedText<42> RMK_DC;
    static constexpr int kLayout[] = {5, 42};
};

#pragma pack(pop)

static_assert(sizeof(DeductionAmountRecord) == 41);
static_assert(sizeof(DeductionCodeRecord) == 47);

}  // namespace payroll::result
