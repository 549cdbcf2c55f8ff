// The engine's way out to the user and the host: message boxes through the
// installed UI driver, traces to the host's sink, and the last failure.
#pragma once

#include <string>

#include "engine/common/status.h"
#include "payroll/cstring.h"

namespace payroll::engine {

// Shows a text in a message box with one OK button.
void ShowMessage(const CString& text);
// Passes a traced statement to the host's trace sink, when one is installed.
void Trace(const CString& title, const CString& text);
// Remembers the failing step and the database's message for the host.
void NoteFailure(const CString& step, const CString& detail);
// Statements of the connection that failed so far (0 without a connection):
// a step compares the count before and after to learn whether anything it
// read or wrote failed, even where the failure was traced and not returned.
long FailedStatements();
// The run and employee a road was working on when it stopped, with the step
// that failed, for the road report and the message that says why.
void NoteStop(const std::string& step, const std::string& run, const std::string& employee);

// The boundary of an exported method or road: a failure that names its step
// becomes the host's last failure (payroll::LastEngineFailure) and, while
// the road report names no failed step, the report's. True when ok.
bool Publish(const Status& status);
// The failure a driver stops at, as its road report and its message name
// it: placed in `run` at `employee`; a failure that no step names goes by
// `unnamed`, without a message.
Status StopAt(const Status& status, const char* unnamed, std::string run, std::string employee);
// A driver stopped its road at `stop` (see StopAt): the road report names its
// step, message, run and employee.
void ReportStop(const Status& stop);

}  // namespace payroll::engine
