// The join and retire rule codes of a picked run, from its own row.
#include "payroll/datasource.h"
#include "payroll/roads.h"
#include "platform/text/sql_text.h"

namespace payroll {

bool ApplyRunRules(HPHONPD_YMD_FMT* key, std::string* error) {
    if (!key) return false;
    if (!sql::IsSequence(key->SQ.Str())) {
        if (error) *error = "the run's sequence is not a number";
        return false;
    }
    const std::string head = key->PYTP_HEAD.IsEmpty() ? key->PYTP_FG.Str() : key->PYTP_HEAD.Str();
    const std::string text = "SELECT RTCM_FG, JNCM_FG FROM HPHONPD WHERE CO_CD='" +
                             sql::Esc(key->CO_CD.View()) + "' AND RVRS_YM='" +
                             sql::Esc(key->RVRS_YM.View()) + "' AND SQ=" + key->SQ.Str() +
                             " AND PYTP_FG='" + sql::Esc(std::string_view(head)) + "' ";
    G_DataSource row;
    if (!row.OnExecuteSQL(CString(text))) {
        if (error) *error = row.GetLastError().str();
        return false;
    }
    if (row.OnGetRecordCount() <= 0) return true;
    key->RTCM_FG = row.OnGetFieldValue("RTCM_FG", 0).str();
    key->JNCM_FG = row.OnGetFieldValue("JNCM_FG", 0).str();
    return true;
}

}  // namespace payroll
