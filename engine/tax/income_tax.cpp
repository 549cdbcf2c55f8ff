// Monthly income tax: the per-employee driver of the tax recalculation, the
// tax of the employee's month, and the engine's two rate-table look-ups.
#include <cstdlib>
#include <vector>

#include "engine/bonus/bonus_math.h"
#include "engine/bonus/table_tax.h"
#include "engine/common/messages.h"
#include "engine/common/rounding.h"
#include "engine/common/run_key.h"
#include "engine/common/statements.h"
#include "engine/tax/income_tax_math.h"
#include "engine/tax/result_record.h"
#include "engine/tax/tax_steps.h"
#include "payroll/salary_calcurate.h"
#include "platform/text/number_parse.h"
#include "platform/text/sql_text.h"

using payroll::sql::Esc;

namespace {

double Number(const CString& text) {
    return payroll::text::NumberOf(text.str());
}

// "AND PYTP_FG='x' "-style pay-type clause of a run, empty for a combined run.
// By CCIS_YN; the default-row load and the pay-total check go by the division filter.
CString PayTypeClause(const payroll::run_key::Fields& key, const char* format) {
    CString clause;
    if (key.combined != "001") clause.Format(format, Esc(key.pay_type).c_str());
    return clause;
}

}  // namespace

namespace payroll::engine {

Status TaxEmployee(CSalaryCalcurate& e, const CString& employee, int tableSet, int mode,
                   int* result) {
    *result = 0;
    e.m_nTableSet = tableSet;
    const auto key = run_key::Checked(e.m_HPHONPD);
    if (!key) return Status::Refused("", "");
    // An employee without a master row is taxed with empty attributes.
    bool found = false;
    Status status = OpenEmployee(e, employee, &found);
    if (Status rows = LoadPayRows(e, employee); !rows.ok()) {
        ShowMessage("open 2 error");
        return Status::Failed("open 2 error", rows.detail());
    }
    payroll::result::Clear(&e.m_HPOMNPY);
    double total = 0;
    status.Keep(SalaryTotals(e, employee, &e.m_HPOMNPY, &total));
    status.Keep(IncomeAndResidentTax(e, employee, mode, result));
    return status;
}

namespace {

constexpr int kByDivision = 1;
constexpr int kByTable = 2;

// The monthly tax by the division's amount: the run's taxable pay less the
// personal pension savings (the R items) and the division's monthly amount,
// through the rate table, rounded by the income-tax item's cut-off code.
Status DivisionMonthlyTax(CSalaryCalcurate& e, const run_key::Fields& key, const CString& employee,
                          double* tax) {
    Status status;
    CString sql;
    sql.Format(
        "SELECT SUM(DDCT_AM) DDCT_AM FROM HPOMPDD WHERE CO_CD = '%s' AND RVRS_YM ='%s' AND "
        "EMP_CD='%s' AND SQ='%s' %s AND PYDD_FG='P3' AND DDCT_CD LIKE 'R%%' ",
        Esc(key.company).c_str(), Esc(key.month).c_str(), Esc(employee).c_str(),
        Esc(key.sq).c_str(), PayTypeClause(key, "AND PYTP_FG='%s' ").c_str());
    // The query routine's run, traced under the step's own title.
    double rDeductions = 0;
    G_DataSource& deductions = e.m_dsCalcA[0];
    Status read = TracedQuery(e, deductions, sql, "GetNightTotal", "QueryOpen error");
    if (read.ok() && deductions.OnGetRecordCount() > 0)
        rDeductions = Number(deductions.OnGetFieldValue("DDCT_AM", 0));
    status.Keep(std::move(read));

    static const SEMP_FMT kNone{};
    const SEMP_FMT* emp = e.m_SEMP_ALL.at(0);
    if (!emp) emp = &kNone;
    double base =
        payroll::tax::MonthlyTaxBase(e.m_HPOMNPY.TPAY_AM, e.m_HPOMNPY.TBON_AM, rDeductions,
                                     emp->REFR_YN.View(), emp->DUMMY2.View(), emp->DUMMY3.View());
    status.Keep(BracketTax(e, base, tax));

    sql.Format(
        "SELECT CTOF_FG FROM HPMPDFM WHERE  CO_CD='%s' AND RVRS_YM='%s' AND %s PYDD_FG='P3' "
        "AND PYDD_CD='T00'",
        Esc(key.company).c_str(), Esc(key.month.Left(4)).c_str(),
        PayTypeClause(key, "PYTP_FG='%s' AND ").c_str());
    G_DataSource cutoff;
    status.Keep(TracedQuery(e, cutoff, sql, "GetCalcIncomeAndResTax", "QUERY ERROR.."));
    double rounded = 0;
    status.Keep(RoundAmount(*tax, cutoff.OnGetFieldValue("CTOF_FG", 0), &rounded));
    *tax = rounded;
    return status;
}

// The monthly tax by the year's simplified table: the run's taxable pay as
// one month of pay with nothing withheld before, for the employee's
// household; amounts under 1,000 won are not withheld. A year whose table
// or deductions are missing stops here, naming them, instead of storing a
// tax worked from nothing.
Status TableMonthlyTax(CSalaryCalcurate& e, double* tax) {
    const std::string missing = MissingTableLaw(e);
    if (!missing.empty())
        return Status::Failed("GetCalcIncomeAndResTax",
                              "the law of the run's year is missing: " + missing);
    TableWorking w;
    Status status = WorkTable(e, e.m_HPOMNPY.TPAY_AM + e.m_HPOMNPY.TBON_AM, 1, &w);
    *tax = static_cast<double>(
        payroll::bonus::Withhold(static_cast<double>(w.monthly_tax), 1, 0, 0).income_tax);
    return status;
}

// How the run's company withholds, read once a run: syscfg row 21, "002"
// for the simplified table; a company without the row keeps the division's
// amount.
Status WithholdingMethod(CSalaryCalcurate& e, const run_key::Fields& key, int* method) {
    if (e.m_nWithholding == 0) {
        CString sql;
        sql.Format("SELECT CTR_FG FROM syscfg WHERE CO_CD='%s' AND CTR_CD='21'",
                   Esc(key.company).c_str());
        G_DataSource row;
        if (Status read = TracedQuery(e, row, sql, "GetCalcIncomeAndResTax", "QUERY ERROR..");
            !read.ok())
            return read;
        e.m_nWithholding = row.OnGetFieldValue("CTR_FG", 0) == "002" ? kByTable : kByDivision;
    }
    *method = e.m_nWithholding;
    return Status();
}

}  // namespace

Status IncomeAndResidentTax(CSalaryCalcurate& e, const CString& employee, int mode, int* result) {
    *result = 0;
    const auto key = run_key::Checked(e.m_HPHONPD);
    if (!key) return Status::Refused("", "");
    // A read that fails here would turn into a stored tax computed as if it
    // had found nothing: such a result is not stored, and the step fails.
    Status status;
    if (mode == 1 || mode == 11) {
        int method = 0;
        status.Keep(WithholdingMethod(e, *key, &method));
        if (status.ok() && method == kByTable)
            status.Keep(TableMonthlyTax(e, &e.m_HPOMNPY.INTX_AM));
        else if (status.ok())
            status.Keep(DivisionMonthlyTax(e, *key, employee, &e.m_HPOMNPY.INTX_AM));
    }
    if (!status.ok()) return status;
    *result = 1;
    // The result counts as computed; what storing it came to is the status.
    bool stored = false;
    return StoreResult(e, employee, mode, &stored);
}

Status BracketTax(CSalaryCalcurate& e, double amount, double* tax) {
    *tax = 0;
    const auto key = run_key::Checked(e.m_HPHONPD);
    if (!key) return Status::Refused("", "");
    CString sql;
    sql.Format(
        "select * from HPFTITC where CO_CD='0000' and RVRS_YY='%s' AND ( (%f >= TXSS_AM AND %f "
        "<TXSE_AM ) OR (%f >= TXSS_AM AND TXSE_AM=0 ) ) ",
        Esc(key->month.Left(4)).c_str(), amount, amount, amount);
    if (Status read = TracedQuery(e, e.m_dsMain, sql, "GetPersonTax ", "GetPersonTax error");
        !read.ok())
        return read;
    if (e.m_dsMain.OnGetRecordCount() <= 0) return Status();
    *tax = payroll::tax::RateBracketTax(amount, Number(e.m_dsMain.OnGetFieldValue("TAX_RT", 0)),
                                        Number(e.m_dsMain.OnGetFieldValue("PRDA_AM", 0)));
    return Status();
}

Status IncomeCredit(CSalaryCalcurate& e, double amount, int monthly, double* credit) {
    *credit = 0;
    const auto key = run_key::Checked(e.m_HPHONPD);
    if (!key) return Status::Refused("", "");
    CString sql;
    sql.Format("select * from HPFLICH WHERE CO_CD='0000' AND RVRS_YY='%s' ORDER BY SQ  ",
               Esc(key->month.Left(4)).c_str());
    G_DataSource& table = e.m_dsTaxTable;
    Status status = QueryOpen(e, table, sql);
    // Without the brackets the credit is computed from none.
    const long rows = status.ok() ? table.OnGetRecordCount() : 0;
    std::vector<payroll::tax::CreditBracket> brackets;
    brackets.reserve(rows > 0 ? static_cast<std::size_t>(rows) : 0);
    for (long i = 0; i < rows; ++i) {
        brackets.push_back({Number(table.OnGetFieldValue("TXSS_AM", i)),
                            Number(table.OnGetFieldValue("TXSE_AM", i)),
                            Number(table.OnGetFieldValue("PRDA_AM", i)),
                            Number(table.OnGetFieldValue("TXDD_RT", i)),
                            Number(table.OnGetFieldValue("ICAM_AM", i))});
    }
    *credit = payroll::tax::CreditAmount(amount, brackets, monthly != 0);
    return status;
}

}  // namespace payroll::engine

int CSalaryCalcurate::SumIncomTax(CString employee, int tableSet, int mode, int, CString) {
    int result = 0;
    payroll::engine::Publish(
        payroll::engine::TaxEmployee(*this, employee, tableSet, mode, &result));
    return result;
}

int CSalaryCalcurate::GetCalcIncomeAndResTax(CString employee, int mode, CString) {
    int result = 0;
    payroll::engine::Publish(payroll::engine::IncomeAndResidentTax(*this, employee, mode, &result));
    return result;
}

double CSalaryCalcurate::GetTaxAmountMath(double amount, int) {
    double tax = 0;
    payroll::engine::Publish(payroll::engine::BracketTax(*this, amount, &tax));
    return tax;
}

double CSalaryCalcurate::GetTaxAmount(double amount, int monthly) {
    double credit = 0;
    payroll::engine::Publish(payroll::engine::IncomeCredit(*this, amount, monthly, &credit));
    return credit;
}
