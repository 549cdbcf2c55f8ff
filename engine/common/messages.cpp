#include "engine/common/messages.h"

#include "payroll/diagnostics.h"
#include "platform/db/connection.h"
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

void NoteFailure(const CString& step, const CString& detail) {
    Last() = EngineFailure{step.str(), detail.str()};
    RoadReport& report = report::Current();
    if (report.failed_step.empty()) {
        report.failed_step = step.str();
        report.detail = detail.str();
    }
}

long FailedStatements() {
    const db::Connection* c = db::Connection::Current();
    return c ? c->failures() : 0;
}

void NoteStop(const std::string& step, const std::string& run, const std::string& employee) {
    RoadReport& report = report::Current();
    report.failed_step = step;
    report.detail = Last().step == step ? Last().detail : std::string();
    report.failed_run = run;
    report.failed_employee = employee;
}

bool Publish(const Status& status) {
    if (status.ok()) return true;
    if (!status.step().empty()) NoteFailure(status.step(), status.detail());
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
