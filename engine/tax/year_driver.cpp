// The year driver of the tax recalculation: every pay run of a year (or of
// one month) and every employee with rows in it, in one transaction, with
// the progress dialog and the closing notice.
#include <cstring>
#include <string>

#include "engine/common/binding.h"
#include "engine/common/calendar.h"
#include "engine/common/messages.h"
#include "engine/common/run_key.h"
#include "engine/common/statements.h"
#include "engine/tax/tax_steps.h"
#include "engine/tax/year_progress.h"
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

namespace payroll::engine {

Status RecalculateYear(CSalaryCalcurate& e, HPHONPD_YMD_FMT* key, int mode) {
    if (!key) return Status::Refused("", "");
    std::memmove(&e.m_HPHONPD, key, sizeof e.m_HPHONPD);
    run_key::Normalize(&e.m_HPHONPD);

    const std::string pattern = PeriodPattern(e.m_HPHONPD.RVRS_YM.Str(), mode);
    if (pattern.empty()) {
        CString text = TheLangUtil().GetLangString(1022);
        AfxMessageBox(text.c_str());
        return Status::Refused("Call_AllSum1to12_Year", text.str());
    }

    CString sql;
    sql.Format(
        "SELECT A.RVRS_YM, A.SQ, A.PYTP_FG, B.CCIS_YN , B.PAY_DT FROM HPHONPD A, HPHPYFQ B  "
        "WHERE A.CO_CD='%s' AND  A.CO_CD=B.CO_CD AND A.RVRS_YM LIKE '%s%%' AND "
        "A.RVRS_YM=B.RVRS_YM AND A.SQ=B.SQ ORDER BY A.RVRS_YM, A.SQ ",
        Esc(e.m_HPHONPD.CO_CD.View()).c_str(), pattern.c_str());
    G_DataSource runs;
    if (Status read =
            TracedQuery(e, runs, sql, "Call_AllSum1to12_Year ", "Call_AllSum1to12_Year error");
        !read.ok())
        return read;
    const long runCount = runs.OnGetRecordCount();
    if (runCount <= 0) return Status();

    if (!runs.OnBeginTrans()) return FailedOn("Call_AllSum1to12_Year", runs);
    YearProgress progress(&e);
    progress.Open(static_cast<int>(runCount));
    RoadReport& report = report::Current();
    std::string runName;
    // Every stop rolls the whole year back and says which step failed, in
    // which run and for which employee.
    auto stop = [&](const Status& failure, const std::string& employee) {
        runs.OnRollbackTrans();
        progress.Close();
        Status stopped = StopAt(failure, "a database statement", runName, employee);
        ReportStop(stopped);
        const std::string month = e.m_HPHONPD.RVRS_YM.Str(), sq = e.m_HPHONPD.SQ.Str();
        ShowMessage(
            employee.empty()
                ? lang::FormatLangText(kStoppedInRun, {stopped.step(), month, sq})
                : lang::FormatLangText(kStoppedAtEmployee, {stopped.step(), month, sq, employee}));
        return stopped;
    };

    long long processed = 0;
    for (long i = 0; i < runCount; ++i) {
        const CString month = runs.OnGetFieldValue("RVRS_YM", i);
        const CString sq = runs.OnGetFieldValue("SQ", i);
        const CString payType = runs.OnGetFieldValue("PYTP_FG", i);
        const CString combined = runs.OnGetFieldValue("CCIS_YN", i);
        HPHONPD_YMD_FMT& k = e.m_HPHONPD;
        k.RVRS_YM = month.str();
        k.SQ = sq.str();
        k.PYTP_FG = payType.str();
        k.PYTP_HEAD = payType.str();
        k.CCIS_YN = combined.str();
        k.PAY_DT = runs.OnGetFieldValue("PAY_DT", i).str();
        k.DIV_FILTER = "ALL";
        k.DEPT_FILTER = "ALL";
        k.PRTY_FILTER = "ALL";
        runName = month.str() + " SQ " + sq.str() + " pay type " + payType.str();

        // A combined run is calculated once, at the first of its pay types.
        if (i > 0 && combined == "001" && runs.OnGetFieldValue("RVRS_YM", i - 1) == month &&
            runs.OnGetFieldValue("SQ", i - 1) == sq)
            continue;

        // SQ goes into the statements without quotes.
        if (!payroll::sql::IsSequence(sq.str()))
            return stop(Status::Refused("Call_AllSum1to12_Year",
                                        TheLangUtil().GetLangString(kSequenceNotNumber).str()),
                        "");
        CString filter;
        if (combined != "001") filter.Format("and H.PYTP_FG='%s' ", Esc(payType).c_str());
        sql.Format(
            "SELECT A.* FROM ( SELECT H.CO_CD CO_CD , H.EMP_CD  EMP_CD FROM HPOMPPD H WHERE   "
            "H.CO_CD='%s' and    H.RVRS_YM='%s' and   H.SQ=%s     %s UNION  SELECT H.CO_CD CO_CD "
            ", H.EMP_CD   EMP_CD FROM HPOMPDD H WHERE   H.CO_CD='%s' and    H.RVRS_YM='%s' and   "
            "H.SQ=%s     %s ) A ",
            Esc(k.CO_CD.View()).c_str(), Esc(month).c_str(), sq.c_str(), filter.c_str(),
            Esc(k.CO_CD.View()).c_str(), Esc(month).c_str(), sq.c_str(), filter.c_str());
        G_DataSource employees;
        if (Status read = TracedQuery(e, employees, sql, "Call_AllSum1to12_Year:semp",
                                      "Call_AllSum1to12_Year error");
            !read.ok())
            return stop(read, "");

        // init copies the key it is given: hand it a copy of the run's key.
        // Any statement of the run's settings or windows that fails would
        // leave the run calculated with missing tables: the year stops. A
        // run without windows is calculated without them, as it always was.
        HPHONPD_YMD_FMT runKey = k;
        bool bound = false;
        Status binding = Bind(e, &runKey, &bound);
        if (!bound) return stop(binding, "");
        if (!run_key::Checked(k))
            return stop(Status::Refused("Call_AllSum1to12_Year", "the run key is incomplete"), "");
        if (Status windows = PayWindows(e); !windows.refused()) binding.Keep(std::move(windows));
        if (!binding.ok()) return stop(binding, "");
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
                    lang::FormatLangText(1024, {processed, year, mm, employee.str()}));
                // Any statement of the employee that failed (a read whose
                // amount would be stored, or a refused write) would leave the
                // year wrong or half stored: the whole year is rolled back.
                int result = 0;
                Status taxed = TaxEmployee(e, employee, 1, mode, &result);
                if (!taxed.ok() || result == 0) return stop(taxed, employee.str());
                ++report.employees;
            }
        } else {
            progress.NoEmployees(lang::FormatLangText(1023, {processed, year, mm}));
        }
    }

    progress.Close();
    // The closing notice only for a year that is stored.
    if (!runs.OnCommitTrans()) {
        const std::string why = runs.GetLastError().str();
        Status stopped = Status::Failed("commit", why).At(runName, "");
        ReportStop(stopped);
        ShowMessage(lang::FormatLangText(kCommitFailed, {why}));
        return stopped;
    }
    // Inside a host's own transaction the year is not stored until the host
    // commits: the host says how that ended.
    const db::Connection* connection = db::Connection::Current();
    if (connection && connection->depth() > 0) return Status();
    CG_KvSplashwin notice(0, 0, 512, 0x800000, 0xFFFFFF);
    notice.ShowSplashText(TheLangUtil().GetLangString(1025).c_str(), "");
    Sleep(kNoticeMilliseconds);
    return Status();
}

}  // namespace payroll::engine

int CSalaryCalcurate::Call_AllSum1to12_Year(HPHONPD_YMD_FMT* key, int mode, CString, int) {
    payroll::engine::Publish(payroll::engine::RecalculateYear(*this, key, mode));
    return 0;
}
