// The employee viewer's loaders: the amount decimals, the personnel record,
// the pay step with its amount, and the fixed pay items.
#include <algorithm>
#include <cstdlib>

#include "front/emp_form_layout.h"
#include "front/emp_view_dialog.h"
#include "platform/text/number_parse.h"
#include "platform/text/sql_text.h"
#include "platform/ui/afx.h"

namespace {

using payroll::sql::Esc;
namespace form = payroll::front::form;

constexpr const char* kDecimalsTemplate =
    "select CTR_CD, CTR_FG, CTR_NB, USE_YN, FG_TY from syscfg  where   CO_CD='%s' AND "
    "CTR_CD='06' ";

constexpr const char* kEmployeeTemplate =
    "SELECT A.EMP_CD , %s KOR_NM , A.NTPS_GR , A.HTIS_GR , (CASE A.EMIS_YN WHEN '001' THE"
    "N 'O' ELSE 'X' END) EMIS_YN , A.NAPS_AM ,A.HIFA_AM ,A.RSRG_NO, A.JOIN_DT, A.APED_YN,"
    " (CASE A.APED_YN WHEN '001' THEN 'O' ELSE 'X' END) NM91 , A.APED_DT, A.RPMC_DT, A.RT"
    "R_DT , A.FORG_NO, A.REFR_YN , %s NM1 ,  A.ENRL_FG , %s NM2 ,  A.EMPL_FG , %s NM3 ,  "
    "A.HRSP_CD , %s NM4 ,  A.HCLS_CD , %s NM5 ,  A.TDFR_SN , A.SUFR_SN , A.CHRS_SN , A.AG"
    "CT_SN , A.HDCP_SN , A.FESC_DT , A.SPUS_YN, (CASE A.SPUS_YN WHEN '001' THEN 'O' ELSE "
    "'X' END) NM11 , A.ABIN_YN, (CASE A.ABIN_YN WHEN '001' THEN 'O' ELSE 'X' END) NM12 , "
    "A.FEHR_YN, (CASE A.FEHR_YN WHEN '001' THEN 'O' ELSE 'X' END) NM13 , A.WMHH_YN, (CASE"
    " A.WMHH_YN WHEN '001' THEN 'O' ELSE 'X' END) NM14 , A.WKTG_YN, (CASE A.WKTG_YN WHEN "
    "'001' THEN 'O' ELSE 'X' END) NM15   FROM SEMP A , SCTRL_D H ,  SCTRL_D I ,  SCTRL_D "
    "J ,  SCTRL_D E ,  SCTRL_D G    WHERE A.CO_CD='%s' AND A.EMP_CD='%s' AND A.CO_CD*=H.C"
    "O_CD AND H.CTRL_CD='S2' AND A.REFR_YN*=H.CTD_CD AND A.CO_CD*=I.CO_CD AND I.CTRL_CD='"
    "HE' AND A.ENRL_FG*=I.CTD_CD AND A.CO_CD*=J.CO_CD AND J.CTRL_CD='G1' AND A.EMPL_FG*=J"
    ".CTD_CD AND A.CO_CD*=E.CO_CD AND E.CTRL_CD='G3' AND A.HRSP_CD*=E.CTD_CD AND A.CO_CD*"
    "=G.CO_CD AND G.CTRL_CD='G4' AND A.HCLS_CD*=G.CTD_CD  ";

constexpr const char* kPayStepTemplate =
    "SELECT A.PYST_GR , %s  NM1 ,  A.PYSP_FG , %s  NM2 ,  A.HRSP_CD , %s  NM3 ,  A.HOPR_C"
    "D , %s  NM4 ,  A.PRTY_CD , %s  NM5 ,  A.DEPT_CD , %s  NM6 ,  A.RSDC_FG , %s  NM7    "
    "FROM SEMP A ,   SCTRL_D K  ,  SCTRL_D L  ,  SCTRL_D D ,  SCTRL_D F , SCTRL_D C ,  SD"
    "EPT B  ,  SCTRL_D O WHERE A.CO_CD='%s' AND A.EMP_CD='%s' AND A.CO_CD*=K.CO_CD AND K."
    "CTRL_CD='PE' AND A.PYST_GR*=K.CTD_CD AND A.CO_CD*=L.CO_CD AND L.CTRL_CD='P5' AND A.P"
    "YSP_FG*=L.CTD_CD AND A.CO_CD*=D.CO_CD AND D.CTRL_CD='G2' AND A.HTYP_CD*=D.CTD_CD AND"
    " A.CO_CD*=F.CO_CD AND F.CTRL_CD='G5' AND A.HOPR_CD*=F.CTD_CD AND A.CO_CD*=C.CO_CD AN"
    "D C.CTRL_CD='O2' AND A.PRTY_CD*=C.CTD_CD AND A.CO_CD*=B.CO_CD AND\t\t\t\t\t A.DEPT_CD*=B."
    "DEPT_CD AND A.CO_CD*=O.CO_CD AND O.CTRL_CD='HH' AND A.RSDC_FG*=O.CTD_CD ";

constexpr const char* kPayStepSumTemplate =
    "SELECT SUM(PAY_AM) PAY_AM FROM HHCPYST WHERE CO_CD='%s' AND HCLS_CD='%s' AND PYST_CD"
    "='%s' AND ( (APST_YM<='%s' AND APED_YM>='%s') OR (APST_YM<='%s' AND APED_YM IS NULL "
    ") OR (APST_YM<='%s' AND APED_YM ='' ) ) ";

constexpr const char* kFixedPayTemplate =
    "SELECT %s CTD_NM, A.* FROM HPHFXPD A, SCTRL_D B WHERE   A.CO_CD='%s' AND  A.EMP_CD='"
    "%s' AND ( (A.CTST_YM<='%s' AND A.CTED_YM>='%s') OR (A.CTST_YM<='%s' AND A.CTED_YM IS"
    " NULL ) OR (A.CTST_YM<='%s' AND A.CTED_YM ='' ) ) AND A.CO_CD=B.CO_CD AND B.CTRL_CD="
    "'PD' AND A.FIXP_CD=B.CTD_CD";

}  // namespace

