#include "front/pay_run_list.h"

#include <cstring>

#include "payroll/datasource.h"
#include "payroll/fixed_text.h"
#include "platform/text/sql_text.h"

namespace payroll::front {

namespace {

constexpr const char* kPayRunTemplate =
    "SELECT  A.CO_CD, A.RVRS_YM, A.SQ, A.PAY_DT, A.CCIS_YN, B.PYTP_FG, %s NM1, %s NM2, "
    "B.RTCM_FG, B.JNCM_FG FROM  HPHPYFQ A INNER  JOIN HPHONPD B ON A.CO_CD=B.CO_CD AND  "
    "A.SQ=B.SQ AND  A.RVRS_YM=B.RVRS_YM LEFT  OUTER JOIN SCTRL_D S ON A.CO_CD =S.CO_CD AND  "
    "B.PYTP_FG=S.CTD_CD LEFT  OUTER JOIN SCTRL_D D ON A.CO_CD =D.CO_CD and  A.CCIS_YN=D.CTD_CD  "
    "WHERE  A.CO_CD = '%s'AND   A.RVRS_YM ='%s' AND   S.CTRL_CD ='P4' AND  D.CTRL_CD ='SC' "
    "ORDER BY A.PAY_DT, A.SQ ";

// Appends an item to a comma-joined list.
void Join(std::string* list, const std::string& item) {
    if (!list->empty()) *list += ',';
    *list += item;
}

}  // namespace

void ClearKey(HPHONPD_YMD_FMT* key) {
    if (key) std::memset(static_cast<void*>(key), 0, sizeof *key);
}

std::string PayTypeHead(std::string_view list) {
    return std::string(list.substr(0, Utf8PrefixLength(list, 3)));
}

void PayRunList::Add(const PayRunRecord& r) {
    const bool combined = r.ccis_yn == kCombinedRun;
    if (combined && count_ > 0 && r.sq == combined_sq_) {
        std::size_t i = static_cast<std::size_t>(count_ - 1);
        Join(&names_[i], r.nm1);
        Join(&types_[i], r.pytp_fg);
        rows_[i].NM1.Set(names_[i]);
        rows_[i].PYTP_LIST.Set(types_[i]);
    } else {
        if (combined) combined_sq_ = r.sq;
        HPHONPD_YMD_FMT row;
        ClearKey(&row);
        row.NM1.Set(r.nm1);
        row.PYTP_FG.Set(r.pytp_fg);
        row.PYTP_LIST.Set(r.pytp_fg);
        rows_.push_back(row);
        names_.push_back(r.nm1);
        types_.push_back(r.pytp_fg);
        ++count_;
    }
    HPHONPD_YMD_FMT& row = rows_[static_cast<std::size_t>(count_ - 1)];
    row.CO_CD.Set(r.co_cd);
    row.RVRS_YM.Set(r.rvrs_ym);
    row.PAY_DT.Set(r.pay_dt);
    row.SQ.Set(r.sq);
    row.CCIS_YN.Set(r.ccis_yn);
    row.NM2.Set(r.nm2);
    row.RTCM_FG.Set(r.rtcm_fg);
}

bool PayRunList::CopyTo(int p, HPHONPD_YMD_FMT* key) const {
    if (!key) return false;
    if (p < 0 || p >= count_) {
        ClearKey(key);
        return false;
    }
    const HPHONPD_YMD_FMT& row = rows_[static_cast<std::size_t>(p)];
    key->SEL_NO = p + 1;
    key->CO_CD = row.CO_CD;
    key->RVRS_YM = row.RVRS_YM;
    key->SQ = row.SQ;
    key->PAY_DT = row.PAY_DT;
    key->CCIS_YN = row.CCIS_YN;
    key->NM2 = row.NM2;
    key->PYTP_FG = row.PYTP_FG;
    key->NM1 = row.NM1;
    key->PYTP_LIST = row.PYTP_LIST;
    key->RTCM_FG = row.RTCM_FG;
    key->PYTP_HEAD.Set(PayTypeHead(row.PYTP_LIST.View()));
    return true;
}

CString PayRunStatement(bool use_main_names, const CString& company, const CString& month) {
    CString sql;
    sql.Format(kPayRunTemplate, use_main_names ? "S.CTD_NM" : "S.CTD_NMK",
               use_main_names ? "D.CTD_NM" : "D.CTD_NMK", sql::Esc(company).c_str(),
               sql::Esc(month).c_str());
    return sql;
}

bool QueryPayRuns(G_DataSource& query, const CString& sql, PayRunList* list) {
    if (!query.OnExecuteSQL(sql, CString())) return false;
    PayRunList out;
    long n = query.OnGetRecordCount();
    for (long i = 0; i < n; ++i) {
        auto field = [&](const char* column) { return query.OnGetFieldValue(column, i).str(); };
        PayRunRecord r;
        r.sq = field("SQ");
        r.ccis_yn = field("CCIS_YN");
        r.pytp_fg = field("PYTP_FG");
        r.co_cd = field("CO_CD");
        r.rvrs_ym = field("RVRS_YM");
        r.pay_dt = field("PAY_DT");
        r.nm1 = field("NM1");
        r.nm2 = field("NM2");
        r.rtcm_fg = field("RTCM_FG");
        out.Add(r);
    }
    if (list) *list = std::move(out);
    return true;
}

}  // namespace payroll::front
