// Run binding: init copies the run key and loads, for the run's company and
// year, the settings row, the yearly rate tables, the 'PC' limit codes and the
// definitions of the run's pay items.
#include <algorithm>
#include <climits>
#include <cstring>

#include "engine/common/messages.h"
#include "engine/common/record_layout.h"
#include "engine/common/row_counts.h"
#include "engine/common/run_key.h"
#include "engine/common/statements.h"
#include "payroll/salary_calcurate.h"
#include "platform/lang/lang_util.h"
#include "platform/text/sql_text.h"
#include "platform/ui/afx.h"

namespace {

using payroll::engine::kBonusParameterRows;
using payroll::engine::kLimitCodeRows;
using payroll::engine::kPayItemRows;
using payroll::engine::kSettingsRows;
using payroll::engine::kTaxBracketRows;
using payroll::engine::LayoutOf;
using payroll::sql::Esc;

// Language texts naming the table a settings error is about.
constexpr int kSettingsMissing = 1014;
constexpr int kNameShcfg = 1010;
constexpr int kNamePcCodes = 1013;
constexpr int kSettingsFailed = 1009;
constexpr int kItemsFailed = 1008;
constexpr int kNoHeadPayType = 1200;

int ClampCount(long count) {
    if (count < 0) return 0;
    return count > INT_MAX - 16 ? INT_MAX - 16 : static_cast<int>(count);
}

void ShowLangString(int id) {
    AfxMessageBox(TheLangUtil().GetLangString(id).c_str());
}

// One column of an item definition and the field it is copied into.
struct ItemColumn {
    const char* name;
    char* field;
    std::size_t width;
};

template <std::size_t N>
ItemColumn ItemCol(const char* name, payroll::FixedText<N>& field) {
    return {name, field.data, N};
}

void CopyItem(const G_DataSource& rows, long row, payroll::HpmpdfmRecord* r) {
    const ItemColumn columns[] = {
        ItemCol("CO_CD", r->CO_CD),     ItemCol("PYTP_FG", r->PYTP_FG),
        ItemCol("PYDD_FG", r->PYDD_FG), ItemCol("PYDD_CD", r->PYDD_CD),
        ItemCol("TAX_FG", r->TAX_FG),   ItemCol("TXEX_FG", r->TXEX_FG),
        ItemCol("CTOF_FG", r->CTOF_FG), ItemCol("AMDP_DP", r->AMDP_DP),
        ItemCol("FTPY_YN", r->FTPY_YN), ItemCol("EXCP_YN", r->EXCP_YN),
        ItemCol("NFGC_YN", r->NFGC_YN), ItemCol("NFGA_AM", r->NFGA_AM),
        ItemCol("NFGF_DC", r->NFGF_DC), ItemCol("RTDD_YN", r->RTDD_YN),
        ItemCol("PRCT_FG", r->PRCT_FG), ItemCol("PRCT_RT", r->PRCT_RT),
        ItemCol("HIDD_YN", r->HIDD_YN), ItemCol("NPDD_YN", r->NPDD_YN),
        ItemCol("EIDD_YN", r->EIDD_YN), ItemCol("IDDD_YN", r->IDDD_YN),
        ItemCol("LMPY_YN", r->LMPY_YN), ItemCol("SHFG_YN", r->SHFG_YN),
    };
    for (const ItemColumn& c : columns)
        payroll::CopyToField(c.field, c.width, rows.OnGetFieldValue(c.name, row).str());
}

}  // namespace

