#include "engine/tax/result_record.h"

#include <cstring>

#include "platform/text/sql_text.h"

namespace payroll::result {
namespace {

struct CodeField {
    const char* code;
    AmountField field;
};

constexpr CodeField kDeductionFields[] = {
    {"S00", &HPOMNPY_FMT::HIFE_AM}, {"S10", &HPOMNPY_FMT::NAPE_AM}, {"S20", &HPOMNPY_FMT::DDCT_AM},
    {"T00", &HPOMNPY_FMT::INTX_AM}, {"S30", &HPOMNPY_FMT::RTTF_AM}, {"S40", &HPOMNPY_FMT::ACBN_AM},
    {"S50", &HPOMNPY_FMT::ETIN_AM}, {"T10", &HPOMNPY_FMT::RSTX_AM}, {"T20", &HPOMNPY_FMT::AGTX_AM},
};

}  // namespace

AmountField DeductionField(std::string_view code) {
    for (const CodeField& c : kDeductionFields)
        if (code == c.code) return c.field;
    return nullptr;
}

bool LoadsDeduction(std::string_view code, int mode) {
    if (!DeductionField(code)) return false;
    if ((mode == 1 || mode == 11) && (code == "T00" || code == "T10")) return false;
    return true;
}

std::vector<SummaryColumn> ReloadedColumns(int kind) {
    using R = HPOMNPY_FMT;
    if (kind == 2)
        return {{"TPAY_AM", &R::TPAY_AM},   {"TBON_AM", &R::TBON_AM}, {"SALY_AM", &R::SALY_AM},
                {"BONUS_AM", &R::BONUS_AM}, {"FGTE_AM", &R::FGTE_AM}, {"EWTE_AM", &R::EWTE_AM},
                {"AITE_AM", &R::AITE_AM},   {"ETTE_AM", &R::ETTE_AM}, {"FEDD_AM", &R::FEDD_AM},
                {"TXST_AM", &R::TXST_AM},   {"CCTX_AM", &R::CCTX_AM}, {"PFND_AM", &R::PFND_AM},
                {"DEXT_AM", &R::DEXT_AM},   {"SPIC_AM", &R::SPIC_AM}, {"ACBN_AM", &R::ACBN_AM},
                {"ETIN_AM", &R::ETIN_AM}};
    if (kind == 0)
        return {{"TXST_AM", &R::TXST_AM}, {"CCTX_AM", &R::CCTX_AM}, {"PFND_AM", &R::PFND_AM},
                {"DEXT_AM", &R::DEXT_AM}, {"SPIC_AM", &R::SPIC_AM}, {"AGTX_AM", &R::AGTX_AM},
                {"INTX_AM", &R::INTX_AM}, {"RSTX_AM", &R::RSTX_AM}, {"RTTF_AM", &R::RTTF_AM},
                {"ACBN_AM", &R::ACBN_AM}, {"ETIN_AM", &R::ETIN_AM}};
    return {};
}

void Clear(HPOMNPY_FMT* record) {
    if (record) std::memset(static_cast<void*>(record), 0, sizeof *record);
}

Filters FiltersOf(const HPHONPD_YMD_FMT& key, std::string_view pay_type) {
    Filters f;
    if (!(key.CCIS_YN == "001")) f.pay_type.Format("and PYTP_FG='%s' ", sql::Esc(pay_type).c_str());
    if (!(key.DIV_FILTER == "ALL"))
        f.division.Format("and DIV_CD='%s'  ", sql::Esc(key.DIV_FILTER.View()).c_str());
    if (!(key.DEPT_FILTER == "ALL"))
        f.department.Format("and DEPT_CD='%s'  ", sql::Esc(key.DEPT_FILTER.View()).c_str());
    if (!(key.PRTY_FILTER == "ALL"))
        f.party.Format("and PRTY_CD='%s'  ", sql::Esc(key.PRTY_FILTER.View()).c_str());
    return f;
}

CString StoredPayType(const HPHONPD_YMD_FMT& key) {
    return CString(key.CCIS_YN == "001" ? key.PYTP_HEAD.View() : key.PYTP_FG.View());
}

}  // namespace payroll::result
