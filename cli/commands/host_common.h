// What the host program's commands share: quoting a text for a statement,
// amounts in won, the reason of the last failure, picking a run the way the
// front lists them, and the one closing line every road ends with.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands/commands.h"
#include "payroll/records.h"
#include "payroll/report.h"
#include "payroll/roads.h"

namespace payroll::cli {

// True when the text is one or more ASCII digits.
bool AllDigits(std::string_view text);

// An amount as whole won with thousands separators ("-1,234,567").
std::string Won(double amount);

// The engine's last failure as "step: detail"; empty when none was noted.
std::string FailureText();

// Fills the key of the run the front lists at place `run` (from 1) of the
// company's month, with the run's join and retire rule codes. False, with a
// message on standard error, when the month has no such run or its runs
// cannot be read.
bool PickRun(const std::string& company, const std::string& month, int run, HPHONPD_YMD_FMT* key);

// The road report's figures for --json: runs, employees, results stored,
// rows inserted, updated and deleted in all, and per table.
nlohmann::json ReportFigures(const RoadReport& report);

// How a road ended.
enum class Outcome { kCommitted, kRolledBack, kFailed };

// Prints the road's closing line and returns its exit code (kOk only when
// committed). The line is "<label>: <text>", on standard output when the road
// committed and on standard error otherwise; with --json it is instead one
// JSON object on standard output: {"road", "outcome", "message"} plus the
// figures given.
int Conclude(const GlobalOptions& options, const std::string& label, Outcome outcome,
             const std::string& text, const nlohmann::json& figures = nlohmann::json::object());

}  // namespace payroll::cli