int CSalaryCalcurate::init(HPHONPD_YMD_FMT* key) {
    std::memset(m_nRowCount, 0, sizeof m_nRowCount);
    m_nJoinStrict = 0;
    m_nRetireStrict = 0;
    if (!key) return 0;
    if (key != &m_HPHONPD) std::memcpy(&m_HPHONPD, key, sizeof m_HPHONPD);
    // A host may hand over fields without their terminator: make every field
    // whole before anything reads it.
    payroll::run_key::Normalize(&m_HPHONPD);

    HPHONPD_YMD_FMT& k = m_HPHONPD;
    // Without a head pay type the statutory rows of the month and sequence
    // (kept under that pay type) could not be told from the others'.
    if (k.PYTP_HEAD.IsEmpty()) {
        const CString text = TheLangUtil().GetLangString(kNoHeadPayType);
        payroll::engine::NoteFailure("init", text);
        payroll::engine::ShowMessage(text);
        return 0;
    }
    if (k.DIV_FILTER.IsEmpty()) k.DIV_FILTER = "ALL";
    if (k.DEPT_FILTER.IsEmpty()) k.DEPT_FILTER = "ALL";
    if (k.PRTY_FILTER.IsEmpty()) k.PRTY_FILTER = "ALL";

    // Retire-date rule: a bonus pay type, not a combined run ("002") and the
    // retire-month rule "000".
    CString rule;
    rule.Format("%s%s%s", k.PYTP_FG.c_str(), k.CCIS_YN.c_str(), k.RTCM_FG.c_str());
    if (rule.Left(1) == "2" && rule.Mid(3, 3) == "002" && rule.Mid(6, 3) == "000")
        m_nRetireStrict = 1;
    if (k.JNCM_FG == "000") m_nJoinStrict = 1;

    if (!Load_DEFAULT()) {
        ShowLangString(kSettingsFailed);
        return 0;
    }
    if (!OpenHPMPDFM()) {
        ShowLangString(kItemsFailed);
        return 0;
    }
    return 1;
}

CString CSalaryCalcurate::GetQueryString(int index) {
    const HPHONPD_YMD_FMT& k = m_HPHONPD;
    const std::string company = Esc(k.CO_CD.View());
    const std::string year = Esc(k.RVRS_YM.View().substr(0, 4));
    CString sql;
    switch (index) {
        case 0:
            sql.Format(
                "select CO_CD   , MNST_DN , AVMS_TM , DYST_DN , FYRV_DN , MNDC_CD , JNCM_FG , "
                "RTCM_FG , JPCC_DN , RPCC_DN , APPC_DN , APPP_MC , APCM_FG , EMIN_RT , PRCT_RT , "
                "FGTE_RT , DUMMY1, NAPE_CD, DUMMY3 from SHCFG where   CO_CD='%s' ",
                company.c_str());
            break;
        case 1:
            sql.Format("select CO_CD, PYTP_FG, PYOF_YN, PAY_RT from HPMTRPY where CO_CD='%s' ",
                       company.c_str());
            break;
        case 2:
            sql.Format(
                "SELECT * FROM HPHWTPT  WHERE   CO_CD='%s' AND RVRS_YM ='%s' AND SQ='%s' AND "
                "PYTP_FG like '2%%' ",
                company.c_str(), Esc(k.RVRS_YM.View()).c_str(), Esc(k.SQ.View()).c_str());
            break;
        case 3:
            sql.Format(
                "select  CO_CD, SQ, TXSS_AM, TXSE_AM ,AJMT_AM from HPFSTIA  where co_cd='0000' "
                "AND RVRS_YY='%s' ",
                year.c_str());
            break;
        case 4:
            sql.Format("select * from HPMLBEC where   co_cd='0000' AND RVRS_YY='%s' ",
                       year.c_str());
            break;
        case 5:
            sql.Format(
                "select CO_CD, CTRL_CD, MODULE_CD, CTD_CD, CTD_NM, EDIT_YN, USE_YN, RMK_DC, "
                "DUMMY1, DUMMY2, DUMMY3 from SCTRL_D WHERE CO_CD='%s' AND CTRL_CD='PC' ",
                company.c_str());
            break;
        default:
            break;
    }
    return sql;
}