bool CEmpViewDlg::LoadDecimals() {
    CString sql;
    sql.Format(kDecimalsTemplate, Esc(m_Key.CO_CD.View()).c_str());
    if (!Run(m_Query, sql, "OnShowWindow")) return false;
    m_nDecimals = 0;
    if (m_Query.OnGetRecordCount() > 0) {
        int decimals = std::atoi(m_Query.OnGetFieldValue("CTR_NB", 0).c_str());
        m_nDecimals = std::clamp(decimals, 0, kMaxDecimals);
    }
    return true;
}

bool CEmpViewDlg::OpenData() {
    CString sql;
    sql.Format(kEmployeeTemplate, Name("A.KOR_NM").c_str(), Name("H.CTD_NM").c_str(),
               Name("I.CTD_NM").c_str(), Name("J.CTD_NM").c_str(), Name("E.CTD_NM").c_str(),
               Name("G.CTD_NM").c_str(), Esc(m_Key.CO_CD.View()).c_str(), Esc(m_strEmpCd).c_str());
    if (!Run(m_Query, sql, "OpenData")) return false;
    if (m_Query.OnGetRecordCount() <= 0) return true;
    auto put = [&](payroll::front::FormPlace at, const char* column) {
        m_Form.SetText(at.row, at.col, m_Query.OnGetFieldValue(column, 0).c_str(), 1);
    };
    put(form::kEmpCd, "EMP_CD");
    put(form::kKorNm, "KOR_NM");
    put(form::kRsrgNo, "RSRG_NO");
    put(form::kRefrName, "NM1");
    put(form::kForgNo, "FORG_NO");
    put(form::kJoinDt, "JOIN_DT");
    put(form::kApedFlag, "NM91");
    put(form::kApedDt, "APED_DT");
    put(form::kRpmcDt, "RPMC_DT");
    put(form::kRtrDt, "RTR_DT");
    put(form::kEnrlName, "NM2");
    put(form::kEmplName, "NM3");
    put(form::kHrspName, "NM4");
    m_strPayClass = m_Query.OnGetFieldValue("HCLS_CD", 0);
    put(form::kHclsName, "NM5");
    put(form::kSpusFlag, "NM11");
    put(form::kAbinFlag, "NM12");
    put(form::kTdfrSn, "TDFR_SN");
    put(form::kSufrSn, "SUFR_SN");
    put(form::kChrsSn, "CHRS_SN");
    put(form::kAgctSn, "AGCT_SN");
    put(form::kFehrFlag, "NM13");
    put(form::kHdcpSn, "HDCP_SN");
    put(form::kFescDt, "FESC_DT");
    put(form::kWmhhFlag, "NM14");
    put(form::kWktgFlag, "NM15");
    return true;
}

