// What a host program does around the engine's roads, shared by every host
// of the library: completing a picked run's key, taxing a bonus run's
// employees, and finding the bonus runs a year recalculation must re-tax.
#pragma once

#include <string>
#include <vector>

#include "payroll/export.h"
#include "payroll/records.h"
#include "payroll/report.h"
#include "payroll/salary_calcurate.h"

namespace payroll {

// A run key holding only a company and a month, the way the picker starts.
PAYROLL_API HPHONPD_YMD_FMT MonthKey(const std::string& company, const std::string& month);

// The pay runs of a company's month as the front's picker lists them
// (CIMirak1::SearchMirak), in its order. False, with the database's message,
// when the runs cannot be read.
PAYROLL_API bool ListPayRuns(const std::string& company, const std::string& month,
                             std::vector<HPHONPD_YMD_FMT>* runs, std::string* error);

// Copies the run's join and retire rule codes (JNCM_FG, RTCM_FG) from its
// row of HPHONPD (the row of the key's head pay type) into the key: the
// picker leaves JNCM_FG out, and without both codes a company's strict rule
// never applies. False, with the database's message, when the row cannot be
// read; a run without such a row keeps the key as it is.
PAYROLL_API bool ApplyRunRules(HPHONPD_YMD_FMT* key, std::string* error);

// The choices of a run build.
struct BuildChoices {
    int table_set = 1;       // 0 HPITMPD/HPITMDD, 1 HPOMPPD/HPOMPDD, 2 HTOWTRT/HTOWTDR
    bool refresh = false;    // remove the run's leavers and refresh its rows first
    bool pay = false;        // then fill the rows' amounts by the pay step (FillRunPay)
    bool reset_pay = false;  // the pay step overwrites rows changed by hand too
};

// What the pay step did to a run's pay and deduction rows.
struct PayStepReport {
    bool ran = false;   // the pay step was part of the road
    long filled = 0;    // rows that hold the step's amount (written, or already right)
    long prorated = 0;  // of them, amounts cut by the days employed in the window
    long variable = 0;  // of them, amounts of the month's variable pay
    long kept = 0;      // rows changed by hand since the step wrote them, left as they are
    long cleared = 0;   // rows the step had filled whose source is gone, set back to 0
};

// How a road ended: its outcome, why it did not commit (empty when it
// did), and the road report with its counts and passes.
struct RoadResult {
    RoadOutcome outcome = RoadOutcome::kNotEnded;
    std::string reason;
    RoadReport report;
    PayStepReport pay;  // the pay step's figures, when it ran
};

// One employee's bonus as stored for the run.
struct BonusResult {
    std::string employee;
    int months = 0;           // the bonus period's length
    double bonus = 0;         // taxable bonus (and pay) of the run
    double tax_base = 0;      // TXST_AM
    double income_tax = 0;    // INTX_AM
    double resident_tax = 0;  // RSTX_AM
};

// Taxes the bonus of a bonus run: binds the engine to the key, then for each
// employee (empty: every employee with pay or deduction rows in the run)
// computes and stores the result with the bonus step, kind 1 or 11
// computing the tax. Runs inside the caller's transaction and never ends it.
// False at the first employee whose step failed (any statement it sent
// failed, or the employee has no master record): the road report then names
// the step, the run and the employee, and the caller must roll back.
// *results (may be null) receives each employee's stored figures.
PAYROLL_API bool TaxBonusRun(CSalaryCalcurate& engine, const HPHONPD_YMD_FMT& key,
                             const std::vector<std::string>& employees, int kind,
                             std::vector<BonusResult>* results);

// The bonus road as hosts run it: waits while another process works on the
// run, then taxes its employees (TaxBonusRun) in one transaction of its own
// and commits. kCommitted with *results (may be null) filled; kRolledBack
// when an employee's step or the commit failed (nothing changed; the reason
// names the step, the run and the employee); kNotEnded when nothing was
// begun.
PAYROLL_API RoadResult TaxBonusRoad(const HPHONPD_YMD_FMT& run,
                                    const std::vector<std::string>& employees, int kind,
                                    std::vector<BonusResult>* results);

// The bonus runs (pay types beginning with "2") of a company's period
// (YYYY, or YYYYMM for one month) that hold stored results, as keys the way
// the picker forms them, month by month in the picker's order. False, with
// a message, when the runs cannot be read.
PAYROLL_API bool BonusRunsWithResults(const std::string& company, const std::string& period,
                                      std::vector<HPHONPD_YMD_FMT>* keys, std::string* error);

// One bonus run taxed again after a year recalculation, with its employees'
// stored figures.
struct RetaxedRun {
    HPHONPD_YMD_FMT key{};
    std::vector<BonusResult> results;
};

// What a tax recalculation did.
struct TaxRecalculation {
    long runs = 0;                       // pay runs the year driver calculated
    long employees = 0;                  // employee-runs it calculated
    std::vector<RetaxedRun> bonus_runs;  // bonus runs taxed again after it
};

// The tax road as hosts run it: a fresh road report, then one transaction
// (kept off every other road of the company's year) around the engine's
// year driver over the company's period (YYYY, or YYYYMM: the month's year,
// or only the month in mode 3), then, in modes 1 and 11 and unless
// retax_bonus is false, every bonus run the driver covered that holds
// results taxed again by the bonus road (the driver taxes them by the
// monthly rule), then one commit. kCommitted when that commit stored it
// all; kRolledBack when anything failed (the reason names the step, the run
// and the employee); kNotEnded when there was nothing to do (no runs in the
// period, or a year the driver refuses; the reason says why). *done (may be
// null) receives the figures. Unless close is false, the month's close
// (CloseMonths) runs over the covered period before the commit.
PAYROLL_API RoadResult RecalculateTax(const std::string& company, const std::string& period,
                                      int mode, bool retax_bonus, TaxRecalculation* done,
                                      bool close = true);

// The month's close over a company's period (YYYY: every month, or
// YYYYMM), inside the caller's transaction, after the tax road: each run's
// resident tax (T10) is the year's rate (HPMLBEC RSTX_RT) of its income tax
// (T00) cut to tens, a bonus run's the one its result row holds; the
// national pension (S00) and health insurance (S10) are the employee
// master's NAPS_AM and HIFA_AM in the first salary run of the month with
// his results, 0 in his other runs and in bonus runs; the employment
// insurance (S20) is the employee's rate in force (HINSRAT) of the run's
// taxable pay cut to tens; the result rows' HIFE_AM, NAPE_AM, DDCT_AM and
// RSTX_AM then hold the S00, S10, S20 and T10 rows. Only rows a run has
// are filled. False, with the reason, when a rate is missing or a statement
// failed (the caller rolls back).
PAYROLL_API bool CloseMonths(const std::string& company, const std::string& period,
                             std::string* error);

// The build road as hosts run it: waits while another process works on
// the run, then, in one transaction, binds the engine to the run (its rule
// codes read from the run's row), refreshes it when asked, builds every
// pass of its pay types and removes the leavers no pass took on, and
// commits. Rows of the month's other runs are never touched. kCommitted
// when the commit stored it all; kRolledBack when a step or the commit
// failed (nothing changed; the reason names the step, the run and the
// employee); kNotEnded when nothing was begun or nobody qualified (nothing
// changed either).
PAYROLL_API RoadResult BuildPayRun(const HPHONPD_YMD_FMT& run, const BuildChoices& choices);

// Why a road failed, for a person: the report's step with the database's
// message, the run and the employee; the engine's last failure when the
// report names no step; "an unnamed step" when nothing was noted.
PAYROLL_API std::string DescribeFailure(const RoadReport& report);

// How a run build ended, from its report: kCommitted when a pass wrote its
// rows and every pass that had employees committed (a pay type that pays
// nobody on the date is no failure); kRolledBack when a pass with employees,
// or the build's last transaction, failed; kNotEnded when nobody qualified.
PAYROLL_API RoadOutcome BuildOutcome(const RoadReport& report);

// One amount of a run's variable pay (overtime, allowances that change),
// as the month's pay file gives it.
struct VariablePay {
    std::string employee;  // EMP_CD
    std::string item;      // PYDD_CD of a pay or deduction item on the run's list
    std::string amount;    // a plain number: 150000, -5000.5
    std::string hours;     // the hours it pays for (overtime); empty when not given
    std::string note;      // how it was computed, as the clerk wrote it
};

// The choices of a pay step.
struct PayChoices {
    int table_set = 1;   // the rows filled, as BuildChoices::table_set
    bool reset = false;  // overwrite rows changed by hand since the step wrote them
    // The month's variable pay. The items it names are replaced whole: an
    // employee the list leaves out loses an earlier import of that item;
    // items it does not name keep theirs.
    std::vector<VariablePay> variable;
};

// The pay step as its own road: waits while another process works on the
// run, then, in one transaction, fills the amounts of the run's pay and
// deduction rows (its sequence and pay types only): base pay (P00) from the
// pay-step table (HHCPYST) of the employee's pay class and step in force in
// the run's month, unless a fixed item of P00 holds for him; his fixed pay
// and deductions (HPHFXPD) in force in the month, in the first salary pay
// type of the run that lists the item; the pay amounts prorated by the
// calendar days he was employed in his pay window, cut down to the won; and
// the variable pay given, which wins over both. The income and resident
// tax and the insurance rows (T00, T10, T20, S00, S10, S20) are never
// touched. A row whose amount differs from what the step last wrote into
// it (or, never written by it, is neither 0 nor the new amount) is a
// clerk's and is kept, unless choices.reset. kCommitted with the figures in
// the result's pay; kRolledBack when a statement, the commit or a variable
// amount without its row failed (nothing changed; the reason says why);
// kNotEnded when nothing was begun (no such run, a table set out of range).
PAYROLL_API RoadResult FillRunPay(const HPHONPD_YMD_FMT& run, const PayChoices& choices);

}  // namespace payroll
