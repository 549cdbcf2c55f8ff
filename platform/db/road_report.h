// The inside of the road report: the engine and the connection fill it as
// they work. Changes made inside a transaction wait there until it commits,
// and are dropped when it rolls back, so the report only counts what the
// database keeps.
#pragma once

#include <string>
#include <string_view>

#include "payroll/report.h"

namespace payroll::report {

enum class Change { kInserted, kUpdated, kDeleted };

// Rows a statement changed in `table`, waiting for their transaction.
void NoteChange(const std::string& table, Change change, long rows);
// A result row (summary of an employee and run) was written.
void NoteResultStored();
// The open transaction committed: what waited counts now.
void Committed();
// The open transaction rolled back: what waited is dropped.
void RolledBack();

// The report, to be filled in place (host thread only).
RoadReport& Current();

// Which table a translated write statement changes and how; false for
// anything but an INSERT, UPDATE or DELETE.
bool WriteTarget(std::string_view sql, Change* change, std::string* table);

}  // namespace payroll::report
