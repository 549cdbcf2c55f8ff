// The month's papers as data: each employee's payslip, the payroll register
// and each employee's withholding ledger of a year, read out of the stored
// runs and results (table set 1: HPOMPPD, HPOMPDD, HPOMNPY) once the tax road
// has run. Nothing here draws or writes a file: a host renders the data. The
// readers only read, on the connection the host opened; nothing throws.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "payroll/export.h"

namespace payroll::papers {

/// Which runs of a month a paper covers, and for whom.
struct PaperQuery {
    std::string company;  ///< CO_CD
    std::string period;   ///< YYYYMM for payslips and the register, YYYY for ledgers
    /// Run sequence (SQ); 0 takes every run of the month.
    int sq = 0;
    /// With sq: one pay type of a run whose types are paid apart; empty takes
    /// every pay type of the run (as a combined run is paid).
    std::string pay_type;
    /// Only these employees (EMP_CD); empty takes everyone with results.
    std::vector<std::string> employees;
    /// Names of items and departments: 0 Korean, 1 English (falls back to Korean).
    int language = 0;
};

/// One pay or deduction line: an item and the employee's amount of it.
struct PaperLine {
    std::string code;  ///< PAY_CD or DDCT_CD
    std::string name;  ///< the item's name in the query's language; the code when unnamed
    double amount = 0;
    bool taxable = false;   ///< pay items: TAX_FG "001"
    std::string exemption;  ///< pay items that are not taxable: the exemption class (TXEX_FG)
};

/// What the payslip's calculation notes say, from the tables the engine used.
struct PayslipNotes {
    bool bonus_run = false;  ///< the run's pay type is a bonus type ("2..")
    // National pension (deduction S00): the amount the agency bills, and the
    // grade of the year's table (HIFNPCT) whose premium it is, with that
    // grade's standard monthly income (its middle) and the premium rate.
    // pension_grade stays empty when no grade's premium is the amount.
    bool has_pension = false;
    double pension_income = 0;
    std::string pension_grade;
    double pension_rate = 0;  ///< as a fraction (0.045)
    double pension_amount = 0;
    // Monthly income tax: the taxable pay, the personal-pension savings (R
    // items) and the division's deduction subtracted from it, the bracket of
    // the year's rate table (HPFTITC) and the rounding code (CTOF_FG of T00).
    bool has_income_tax = false;
    double taxable_pay = 0;
    double savings_deduction = 0;
    double division_deduction = 0;
    double tax_base = 0;
    double tax_rate = 0;        ///< the bracket's rate, as a fraction
    double tax_less = 0;        ///< the bracket's progressive deduction
    std::string rounding_code;  ///< empty when none applies
    double income_tax = 0;      ///< as stored
    /// The income tax the note's working gives (the rate table's, or the
    /// simplified table's); it differs from income_tax when the stored row
    /// was changed by hand.
    double computed_tax = 0;
    // A company that withholds by the year's simplified table: the table
    // worked for the run's taxable pay and the employee's household from the
    // year's law, never from the stored tax.
    bool by_table = false;
    double table_cell = 0;        ///< the pay's cell midpoint (the pay itself from 10,000,000)
    double table_annual_pay = 0;  ///< 12 × the cell
    double table_earned = 0;      ///< earned-income deduction
    double table_personal = 0;    ///< basic deductions of the household
    int table_persons = 0;        ///< the household's persons
    double table_standard = 0;    ///< standard deduction
    double table_pension = 0;     ///< the year's national pension of the cell's grade
    double table_base = 0;        ///< annual tax base
    double table_computed = 0;    ///< the rate table's tax of the base
    double table_credit = 0;      ///< earned-income tax credit
    double table_monthly = 0;     ///< the month's share, cut to tens
    // Resident tax: the year's rate (HPMLBEC RSTX_RT) of the income tax.
    double resident_rate = 0;
    double resident_tax = 0;           ///< as stored
    double computed_resident_tax = 0;  ///< the rate of the stored income tax, cut to tens
};

/// One employee's payslip of one run (or of a combined run's pay types).
struct Payslip {
    /// What the payslip law asks of a pay line beyond its amount: its exempt
    /// and taxable parts, and for variable pay the hours it pays for and how
    /// it was computed, as the pay import gave them.
    struct PayDetail {
        double exempt = 0;   ///< the part its exemption class allowed (0 for a taxable item)
        double taxable = 0;  ///< the rest
        bool has_hours = false;
        double hours = 0;    ///< HPOMPSW WKHR_TM
        std::string method;  ///< HPOMPSW CALC_DC; empty when none was given
        /// A line the pay step prorated: the days he was employed in the
        /// window and the window's days (HPOMPSW WORK_DN, WNDW_DN); 0 else.
        int prorated_days = 0;
        int window_days = 0;
    };
    std::string company;
    std::string company_name;    ///< in the query's language; the code when none is recorded
    std::string representative;  ///< empty when not recorded
    std::string business_no;     ///< 123-45-67890, as recorded
    std::string employee;        ///< EMP_CD
    std::string name;            ///< KOR_NM; in English KOR_NMK when recorded
    std::string department;
    std::string department_name;
    std::string month;           ///< RVRS_YM
    int sq = 0;                  ///< the run's sequence
    std::string pay_types;       ///< the pay types paid, "100,110"
    std::string pay_type_names;  ///< their names in the query's language, "급여, 특별수당"
    std::string pay_date;        ///< YYYYMMDD
    /// The pay period (YYYYMMDD) as he was employed in it: the run's window,
    /// from his join date when he joined in it and to his retirement date
    /// when he left in it; empty when the window is not stored.
    std::string period_from, period_to;
    int days_worked = 0;         ///< calendar days of the period, both ends counted; 0 when unknown
    std::vector<PaperLine> pay;  ///< non-zero pay lines, in item order
    std::vector<PayDetail> pay_detail;  ///< one per pay line
    std::vector<PaperLine> deductions;  ///< non-zero deduction lines, in item order
    double gross = 0;                   ///< every pay row's amount
    double total_deductions = 0;        ///< every deduction row's amount
    double net = 0;                     ///< gross less deductions
    double taxable = 0;                 ///< TPAY_AM + TBON_AM of the results
    double exempt = 0;                  ///< EWTE_AM + AITE_AM + ETTE_AM of the results
    PayslipNotes notes;
};

/// A column of the register: one item.
struct RegisterColumn {
    std::string code;
    std::string name;
    bool deduction = false;
};

/// A run of the register as it is paid: one sequence with every pay type of
/// a combined run, or one pay type of a run whose types are paid apart.
struct RegisterRun {
    int sq = 0;
    std::string pay_types;  ///< "100,110"
    std::string pay_date;   ///< YYYYMMDD
};

/// One employee's line of the register: his figures in one run.
struct RegisterLine {
    std::size_t run = 0;  ///< index into Register::runs
    std::string employee;
    std::string name;
    std::string department;       ///< DEPT_CD
    std::string department_name;  ///< in the query's language; the code when unnamed
    std::vector<double> amounts;  ///< one per column
    double gross = 0, total_deductions = 0, net = 0;
};

/// The sums of a group of the register's lines: a department of a run, a
/// run, or the whole month.
struct RegisterTotal {
    std::size_t run = 0;          ///< the run summed (department and run totals)
    std::string department;       ///< a department's total: its code; else empty
    std::string department_name;  ///< and its name
    long people = 0;              ///< distinct employees among the lines
    long lines = 0;               ///< the lines summed: one per employee and run
    std::vector<double> amounts;  ///< one per column
    double gross = 0, total_deductions = 0, net = 0;
};

/// The payroll register of a month (or of one run).
struct Register {
    std::string company;
    std::string company_name;  ///< in the query's language; the code when the company has none
    std::string month;
    std::vector<RegisterRun> runs;        ///< by sequence and pay type
    std::vector<RegisterColumn> columns;  ///< pay items, then deduction items, in item order
    /// By run, then department code, then employee code.
    std::vector<RegisterLine> lines;
    /// One per department of each run, in the lines' order.
    std::vector<RegisterTotal> departments;
    std::vector<RegisterTotal> run_totals;  ///< one per run
    RegisterTotal total;                    ///< the month
};

/// The employer's block of a paper that names the withholding agent.
struct Employer {
    std::string code;            ///< CO_CD
    std::string name;            ///< in the query's language; empty when not recorded
    std::string representative;  ///< empty when not recorded
    std::string business_no;     ///< 123-45-67890, as recorded
    std::string address;
};

/// One month of an employee's withholding ledger: the sums of the runs paid
/// for it, as the month's reading gives them (payroll/reading.h).
struct LedgerLine {
    std::string month;                   ///< YYYYMM
    std::vector<std::string> pay_dates;  ///< YYYYMMDD of its runs, in order; none when unpaid
    int runs = 0;                        ///< the runs that paid him in the month
    double gross = 0;                    ///< every pay row
    double taxable = 0;                  ///< TPAY_AM: taxable pay but bonus
    double bonus = 0;                    ///< TBON_AM: taxable bonus-type pay
    double exempt_overtime = 0;          ///< EWTE_AM: overtime pay exempt (class 001)
    double exempt_childbirth = 0;        ///< AITE_AM: class 006
    double exempt_other = 0;             ///< ETTE_AM: classes 002 to 005 and the rest
    double income_tax = 0;               ///< the T00 deductions withheld
    double resident_tax = 0;             ///< the T10 deductions withheld
    double pension = 0;                  ///< S00: national pension
    double health = 0;                   ///< S10: health insurance
    double employment = 0;               ///< S20: employment insurance
};

/// An employee's withholding ledger (근로소득 원천징수부) of a year.
struct Ledger {
    Employer employer;
    std::string year;
    std::string employee;
    std::string name;
    std::string department;
    std::string department_name;
    std::vector<LedgerLine> lines;  ///< the twelve months, January first
    LedgerLine totals;              ///< the year's sums (month empty, every pay date)
};

/// One line of the monthly withholding return for earned income.
struct ReturnLine {
    std::string code;  ///< the form's line code: A01, A02, A03, A04, A10
    std::string name;  ///< its title in the query's language
    long people = 0;
    double pay = 0;  ///< total pay: every pay row
    double income_tax = 0;
    double resident_tax = 0;
    /// False for a line the library does not compute (year-end settlement,
    /// daily workers): it shows 0, and the return's note says so.
    bool computed = true;
};

/// The monthly withholding return (원천징수이행상황신고서) of a payment month:
/// every run whose pay date falls in the month.
struct WithholdingReturn {
    std::string company;
    std::string payment_month;                    ///< YYYYMM
    std::vector<std::string> attribution_months;  ///< the runs' months (RVRS_YM)
    std::vector<ReturnLine> lines;                ///< A01, A02, A03, A04 and their total A10
    std::string note;                             ///< what the library leaves at 0, and why
};

/// Reads the return of the query's payment month (period YYYYMM; sq, pay
/// type and employees ignored). A01 holds the monthly withholding of the
/// employees paid in the month, A02 that of those who retired in it (their
/// mid-year settlement is not computed), A03 and A04 stay 0, and A10 is the
/// sum. False, with a message, on a malformed query, a month without paid
/// runs with results, or a failed read.
PAYROLL_API bool ReadWithholdingReturn(const PaperQuery& query, WithholdingReturn* out,
                                       std::string* error);

/// Reads the payslips of the query's month (YYYYMM), one per employee and
/// run, ordered by run and employee. False, with a message in *error, on a
/// malformed query, a month (or run) without results, an asked-for employee
/// without pay rows in it, or a failed read; *out is then empty.
PAYROLL_API bool ReadPayslips(const PaperQuery& query, std::vector<Payslip>* out,
                              std::string* error);

/// Reads the register of the query's month (YYYYMM) over the runs it names;
/// the query's employees are ignored (a register lists everyone). Columns are
/// the items with an amount anywhere in the runs; a line per employee and
/// run, summed by department within each run, by run and over the month.
/// False, with a message in *error, as ReadPayslips.
PAYROLL_API bool ReadRegister(const PaperQuery& query, Register* out, std::string* error);

/// Reads the withholding ledgers of the query's year (YYYY), one per
/// employee with results in it, ordered by employee, each with its twelve
/// months and the employer's block; sq and pay_type are ignored. False, with a message in *error,
/// on a malformed query, a year without results, an asked-for employee without results, or a failed
/// read.
PAYROLL_API bool ReadLedgers(const PaperQuery& query, std::vector<Ledger>* out, std::string* error);

/// The label `id` of the papers in a language (0 Korean, 1 English), from
/// that language's file under the resources folder, else from the texts
/// built into the library; empty for an unknown id.
PAYROLL_API std::string PaperText(int language, int id);

}  // namespace payroll::papers
