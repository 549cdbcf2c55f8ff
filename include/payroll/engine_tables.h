// The engine's in-memory tables: typed, zero-filled blocks of fixed records.
// Each table is allotted for its rows plus five spare records, freed as a
// whole, and safe to free twice. Records read by a whole-data read carry the
// field widths of that read (kLayout), which fix the offsets the engine reads.
#pragma once

#include <cstddef>
#include <cstring>
#include <new>
#include <vector>

#include "payroll/fixed_text.h"

namespace payroll {

template <typename Record>
// A table of fixed records: one zero-filled block of rows + 5 records.
class RecordTable {
  public:
    // Replaces the table with rows + 5 zeroed records.
    void Allocate(std::size_t rows) {
        records_.assign(rows + kSpare, Record{});
        std::memset(static_cast<void*>(records_.data()), 0, records_.size() * sizeof(Record));
        allocated_ = true;
    }
    // Releases the table; a second call does nothing.
    void Free() {
        std::vector<Record>().swap(records_);
        allocated_ = false;
    }
    // True between Allocate and Free.
    bool allocated() const { return allocated_; }
    // Records available, spare ones included; 0 when not allotted.
    std::size_t capacity() const { return records_.size(); }
    // The first record, or null when the table is not allotted.
    Record* data() { return records_.empty() ? nullptr : records_.data(); }
    // The first record, or null when the table is not allotted.
    const Record* data() const { return records_.empty() ? nullptr : records_.data(); }
    // Bounds-checked access: nullptr outside the table.
    Record* at(std::size_t i) { return i < records_.size() ? &records_[i] : nullptr; }
    // The same, read-only.
    const Record* at(std::size_t i) const { return i < records_.size() ? &records_[i] : nullptr; }

    static constexpr std::size_t kSpare = 5;

  private:
    std::vector<Record> records_;
    bool allocated_ = false;
};

#pragma pack(push, 1)

// Pay types sharing the run's pay date.
struct PytpRecord {
    FixedText<4> PYTP_FG;
    FixedText<41> RMK_DC;
};

// Items attached to the run (pay items "P2" at place 0, deductions "P3" at 1).
struct DfmListRecord {
    FixedText<4> PYDD_CD;
    FixedText<4> TAX_FG;
    FixedText<99> DUMMY1;
};

// Existing pay or deduction rows of the run, from a whole-data read.
struct PayListRecord {
    FixedText<12> EMP_CD;
    FixedText<5> PAY_CD;  // PAY_CD or DDCT_CD
    FixedText<19> PAY_AM;
    FixedText<6> DIV_CD;
    FixedText<6> DEPT_CD;
    FixedText<12> PJT_CD;
    FixedText<22> DUMMY2;
    FixedText<5> PRTY_CD;
    static constexpr int kLayout[] = {12, 5, 19, 6, 6, 12, 22, 5};
};

// Pay totals per employee.
struct ChkPayRecord {
    FixedText<12> EMP_CD;
    FixedText<19> PAY_AM;
    static constexpr int kLayout[] = {12, 19};
};

// The pay-period window of one employee type of the run.
struct BHHAFF_FMT {
    FixedText<4> HTYP_CD;
    FixedText<4> PYSP_FG;
    FixedText<4> MNLT_FG;
    FixedText<9> TMST_DT;
    FixedText<9> BNST_DT;
    FixedText<9> BNED_DT;
};

// Simplified-table brackets of the year.
struct HpfstiaRecord {
    FixedText<5> CO_CD;
    FixedText<6> SQ;
    FixedText<19> TXSS_AM;  // byte 11
    FixedText<19> TXSE_AM;  // byte 30
    FixedText<19> AJMT_AM;  // byte 49
    static constexpr int kLayout[] = {5, 6, 19, 19, 19};
};

// The company's 'PC' control codes: exemption limits by code.
struct SctrlPcRecord {
    FixedText<5> CO_CD;
    FixedText<3> CTRL_CD;
    FixedText<5> MODULE_CD;
    FixedText<4> CTD_CD;  // byte 13
    FixedText<31> CTD_NM;
    FixedText<4> EDIT_YN;
    FixedText<4> USE_YN;
    FixedText<42> RMK_DC;  // byte 56: the code's amount
    FixedText<22> DUMMY1;
    FixedText<22> DUMMY2;
    FixedText<22> DUMMY3;
    static constexpr int kLayout[] = {5, 3, 5, 4, 31, 4, 4, 42, 22, 22, 22};
};

// Pay item definitions.
struct HpmpdfmRecord {
    FixedText<6> CO_CD;
    FixedText<5> PYTP_FG;
    FixedText<5> PYDD_FG;
    FixedText<5> PYDD_CD;
    FixedText<5> TAX_FG;
    FixedText<5> TXEX_FG;
    FixedText<5> CTOF_FG;
    FixedText<3> AMDP_DP;
    FixedText<5> FTPY_YN;
    FixedText<5> EXCP_YN;
    FixedText<5> NFGC_YN;
    FixedText<19> NFGA_AM;
    FixedText<257> NFGF_DC;
    FixedText<5> RTDD_YN;
    FixedText<5> PRCT_FG;
    FixedText<10> PRCT_RT;
    FixedText<5> HIDD_YN;
    FixedText<5> NPDD_YN;
    FixedText<5> EIDD_YN;
    FixedText<5> IDDD_YN;
    FixedText<5> LMPY_YN;
    FixedText<5> SHFG_YN;
};

// The run's roster, in employee-code order.
struct RosterRecord {
    FixedText<5> CO_CD;
    FixedText<11> EMP_CD;
    FixedText<31> KOR_NM;
    FixedText<4> PRTY_CD;
    FixedText<5> DEPT_CD;
    FixedText<11> PJT_CD;
    FixedText<4> HTYP_CD;
    FixedText<4> HRSP_CD;
    FixedText<4> HCLS_CD;
    FixedText<4> HOPR_CD;
    FixedText<4> PYSP_FG;
    FixedText<9> JOIN_DT;
    FixedText<9> RTR_DT;
    FixedText<4> ENRL_FG;
    FixedText<18> NAPS_AM;
    FixedText<18> HIFA_AM;
};

// Employees of the month checked by the leaver filter.
struct LeaverRecord {
    FixedText<12> EMP_CD;
    FixedText<10> JOIN_DT;  // byte 12
    FixedText<10> RTR_DT;   // byte 22
    FixedText<5> HTYP_CD;   // byte 32
    FixedText<5> MNLT_FG;
    FixedText<10> TMST_DT;
    FixedText<12> nFROM;  // byte 52
    FixedText<12> nTO;    // byte 64
    FixedText<4> CHK;     // byte 76: "1" marks a leaver
    static constexpr int kLayout[] = {12, 10, 10, 5, 5, 10, 12, 12, 4};
};

#pragma pack(pop)

static_assert(sizeof(PayListRecord) == 87);
static_assert(sizeof(ChkPayRecord) == 31);
static_assert(sizeof(HpfstiaRecord) == 68);
static_assert(sizeof(SctrlPcRecord) == 164);
static_assert(sizeof(HpmpdfmRecord) == 380);
static_assert(sizeof(LeaverRecord) == 80);

}  // namespace payroll