int CSalaryCalcurate::Load_DEFAULT() {
    FreeBuffer();
    // A settings table's query has the number of its place of m_nRowCount.
    for (int index : {kSettingsRows, kTaxBracketRows, kBonusParameterRows, kLimitCodeRows}) {
        CString sql = GetQueryString(index);
        DspTRACE(sql, "GetQueryString ", 1);
        int count = ClampCount(m_dsMain.OnGetBulkRecordCount(sql));
        if (count == 0 && (index == kSettingsRows || index == kLimitCodeRows)) {
            CString table =
                TheLangUtil().GetLangString(index == kSettingsRows ? kNameShcfg : kNamePcCodes);
            m_strTrace = payroll::lang::FormatLangText(kSettingsMissing, {table.str()});
            payroll::engine::NoteFailure("Load_DEFAULT", m_strTrace);
            AfxMessageBox(m_strTrace.c_str());
            return 0;
        }
        m_nRowCount[index] = count;

        if (index == kSettingsRows) {
            // The settings row stays open for the whole run.
            if (!m_dsDefault.OnExecuteSQL(sql)) {
                payroll::engine::NoteFailure("Load_DEFAULT 1 error", m_dsDefault.GetLastError());
                DspTRACE(sql, "Load_DEFAULT 1 error", 1);
                return 0;
            }
        } else if (index == kTaxBracketRows) {
            // The tax-table brackets of the year, read by the bonus step.
            m_HPFSTIA.Allocate(static_cast<std::size_t>(count));
            if (!OpenFile_Whole(&m_dsMain, sql, m_HPFSTIA.data(), &m_nRowCount[kTaxBracketRows],
                                LayoutOf<payroll::HpfstiaRecord>())) {
                payroll::engine::NoteFailure("Load_DEFAULT 3 error", m_dsMain.GetLastError());
                return 0;
            }
        } else if (index == kBonusParameterRows) {
            // The year's bonus parameter row stays open for the bonus step; a
            // year without one leaves the source empty, so every parameter
            // reads as 0.
            if (!m_dsBonus.OnExecuteSQL(sql)) {
                payroll::engine::NoteFailure("Load_DEFAULT 4 error", m_dsBonus.GetLastError());
                DspTRACE(sql, "Load_DEFAULT 4 error", 1);
                return 0;
            }
        } else {
            m_SCTRL_PC.Allocate(static_cast<std::size_t>(count));
            if (!OpenFile_Whole(&m_dsMain, sql, m_SCTRL_PC.data(), &m_nRowCount[kLimitCodeRows],
                                LayoutOf<payroll::SctrlPcRecord>())) {
                payroll::engine::NoteFailure("Load_DEFAULT 5 error", m_dsMain.GetLastError());
                return 0;
            }
        }
    }
    return 1;
}

int CSalaryCalcurate::OpenHPMPDFM() {
    const HPHONPD_YMD_FMT& k = m_HPHONPD;
    CString payType;
    payType.Format("PYTP_FG='%s' AND ", Esc(k.PYTP_FG.View()).c_str());
    CString sql;
    sql.Format(
        "select CO_CD\t, PYTP_FG , PYDD_FG , PYDD_CD ,   TAX_FG\t, TXEX_FG , CTOF_FG , AMDP_DP , "
        "  FTPY_YN , EXCP_YN , NFGC_YN , NFGA_AM ,  NFGF_DC , RTDD_YN , PRCT_FG , PRCT_RT ,  "
        "HIDD_YN , NPDD_YN , EIDD_YN , IDDD_YN ,  LMPY_YN , SHFG_YN  from HPMPDFM WHERE   "
        "CO_CD='%s' AND RVRS_YM='%s' AND %s PYDD_FG='P2' ",
        Esc(k.CO_CD.View()).c_str(), Esc(k.RVRS_YM.View().substr(0, 4)).c_str(), payType.c_str());

    m_HPMPDFM.Free();
    int count = ClampCount(m_dsMain.OnGetBulkRecordCount(sql));
    m_nRowCount[kPayItemRows] = count;
    m_HPMPDFM.Allocate(static_cast<std::size_t>(count));
    if (!payroll::engine::TracedQuery(*this, m_dsMain, sql, "OpenHPMPDFM", "OpenHPMPDFM error", 0)
             .ok())
        return 0;

    long rows = std::min<long>(m_dsMain.OnGetRecordCount(), count);
    for (long r = 0; r < rows; ++r)
        CopyItem(m_dsMain, r, m_HPMPDFM.at(static_cast<std::size_t>(r)));
    return 1;
}
