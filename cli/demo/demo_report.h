// The demo's roads and its summary: recalculating the year's income tax and
// printing per month and per employee what came out.
#pragma once

#include <string>

namespace payroll::cli {

// Runs the demo company through the roads and prints the summary; the exit
// code of the demo.
int RunDemoRoads(const std::string& company, int year);

}  // namespace payroll::cli
