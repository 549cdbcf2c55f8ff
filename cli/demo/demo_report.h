// The demo's roads and its summary: recalculating the year's income tax and
// printing per month and per employee what came out.
#pragma once

#include "cli/demo/demo_company.h"

namespace payroll::cli {

// Builds the imported demo company's runs with the pay step and their
// variable pay, runs them through the tax and bonus roads and prints the
// summary; the exit code of the demo.
int RunDemoRoads(const DemoCompany& demo);

}  // namespace payroll::cli
