#include "desk/roads.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "payroll/datasource.h"
#include "payroll/diagnostics.h"
#include "payroll/host.h"
#include "payroll/imirak1.h"
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
constexpr int kBonusResultTables = 1;
constexpr const char* kRunTables[3][2] = {
    {"HPITMPD", "HPITMDD"}, {"HPOMPPD", "HPOMPDD"}, {"HTOWTRT", "HTOWTDR"}};

std::string Quoted(std::string_view text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\0') break;
        if (c == '\'') out += '\'';
        out += c;
    }
    return out + "'";
}

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

long CountRows(int table_set, const HPHONPD_YMD_FMT& run) {
    long total = 0;
    for (const char* table : kRunTables[table_set]) {
        G_DataSource query;
        const std::string sql = std::string("SELECT count(*) cnt FROM ") + table +
                                " WHERE CO_CD=" + Quoted(run.CO_CD.View()) +
                                " AND RVRS_YM=" + Quoted(run.RVRS_YM.View());
        if (!query.OnExecuteSQL(sql.c_str())) return -1;
        total += std::atol(query.OnGetFieldValue("cnt", 0).c_str());
    }
    return total;
}

RoadReport Recalc(const HPHONPD_YMD_FMT& run, bool whole_year) {
    HPHONPD_YMD_FMT key = KeyOf(run.CO_CD.Str(), run.RVRS_YM.Str());
    if (whole_year) key.RVRS_YM = run.RVRS_YM.Str().substr(0, 4) + "01";
    auto counts = std::make_shared<std::pair<long long, long long>>(0, 0);
    InstallTraceSink([counts](const std::string& title, const std::string&) {
        if (title == "Call_AllSum1to12_Year:semp")
            ++counts->first;
        else if (title == "sum save")
            ++counts->second;
    });
    ResetTransactionOutcome();
    ClearLastFailure();
    {
        CSalaryCalcurate engine;
        engine.Call_AllSum1to12_Year(&key, whole_year ? kRecalcYearMode : kRecalcMonthMode,
                                     CString(), 0);
    }
    InstallTraceSink({});
    RoadReport report;
    switch (LastTransactionOutcome()) {
        case TransactionOutcome::kCommitted:
            report.outcome = RoadOutcome::kCommitted;
            report.counts = {{"runs", counts->first}, {"employees", counts->second}};
            return report;
        case TransactionOutcome::kRolledBack:
            report.outcome = RoadOutcome::kRolledBack;
            report.reason = FailureOr("an unnamed step");
            return report;
        case TransactionOutcome::kNone:
            break;
    }
    report.reason = FailureOr("no pay runs of the company in the period");
    return report;
}

// Taxes one employee's bonus; empty on success, else why not.
std::string TaxBonusOf(CSalaryCalcurate& engine, const HPHONPD_YMD_FMT& key, const std::string& emp,
                       double* income_tax) {
    ClearLastFailure();
    const CString code(emp);
    if (!engine.OpenSEMP(code)) return "the employee has no master record";
    if (!engine.LoadDataIncom(code, 1)) return FailureOr("an unnamed step");
    std::memset(static_cast<void*>(&engine.m_HPOMNPY), 0, sizeof engine.m_HPOMNPY);
    engine.GetSalaryTotalCalc(code, std::atoi(key.RVRS_YM.Str().substr(0, 4).c_str()),
                              &engine.m_HPOMNPY);
    HPOMNPY_FMT record = engine.m_HPOMNPY;
    SALARY_TOTAL_x totals{};
    int months = 0;
    engine.GetYmdTotalBones(code, &months, &totals, &record);
    if (!engine.GetCalcBonus(code, kBonusComputeKind, CString()))
        return FailureOr("an unnamed step");
    if (!LastEngineFailure().step.empty()) return Failure();
    *income_tax += engine.m_HPOMNPY.INTX_AM;
    return std::string();
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
    std::string where = "H.CO_CD=" + Quoted(run.CO_CD.View()) +
                        " AND H.RVRS_YM=" + Quoted(run.RVRS_YM.View()) +
                        " AND H.SQ=" + run.SQ.Str();
    if (run.CCIS_YN != "001") where += " AND H.PYTP_FG=" + Quoted(run.PYTP_FG.View());
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
    CSalaryCalcurate engine;
    if (engine.init(&key) != 1) {
        report.reason = FailureOr("the run's settings could not be loaded");
        return report;
    }
    const long before = CountRows(choices.table_set, key);
    if (choices.refresh) {
        engine.GetSempDataUpdate__(choices.table_set);
        const bool rolled_back = LastTransactionOutcome() == TransactionOutcome::kRolledBack;
        if (rolled_back || !Failure().empty()) {
            report.outcome = rolled_back ? RoadOutcome::kRolledBack : RoadOutcome::kFailed;
            report.reason = FailureOr("the refresh");
            return report;
        }
        ResetTransactionOutcome();
    }
    const int built = engine._GetSalaryPepleList(choices.table_set);
    const long after = CountRows(choices.table_set, key);
    const TransactionOutcome outcome = LastTransactionOutcome();
    if (built == 1 && outcome != TransactionOutcome::kRolledBack) {
        report.outcome = RoadOutcome::kCommitted;
        report.counts = {{"rows", after}, {"before", before}};
        return report;
    }
    report.outcome = outcome == TransactionOutcome::kRolledBack ? RoadOutcome::kRolledBack
                                                                : RoadOutcome::kFailed;
    report.reason =
        FailureOr(outcome == TransactionOutcome::kRolledBack ? "an unnamed step"
                                                             : "no employee qualified for the run");
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
    CSalaryCalcurate engine;
    if (!engine.init(&key)) {
        report.reason = FailureOr("the run's settings could not be loaded");
        return report;
    }
    engine.SetYmdFromTo();
    std::vector<std::pair<std::string, std::string>> employees;
    if (!RunEmployees(engine.m_HPHONPD, &employees, &report.reason)) return report;
    G_DataSource tx;
    tx.OnBeginTrans();
    engine.m_nTableSet = kBonusResultTables;
    double income_tax = 0;
    for (const auto& [emp, name] : employees) {
        const std::string failure = TaxBonusOf(engine, engine.m_HPHONPD, emp, &income_tax);
        if (!failure.empty()) {
            tx.OnRollbackTrans();
            report.outcome = RoadOutcome::kRolledBack;
            report.reason = emp + ": " + failure;
            return report;
        }
    }
    tx.OnCommitTrans();
    if (LastTransactionOutcome() != TransactionOutcome::kCommitted) {
        report.outcome = RoadOutcome::kRolledBack;
        report.reason = LastDatabaseError();
        return report;
    }
    report.outcome = RoadOutcome::kCommitted;
    report.counts = {{"employees", static_cast<long long>(employees.size())},
                     {"income_tax", static_cast<long long>(income_tax)}};
    return report;
}

}  // namespace payroll::desk
