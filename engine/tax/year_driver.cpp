// The year driver of the tax recalculation: every pay run of a year (or of
// one month) and every employee with rows in it, in one transaction, with
// the progress dialog and the closing notice.
#include <cstring>
#include <string>

#include "engine/common/calendar.h"
#include "engine/common/messages.h"
#include "engine/common/run_key.h"
#include "engine/common/statements.h"
#include "engine/tax/year_progress.h"
#include "payroll/diagnostics.h"
#include "payroll/salary_calcurate.h"
#include "platform/db/connection.h"
#include "platform/db/road_report.h"
#include "platform/lang/lang_util.h"
#include "platform/text/sql_text.h"
#include "platform/ui/afx.h"
#include "platform/ui/splash.h"

using payroll::sql::Esc;

namespace {

constexpr int kFirstValidYear = 1900;
constexpr unsigned kNoticeMilliseconds = 600;
// Language texts of a year that stops: at an employee, in a run, at the
// commit; and the reason of a run whose sequence is no number.
constexpr int kStoppedAtEmployee = 1201;
constexpr int kStoppedInRun = 1202;
constexpr int kCommitFailed = 1203;
constexpr int kSequenceNotNumber = 1204;

bool AllDigits(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// The LIKE pattern of the period's runs: the year YYYY, or YYYYMM in mode 3;
// empty when the key's month cannot name a period from 1900 on.
std::string PeriodPattern(const std::string& month, int mode) {
    if (payroll::calendar::AtoiSlice(month, 0, 4) < kFirstValidYear) return {};
    std::string pattern = month.substr(0, mode == 3 ? 6 : 4);
    // The pattern goes into a LIKE: only digits, so that it cannot widen
    // the period.
    if (pattern.size() != (mode == 3 ? 6u : 4u) || !AllDigits(pattern)) return {};
    return pattern;
}

}  // namespace

int CSalaryCalcurate::Call_AllSum1to12_Year(HPHONPD_YMD_FMT* key, int mode, CString, int) {
    if (!key) return 0;
    std::memmove(&m_HPHONPD, key, sizeof m_HPHONPD);
    payroll::run_key::Normalize(&m_HPHONPD);

    const std::string pattern = PeriodPattern(m_HPHONPD.RVRS_YM.Str(), mode);
    if (pattern.empty()) {
        CString text = TheLangUtil().GetLangString(1022);
        payroll::engine::NoteFailure("Call_AllSum1to12_Year", text);
        AfxMessageBox(text.c_str());
        return 0;
    }

    CString sql;
    sql.Format(
        "SELECT A.RVRS_YM, A.SQ, A.PYTP_FG, B.CCIS_YN , B.PAY_DT FROM HPHONPD A, HPHPYFQ B  "
        "WHERE A.CO_CD='%s' AND  A.CO_CD=B.CO_CD AND A.RVRS_YM LIKE '%s%%' AND "
        "A.RVRS_YM=B.RVRS_YM AND A.SQ=B.SQ ORDER BY A.RVRS_YM, A.SQ ",
        Esc(m_HPHONPD.CO_CD.View()).c_str(), pattern.c_str());
    G_DataSource runs;
    if (!payroll::engine::TracedQuery(*this, runs, sql, "Call_AllSum1to12_Year ",
                                      "Call_AllSum1to12_Year error")
             .ok())
        return 0;
    const long runCount = runs.OnGetRecordCount();
    if (runCount <= 0) return 0;

    if (!runs.OnBeginTrans()) {
        payroll::engine::NoteFailure("Call_AllSum1to12_Year", runs.GetLastError());
        return 0;
    }
    payroll::engine::YearProgress progress(this);
    progress.Open(static_cast<int>(runCount));
    payroll::RoadReport& report = payroll::report::Current();
    std::string runName;
    // Every stop rolls the whole year back and says which step failed, in
    // which run and for which employee.
    auto stop = [&](const std::string& employee) {
        runs.OnRollbackTrans();
        progress.Close();
        const payroll::EngineFailure failure = payroll::LastEngineFailure();
        const std::string step = failure.step.empty() ? "a database statement" : failure.step;
        payroll::engine::NoteStop(step, runName, employee);
        const std::string month = m_HPHONPD.RVRS_YM.Str(), sq = m_HPHONPD.SQ.Str();
        payroll::engine::ShowMessage(
            employee.empty()
                ? payroll::lang::FormatLangText(kStoppedInRun, {step, month, sq})
                : payroll::lang::FormatLangText(kStoppedAtEmployee, {step, month, sq, employee}));
        return 0;
    };

    long long processed = 0;
    for (long i = 0; i < runCount; ++i) {
        const CString month = runs.OnGetFieldValue("RVRS_YM", i);
        const CString sq = runs.OnGetFieldValue("SQ", i);
        const CString payType = runs.OnGetFieldValue("PYTP_FG", i);
        const CString combined = runs.OnGetFieldValue("CCIS_YN", i);
        m_HPHONPD.RVRS_YM = month.str();
        m_HPHONPD.SQ = sq.str();
        m_HPHONPD.PYTP_FG = payType.str();
        m_HPHONPD.PYTP_HEAD = payType.str();
        m_HPHONPD.CCIS_YN = combined.str();
        m_HPHONPD.PAY_DT = runs.OnGetFieldValue("PAY_DT", i).str();
        m_HPHONPD.DIV_FILTER = "ALL";
        m_HPHONPD.DEPT_FILTER = "ALL";
        m_HPHONPD.PRTY_FILTER = "ALL";
        runName = month.str() + " SQ " + sq.str() + " pay type " + payType.str();

        // A combined run is calculated once, at the first of its pay types.
        if (i > 0 && combined == "001" && runs.OnGetFieldValue("RVRS_YM", i - 1) == month &&
            runs.OnGetFieldValue("SQ", i - 1) == sq)
            continue;

        payroll::ClearLastFailure();
        // SQ goes into the statements without quotes.
        if (!payroll::sql::IsSequence(sq.str())) {
            payroll::engine::NoteFailure("Call_AllSum1to12_Year",
                                         TheLangUtil().GetLangString(kSequenceNotNumber));
            return stop("");
        }
        CString filter;
        if (combined != "001") filter.Format("and H.PYTP_FG='%s' ", Esc(payType).c_str());
        sql.Format(
            "SELECT A.* FROM ( SELECT H.CO_CD CO_CD , H.EMP_CD  EMP_CD FROM HPOMPPD H WHERE   "
            "H.CO_CD='%s' and    H.RVRS_YM='%s' and   H.SQ=%s     %s UNION  SELECT H.CO_CD CO_CD "
            ", H.EMP_CD   EMP_CD FROM HPOMPDD H WHERE   H.CO_CD='%s' and    H.RVRS_YM='%s' and   "
            "H.SQ=%s     %s ) A ",
            Esc(m_HPHONPD.CO_CD.View()).c_str(), Esc(month).c_str(), sq.c_str(), filter.c_str(),
            Esc(m_HPHONPD.CO_CD.View()).c_str(), Esc(month).c_str(), sq.c_str(), filter.c_str());
        G_DataSource employees;
        if (!payroll::engine::TracedQuery(*this, employees, sql, "Call_AllSum1to12_Year:semp",
                                          "Call_AllSum1to12_Year error")
                 .ok())
            return stop("");

        // init copies the key it is given: hand it a copy of the run's key.
        // Any statement of the run's settings or windows that fails would
        // leave the run calculated with missing tables: the year stops.
        const long failedBefore = payroll::engine::FailedStatements();
        HPHONPD_YMD_FMT runKey = m_HPHONPD;
        if (!init(&runKey)) return stop("");
        if (!payroll::run_key::Checked(m_HPHONPD)) {
            payroll::engine::NoteFailure("Call_AllSum1to12_Year", "the run key is incomplete");
            return stop("");
        }
        SetYmdFromTo();
        if (payroll::engine::FailedStatements() != failedBefore) return stop("");
        progress.RunStarted(static_cast<int>(i));
        ++report.runs;

        const std::string year = month.Left(4).str(), mm = month.Mid(4, 2).str();
        const long count = employees.OnGetRecordCount();
        if (count > 0) {
            progress.SetEmployees(static_cast<int>(count));
            for (long j = 0; j < count; ++j) {
                const CString employee = employees.OnGetFieldValue("EMP_CD", j);
                ++processed;
                progress.EmployeeStarted(
                    static_cast<int>(j),
                    payroll::lang::FormatLangText(1024, {processed, year, mm, employee.str()}));
                // Any statement of the employee that failed (a read whose
                // amount would be stored, or a refused write) would leave the
                // year wrong or half stored: the whole year is rolled back.
                payroll::ClearLastFailure();
                const long failed = payroll::engine::FailedStatements();
                if (!SumIncomTax(employee, 1, mode, 0, CString()) ||
                    payroll::engine::FailedStatements() != failed)
                    return stop(employee.str());
                ++report.employees;
            }
        } else {
            progress.NoEmployees(payroll::lang::FormatLangText(1023, {processed, year, mm}));
        }
    }

    progress.Close();
    // The closing notice only for a year that is stored.
    if (!runs.OnCommitTrans()) {
        const std::string why = runs.GetLastError().str();
        payroll::engine::NoteFailure("commit", why);
        payroll::engine::NoteStop("commit", runName, "");
        payroll::engine::ShowMessage(payroll::lang::FormatLangText(kCommitFailed, {why}));
        return 0;
    }
    // Inside a host's own transaction the year is not stored until the host
    // commits: the host says how that ended.
    const payroll::db::Connection* connection = payroll::db::Connection::Current();
    if (connection && connection->depth() > 0) return 0;
    CG_KvSplashwin notice(0, 0, 512, 0x800000, 0xFFFFFF);
    notice.ShowSplashText(TheLangUtil().GetLangString(1025).c_str(), "");
    Sleep(kNoticeMilliseconds);
    return 0;
}
