#include "desk/roads.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "payroll/datasource.h"
#include "payroll/diagnostics.h"
#include "payroll/host.h"
#include "payroll/imirak1.h"
#include "payroll/report.h"
#include "payroll/roads.h"
#include "payroll/salary_calcurate.h"

namespace payroll::desk {
namespace {

// SEL_NO of a key SearchMirak has not touched (the runs could not be read).
constexpr std::int32_t kUntouchedKey = -1;
constexpr int kMostRuns = 10000;
// The engine's modes: a year's recalculation, one month rewritten.
constexpr int kRecalcYearMode = 1;
constexpr int kRecalcMonthMode = 3;
constexpr int kBonusComputeKind = 1;

bool Digits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::string Failure() {
    const EngineFailure failure = LastEngineFailure();
    std::string why = failure.step;
    if (!failure.detail.empty()) why += (why.empty() ? "" : ": ") + failure.detail;
    return why;
}

std::string FailureOr(const std::string& fallback) {
    std::string why = Failure();
    return why.empty() ? fallback : why;
}

// Why a road failed, from the library's road report: the step, the
// database's message, the run and the employee.
std::string WhyOf(const ::payroll::RoadReport& r, const std::string& fallback) {
    std::string why = r.failed_step.empty() ? Failure() : r.failed_step;
    if (!r.failed_step.empty() && !r.detail.empty()) why += ": " + r.detail;
    std::string where;
    if (!r.failed_run.empty()) where = "run " + r.failed_run;
    if (!r.failed_employee.empty())
        where += (where.empty() ? "" : ", ") + std::string("employee ") + r.failed_employee;
    if (!where.empty()) why += " (" + where + ")";
    return why.empty() ? fallback : why;
}

RoadReport Recalc(const HPHONPD_YMD_FMT& run, bool whole_year) {
    HPHONPD_YMD_FMT key = KeyOf(run.CO_CD.Str(), run.RVRS_YM.Str());
    if (whole_year) key.RVRS_YM = run.RVRS_YM.Str().substr(0, 4) + "01";
    const int mode = whole_year ? kRecalcYearMode : kRecalcMonthMode;
    ResetTransactionOutcome();
    ClearLastFailure();
    BeginRoadReport("recalc-tax");
    RoadReport report;
    // One transaction for the year and its bonus runs taxed again after it.
    G_DataSource tx;
    if (!tx.OnBeginTrans()) {
        report.reason = LastDatabaseError();
        return report;
    }
    {
        CSalaryCalcurate engine;
        engine.Call_AllSum1to12_Year(&key, mode, CString(), 0);
    }
    if (LastTransactionOutcome() == TransactionOutcome::kRolledBack) {
        report.outcome = RoadOutcome::kRolledBack;
        report.reason = WhyOf(CurrentRoadReport(), "an unnamed step");
        return report;
    }
    const long long runs = CurrentRoadReport().runs, employees = CurrentRoadReport().employees;
    if (runs == 0) {
        tx.OnRollbackTrans();
        report.reason = FailureOr("no pay runs of the company in the period");
        return report;
    }
    // The year driver taxes bonus runs by the monthly rule; the bonus road
    // taxes them again, as `payroll recalc-tax` does.
    long long bonus_runs = 0;
    if (mode == kRecalcYearMode) {
        std::vector<HPHONPD_YMD_FMT> bonuses;
        std::string error;
        const std::string period = whole_year ? run.RVRS_YM.Str().substr(0, 4) : run.RVRS_YM.Str();
        if (!BonusRunsWithResults(run.CO_CD.Str(), period, &bonuses, &error)) {
            tx.OnRollbackTrans();
            report.outcome = RoadOutcome::kRolledBack;
            report.reason = "the bonus runs could not be read: " + error;
            return report;
        }
        for (const HPHONPD_YMD_FMT& bonus : bonuses) {
            CSalaryCalcurate engine;
            if (!TaxBonusRun(engine, bonus, {}, kBonusComputeKind, nullptr)) {
                tx.OnRollbackTrans();
                report.outcome = RoadOutcome::kRolledBack;
                report.reason = WhyOf(CurrentRoadReport(), "an unnamed step");
                return report;
            }
            ++bonus_runs;
        }
    }
    if (!tx.OnCommitTrans() || LastTransactionOutcome() != TransactionOutcome::kCommitted) {
        report.outcome = RoadOutcome::kRolledBack;
        report.reason = "the commit failed: " + LastDatabaseError();
        return report;
    }
    report.outcome = RoadOutcome::kCommitted;
    report.counts = {{"runs", runs}, {"employees", employees}, {"bonus_runs", bonus_runs}};
    return report;
}

}  // namespace

HPHONPD_YMD_FMT KeyOf(const std::string& company, const std::string& month) {
    HPHONPD_YMD_FMT key;
    std::memset(static_cast<void*>(&key), 0, sizeof key);
    key.CO_CD.Set(company);
    key.RVRS_YM.Set(month);
    return key;
}

bool ListRuns(const std::string& company, const std::string& month,
              std::vector<HPHONPD_YMD_FMT>* runs, std::string* error) {
    runs->clear();
    CIMirak1 front;
    for (int place = 1; place <= kMostRuns; ++place) {
        HPHONPD_YMD_FMT key = KeyOf(company, month);
        key.SEL_NO = kUntouchedKey;
        front.SearchMirak(&key, 0, place);
        if (key.SEL_NO == kUntouchedKey) {
            runs->clear();
            *error = LastDatabaseError();
            if (error->empty()) *error = "the query failed";
            return false;
        }
        if (key.SEL_NO == 0) break;
        runs->push_back(key);
    }
    return true;
}

bool ListCompanies(std::vector<std::string>* companies, std::string* error) {
    companies->clear();
    G_DataSource query;
    if (!query.OnExecuteSQL("SELECT DISTINCT CO_CD FROM HPHONPD ORDER BY CO_CD")) {
        *error = query.GetLastError().str();
        return false;
    }
    for (long i = 0; i < query.OnGetRecordCount(); ++i)
        companies->push_back(query.OnGetFieldValue("CO_CD", i).str());
    return true;
}

bool RunEmployees(const HPHONPD_YMD_FMT& run,
                  std::vector<std::pair<std::string, std::string>>* employees, std::string* error) {
    employees->clear();
    if (!Digits(run.SQ.View())) {
        *error = "the run has no sequence number";
        return false;
    }
    std::string where = "H.CO_CD=" + SqlQuoted(run.CO_CD.View()) +
                        " AND H.RVRS_YM=" + SqlQuoted(run.RVRS_YM.View()) +
                        " AND H.SQ=" + run.SQ.Str();
    if (run.CCIS_YN != "001") where += " AND H.PYTP_FG=" + SqlQuoted(run.PYTP_FG.View());
    const std::string sql =
        "SELECT A.EMP_CD EMP_CD, S.KOR_NM KOR_NM FROM (SELECT H.CO_CD CO_CD, H.EMP_CD EMP_CD "
        "FROM HPOMPPD H WHERE " +
        where +
        " UNION SELECT H.CO_CD CO_CD, H.EMP_CD EMP_CD FROM "
        "HPOMPDD H WHERE " +
        where +
        ") A LEFT OUTER JOIN SEMP S ON S.CO_CD = A.CO_CD AND "
        "S.EMP_CD = A.EMP_CD ORDER BY A.EMP_CD";
    G_DataSource query;
    if (!query.OnExecuteSQL(CString(sql))) {
        *error = query.GetLastError().str();
        return false;
    }
    for (long i = 0; i < query.OnGetRecordCount(); ++i)
        employees->emplace_back(query.OnGetFieldValue("EMP_CD", i).str(),
                                query.OnGetFieldValue("KOR_NM", i).str());
    return true;
}

RoadReport BuildRun(const HPHONPD_YMD_FMT& run, const BuildChoices& choices) {
    RoadReport report;
    if (choices.table_set < 0 || choices.table_set > 2) {
        report.reason = "no such table set";
        return report;
    }
    HPHONPD_YMD_FMT key = run;
    key.DIV_FILTER = choices.division;
    key.DEPT_FILTER = choices.department;
    key.PRTY_FILTER = choices.job_group;
    ResetTransactionOutcome();
    ClearLastFailure();
    BeginRoadReport("build-run");
    // The picker leaves the join rule out: the run's own row has both codes.
    if (!ApplyRunRules(&key, &report.reason)) return report;
    CSalaryCalcurate engine;
    if (engine.init(&key) != 1) {
        report.reason = FailureOr("the run's settings could not be loaded");
        return report;
    }
    if (choices.refresh) {
        engine.GetSempDataUpdate__(choices.table_set);
        const bool rolled_back = CurrentRoadReport().outcome == ::payroll::RoadOutcome::kRolledBack;
        if (rolled_back || !Failure().empty()) {
            report.outcome = rolled_back ? RoadOutcome::kRolledBack : RoadOutcome::kFailed;
            report.reason = WhyOf(CurrentRoadReport(), "the refresh");
            return report;
        }
    }
    engine._GetSalaryPepleList(choices.table_set);
    const ::payroll::RoadReport built = CurrentRoadReport();
    // Every pass with employees must have committed; a pay type that pays
    // nobody on this date is no failure.
    long worked = 0, failed = 0;
    for (const BuildPassReport& pass : built.passes) {
        if (pass.committed) ++worked;
        if (!pass.committed && !pass.empty) ++failed;
    }
    if (worked > 0 && failed == 0 && built.outcome != ::payroll::RoadOutcome::kRolledBack) {
        report.outcome = RoadOutcome::kCommitted;
        report.counts = {{"inserted", built.Inserted()}, {"deleted", built.Deleted()}};
        return report;
    }
    const bool rolled_back = failed > 0 || built.outcome == ::payroll::RoadOutcome::kRolledBack;
    report.outcome = rolled_back ? RoadOutcome::kRolledBack : RoadOutcome::kFailed;
    report.reason =
        WhyOf(built, rolled_back ? "an unnamed step" : "no employee qualified for the run");
    return report;
}

RoadReport RecalcYear(const HPHONPD_YMD_FMT& run) {
    return Recalc(run, true);
}

RoadReport RecalcMonth(const HPHONPD_YMD_FMT& run) {
    return Recalc(run, false);
}

RoadReport TaxBonus(const HPHONPD_YMD_FMT& run) {
    RoadReport report;
    HPHONPD_YMD_FMT key = run;
    ResetTransactionOutcome();
    ClearLastFailure();
    BeginRoadReport("bonus-tax");
    if (!ApplyRunRules(&key, &report.reason)) return report;
    G_DataSource tx;
    if (!tx.OnBeginTrans()) {
        report.reason = LastDatabaseError();
        return report;
    }
    CSalaryCalcurate engine;
    std::vector<BonusResult> results;
    if (!TaxBonusRun(engine, key, {}, kBonusComputeKind, &results)) {
        tx.OnRollbackTrans();
        report.outcome = RoadOutcome::kRolledBack;
        report.reason = WhyOf(CurrentRoadReport(), "an unnamed step");
        return report;
    }
    if (!tx.OnCommitTrans() || LastTransactionOutcome() != TransactionOutcome::kCommitted) {
        report.outcome = RoadOutcome::kRolledBack;
        report.reason = "the commit failed: " + LastDatabaseError();
        return report;
    }
    double income_tax = 0;
    for (const BonusResult& r : results) income_tax += r.income_tax;
    report.outcome = RoadOutcome::kCommitted;
    report.counts = {{"employees", static_cast<long long>(results.size())},
                     {"income_tax", static_cast<long long>(income_tax)}};
    return report;
}

}  // namespace payroll::desk
