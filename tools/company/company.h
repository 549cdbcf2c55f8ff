// A generated company in the payroll database: organisation, employees with
// dependants and join/retirement dates, code tables with exemption limits,
// pay items, pay-run calendars and the tax tables of the year. The demo uses
// it with realistic settings; the benchmarks use it at scale. Writes through
// the exported database classes only, on the connection the host opened.
#pragma once

#include <string>

namespace payroll::company {

struct Options {
    std::string company = "1000";
    int year = 2002;
    int employees = 200;
    int pay_items = 15;        // pay items attached to each monthly run (P00 base pay first)
    int deduction_items = 10;  // deduction items (S00, S10, S20, T00, T10 first)
    // Monthly runs for every month of the year (type "001" office, "002"
    // production); one month pays both types as one combined run.
    bool monthly_runs = true;
    int combined_month = 6;  // 0: no combined run
    // Bonus runs of type "200" (0: none); each in its month, sequence 2.
    int bonus_months[2] = {3, 6};
    // Also writes each employee's pay and deduction rows of every monthly run
    // into table set 1 (HPOMPPD/HPOMPDD) with amounts, as a build and the
    // host's pay step would have left them.
    bool with_pay_rows = true;
    unsigned seed = 20021;
};

// What Generate wrote, for summaries.
struct Summary {
    int employees = 0;
    int runs = 0;
    long pay_rows = 0;
    long deduction_rows = 0;
};

// Writes the company in one transaction (all or nothing). False with a
// message when anything failed.
bool Generate(const Options& options, Summary* summary, std::string* error);

// Replaces the year's tax tables of company "0000" by the law shipped with
// the resources, in one transaction: a company's figures then follow the
// law as shipped whatever the database held. False with *error.
bool ReloadYearLaw(int year, std::string* error);

// Fills the amounts of a built run's pay and deduction rows the way a host's
// pay step would (base pay from fixed pay, allowances, statutory deductions),
// as the demo did before it imported its company: the tests hold the
// folder's way of making the demo to the same rows.
// A combined run deducts once: its deductions go under its head pay type, and
// the deduction rows of its other pay types are left at 0.
// Kept apart from the library: the library builds rows with amount 0.
bool FillPayAmounts(const std::string& company, const std::string& month, int sq,
                    std::string* error);

}  // namespace payroll::company
