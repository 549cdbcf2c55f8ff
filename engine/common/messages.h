// The engine's way out to the user and the host: message boxes through the
// installed UI driver, traces to the host's sink, and a failure as hosts
// see it (the last failure and the road report's failed step).
#pragma once

#include <string>

#include "engine/common/status.h"
#include "payroll/cstring.h"

namespace payroll::engine {

// Shows a text in a message box with one OK button.
void ShowMessage(const CString& text);
// Passes a traced statement to the host's trace sink, when one is installed.
void Trace(const CString& title, const CString& text);
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
