#include "engine/build/refresh_text.h"

#include "payroll/cstring.h"
#include "platform/text/sql_text.h"

namespace payroll::refresh {
namespace {

using sql::Escape;

constexpr const char* kDeletes[5] = {
    "DELETE FROM HPITMPD WHERE CO_CD='%s' AND RVRS_YM='%s'%s AND (%s) \n ",
    "DELETE FROM HPITMDD WHERE CO_CD='%s' AND RVRS_YM='%s'%s AND (%s) \n ",
    "DELETE FROM HPOMPPD WHERE CO_CD='%s' AND RVRS_YM='%s'%s AND (%s) \n ",
    "DELETE FROM HPOMPDD WHERE CO_CD='%s' AND RVRS_YM='%s'%s AND (%s) \n ",
    "DELETE FROM HPOMNPY WHERE CO_CD='%s' AND RVRS_YM='%s'%s AND (%s) \n ",
};

constexpr const char* kLeaverQuery =
    "SELECT  A.EMP_CD , B.JOIN_DT, B.RTR_DT, B.HTYP_CD, str( '', 3) MNLT_FG, str('', 8) "
    "TMST_DT, str( '',10 ) nFROM , str( '',10 ) nTO , str( '',2 ) CHK FROM  ( SELECT CO_CD, "
    "EMP_CD, DIV_CD, DEPT_CD,RVRS_YM FROM %s WHERE CO_CD='%s' AND RVRS_YM='%s'%s UNION SELECT "
    "CO_CD, EMP_CD, DIV_CD, DEPT_CD,RVRS_YM FROM %s WHERE CO_CD='%s' AND RVRS_YM='%s'%s UNION "
    "SELECT CO_CD, EMP_CD, DIV_CD, DEPT_CD,RVRS_YM FROM HPOMNPY WHERE CO_CD='%s' AND "
    "RVRS_YM='%s'%s )A, ( SELECT A.EMP_CD, A.HTYP_CD, CASE WHEN (A.JOIN_DT IS NULL OR A.JOIN_DT = "
    "''  OR LEN(A.JOIN_DT) != 8 ) THEN  '00000000' ELSE A.JOIN_DT END AS JOIN_DT, CASE WHEN "
    "(A.RTR_DT IS NULL OR  A.RTR_DT = ''  OR LEN(A.RTR_DT) != 8 ) THEN  '00000000' ELSE "
    "A.RTR_DT END AS RTR_DT FROM\tSEMP A  WHERE\tA.CO_CD='%s' AND (\t(A.RTR_DT IS NOT NULL AND "
    "LEN(A.RTR_DT)=8 AND A.RTR_DT <> '00000000')\tOR \t(A.JOIN_DT IS NOT NULL AND "
    "LEN(A.JOIN_DT)=8 AND A.JOIN_DT <> '00000000'\t) ) )B WHERE A.EMP_CD = B.EMP_CD  GROUP BY "
    "A.EMP_CD, B.JOIN_DT, B.RTR_DT, B.HTYP_CD ";

constexpr const char* kRefreshRows =
    "UPDATE %s  SET \t DIV_CD = C.DIV_CD , DEPT_CD= B.DEPT_CD, PJT_CD = B.PJT_CD,  PRTY_CD= "
    "B.PRTY_CD, DUMMY2 = B.HRSP_CD FROM %s A,SEMP B, SDEPT C WHERE A.CO_CD  = B.CO_CD AND "
    "A.CO_CD  = C.CO_CD AND A.EMP_CD = B.EMP_CD AND B.DEPT_CD=C.DEPT_CD AND A.CO_CD  = '%s' AND "
    "A.RVRS_YM = '%s' AND A.SQ=%s %s ";

constexpr const char* kRefreshTaxFlag =
    "UPDATE %s SET DUMMY3=B.TAX_FG FROM %s A , HPMPDFM B WHERE  A.CO_CD='%s' AND A.RVRS_YM='%s' "
    "AND A.SQ=%s  %s AND A.PYDD_FG='P2' AND A.CO_CD=B.CO_CD AND B.RVRS_YM='%s' AND "
    "A.PYTP_FG=B.PYTP_FG AND  A.PYDD_FG=B.PYDD_FG AND A.PAY_CD=B.PYDD_CD ";

constexpr const char* kRefreshResults =
    "UPDATE %s  SET \t DIV_CD = C.DIV_CD , DEPT_CD= B.DEPT_CD, PJT_CD = B.PJT_CD,  "
    "HTYP_CD=B.HTYP_CD,  HRSP_CD=B.HRSP_CD,  HCLS_CD=B.HCLS_CD,  HOPR_CD=B.HOPR_CD,  PYSP_FG= "
    "B.PYSP_FG,  PRTY_CD=B.PRTY_CD FROM %s A,SEMP B, SDEPT C WHERE A.CO_CD  = B.CO_CD AND "
    "A.CO_CD  = C.CO_CD AND A.EMP_CD = B.EMP_CD AND B.DEPT_CD=C.DEPT_CD AND A.CO_CD  = '%s' AND "
    "A.RVRS_YM = '%s' AND A.SQ=%s %s ";

}  // namespace

bool IsLeaver(int join, int retire, int from, int to, bool join_strict, bool retire_strict) {
    if (retire > 0 && (retire_strict ? retire <= to : retire < from)) return true;
    return join > 0 && (join_strict ? join >= from : join > to);
}

void AppendEmployee(std::string* list, std::string_view employee) {
    if (!list->empty()) *list += " OR ";
    *list += "EMP_CD='";
    *list += sql::Escape(employee);
    *list += "' ";
}

std::string RunRowsCondition(const std::string& sq, const std::vector<std::string>& pay_types) {
    std::string out = " AND SQ=" + sq + " AND PYTP_FG IN (";
    for (std::size_t i = 0; i < pay_types.size(); ++i)
        out += (i ? ",'" : "'") + Escape(pay_types[i]) + "'";
    // A run without pay types has no rows to name.
    if (pay_types.empty()) out += "''";
    return out + ")";
}

std::string LeaverDeleteText(const std::string& company, const std::string& month,
                             const std::string& run_condition, const std::string& list,
                             int table_set) {
    const std::string co = Escape(company), ym = Escape(month);
    std::string out;
    for (int t = table_set == 0 ? 0 : 2; t < 5; ++t) {
        CString one;
        one.Format(kDeletes[t], co.c_str(), ym.c_str(), run_condition.c_str(), list.c_str());
        out += one.str();
    }
    return out;
}

std::string LeaverQuery(const std::string& pay_table, const std::string& deduction_table,
                        const std::string& company, const std::string& month,
                        const std::string& run_condition) {
    const std::string co = Escape(company), ym = Escape(month);
    const char* run = run_condition.c_str();
    CString text;
    text.Format(kLeaverQuery, pay_table.c_str(), co.c_str(), ym.c_str(), run,
                deduction_table.c_str(), co.c_str(), ym.c_str(), run, co.c_str(), ym.c_str(), run,
                co.c_str());
    return std::move(text.str());
}

std::string PayTypeCondition(bool combined, const std::string& pay_type) {
    if (combined) return "";
    CString text;
    text.Format("AND A.PYTP_FG='%s' ", Escape(pay_type).c_str());
    return std::move(text.str());
}

std::string RefreshText(RefreshTable kind, const std::string& table, const std::string& company,
                        const std::string& month, const std::string& sq,
                        const std::string& pay_type_condition, const std::string& year) {
    const std::string co = Escape(company), ym = Escape(month);
    const char* t = table.c_str();
    CString text;
    text.Format(kind == RefreshTable::kResults ? kRefreshResults : kRefreshRows, t, t, co.c_str(),
                ym.c_str(), sq.c_str(), pay_type_condition.c_str());
    if (kind == RefreshTable::kPay)
        text.AppendFormat(kRefreshTaxFlag, t, t, co.c_str(), ym.c_str(), sq.c_str(),
                          pay_type_condition.c_str(), Escape(year).c_str());
    return std::move(text.str());
}

}  // namespace payroll::refresh
