// What the pay step did, as the roads' closing lines and JSON say it
// (payroll pay, and build-run with its pay step).
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "payroll/roads.h"

namespace payroll::cli {

// "5 rows filled (1 prorated, 2 variable), 1 kept as changed by hand,
// 0 cleared".
std::string PaySummary(const PayStepReport& pay);

// The same figures for --json: {"filled", "prorated", "variable", "kept",
// "cleared"}.
nlohmann::json PayFigures(const PayStepReport& pay);

}  // namespace payroll::cli
