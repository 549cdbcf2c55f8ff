// What the engine reports besides its 0 results: the step that failed last
// (with the database's own message), and an optional sink for the traces of
// every statement, for hosts that want a log.
#pragma once

#include <functional>
#include <string>

#include "payroll/export.h"

namespace payroll {

// What payroll::LastEngineFailure reports.
struct EngineFailure {
    std::string step;    // the error title the engine showed, e.g. "sum save error"
    std::string detail;  // the database's message, when a statement failed
};

// The last failure any engine object noted since ClearLastFailure.
PAYROLL_API EngineFailure LastEngineFailure();
// Forgets the last failure (call it before a road to learn about that road).
PAYROLL_API void ClearLastFailure();

// Receives (title, statement text) for every traced statement; an empty
// function switches tracing off (the default).
using TraceSink = std::function<void(const std::string& title, const std::string& text)>;
// Installs the sink (replacing the one before); the engine calls it on the
// host's thread.
PAYROLL_API void InstallTraceSink(TraceSink sink);

}  // namespace payroll
