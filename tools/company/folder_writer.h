// The generated company as a company folder (docs/company-files.md): the
// files `payroll company import` reads, a list of the year's pay runs for
// `run new`, and each run's variable pay for `pay import`. The demo company
// shipped in resources/demo/ was written by it.
#pragma once

#include <string>
#include <vector>

#include "tools/company/company.h"

namespace payroll::company {

// The list of the year's runs the folder keeps beside its files.
inline constexpr const char* kRunsFile = "runs.csv";

// One pay run of the year, as runs.csv lists it.
struct PlannedRun {
    std::string month;                   // YYYYMM
    int sequence = 1;                    // the run's SQ
    std::string pay_date;                // YYYYMMDD
    std::vector<std::string> pay_types;  // the head first
    std::string bonus_from, bonus_to;    // YYYYMMDD, a bonus run's period
    std::string pay_file;                // its variable pay, relative to the folder
};

// The runs of the options' year: a monthly run (sequence 1) every month,
// the combined month paying the special allowance too, and the bonus runs
// (sequence 2).
std::vector<PlannedRun> PlanRuns(const Options& options);

// Writes the company's files and runs.csv into `dir` (created when
// missing; files replaced). False with *error when a file cannot be written.
bool WriteCompanyFolder(const Options& options, const std::string& dir, std::string* error);

// Writes the variable pay of run `run` for the employees it pays
// (`paid`, by code) into the folder's file `run.pay_file`: every amount the
// generator pays beside the fixed items (base pay, union and association
// dues), and the base pay again for an employee who joins or leaves during
// the year, whose month the pay step would otherwise prorate. False with
// *error when the file cannot be written.
bool WriteRunPay(const Options& options, const std::string& dir, const PlannedRun& run,
                 const std::vector<std::string>& paid, std::string* error);

// Reads runs.csv of the folder `dir`. False with *error naming the line
// when the file is missing or a line is not as WriteCompanyFolder writes it.
bool ReadRunList(const std::string& dir, std::vector<PlannedRun>* runs, std::string* error);

}  // namespace payroll::company
