// The tax road as hosts run it: the year driver and the bonus runs taxed
// again after it, in one transaction.
#include "engine/common/messages.h"
#include "engine/tax/tax_steps.h"
#include "payroll/datasource.h"
#include "payroll/diagnostics.h"
#include "payroll/host.h"
#include "payroll/roads.h"
#include "platform/db/connection.h"
#include "platform/db/road_report.h"
#include "roads/bonus_road.h"
#include "roads/road_transaction.h"

namespace payroll {
namespace {

// The modes that compute the tax, and the one that covers a single month.
bool ComputesTax(int mode) {
    return mode == 1 || mode == 11;
}
constexpr int kMonthMode = 3;
// The bonus road's kind that computes the tax.
constexpr int kComputeBonus = 1;

}  // namespace

namespace {

// *status receives why the road did not commit (it stays ok when there was
// nothing to do); a step that stopped the road has put it in the report.
RoadOutcome RunTaxRoad(const std::string& company, const std::string& period, int mode,
                       bool retax_bonus, bool close, TaxRecalculation* done,
                       engine::Status* status) {
    HPHONPD_YMD_FMT key = MonthKey(company, period.size() == 4 ? period + "01" : period);
    const long runsBefore = CurrentRoadReport().runs;
    const long employeesBefore = CurrentRoadReport().employees;
    std::string why;
    // A tax worked from a missing table would be stored as if it were the
    // law: a year without its law is not begun. (A year before 1900 is the
    // driver's to refuse, with its own message.)
    const std::string year = period.substr(0, 4);
    if (ComputesTax(mode) && year >= "1900" && !roads::YearLawComplete(year, &why)) {
        *status = engine::Status::Refused("recalc-tax", why);
        return RoadOutcome::kNotEnded;
    }
    // The whole year is kept off every other road of the company's year.
    roads::RoadTransaction tx;
    if (!tx.Begin({}, {roads::YearLock(company, period.substr(0, 4))}, &why)) {
        *status = engine::Status::Failed("begin", why);
        return RoadOutcome::kNotEnded;
    }
    {
        CSalaryCalcurate engine;
        *status = engine::RecalculateYear(engine, &key, mode);
    }
    // A year that stopped rolled everything back, this transaction too.
    if (tx.Lost()) {
        tx.RollBack();
        return RoadOutcome::kRolledBack;
    }
    done->runs = CurrentRoadReport().runs - runsBefore;
    done->employees = CurrentRoadReport().employees - employeesBefore;
    if (done->runs == 0) {
        // Nothing was begun in earnest: the empty transaction ends unseen.
        tx.RollBack();
        report::Current().outcome = RoadOutcome::kNotEnded;
        return RoadOutcome::kNotEnded;
    }
    if (retax_bonus && ComputesTax(mode)) {
        // The bonus runs the driver covered: the whole year, or the month.
        const std::string covered = mode == kMonthMode ? period : period.substr(0, 4);
        std::vector<HPHONPD_YMD_FMT> keys;
        std::string error;
        if (!BonusRunsWithResults(company, covered, &keys, &error)) {
            *status = engine::Status::Failed("bonus runs", error).At(covered, "");
            engine::ReportStop(*status);
            tx.RollBack();
            return RoadOutcome::kRolledBack;
        }
        for (const HPHONPD_YMD_FMT& bonus : keys) {
            CSalaryCalcurate engine;
            RetaxedRun run{bonus, {}};
            *status = roads::TaxBonusEmployees(engine, bonus, {}, kComputeBonus, &run.results);
            if (!status->ok()) {
                tx.RollBack();
                return RoadOutcome::kRolledBack;
            }
            done->bonus_runs.push_back(std::move(run));
        }
    }
    if (close) {
        // The month's close over what the driver covered, in the same
        // transaction: resident tax, insurance and the result rows.
        const std::string covered = mode == kMonthMode ? period : period.substr(0, 4);
        std::string error;
        if (!CloseMonths(company, covered, &error)) {
            *status = engine::Status::Failed("month close", error).At(covered, "");
            engine::ReportStop(*status);
            tx.RollBack();
            return RoadOutcome::kRolledBack;
        }
    }
    if (!tx.Commit(&why)) {
        *status = engine::Status::Failed("commit", why).At(period, "");
        engine::ReportStop(*status);
        return RoadOutcome::kRolledBack;
    }
    return RoadOutcome::kCommitted;
}

}  // namespace

RoadResult RecalculateTax(const std::string& company, const std::string& period, int mode,
                          bool retax_bonus, TaxRecalculation* done, bool close) {
    ResetTransactionOutcome();
    ClearLastFailure();
    BeginRoadReport("recalc-tax");
    TaxRecalculation local;
    if (!done) done = &local;
    *done = TaxRecalculation{};
    RoadResult result;
    engine::Status status;
    result.outcome = RunTaxRoad(company, period, mode, retax_bonus, close, done, &status);
    engine::Publish(status);
    switch (result.outcome) {
        case RoadOutcome::kCommitted:
            break;
        case RoadOutcome::kRolledBack:
            result.reason = DescribeFailure(CurrentRoadReport());
            break;
        case RoadOutcome::kNotEnded: {
            result.reason = status.step();
            if (!status.detail().empty())
                result.reason += (result.reason.empty() ? "" : ": ") + status.detail();
            if (result.reason.empty()) result.reason = "no pay runs of the company in the period";
            break;
        }
    }
    result.report = CurrentRoadReport();
    return result;
}

}  // namespace payroll
