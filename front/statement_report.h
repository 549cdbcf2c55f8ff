// The front dialogs' statement report: a statement is traced in pieces under
// a tag (the lines are kept for debugging, never shown), and when it failed
// the tag is shown to the user in a message box.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace payroll::front {

// The trace lines of a statement: a statement longer than 200 characters is
// cut into pieces of 200 (the last shorter, never splitting a character) and
// each becomes "--[select <tag> ]--- <piece>\n"; shorter statements give none.
std::vector<std::string> TraceLines(std::string_view sql, std::string_view tag);

// Traces the statement; when quiet is false, shows the tag in a message box
// with an OK button. Returns the trace lines.
std::vector<std::string> ReportStatement(std::string_view sql, std::string_view tag, bool quiet);

}  // namespace payroll::front
