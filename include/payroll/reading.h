// The one reading of a month for hosts: the companies, a month's runs, a
// run's employees, each employee's figures of each run (from the pay and
// deduction rows, as the payslip reads them) and a year's totals per month.
// Every face and paper of a host shows these figures; nothing here writes.
// The readers run on the connection the host opened; nothing throws.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "payroll/export.h"
#include "payroll/records.h"

namespace payroll::reading {

/// The companies that have pay runs, in code order. False, with the
/// database's message, when they cannot be read.
PAYROLL_API bool ReadCompanies(std::vector<std::string>* out, std::string* error);

/// The company as its papers name it (the company record of its folder's
/// settings: 회사명, 대표자, 사업자등록번호, 주소).
struct CompanyIdentity {
    std::string code;            ///< CO_CD
    std::string name;            ///< CO_NM, Korean
    std::string name_en;         ///< CO_NMK
    std::string representative;  ///< CEO_NM
    std::string business_no;     ///< BIZR_NB, as written: 123-45-67890
    std::string address;         ///< ADDR_DC
};

/// The company's name in the paper's language, else its other name, else
/// its code.
PAYROLL_API std::string CompanyDisplayName(const CompanyIdentity& company, bool english);

/// Reads a company's record into *out (its code always set; the other
/// fields empty when the company has none). False, with the database's
/// message, when it cannot be read (as on a database made before the
/// record existed, until `payroll schema` adds its table).
PAYROLL_API bool ReadCompanyIdentity(const std::string& company, CompanyIdentity* out,
                                     std::string* error);

/// The latest month (YYYYMM) with pay runs of a company; empty when it has
/// none or they cannot be read.
PAYROLL_API std::string LatestRunMonth(const std::string& company);

/// An employee with rows in a run.
struct RunEmployee {
    std::string code;  ///< EMP_CD
    std::string name;  ///< KOR_NM, empty without a master record
};

/// The employees with pay or deduction rows in a run (every pay type of a
/// combined run), by code. False, with a message, for a key without a
/// numeric sequence or a failed read.
PAYROLL_API bool ReadRunEmployees(const HPHONPD_YMD_FMT& run, std::vector<RunEmployee>* out,
                                  std::string* error);

/// One employee's figures of one run (a combined run's pay types together),
/// in won. The pay and the deductions are the run's rows, as the payslip
/// lists them; the taxable, exempt and bonus pay are the stored results.
struct ResultLine {
    std::string employee;          ///< EMP_CD
    std::string name;              ///< KOR_NM
    std::string department;        ///< DEPT_CD
    std::string department_name;   ///< in the query's language
    std::string month;             ///< RVRS_YM
    int sq = 0;                    ///< the run's sequence
    std::string pay_types;         ///< "100,110"
    std::string pay_date;          ///< YYYYMMDD
    double gross = 0;              ///< every pay row
    double taxable = 0;            ///< TPAY_AM + TBON_AM
    double exempt = 0;             ///< EWTE_AM + AITE_AM + ETTE_AM
    double exempt_overtime = 0;    ///< EWTE_AM: overtime pay exempt (class 001)
    double exempt_childbirth = 0;  ///< AITE_AM: class 006
    double exempt_other = 0;       ///< ETTE_AM: the other classes
    double bonus = 0;              ///< TBON_AM: taxable bonus-type pay
    double income_tax = 0;         ///< the T00 deduction rows
    double resident_tax = 0;       ///< the T10 deduction rows
    double pension = 0;            ///< S00: national pension
    double health = 0;             ///< S10: health insurance
    double employment = 0;         ///< S20: employment insurance
    double other_deductions = 0;   ///< every other deduction row
    double total_deductions = 0;   ///< every deduction row
    double net = 0;                ///< gross less total deductions
};

/// A month's figures: a line per employee and run, and their sums.
struct MonthResults {
    std::vector<ResultLine> lines;  ///< by run, then employee
    ResultLine totals;              ///< sums (texts empty)
    long people = 0;                ///< distinct employees among the lines
};

/// Reads the figures of a company's month (YYYYMM): every run (sq 0) or one
/// run, for every employee with results in it. Names in a language (0
/// Korean, 1 English). A month without runs or results reads as empty. False,
/// with a message, on a malformed company or month or a failed read.
PAYROLL_API bool ReadMonthResults(const std::string& company, const std::string& month, int sq,
                                  int language, MonthResults* out, std::string* error);

/// The sums of one month of a year.
struct MonthTotals {
    double gross = 0;       ///< every pay row
    double bonus_runs = 0;  ///< the pay of bonus runs (pay types "2.."), part of gross
    double income_tax = 0;
    double resident_tax = 0;
    double total_deductions = 0;
    double net = 0;
    long people = 0;
};

/// The twelve months of a company's year (YYYY; index 0 is January). False,
/// with a message, on a malformed query or a failed read.
PAYROLL_API bool ReadYearTotals(const std::string& company, const std::string& year,
                                std::array<MonthTotals, 12>* out, std::string* error);

/// The stored result rows (HPOMNPY) of a month as they stand, with the
/// employee's name: the column names, then one row of texts per result, by
/// run, pay type and employee (sq below 0: every run). False, with the database's
/// message, when they cannot be read.
PAYROLL_API bool ReadStoredResults(const std::string& company, const std::string& month, int sq,
                                   std::vector<std::string>* columns,
                                   std::vector<std::vector<std::string>>* rows, std::string* error);

/// How many pay runs (one per pay type, HPHONPD) a company's period (YYYY
/// or YYYYMM) holds; -1 when they cannot be counted.
PAYROLL_API long CountRuns(const std::string& company, const std::string& period);

/// How many result rows (HPOMNPY) a company's period (YYYY or YYYYMM) holds:
/// one per employee and pay type of a run. -1 when they cannot be counted.
PAYROLL_API long CountStoredResults(const std::string& company, const std::string& period);

}  // namespace payroll::reading
