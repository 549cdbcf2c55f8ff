#include "engine/common/messages.h"

#include "payroll/diagnostics.h"
#include "platform/db/road_report.h"
#include "platform/ui/afx.h"

namespace payroll {
namespace {

EngineFailure& Last() {
    static EngineFailure failure;
    return failure;
}

TraceSink& Sink() {
    static TraceSink sink;
    return sink;
}

}  // namespace

EngineFailure LastEngineFailure() {
    return Last();
}
void ClearLastFailure() {
    Last() = EngineFailure{};
}
void InstallTraceSink(TraceSink sink) {
    Sink() = std::move(sink);
}

namespace engine {

void ShowMessage(const CString& text) {
    AfxMessageBox(text.c_str(), MB_OK);
}

void Trace(const CString& title, const CString& text) {
    if (Sink()) Sink()(title.str(), text.str());
}

bool Publish(const Status& status) {
    if (status.ok()) return true;
    // A failure no step names (a count that only sized a table) is the
    // driver's to name, when it stops on it.
    if (status.step().empty()) return false;
    Last() = EngineFailure{status.step(), status.detail()};
    RoadReport& report = report::Current();
    if (report.failed_step.empty()) {
        report.failed_step = status.step();
        report.detail = status.detail();
    }
    return false;
}

Status StopAt(const Status& status, const char* unnamed, std::string run, std::string employee) {
    const Status named = status.step().empty() ? Status::Failed(unnamed, "") : status;
    return named.At(std::move(run), std::move(employee));
}

void ReportStop(const Status& stop) {
    RoadReport& report = report::Current();
    report.failed_step = stop.step();
    report.detail = stop.detail();
    report.failed_run = stop.run();
    report.failed_employee = stop.employee();
}

}  // namespace engine
}  // namespace payroll
