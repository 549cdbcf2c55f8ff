// What a host says of a road once it ended: why it failed, and how a run
// build with its several passes ended.
#include "payroll/diagnostics.h"
#include "payroll/roads.h"

namespace payroll {

std::string DescribeFailure(const RoadReport& report) {
    std::string why;
    if (!report.failed_step.empty()) {
        why = report.failed_step;
        if (!report.detail.empty()) why += ": " + report.detail;
    } else {
        const EngineFailure failure = LastEngineFailure();
        why = failure.step;
        if (!failure.detail.empty()) why += (why.empty() ? "" : ": ") + failure.detail;
    }
    std::string where;
    if (!report.failed_run.empty()) where = "run " + report.failed_run;
    if (!report.failed_employee.empty())
        where += (where.empty() ? "" : ", ") + std::string("employee ") + report.failed_employee;
    if (!where.empty()) why += " (" + where + ")";
    return why.empty() ? std::string("an unnamed step") : why;
}

RoadOutcome BuildOutcome(const RoadReport& report) {
    long worked = 0, failed = 0;
    for (const BuildPassReport& pass : report.passes) {
        if (pass.committed) ++worked;
        if (!pass.committed && !pass.empty) ++failed;
    }
    if (failed > 0 || report.outcome == RoadOutcome::kRolledBack) return RoadOutcome::kRolledBack;
    return worked > 0 ? RoadOutcome::kCommitted : RoadOutcome::kNotEnded;
}

}  // namespace payroll
