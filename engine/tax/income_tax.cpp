// Monthly income tax: the per-employee driver of the tax recalculation, the
// tax of the employee's month, and the engine's two rate-table look-ups.
#include <cstdlib>
#include <vector>

#include "engine/common/messages.h"
#include "engine/common/run_key.h"
#include "engine/common/statements.h"
#include "engine/tax/income_tax_math.h"
#include "engine/tax/result_record.h"
#include "payroll/diagnostics.h"
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

int CSalaryCalcurate::SumIncomTax(CString employee, int tableSet, int mode, int, CString) {
    m_nTableSet = tableSet;
    const auto key = payroll::run_key::Checked(m_HPHONPD);
    if (!key) return 0;
    OpenSEMP(employee);
    if (!LoadDataIncom(employee, 1)) {
        payroll::engine::NoteFailure("open 2 error", payroll::LastEngineFailure().detail);
        payroll::engine::ShowMessage("open 2 error");
        return 0;
    }
    payroll::result::Clear(&m_HPOMNPY);
    GetSalaryTotalCalc(employee, std::atoi(key->pay_type.Left(4).c_str()), &m_HPOMNPY);
    return GetCalcIncomeAndResTax(employee, mode, CString());
}

int CSalaryCalcurate::GetCalcIncomeAndResTax(CString employee, int mode, CString text) {
    const auto key = payroll::run_key::Checked(m_HPHONPD);
    if (!key) return 0;
    // A read that fails here would turn into a stored tax computed as if it
    // had found nothing: such a result is not stored, and the step fails.
    const long failedBefore = payroll::engine::FailedStatements();
    if (mode == 1 || mode == 11) {
        CString sql;
        sql.Format(
            "SELECT SUM(DDCT_AM) DDCT_AM FROM HPOMPDD WHERE CO_CD = '%s' AND RVRS_YM ='%s' AND "
            "EMP_CD='%s' AND SQ='%s' %s AND PYDD_FG='P3' AND DDCT_CD LIKE 'R%%' ",
            Esc(key->company).c_str(), Esc(key->month).c_str(), Esc(employee).c_str(),
            Esc(key->sq).c_str(), PayTypeClause(*key, "AND PYTP_FG='%s' ").c_str());
        // The query routine's run, traced under the step's own title.
        double rDeductions = 0;
        if (payroll::engine::TracedQuery(*this, m_dsCalcA[0], sql, "GetNightTotal",
                                         "QueryOpen error")
                .ok() &&
            m_dsCalcA[0].OnGetRecordCount() > 0)
            rDeductions = Number(m_dsCalcA[0].OnGetFieldValue("DDCT_AM", 0));

        static const SEMP_FMT kNone{};
        const SEMP_FMT* emp = m_SEMP_ALL.at(0);
        if (!emp) emp = &kNone;
        double base = payroll::tax::MonthlyTaxBase(m_HPOMNPY.TPAY_AM, m_HPOMNPY.TBON_AM,
                                                   rDeductions, emp->REFR_YN.View(),
                                                   emp->DUMMY2.View(), emp->DUMMY3.View());
        m_HPOMNPY.INTX_AM = GetTaxAmountMath(base, 1);

        sql.Format(
            "SELECT CTOF_FG FROM HPMPDFM WHERE  CO_CD='%s' AND RVRS_YM='%s' AND %s PYDD_FG='P3' "
            "AND PYDD_CD='T00'",
            Esc(key->company).c_str(), Esc(key->month.Left(4)).c_str(),
            PayTypeClause(*key, "PYTP_FG='%s' AND ").c_str());
        G_DataSource cutoff;
        payroll::engine::TracedQuery(*this, cutoff, sql, "GetCalcIncomeAndResTax", "QUERY ERROR..")
            .ok();
        m_HPOMNPY.INTX_AM =
            SetAmountReleas(m_HPOMNPY.INTX_AM, cutoff.OnGetFieldValue("CTOF_FG", 0));
    }
    if (payroll::engine::FailedStatements() != failedBefore) return 0;
    AppendData(employee, mode, text);
    return 1;
}

double CSalaryCalcurate::GetTaxAmountMath(double amount, int) {
    const auto key = payroll::run_key::Checked(m_HPHONPD);
    if (!key) return 0;
    CString sql;
    sql.Format(
        "select * from HPFTITC where CO_CD='0000' and RVRS_YY='%s' AND ( (%f >= TXSS_AM AND %f "
        "<TXSE_AM ) OR (%f >= TXSS_AM AND TXSE_AM=0 ) ) ",
        Esc(key->month.Left(4)).c_str(), amount, amount, amount);
    if (!payroll::engine::TracedQuery(*this, m_dsMain, sql, "GetPersonTax ", "GetPersonTax error")
             .ok())
        return 0;
    if (m_dsMain.OnGetRecordCount() <= 0) return 0;
    return payroll::tax::RateBracketTax(amount, Number(m_dsMain.OnGetFieldValue("TAX_RT", 0)),
                                        Number(m_dsMain.OnGetFieldValue("PRDA_AM", 0)));
}

double CSalaryCalcurate::GetTaxAmount(double amount, int monthly) {
    const auto key = payroll::run_key::Checked(m_HPHONPD);
    if (!key) return 0;
    CString sql;
    sql.Format("select * from HPFLICH WHERE CO_CD='0000' AND RVRS_YY='%s' ORDER BY SQ  ",
               Esc(key->month.Left(4)).c_str());
    long rows = QueryOpen(&m_dsTaxTable, sql);
    std::vector<payroll::tax::CreditBracket> brackets;
    brackets.reserve(rows > 0 ? static_cast<std::size_t>(rows) : 0);
    for (long i = 0; i < rows; ++i) {
        brackets.push_back({Number(m_dsTaxTable.OnGetFieldValue("TXSS_AM", i)),
                            Number(m_dsTaxTable.OnGetFieldValue("TXSE_AM", i)),
                            Number(m_dsTaxTable.OnGetFieldValue("PRDA_AM", i)),
                            Number(m_dsTaxTable.OnGetFieldValue("TXDD_RT", i)),
                            Number(m_dsTaxTable.OnGetFieldValue("ICAM_AM", i))});
    }
    return payroll::tax::CreditAmount(amount, brackets, monthly != 0);
}
