// What the front's commands share: the run key of a company and month, the
// runs of a month as the picker lists them (through CIMirak1::SearchMirak by
// index, as a host picks them), the option checks and the printed key.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "payroll/records.h"

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

// A key holding only the company and month.
HPHONPD_YMD_FMT KeyFor(const std::string& company, const std::string& month);

// The runs of a month, in the picker's order. False when the query failed
// (*runs is then empty).
bool ListRuns(const std::string& company, const std::string& month,
              std::vector<HPHONPD_YMD_FMT>* runs);

// "FIELD=value" lines of the fields a picked key holds, in record order.
std::vector<std::string> KeyLines(const HPHONPD_YMD_FMT& key);

// Why the last query failed, for a message.
std::string QueryFailure();

}  // namespace payroll::cli