bool CEmpViewDlg::OpenData_2() {
    CString sql;
    sql.Format(kPayStepTemplate, Name("K.CTD_NM").c_str(), Name("L.CTD_NM").c_str(),
               Name("D.CTD_NM").c_str(), Name("F.CTD_NM").c_str(), Name("C.CTD_NM").c_str(),
               Name("B.DEPT_NM").c_str(), Name("O.CTD_NM").c_str(), Esc(m_Key.CO_CD.View()).c_str(),
               Esc(m_strEmpCd).c_str());
    if (!Run(m_Query, sql, "OpenData_2")) return false;
    if (m_Query.OnGetRecordCount() <= 0) return true;

    CString grade = m_Query.OnGetFieldValue("PYST_GR", 0);
    std::string company = Esc(m_Key.CO_CD.View()), month = Esc(m_Key.RVRS_YM.View());
    CString sum_sql;
    sum_sql.Format(kPayStepSumTemplate, company.c_str(), Esc(m_strPayClass).c_str(),
                   Esc(grade).c_str(), month.c_str(), month.c_str(), month.c_str(), month.c_str());
    if (!Run(m_PayStepQuery, sum_sql, "OpenData_2")) return false;

    CString amount;
    double pay = payroll::text::NumberOf(m_PayStepQuery.OnGetFieldValue("PAY_AM", 0).str());
    if (pay > 0) {
        CString won;
        HfxWon(&won, "%.*f", m_nDecimals, pay);
        amount.Format("(%s)", won.c_str());
    }
    CString step;
    step.Format("%s %s", m_Query.OnGetFieldValue("NM1", 0).c_str(), amount.c_str());

    auto put = [&](payroll::front::FormPlace at, const char* column) {
        m_Form.SetText(at.row, at.col, m_Query.OnGetFieldValue(column, 0).c_str(), 1);
    };
    put(form::kPyspName, "NM2");
    put(form::kHtypName, "NM3");
    put(form::kHoprName, "NM4");
    put(form::kPrtyName, "NM5");
    put(form::kDeptName, "NM6");
    m_Form.SetText(form::kPayStep.row, form::kPayStep.col, step.c_str(), 1);
    put(form::kRsdcName, "NM7");
    return true;
}

bool CEmpViewDlg::OpenData_3() {
    std::string month = Esc(m_Key.RVRS_YM.View());
    CString sql;
    sql.Format(kFixedPayTemplate, Name("B.CTD_NM").c_str(), Esc(m_Key.CO_CD.View()).c_str(),
               Esc(m_strEmpCd).c_str(), month.c_str(), month.c_str(), month.c_str(), month.c_str());
    if (!Run(m_Query, sql, "OpenData_3")) return false;
    long n = m_Query.OnGetRecordCount();
    if (n <= 0) return true;
    m_List.SetNumberRows(std::min(n, CG_UGCtrl::kMaxRows), TRUE, TRUE);
    for (long i = 0; i < m_List.GetNumberRows(); ++i) {
        m_List.QuickSetText(0, i, m_Query.OnGetFieldValue("CTD_NM", i).c_str());
        double fixed = payroll::text::NumberOf(m_Query.OnGetFieldValue("FIX_AM", i).str());
        CString amount;
        if (fixed > 0) amount.Format("%.*f", m_nDecimals, fixed);
        m_List.QuickSetText(1, i, amount.c_str());
    }
    return true;
}
