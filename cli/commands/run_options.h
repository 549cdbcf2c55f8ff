// What the front's commands share: the option checks and the printed key.
// The key of a company and month and the runs of a month as the picker lists
// them come from the library (payroll/roads.h: MonthKey, ListPayRuns).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "payroll/records.h"
#include "payroll/roads.h"

namespace CLI {
class Option;
}

namespace payroll::cli {

// SEL_NO of a key the front has not touched: SearchMirak never writes it, so
// it stays when the runs could not be read at all.
inline constexpr std::int32_t kUntouched = -1;

// Adds the checks of --company (1 to 5 characters, the key's room) and
// --month (YYYYMM) to their options.
void CheckCompanyOption(CLI::Option* option);
void CheckMonthOption(CLI::Option* option);

// "FIELD=value" lines of the fields a picked key holds, in record order.
std::vector<std::string> KeyLines(const HPHONPD_YMD_FMT& key);

// Why the last query failed, for a message.
std::string QueryFailure();

}  // namespace payroll::cli
