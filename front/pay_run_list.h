// The pay runs of a month as the picker lists them: the query's records
// gathered into rows that have the layout of the run key, a combined run
// ("001") merged into one row naming all its pay types.
#pragma once

#include <string>
#include <vector>

#include "payroll/cstring.h"
#include "payroll/records.h"

class G_DataSource;

namespace payroll::front {

// The combined-run code: the pay types of the run are handled together.
inline constexpr const char* kCombinedRun = "001";
inline constexpr const char* kPickerTraceTag = "dlg_help";

// One record of the picker's statement.
struct PayRunRecord {
    std::string co_cd, rvrs_ym, sq, pay_dt, ccis_yn, pytp_fg, nm1, nm2, rtcm_fg;
};

class PayRunList {
  public:
    // Adds a record: merged into the current row when it continues the last
    // combined run, else a new row.
    void Add(const PayRunRecord& record);
    int size() const { return count_; }
    bool empty() const { return count_ == 0; }
    // Row i (0 <= i < size()).
    const HPHONPD_YMD_FMT& row(int i) const { return rows_.at(static_cast<std::size_t>(i)); }
    // Copies row p into the key: SEL_NO = p + 1 and the fields the picker
    // fills; the filters and JNCM_FG are not touched. With p outside the
    // list the whole key is cleared and false returned.
    bool CopyTo(int p, HPHONPD_YMD_FMT* key) const;

  private:
    std::vector<HPHONPD_YMD_FMT> rows_;
    // The joined names and pay types in full; the row fields hold them cut
    // to fit at a character boundary.
    std::vector<std::string> names_, types_;
    std::string combined_sq_;
    int count_ = 0;
};

// The picker's statement for a company and month (both escaped).
CString PayRunStatement(bool use_main_names, const CString& company, const CString& month);

// Runs the statement on `query` and gathers its records. False when the
// query failed (the list is then untouched).
bool QueryPayRuns(G_DataSource& query, const CString& sql, PayRunList* list);

// Clears all 1290 bytes of a key.
void ClearKey(HPHONPD_YMD_FMT* key);

// The first three characters of a pay-type list.
std::string PayTypeHead(std::string_view list);

}  // namespace payroll::front
