// Run binding: init copies the run key and loads, for the run's company and
// year, the settings row, the yearly rate tables, the 'PC' limit codes and the
// definitions of the run's pay items.
#include <algorithm>
#include <climits>
#include <cstring>

#include "engine/common/binding.h"
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

namespace payroll::engine {

Status Bind(CSalaryCalcurate& e, HPHONPD_YMD_FMT* key, bool* bound) {
    *bound = false;
    std::memset(e.m_nRowCount, 0, sizeof e.m_nRowCount);
    e.m_nJoinStrict = 0;
    e.m_nRetireStrict = 0;
    e.m_nWithholding = 0;
    if (!key) return Status::Refused("", "");
    if (key != &e.m_HPHONPD) std::memcpy(&e.m_HPHONPD, key, sizeof e.m_HPHONPD);
    // A host may hand over fields without their terminator: make every field
    // whole before anything reads it.
    run_key::Normalize(&e.m_HPHONPD);

    HPHONPD_YMD_FMT& k = e.m_HPHONPD;
    // Without a head pay type the statutory rows of the month and sequence
    // (kept under that pay type) could not be told from the others'.
    if (k.PYTP_HEAD.IsEmpty()) {
        const CString text = TheLangUtil().GetLangString(kNoHeadPayType);
        ShowMessage(text);
        return Status::Refused("init", text.str());
    }
    if (k.DIV_FILTER.IsEmpty()) k.DIV_FILTER = "ALL";
    if (k.DEPT_FILTER.IsEmpty()) k.DEPT_FILTER = "ALL";
    if (k.PRTY_FILTER.IsEmpty()) k.PRTY_FILTER = "ALL";

    // Retire-date rule: a bonus pay type, not a combined run ("002") and the
    // retire-month rule "000".
    CString rule;
    rule.Format("%s%s%s", k.PYTP_FG.c_str(), k.CCIS_YN.c_str(), k.RTCM_FG.c_str());
    if (rule.Left(1) == "2" && rule.Mid(3, 3) == "002" && rule.Mid(6, 3) == "000")
        e.m_nRetireStrict = 1;
    if (k.JNCM_FG == "000") e.m_nJoinStrict = 1;

    bool loaded = false;
    Status status = LoadSettings(e, &loaded);
    if (!loaded) {
        ShowLangString(kSettingsFailed);
        return status;
    }
    status.Keep(LoadPayItems(e, &loaded));
    if (!loaded) {
        ShowLangString(kItemsFailed);
        return status;
    }
    *bound = true;
    return status;
}

Status LoadSettings(CSalaryCalcurate& e, bool* loaded) {
    *loaded = false;
    e.FreeBuffer();
    // A count that only sizes a table may fail and the load go on: the
    // status keeps it, unnamed.
    Status status;
    // A settings table's query has the number of its place of m_nRowCount.
    for (int index : {kSettingsRows, kTaxBracketRows, kBonusParameterRows, kLimitCodeRows}) {
        CString sql = e.GetQueryString(index);
        e.DspTRACE(sql, "GetQueryString ", 1);
        long rows = 0;
        status.Keep(Count(e.m_dsMain, sql, &rows));
        int count = ClampCount(rows);
        if (count == 0 && (index == kSettingsRows || index == kLimitCodeRows)) {
            CString table =
                TheLangUtil().GetLangString(index == kSettingsRows ? kNameShcfg : kNamePcCodes);
            e.m_strTrace = payroll::lang::FormatLangText(kSettingsMissing, {table.str()});
            AfxMessageBox(e.m_strTrace.c_str());
            status.Keep(Status::Refused("Load_DEFAULT", e.m_strTrace.str()));
            return status;
        }
        e.m_nRowCount[index] = count;

        if (index == kSettingsRows) {
            // The settings row stays open for the whole run.
            if (!e.m_dsDefault.OnExecuteSQL(sql)) {
                status.Keep(FailedOn("Load_DEFAULT 1 error", e.m_dsDefault));
                e.DspTRACE(sql, "Load_DEFAULT 1 error", 1);
                return status;
            }
        } else if (index == kTaxBracketRows) {
            // The tax-table brackets of the year, read by the bonus step.
            e.m_HPFSTIA.Allocate(static_cast<std::size_t>(count));
            if (!e.OpenFile_Whole(&e.m_dsMain, sql, e.m_HPFSTIA.data(),
                                  &e.m_nRowCount[kTaxBracketRows],
                                  LayoutOf<payroll::HpfstiaRecord>())) {
                status.Keep(FailedOn("Load_DEFAULT 3 error", e.m_dsMain));
                return status;
            }
        } else if (index == kBonusParameterRows) {
            // The year's bonus parameter row stays open for the bonus step; a
            // year without one leaves the source empty, so every parameter
            // reads as 0.
            if (!e.m_dsBonus.OnExecuteSQL(sql)) {
                status.Keep(FailedOn("Load_DEFAULT 4 error", e.m_dsBonus));
                e.DspTRACE(sql, "Load_DEFAULT 4 error", 1);
                return status;
            }
        } else {
            e.m_SCTRL_PC.Allocate(static_cast<std::size_t>(count));
            if (!e.OpenFile_Whole(&e.m_dsMain, sql, e.m_SCTRL_PC.data(),
                                  &e.m_nRowCount[kLimitCodeRows],
                                  LayoutOf<payroll::SctrlPcRecord>())) {
                status.Keep(FailedOn("Load_DEFAULT 5 error", e.m_dsMain));
                return status;
            }
        }
    }
    *loaded = true;
    return status;
}

Status LoadPayItems(CSalaryCalcurate& e, bool* loaded) {
    *loaded = false;
    const HPHONPD_YMD_FMT& k = e.m_HPHONPD;
    CString payType;
    payType.Format("PYTP_FG='%s' AND ", Esc(k.PYTP_FG.View()).c_str());
    CString sql;
    sql.Format(
        "select CO_CD\t, PYTP_FG , PYDD_FG , PYDD_CD ,   TAX_FG\t, TXEX_FG , CTOF_FG , AMDP_DP , "
        "  FTPY_YN , EXCP_YN , NFGC_YN , NFGA_AM ,  NFGF_DC , RTDD_YN , PRCT_FG , PRCT_RT ,  "
        "HIDD_YN , NPDD_YN , EIDD_YN , IDDD_YN ,  LMPY_YN , SHFG_YN  from HPMPDFM WHERE   "
        "CO_CD='%s' AND RVRS_YM='%s' AND %s PYDD_FG='P2' ",
        Esc(k.CO_CD.View()).c_str(), Esc(k.RVRS_YM.View().substr(0, 4)).c_str(), payType.c_str());

    e.m_HPMPDFM.Free();
    long rows = 0;
    // The count only sizes the table: when it fails, the load goes on with
    // none, and the status keeps it.
    Status status = Count(e.m_dsMain, sql, &rows);
    int count = ClampCount(rows);
    e.m_nRowCount[kPayItemRows] = count;
    e.m_HPMPDFM.Allocate(static_cast<std::size_t>(count));
    Status read = TracedQuery(e, e.m_dsMain, sql, "OpenHPMPDFM", "OpenHPMPDFM error", 0);
    if (!read.ok()) {
        status.Keep(std::move(read));
        return status;
    }

    long held = std::min<long>(e.m_dsMain.OnGetRecordCount(), count);
    for (long r = 0; r < held; ++r)
        CopyItem(e.m_dsMain, r, e.m_HPMPDFM.at(static_cast<std::size_t>(r)));
    *loaded = true;
    return status;
}

}  // namespace payroll::engine

int CSalaryCalcurate::init(HPHONPD_YMD_FMT* key) {
    bool bound = false;
    payroll::engine::Publish(payroll::engine::Bind(*this, key, &bound));
    return bound ? 1 : 0;
}

int CSalaryCalcurate::Load_DEFAULT() {
    bool loaded = false;
    payroll::engine::Publish(payroll::engine::LoadSettings(*this, &loaded));
    return loaded ? 1 : 0;
}

int CSalaryCalcurate::OpenHPMPDFM() {
    bool loaded = false;
    payroll::engine::Publish(payroll::engine::LoadPayItems(*this, &loaded));
    return loaded ? 1 : 0;
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
