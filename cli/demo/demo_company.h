// The demo company as a clerk makes a company: its folder imported, its
// runs opened with `run new`, each built with the pay step and given its
// month's variable pay.
#pragma once

#include <string>
#include <vector>

#include "payroll/records.h"
#include "tools/company/company.h"
#include "tools/company/folder_writer.h"

namespace payroll::cli {

struct DemoCompany {
    std::string folder;  // the company folder imported
    bool generated = false;
    company::Options options;  // what the generator wrote, when generated
    std::string company;
    int year = 0;
    long employees = 0;
    std::vector<company::PlannedRun> runs;
};

// Where the demo's folder comes from: the one shipped in the resources
// (employees 0), or one the generator writes for that many employees into
// `folder` (a new temporary folder when empty). False with *error.
bool PrepareDemoFolder(int employees, const std::string& folder, DemoCompany* demo,
                       std::string* error);

// Imports the folder and opens the year's runs, the company's runs of that
// year deleted first so the demo starts its year anew. False with *error
// (the import's problems one a line).
bool ImportDemoCompany(DemoCompany* demo, std::string* error);

// Whether the folder lists a variable pay file for the run.
bool HasVariablePay(const DemoCompany& demo, const HPHONPD_YMD_FMT& run);

// The month's variable pay of a built run from its file in the folder
// (written first for the employees the run pays, when the folder is
// generated), filled by the pay step. False with *error.
bool ImportDemoPay(const DemoCompany& demo, const HPHONPD_YMD_FMT& run, std::string* error);

}  // namespace payroll::cli
