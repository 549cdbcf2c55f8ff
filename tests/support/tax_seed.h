// Seed rows for engine tests of the tax steps: a run key, the company
// settings init needs, item definitions, employees and pay rows. Each helper
// writes one row through the database component on the open connection and
// fails the running test when the row cannot be written. Values are quoted
// and escaped; amounts are written as given.
#pragma once

#include <string>

#include "payroll/records.h"

namespace payroll::testing {

// A complete run key: company, month YYYYMM, sequence, pay type (also the
// pay-type head and list), pay date the 25th of the month, run kind "002",
// filters "ALL".
HPHONPD_YMD_FMT TaxRunKey(const std::string& company = "1000", const std::string& month = "200203",
                          const std::string& payType = "001", const std::string& sq = "1");

// What init needs to succeed: the company's SHCFG row and one 'PC' code
// ("099", amount 0) so the code table is not empty.
void SeedCompanySettings(const std::string& company = "1000");

// A 'PC' limit code of the company; its amount is the RMK_DC text.
void SeedLimit(const std::string& company, const std::string& code, const std::string& amount);

// A pay item ("P2") of the year's definitions.
void SeedPayItem(const std::string& company, const std::string& year, const std::string& payType,
                 const std::string& code, const std::string& taxFlag,
                 const std::string& exemptClass);

// An employee master row; with a department, the department and its
// division ("DV" + department) are written too, unless they exist.
void SeedEmployee(const std::string& company, const std::string& employee, const std::string& type,
                  const std::string& department = "");

// One pay row ("P2") of a run in a pay-row table (HPITMPD, HPOMPPD, HTOWTRT).
void SeedPayRow(const std::string& table, const std::string& company, const std::string& month,
                int sq, const std::string& payType, const std::string& employee,
                const std::string& code, const std::string& amount);

// Runs one or more statements; fails the running test on error.
void SeedExec(const std::string& sql);

}  // namespace payroll::testing
