// The build road as hosts run it: the run's refresh (when asked), every
// pass of its pay types, the removal of its leavers and, when asked, the pay
// step that fills the rows' amounts, in one transaction that commits whole
// or not at all.
#include "engine/build/build_steps.h"
#include "engine/common/binding.h"
#include "engine/common/messages.h"
#include "payroll/diagnostics.h"
#include "payroll/host.h"
#include "payroll/roads.h"
#include "platform/db/road_report.h"
#include "roads/pay_step.h"
#include "roads/road_transaction.h"

namespace payroll {
namespace {

// Why a step that ended the road failed, as the engine named it; `fallback`
// when it named nothing.
std::string EngineWhy(const engine::Status& status, const std::string& fallback) {
    std::string why = status.step();
    if (!status.detail().empty()) why += (why.empty() ? "" : ": ") + status.detail();
    return why.empty() ? fallback : why;
}

RoadResult Ended(RoadOutcome outcome, std::string reason) {
    RoadResult result;
    result.outcome = outcome;
    result.reason = std::move(reason);
    result.report = CurrentRoadReport();
    return result;
}

// The road stopped at a step: nothing of it stays.
RoadResult Stopped(roads::RoadTransaction& tx) {
    tx.RollBack();
    // A pass that stopped without a failed statement (no item lists, say)
    // names itself.
    RoadReport& report = report::Current();
    if (report.failed_step.empty())
        for (const BuildPassReport& pass : report.passes)
            if (!pass.committed && !pass.empty) {
                report.failed_step = "pay type " + pass.pay_type + ": " + pass.note;
                break;
            }
    report::Current().outcome = RoadOutcome::kRolledBack;
    return Ended(RoadOutcome::kRolledBack, DescribeFailure(CurrentRoadReport()));
}

}  // namespace

RoadResult BuildPayRun(const HPHONPD_YMD_FMT& run, const BuildChoices& choices) {
    ResetTransactionOutcome();
    ClearLastFailure();
    BeginRoadReport("build-run");
    if (choices.table_set < 0 || choices.table_set > 2)
        return Ended(RoadOutcome::kNotEnded, "no table set " + std::to_string(choices.table_set));
    HPHONPD_YMD_FMT key = run;
    std::string why;
    // The picker leaves the join rule out: the run's own row has both codes.
    if (!ApplyRunRules(&key, &why))
        return Ended(RoadOutcome::kNotEnded, "the run's rules could not be read: " + why);

    roads::RoadTransaction tx;
    if (!tx.Begin({roads::YearLock(key.CO_CD.Str(), key.RVRS_YM.Str().substr(0, 4))},
                  {roads::RunLock(key)}, &why))
        return Ended(RoadOutcome::kNotEnded, why);

    CSalaryCalcurate engine;
    bool bound = false;
    const engine::Status binding = engine::Bind(engine, &key, &bound);
    engine::Publish(binding);
    if (!bound) {
        tx.RollBack();
        return Ended(RoadOutcome::kNotEnded, "the run's settings could not be loaded (" +
                                                 EngineWhy(binding, "see the message above") + ")");
    }
    if (choices.refresh) {
        int refreshed = 0;
        const engine::Status refresh = build::RefreshRun(engine, choices.table_set, &refreshed);
        engine::Publish(refresh);
        if (tx.Lost() || !refresh.ok()) return Stopped(tx);
    }
    int built = 0;
    const engine::Status building = build::BuildRun(engine, choices.table_set, &built);
    engine::Publish(building);
    const std::string built_why = EngineWhy(building, "no employee qualified for the run");
    if (tx.Lost()) return Stopped(tx);
    switch (BuildOutcome(CurrentRoadReport())) {
        case RoadOutcome::kCommitted:
            break;
        case RoadOutcome::kRolledBack:
            return Stopped(tx);
        case RoadOutcome::kNotEnded:
            tx.RollBack();
            report::Current().outcome = RoadOutcome::kNotEnded;
            return Ended(RoadOutcome::kNotEnded, built_why);
    }
    PayStepReport paid;
    if (choices.pay) {
        const PayChoices pay{choices.table_set, choices.reset_pay, {}};
        if (!pay::FillPay(key, pay, &paid, &why) || tx.Lost()) {
            engine::ReportStop(engine::Status::Failed("pay step", why).At(roads::RunName(key), ""));
            return Stopped(tx);
        }
    }
    if (!tx.Commit(&why)) {
        const engine::Status stopped =
            engine::Status::Failed("commit", why).At(roads::RunName(key), "");
        engine::ReportStop(stopped);
        engine::Publish(stopped);
        return Ended(RoadOutcome::kRolledBack, DescribeFailure(CurrentRoadReport()));
    }
    RoadResult result = Ended(RoadOutcome::kCommitted, "");
    result.pay = paid;
    return result;
}

}  // namespace payroll
