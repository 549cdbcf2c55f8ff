// Pay-period windows of a run, one per employee type, and the date helpers
// built on the engine's calendar.
#include <string>

#include "engine/common/binding.h"
#include "engine/common/calendar.h"
#include "engine/common/messages.h"
#include "engine/common/statements.h"
#include "payroll/salary_calcurate.h"
#include "platform/lang/lang_util.h"
#include "platform/text/sql_text.h"
#include "platform/ui/afx.h"

namespace {

using payroll::sql::Esc;

constexpr int kBadWindowKind = 1020;
constexpr int kNoWindows = 1021;

CString Text(const G_DataSource& rows, const char* column, long row) {
    return rows.OnGetFieldValue(column, row);
}

}  // namespace

namespace payroll::engine {

Status PayWindows(CSalaryCalcurate& e) {
    e.Free_m_BHHAFF();
    const HPHONPD_YMD_FMT& k = e.m_HPHONPD;
    const std::string company = Esc(k.CO_CD.View());
    const std::string month = Esc(k.RVRS_YM.View());
    const std::string sq = Esc(k.SQ.View());
    const std::string payType = Esc(k.PYTP_FG.View());
    CString sql;

    if (k.PYTP_FG.View().substr(0, 1) == "2") {
        // Bonus runs: the windows stand in the run's bonus-period rows.
        sql.Format(
            "SELECT * FROM HPHWTPT  WHERE   CO_CD='%s' AND RVRS_YM ='%s' AND SQ='%s' AND "
            "PYTP_FG='%s' ",
            company.c_str(), month.c_str(), sq.c_str(), payType.c_str());
        if (Status read =
                TracedQuery(e, e.m_dsMain, sql, "SetYmdFromTo 1 ", "SetYmdFromTo 1 error", 0);
            !read.ok())
            return read;
        long rows = e.m_dsMain.OnGetRecordCount();
        e.m_BHHAFF.Allocate(static_cast<std::size_t>(rows));
        for (long r = 0; r < rows; ++r) {
            payroll::BHHAFF_FMT* w = e.m_BHHAFF.at(static_cast<std::size_t>(r));
            w->HTYP_CD = Text(e.m_dsMain, "HTYP_CD", r).str();
            w->PYSP_FG = Text(e.m_dsMain, "PYSP_FG", r).str();
            w->BNST_DT = Text(e.m_dsMain, "BNST_DT", r).str();
            w->BNED_DT = Text(e.m_dsMain, "BNED_DT", r).str();
        }
    } else {
        // Other runs: the windows follow from each employee type's monthly
        // cut-off and the run month. The rows go to a source of their own so
        // that those held by the main source stay.
        sql.Format(
            "SELECT B.CO_CD, B.HTYP_CD, A.PYSP_FG , B.MNLT_FG, B.TMST_DT FROM  (\t SELECT HTYP_CD, "
            "PYSP_FG  FROM HPHWTPT   WHERE   CO_CD='%s' AND  RVRS_YM ='%s' AND  SQ='%s' AND  "
            "PYTP_FG='%s'  GROUP BY HTYP_CD, PYSP_FG  ) A, (\t select  CO_CD, HTYP_CD, MNLT_FG, "
            "TMST_DT  from HHFAACC  where CO_CD='%s'   ) B WHERE A.HTYP_CD=B.HTYP_CD ",
            company.c_str(), month.c_str(), sq.c_str(), payType.c_str(), company.c_str());
        G_DataSource& source = e.m_dsCalcA[0];
        if (Status read = TracedQuery(e, source, sql, "SetYmdFromTo 2 ", "SetYmdFromTo 2 error", 0);
            !read.ok())
            return read;
        long rows = source.OnGetRecordCount();
        e.m_BHHAFF.Allocate(static_cast<std::size_t>(rows));
        const std::string runMonth(k.RVRS_YM.View());
        const int year = payroll::calendar::AtoiSlice(runMonth, 0, 4);
        const int monthOfYear = payroll::calendar::AtoiSlice(runMonth, 4, 2);
        for (long r = 0; r < rows; ++r) {
            payroll::BHHAFF_FMT* w = e.m_BHHAFF.at(static_cast<std::size_t>(r));
            w->HTYP_CD = Text(source, "HTYP_CD", r).str();
            w->PYSP_FG = Text(source, "PYSP_FG", r).str();
            w->MNLT_FG = Text(source, "MNLT_FG", r).str();
            w->TMST_DT = Text(source, "TMST_DT", r).str();
            int kind = 0;
            if (w->MNLT_FG == "001")
                kind = 1;
            else if (w->MNLT_FG == "002")
                kind = 2;
            if (kind == 0) {
                e.m_strTrace = TheLangUtil().GetLangString(kBadWindowKind);
                AfxMessageBox(e.m_strTrace.c_str());
                return Status::Refused("SetYmdFromTo", e.m_strTrace.str());
            }
            const int cutoff = payroll::calendar::AtoiSlice(w->TMST_DT.Str(), 0, std::string::npos);
            CString start, end;
            e.GetPriceYearSelete(kind, cutoff, year, monthOfYear, &start, &end);
            w->BNST_DT = start.str();
            w->BNED_DT = end.str();
        }
    }

    if (e.m_BHHAFF.capacity() <= payroll::RecordTable<payroll::BHHAFF_FMT>::kSpare) {
        const CString text = TheLangUtil().GetLangString(kNoWindows);
        AfxMessageBox(text.c_str());
        return Status::Refused("SetYmdFromTo", text.str());
    }
    return Status();
}

}  // namespace payroll::engine

