// One run's stored rows, gathered per employee: the pay and deduction lines
// (HPOMPPD, HPOMPDD) and the results (HPOMNPY). What the payslips and the
// register are made of. Internal to the papers module.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "papers/paper_source.h"

namespace payroll::papers::detail {

struct EmployeeRun {
    std::vector<PaperLine> pay;         // one line per item, amounts summed over pay types
    std::vector<PaperLine> deductions;  // likewise
    double gross = 0;
    double total_deductions = 0;
    bool has_result = false;
    // Sums of the results over the run's pay types.
    double tpay = 0, tbon = 0, ewte = 0, aite = 0, ette = 0, txst = 0, intx = 0, rstx = 0;
    std::string window;  // DUMMY1 of the income-tax row: two dates of eight digits
};

struct RunRows {
    RunUnit unit;
    std::map<std::string, EmployeeRun> employees;  // by EMP_CD
};

// Reads the rows of one run, of the query's employees (all when none named).
bool ReadRunRows(const PaperQuery& query, const RunUnit& unit, const ItemCatalog& items,
                 RunRows* out, std::string* error);

// Reads every run the query names, with their items' catalogue. False with a
// message when the month has no runs or no results in them, or when a named
// employee has no pay rows in them.
bool ReadMonth(const PaperQuery& query, ItemCatalog* items, std::vector<RunRows>* out,
               std::string* error);

}  // namespace payroll::papers::detail
