// The bonus road as every host drives it: each employee of a bonus run taxed
// by the engine's bonus step inside the host's transaction, and the bonus
// runs a year recalculation must tax again afterwards.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "engine/bonus/bonus_steps.h"
#include "engine/common/binding.h"
#include "engine/common/messages.h"
#include "engine/common/statements.h"
#include "engine/tax/tax_steps.h"
#include "payroll/datasource.h"
#include "payroll/diagnostics.h"
#include "payroll/host.h"
#include "payroll/roads.h"
#include "platform/db/road_report.h"
#include "platform/text/number_parse.h"
#include "platform/text/sql_text.h"
#include "roads/bonus_road.h"
#include "roads/road_transaction.h"

namespace payroll {
namespace {

// The bonus road writes the run's result tables.
constexpr int kResultTableSet = 1;

// The employees with pay or deduction rows in the run, as the year driver
// lists them.
engine::Status EmployeesOfRun(const HPHONPD_YMD_FMT& key, std::vector<std::string>* out) {
    std::string payType;
    if (!(key.CCIS_YN == "001")) payType = "and H.PYTP_FG='" + sql::Esc(key.PYTP_FG.View()) + "' ";
    const std::string where = "H.CO_CD='" + sql::Esc(key.CO_CD.View()) + "' and    H.RVRS_YM='" +
                              sql::Esc(key.RVRS_YM.View()) + "' and   H.SQ=" + key.SQ.Str() +
                              "     " + payType;
    const std::string text =
        "SELECT A.* FROM ( SELECT H.CO_CD CO_CD , H.EMP_CD  EMP_CD FROM HPOMPPD H WHERE   " +
        where + " UNION  SELECT H.CO_CD CO_CD , H.EMP_CD   EMP_CD FROM HPOMPDD H WHERE   " + where +
        ") A ";
    G_DataSource rows;
    if (!rows.OnExecuteSQL(CString(text))) return engine::FailedOn("bonus run employees", rows);
    for (long i = 0; i < rows.OnGetRecordCount(); ++i)
        out->push_back(rows.OnGetFieldValue("EMP_CD", i).str());
    return engine::Status();
}

// The employee's figures as stored for the run (the engine's record when the
// stored row cannot be read back).
BonusResult Stored(CSalaryCalcurate& engine, const HPHONPD_YMD_FMT& key, const std::string& emp,
                   int months) {
    BonusResult r;
    r.employee = emp;
    r.months = months;
    const std::string payType = key.CCIS_YN == "001" ? key.PYTP_HEAD.Str() : key.PYTP_FG.Str();
    G_DataSource row;
    long rows = 0;
    // A row that cannot be read back leaves the engine's record to report:
    // the employee's step has stored it already.
    const engine::Status read =
        engine::OpenSummary(engine, row, CString(emp), CString(payType), &rows);
    if (read.ok() && rows > 0) {
        auto amount = [&row](const char* column) {
            return payroll::text::NumberOf(row.OnGetFieldValue(column, 0).str());
        };
        r.bonus = amount("TBON_AM") + amount("TPAY_AM");
        r.tax_base = amount("TXST_AM");
        r.income_tax = amount("INTX_AM");
        r.resident_tax = amount("RSTX_AM");
        return r;
    }
    const HPOMNPY_FMT& m = engine.m_HPOMNPY;
    r.bonus = m.TBON_AM + m.TPAY_AM;
    r.tax_base = m.TXST_AM;
    r.income_tax = m.INTX_AM;
    r.resident_tax = m.RSTX_AM;
    return r;
}

// Taxes one employee: fails when any statement of the step failed, or when
// the employee cannot be taxed.
engine::Status TaxOne(CSalaryCalcurate& engine, const std::string& emp, int kind, int* months) {
    const CString code(emp);
    bool found = false;
    engine::Status status = engine::OpenEmployee(engine, code, &found);
    if (!found) {
        status.Keep(engine::Status::Refused("OpenSEMP", "the employee has no master record"));
        return status;
    }
    if (engine::Status rows = engine::LoadPayRows(engine, code); !rows.ok()) return rows;
    std::memset(static_cast<void*>(&engine.m_HPOMNPY), 0, sizeof engine.m_HPOMNPY);
    double total = 0;
    status.Keep(engine::SalaryTotals(engine, code, &engine.m_HPOMNPY, &total));
    // The period as the bonus step will see it: its own call reads the same
    // stored rows, and this run's row is never part of its period.
    HPOMNPY_FMT record = engine.m_HPOMNPY;
    SALARY_TOTAL_x totals{};
    double periodPay = 0;
    status.Keep(engine::BonusPeriodTotals(engine, code, months, &totals, &record, &periodPay));
    int result = 0;
    status.Keep(engine::BonusTax(engine, code, kind, &result));
    // A step that failed on the way computed with zeros: that is no result.
    if (result == 0) status.Keep(engine::Status::Failed("", ""));
    return status;
}

}  // namespace

namespace roads {

engine::Status TaxBonusEmployees(CSalaryCalcurate& engine, const HPHONPD_YMD_FMT& key,
                                 const std::vector<std::string>& employees, int kind,
                                 std::vector<BonusResult>* results) {
    HPHONPD_YMD_FMT k = key;
    // The road stops at `failure`: the report names it, placed in the run
    // (and at the employee).
    auto stop = [&k](const engine::Status& failure, const char* unnamed,
                     const std::string& employee) {
        engine::Status stopped = engine::StopAt(failure, unnamed, RunName(k), employee);
        engine::ReportStop(stopped);
        return stopped;
    };
    if (!sql::IsSequence(k.SQ.Str()))
        return stop(engine::Status::Refused("bonus-tax", "the run's sequence is not a number"),
                    "init", "");
    bool bound = false;
    engine::Status binding = engine::Bind(engine, &k, &bound);
    if (!bound) return stop(binding, "init", "");
    // A run without windows is taxed without them; a statement that failed
    // stops the road.
    if (engine::Status windows = engine::PayWindows(engine); !windows.refused())
        binding.Keep(std::move(windows));
    std::vector<std::string> staff;
    if (employees.empty()) {
        if (engine::Status listed = EmployeesOfRun(engine.m_HPHONPD, &staff); !listed.ok())
            return stop(listed, "bonus run employees", "");
    } else {
        for (const std::string& e : employees)
            if (std::find(staff.begin(), staff.end(), e) == staff.end()) staff.push_back(e);
    }
    if (!binding.ok()) return stop(binding, "init", "");
    engine.m_nTableSet = kResultTableSet;
    RoadReport& report = report::Current();
    ++report.runs;
    for (const std::string& emp : staff) {
        int months = 0;
        if (engine::Status taxed = TaxOne(engine, emp, kind, &months); !taxed.ok())
            return stop(taxed, "a database statement", emp);
        ++report.employees;
        if (results) results->push_back(Stored(engine, engine.m_HPHONPD, emp, months));
    }
    return engine::Status();
}

}  // namespace roads

bool TaxBonusRun(CSalaryCalcurate& engine, const HPHONPD_YMD_FMT& key,
                 const std::vector<std::string>& employees, int kind,
                 std::vector<BonusResult>* results) {
    ClearLastFailure();
    return engine::Publish(roads::TaxBonusEmployees(engine, key, employees, kind, results));
}

bool BonusRunsWithResults(const std::string& company, const std::string& period,
                          std::vector<HPHONPD_YMD_FMT>* keys, std::string* error) {
    keys->clear();
    std::vector<std::string> months;
    if (period.size() == 6) {
        months.push_back(period);
    } else {
        for (int m = 1; m <= 12; ++m)
            months.push_back(period + (m < 10 ? "0" : "") + std::to_string(m));
    }
    for (const std::string& month : months) {
        std::vector<HPHONPD_YMD_FMT> runs;
        if (!ListPayRuns(company, month, &runs, error)) return false;
        for (HPHONPD_YMD_FMT& key : runs) {
            if (key.PYTP_HEAD.View().substr(0, 1) != "2") continue;
            key.DIV_FILTER = "ALL";
            key.DEPT_FILTER = "ALL";
            key.PRTY_FILTER = "ALL";
            if (!ApplyRunRules(&key, error)) return false;
            G_DataSource stored;
            const std::string text = "SELECT COUNT(*) N FROM HPOMNPY WHERE CO_CD='" +
                                     sql::Esc(std::string_view(company)) + "' AND RVRS_YM='" +
                                     sql::Esc(std::string_view(month)) +
                                     "' AND SQ=" + key.SQ.Str() + " ";
            if (!sql::IsSequence(key.SQ.Str())) continue;
            if (!stored.OnExecuteSQL(CString(text))) {
                if (error) *error = stored.GetLastError().str();
                return false;
            }
            if (std::atol(stored.OnGetFieldValue("N", 0).c_str()) > 0) keys->push_back(key);
        }
    }
    return true;
}

RoadResult TaxBonusRoad(const HPHONPD_YMD_FMT& run, const std::vector<std::string>& employees,
                        int kind, std::vector<BonusResult>* results) {
    ResetTransactionOutcome();
    ClearLastFailure();
    BeginRoadReport("bonus-tax");
    RoadResult result;
    HPHONPD_YMD_FMT key = run;
    std::string why;
    if (!ApplyRunRules(&key, &why)) {
        result.reason = "the run's rules could not be read: " + why;
        result.report = CurrentRoadReport();
        return result;
    }
    if ((kind == 1 || kind == 11) &&
        !roads::YearLawComplete(key.RVRS_YM.Str().substr(0, 4), &why)) {
        result.reason = why;
        result.report = CurrentRoadReport();
        return result;
    }
    roads::RoadTransaction tx;
    if (!tx.Begin({roads::YearLock(key.CO_CD.Str(), key.RVRS_YM.Str().substr(0, 4))},
                  {roads::RunLock(key)}, &why)) {
        result.reason = why;
        result.report = CurrentRoadReport();
        return result;
    }
    CSalaryCalcurate engine;
    std::vector<BonusResult> local;
    if (!results) results = &local;
    const engine::Status taxed = roads::TaxBonusEmployees(engine, key, employees, kind, results);
    engine::Publish(taxed);
    if (!taxed.ok() || tx.Lost()) {
        tx.RollBack();
        result.outcome = RoadOutcome::kRolledBack;
        result.reason = DescribeFailure(CurrentRoadReport());
    } else if (!tx.Commit(&why)) {
        const engine::Status stopped =
            engine::Status::Failed("commit", why).At(roads::RunName(key), "");
        engine::ReportStop(stopped);
        engine::Publish(stopped);
        result.outcome = RoadOutcome::kRolledBack;
        result.reason = DescribeFailure(CurrentRoadReport());
    } else {
        result.outcome = RoadOutcome::kCommitted;
    }
    if (result.outcome != RoadOutcome::kCommitted) results->clear();
    result.report = CurrentRoadReport();
    return result;
}

}  // namespace payroll