int CSalaryCalcurate::SetYmdFromTo() {
    return payroll::engine::Publish(payroll::engine::PayWindows(*this)) ? 1 : 0;
}

void CSalaryCalcurate::GetPriceYearSelete(int kind, int cutoff, int year, int month, CString* start,
                                          CString* end) {
    std::string from, to;
    payroll::calendar::PayWindow(kind, cutoff, year, month, &from, &to);
    // The month table follows the year of the last month looked at, which is
    // the month the window ends in.
    if (to != "00000000") SetYear(payroll::calendar::AtoiSlice(to, 0, 4));
    if (start) *start = from;
    if (end) *end = to;
}

CString CSalaryCalcurate::GetYmdtoYmd(int position) {
    CString none("  ");  // not const: each return moves it
    if (position < 0) return none;
    const SEMP_FMT* employee = m_SEMP_ALL.at(static_cast<std::size_t>(position));
    if (!employee || employee->HTYP_CD.IsEmpty()) return none;
    for (std::size_t i = 0; i < m_BHHAFF.capacity(); ++i) {
        const payroll::BHHAFF_FMT* e = m_BHHAFF.at(i);
        if (e->HTYP_CD.IsEmpty() || e->HTYP_CD.View() != employee->HTYP_CD.View()) continue;
        return CString(payroll::calendar::ZeroPad8(e->BNST_DT.Str()) +
                       payroll::calendar::ZeroPad8(e->BNED_DT.Str()));
    }
    return none;
}

void CSalaryCalcurate::GetStringToYMD_FMT(CString text, YMD_FMT* out) {
    if (!out) return;
    out->year = out->month = out->day = out->day_number = 0;
    const std::string& t = text.str();
    if (t.size() != 6 && t.size() != 8) return;
    out->year = payroll::calendar::AtoiSlice(t, 0, 4);
    out->month = payroll::calendar::AtoiSlice(t, 4, 2);
    if (t.size() == 8) {
        out->day = payroll::calendar::AtoiSlice(t, 6, 2);
        out->day_number = GetDayNumber(out->year, out->month, out->day);
    }
}

int CSalaryCalcurate::GetBonusYmd() {
    return 1;
}
