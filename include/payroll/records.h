// The records the engine and the front exchange with the host. They are
// byte-packed with fixed sizes, so a host may hold and pass them as raw
// memory; every text field is a FixedText that stays NUL-terminated.
#pragma once

#include <cstdint>

#include "payroll/fixed_text.h"

#pragma pack(push, 1)

// The pay-run key: which run of which company and month, with its pay types,
// filters and rule codes. The front fills it; the engine reads it.
struct HPHONPD_YMD_FMT {
    std::int32_t SEL_NO;  // 1-based place in the picker's list; 0 when none is chosen
    payroll::FixedText<6> CO_CD;
    payroll::FixedText<10> RVRS_YM;  // YYYYMM
    payroll::FixedText<6> SQ;
    payroll::FixedText<10> PAY_DT;  // YYYYMMDD
    payroll::FixedText<6> CCIS_YN;  // "001": the run's pay types are handled together
    payroll::FixedText<100> NM2;
    payroll::FixedText<6> PYTP_FG;
    payroll::FixedText<200> PYTP_LIST;  // pay types joined by ","
    payroll::FixedText<6> PYTP_HEAD;
    payroll::FixedText<50> NM1;
    payroll::FixedText<56> DIV_FILTER;  // "ALL": no filter
    payroll::FixedText<60> DEPT_FILTER;
    payroll::FixedText<760> PRTY_FILTER;
    payroll::FixedText<5> RTCM_FG;
    // A three-byte field followed by a 16-bit tail in which a three-character
    // code keeps its terminator; read as one five-byte text.
    payroll::FixedText<5> JNCM_FG;
};

// One employee's result for one run: the amount columns of HPOMNPY in column
// order, then the exclusion flag.
struct HPOMNPY_FMT {
    double TPAY_AM, TBON_AM, SALY_AM, BONUS_AM, FGTE_AM, EWTE_AM, AITE_AM, ETTE_AM, FEDD_AM,
        TXST_AM, CCTX_AM, PFND_AM, DEXT_AM, SPIC_AM, AGTX_AM, INTX_AM, RSTX_AM, RTTF_AM, ACBN_AM,
        HIFE_AM, NAPE_AM, DDCT_AM, ETIN_AM;
    std::int32_t EXCL_YN;
    char reserved[104];  // carried with the record, not used
};

// Prior-period totals.
struct SALARY_TOTAL_x {
    double PAY_TOTAL;
    double TXST_TOTAL;
    double INTX_TOTAL;
};

// A date split into numbers; day_number is the serial day (0001-01-01 is 1).
struct YMD_FMT {
    std::int32_t year;
    std::int32_t month;
    std::int32_t day;
    std::int32_t day_number;
};

// One employee's master attributes as the tax steps need them.
struct SEMP_FMT {
    payroll::FixedText<12> EMP_CD;
    payroll::FixedText<5> PRTY_CD;
    payroll::FixedText<5> PYSP_FG;
    payroll::FixedText<6> CDIV_CD;
    payroll::FixedText<6> DEPT_CD;
    payroll::FixedText<12> PJT_CD;
    payroll::FixedText<5> HTYP_CD;
    payroll::FixedText<10> FESC_DT;
    payroll::FixedText<10> FESV_DT;
    payroll::FixedText<10> JOIN_DT;
    payroll::FixedText<10> RTR_DT;
    payroll::FixedText<5> SPUS_YN;
    payroll::FixedText<4> TDFR_SN;
    payroll::FixedText<4> SUFR_SN;
    payroll::FixedText<5> EMIS_YN;
    payroll::FixedText<5> REFR_YN;
    payroll::FixedText<19> NAPS_AM;
    payroll::FixedText<19> HIFA_AM;
    payroll::FixedText<5> HRSP_CD;
    payroll::FixedText<5> HCLS_CD;
    payroll::FixedText<5> HOPR_CD;
    payroll::FixedText<42> RMK_DC;
    payroll::FixedText<5> DIV_TO_CD;
    payroll::FixedText<22> DUMMY2;
    payroll::FixedText<22> DUMMY3;
};

#pragma pack(pop)

static_assert(sizeof(HPHONPD_YMD_FMT) == 1290, "the run key is 1290 bytes");
static_assert(sizeof(HPOMNPY_FMT) == 292, "the result record is 292 bytes");
static_assert(sizeof(SALARY_TOTAL_x) == 24);
static_assert(sizeof(YMD_FMT) == 16);
static_assert(sizeof(SEMP_FMT) == 258, "the employee record is 258 bytes");
