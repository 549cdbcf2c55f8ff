// Seeds a company into the open scratch database, one statement at a time
// through the database component; a statement that fails fails the running
// test. Two kinds of company are on offer:
//
// - the run-build company (SeedCompany, SeedRunCalendar, SeedEmployees): the
//   settings, organisation, employee master and pay-run calendar with its
//   windows and items that building a run reads;
// - the rows the tax steps read (SeedCompanySettings, SeedLimit, SeedPayItem,
//   SeedEmployeeRow, SeedPayRow, SeedDeductionRow), written one by one as a
//   test needs them.
//
// Values are quoted and escaped; amounts are written as given.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "payroll/records.h"

namespace payroll::testing {

// Runs one or more statements; fails the running test on error.
void SeedExec(const std::string& sql);
// The number of rows of `table` that meet `where` (empty: every row).
long SeedCount(const std::string& table, const std::string& where);

// --- The run-build company ---------------------------------------------

// An employee of the run-build company.
struct EmployeeSeed {
    std::string emp;
    std::string htyp = "001";
    std::string pysp = "001";
    std::string dept = "D01";
    std::string join = "20000101";
    std::string retire;  // empty: NULL
    std::string prty = "P01";
    std::string pjt = "J01";
    std::string hrsp = "R01";
    std::string naps = "150000";  // empty: NULL
    std::string hifa = "50000";
    std::string empl_fg = "001";
};

// A run of the run-build company.
struct SeedRun {
    std::string company = "1000";
    std::string month = "200203";
    int sq = 1;
    std::string pay_date = "20020325";
    std::string combined = "002";  // CCIS_YN of the run
    std::vector<std::string> pay_types = {"001"};
    // Employee types and pay systems the run covers (HPHWTPT), with the
    // cut-off of each type (HHFAACC: kind "001", day 25 gives the window
    // 20020225-20020324 for 200203).
    std::vector<std::string> types = {"001"};
    // (pay type, employee type) pairs covered by one pay type only.
    std::vector<std::pair<std::string, std::string>> extra_types;
    std::string pysp = "001";
    std::string cutoff_kind = "001";
    std::string cutoff_day = "25";
    std::vector<std::string> pay_items = {"P00", "P10"};
    std::vector<std::string> deduction_items = {"S00", "S10", "T00"};
};

// Company settings, 'PC' codes, divisions DV1/DV2 and departments D01 (DV1),
// D02 (DV2).
void SeedCompany(const std::string& company = "1000");
// The run's calendar, windows, pay types, items and item definitions.
void SeedRunCalendar(const SeedRun& run);
void SeedEmployees(const std::string& company, const std::vector<EmployeeSeed>& people);
// Employees E0001.. of the default kind.
std::vector<EmployeeSeed> NumberedEmployees(int count, int first = 1);
// The key a host passes for the run and pay type `pay_type`.
HPHONPD_YMD_FMT SeedKey(const SeedRun& run, const std::string& pay_type);

// --- Rows for the tax steps --------------------------------------------

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
void SeedEmployeeRow(const std::string& company, const std::string& employee,
                     const std::string& type, const std::string& department = "");

// One pay row ("P2") of a run in a pay-row table (HPITMPD, HPOMPPD, HTOWTRT).
void SeedPayRow(const std::string& table, const std::string& company, const std::string& month,
                int sq, const std::string& payType, const std::string& employee,
                const std::string& code, const std::string& amount);

// One deduction row ("P3") of a run in a deduction-row table (HPITMDD,
// HPOMPDD, HTOWTDR).
void SeedDeductionRow(const std::string& table, const std::string& company,
                      const std::string& month, int sq, const std::string& payType,
                      const std::string& employee, const std::string& code,
                      const std::string& amount);

}  // namespace payroll::testing
