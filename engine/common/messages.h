// The engine's way out to the user and the host: message boxes through the
// installed UI driver, traces to the host's sink, and the last failure.
#pragma once

#include <string>

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

}  // namespace payroll::engine
