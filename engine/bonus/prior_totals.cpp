// Prior-period totals: what an employee was already paid and taxed earlier
// in a bonus period or a month, read back from the stored results (HPOMNPY)
// and combined with the current run's fresh record.
#include <string>

#include "engine/bonus/bonus_math.h"
#include "engine/common/messages.h"
#include "engine/common/run_key.h"
#include "engine/common/statements.h"
#include "payroll/salary_calcurate.h"
#include "platform/text/sql_text.h"

namespace {

using payroll::bonus::Number;
using payroll::sql::Esc;

// "DIV_CD='x' AND " for a division filter, nothing for "ALL".
CString DivisionClause(const CString& filter) {
    CString clause;
    if (filter != "ALL") clause.Format("DIV_CD='%s' AND ", Esc(filter).c_str());
    return clause;
}

// A column of row 0 of the source as a number (0 without a row).
double Column(const G_DataSource& source, const char* column) {
    return Number(source.OnGetFieldValue(column, 0).c_str());
}

bool HasRow(const G_DataSource& source) {
    return source.OnGetRecordCount() > 0;
}

}  // namespace

void CSalaryCalcurate::GetBonersTotal(CString company, CString fromMonth, CString toMonth,
                                      CString employee, CString sq, CString, double* pay,
                                      double* taxBase, double* tax) {
    double sums[3] = {0, 0, 0};
    double* outputs[3] = {pay, taxBase, tax};
    for (double* out : outputs)
        if (out) *out = 0;
    const auto key = payroll::run_key::Checked(m_HPHONPD);
    if (!key) return;

    const std::string to = Esc(toMonth);
    const std::string head = Esc(key->pay_head);
    CString sql;
    sql.Format(
        "SELECT  SUM(TPAY_AM  - (CASE WHEN RVRS_YM='%s' AND SQ>=%s  AND PYTP_FG LIKE '%s' THEN "
        "TPAY_AM ELSE 0 END ) ) TPAY_AM , SUM(TBON_AM  - (CASE WHEN RVRS_YM='%s' AND SQ>=%s  AND "
        "PYTP_FG LIKE '%s' THEN TBON_AM ELSE 0 END ) ) TBON_AM , SUM(TXST_AM  - (CASE WHEN "
        "RVRS_YM='%s' AND SQ>=%s  AND PYTP_FG LIKE '%s' THEN TXST_AM ELSE 0 END ) ) TXST_AM , "
        "SUM(INTX_AM  - (CASE WHEN RVRS_YM='%s' AND SQ>=%s  AND PYTP_FG LIKE '%s' THEN INTX_AM "
        "ELSE 0 END ) ) INTX_AM   FROM HPOMNPY   WHERE   CO_CD='%s' AND  RVRS_YM   BETWEEN '%s'  "
        "AND '%s' AND %s EMP_CD='%s'   GROUP BY EMP_CD ",
        to.c_str(), sq.c_str(), head.c_str(), to.c_str(), sq.c_str(), head.c_str(), to.c_str(),
        sq.c_str(), head.c_str(), to.c_str(), sq.c_str(), head.c_str(), Esc(company).c_str(),
        Esc(fromMonth).c_str(), to.c_str(), DivisionClause(key->division_filter).c_str(),
        Esc(employee).c_str());
    // The sequence goes into the text without quotes: anything but a number
    // fails the step instead of reaching the database.
    if (!payroll::sql::IsSequence(sq.str())) {
        payroll::engine::NoteFailure("GetBonersTotal error", "the sequence is not a number");
        DspTRACE(sql, "GetBonersTotal error", 0);
        return;
    }
    if (!payroll::engine::TracedQuery(*this, m_dsMain, sql, "GetBonersTotal",
                                      "GetBonersTotal error", 0)
             .ok())
        return;
    if (!HasRow(m_dsMain)) return;
    sums[0] = Column(m_dsMain, "TPAY_AM") + Column(m_dsMain, "TBON_AM");
    sums[1] = Column(m_dsMain, "TXST_AM");
    sums[2] = Column(m_dsMain, "INTX_AM");
    for (int i = 0; i < 3; ++i)
        if (outputs[i]) *outputs[i] = sums[i];
}

void CSalaryCalcurate::GetBONES_EMPTY_values(CString employee, double* pay, double* taxBase,
                                             double* tax) {
    const auto key = payroll::run_key::Checked(m_HPHONPD);
    if (!key) return;
    double* outputs[3] = {pay, taxBase, tax};
    for (double* out : outputs)
        if (out) *out = 0;

    const std::string company = Esc(key->company);
    const std::string month = Esc(key->month);
    const std::string emp = Esc(employee);
    CString sql;
    sql.Format(
        "SELECT SQ, TPAY_AM, TBON_AM FROM HPOMNPY  WHERE  CO_CD='%s' AND   RVRS_YM='%s' AND  "
        "EMP_CD='%s' AND  PYTP_FG = '100'  ORDER BY SQ ",
        company.c_str(), month.c_str(), emp.c_str());
    if (!payroll::engine::TracedQuery(*this, m_dsMain, sql, "GetBONES_EMPTY_values",
                                      "GetBONES_EMPTY_values error", 0)
             .ok())
        return;
    // The month has its salary: nothing stands in for it.
    if (HasRow(m_dsMain) && Column(m_dsMain, "TPAY_AM") + Column(m_dsMain, "TBON_AM") != 0) return;

    sql.Format(
        "SELECT * FROM HPOMNPY  WHERE  CO_CD='%s' AND  RVRS_YM <  '%s' AND EMP_CD='%s' AND PYTP_FG "
        "LIKE '1%%'  AND (TPAY_AM >.0000) ORDER BY RVRS_YM DESC, SQ ASC  ",
        company.c_str(), month.c_str(), emp.c_str());
    if (!payroll::engine::TracedQuery(*this, m_dsMain, sql, "GetBONES_EMPTY_values_2",
                                      "GetBONES_EMPTY_values_2 error", 0)
             .ok())
        return;
    if (!HasRow(m_dsMain)) return;
    const double values[3] = {Column(m_dsMain, "TPAY_AM"), Column(m_dsMain, "TXST_AM"),
                              Column(m_dsMain, "INTX_AM")};
    for (int i = 0; i < 3; ++i)
        if (outputs[i]) *outputs[i] = values[i];
}

double CSalaryCalcurate::GetYmdTotalBones(CString employee, int* months, SALARY_TOTAL_x* total,
                                          HPOMNPY_FMT* record) {
    const auto key = payroll::run_key::Checked(m_HPHONPD);
    if (!months || !total || !record || !key) return 0;
    const CString& head = key->pay_head;
    const CString year = key->month.Left(4);
    const double current = record->TBON_AM + record->TPAY_AM;

    // A bonus of its own month ("2xx" other than "200"): the run alone.
    if (head.Left(1) == "2" && head != "200") {
        *months = 1;
        total->TXST_TOTAL += record->TXST_AM;
        total->INTX_TOTAL += record->INTX_AM;
        return current;
    }

    // January: the month's earlier runs, assigned rather than added.
    if (key->month.Mid(4, 2) == "01") {
        double pay = 0, base = 0, tax = 0;
        GetBonersTotal(key->company, year + "01", key->month, employee, key->sq, key->pay_type,
                       &pay, &base, &tax);
        *months = 1;
        total->TXST_TOTAL = base + record->TXST_AM;
        total->INTX_TOTAL = tax + record->INTX_AM;
        return current + pay;
    }

    // Any other month: the period runs from January when the company paid an
    // earlier bonus run, else it is the run's own month.
    const std::string company = Esc(key->company);
    const std::string month = Esc(key->month);
    CString sql;
    sql.Format(
        "SELECT A.RVRS_YM, A.SQ, SUM(B.TBON_AM) TBON FROM ( SELECT RVRS_YM, SQ, PYTP_FG  FROM "
        "HPHONPD  WHERE   CO_CD='%s' AND  PYTP_FG LIKE '2%%' AND  (RVRS_YM < '%s' OR ( RVRS_YM = "
        "'%s' AND SQ < %s  ) )      )A, ( SELECT RVRS_YM, SQ, TBON_AM  FROM HPOMNPY WHERE   "
        "CO_CD='%s' AND TBON_AM > .0000 AND %s EMP_CD='%s' )B WHERE A.RVRS_YM*=B.RVRS_YM AND "
        "A.SQ*=B.SQ GROUP BY A.RVRS_YM, A.SQ ORDER BY A.RVRS_YM DESC ",
        company.c_str(), month.c_str(), month.c_str(), key->sq.c_str(), company.c_str(),
        DivisionClause(key->division_filter).c_str(), Esc(employee).c_str());
    if (!payroll::engine::TracedQuery(*this, m_dsMain, sql, "GetYmdTotalBones",
                                      "GetYmdTotalBones error", 0)
             .ok())
        return 0;
    const CString start = HasRow(m_dsMain) ? year + "01" : key->month;

    double pay = 0, base = 0, tax = 0;
    GetBonersTotal(key->company, start, key->month, employee, key->sq, head, &pay, &base, &tax);
    double result = current + pay;
    total->TXST_TOTAL = base;
    total->INTX_TOTAL = tax;

    // A month without its salary borrows the latest earlier regular pay.
    double pay2 = 0, base2 = 0, tax2 = 0;
    GetBONES_EMPTY_values(employee, &pay2, &base2, &tax2);
    result += pay2;
    total->TXST_TOTAL += base2;
    total->INTX_TOTAL += tax2;

    YMD_FMT from{}, to{};
    GetStringToYMD_FMT(start, &from);
    GetStringToYMD_FMT(key->month, &to);
    *months = payroll::bonus::PeriodMonths(from.year, from.month, to.year, to.month);
    return result;
}

double CSalaryCalcurate::GetYmdTotalPay(CString employee, SALARY_TOTAL_x* total,
                                        HPOMNPY_FMT* record) {
    const auto key = payroll::run_key::Checked(m_HPHONPD);
    if (!total || !record || !key) return 0;
    const std::string head = Esc(key->pay_head);
    CString sql;
    sql.Format(
        "SELECT  SUM(TPAY_AM - (CASE WHEN SQ=%s AND PYTP_FG = '%s' THEN TPAY_AM ELSE 0 END ) ) "
        "TPAY, SUM(INTX_AM - (CASE WHEN SQ=%s AND PYTP_FG = '%s' THEN INTX_AM ELSE 0 END ) ) INTX "
        " FROM HPOMNPY   WHERE   CO_CD='%s' AND  EMP_CD='%s' AND RVRS_YM='%s' AND %s (   PYTP_FG "
        "LIKE '1%%' OR PYTP_FG LIKE '3%%' OR PYTP_FG LIKE '4%%' )  GROUP BY EMP_CD ",
        key->sq.c_str(), head.c_str(), key->sq.c_str(), head.c_str(), Esc(key->company).c_str(),
        Esc(employee).c_str(), Esc(key->month).c_str(),
        DivisionClause(key->division_filter).c_str());
    if (!payroll::engine::TracedQuery(*this, m_dsMain, sql, "GetYmdTotalPay",
                                      "GetYmdTotalPay error", 0)
             .ok())
        return 0;
    double month = 0;
    if (HasRow(m_dsMain)) {
        total->INTX_TOTAL = Column(m_dsMain, "INTX");
        month = Column(m_dsMain, "TPAY");
    }
    return month + record->TPAY_AM;
}

int CSalaryCalcurate::GetCurrentPay(CString employee, HPOMNPY_FMT record, double* runningPay,
                                    SALARY_TOTAL_x* total) {
    const auto key = payroll::run_key::Checked(m_HPHONPD);
    if (!runningPay || !total || !key) return 0;
    CString payType;
    // By CCIS_YN; the default-row load and the pay-total check go by the division filter.
    if (key->combined != "001") payType.Format("AND PYTP_FG='%s' ", Esc(key->pay_type).c_str());
    CString sql;
    sql.Format(
        "SELECT SUM(TPAY_AM) TPAY_AM, SUM(TBON_AM) TBON_AM, SUM(TXST_AM) TXST_AM, SUM(INTX_AM) "
        "INTX_AM, SUM(SPIC_AM) SPIC_AM  FROM HPOMNPY WHERE  CO_CD='%s' AND  EMP_CD='%s' AND "
        "RVRS_YM='%s' AND SQ=%s %s ",
        Esc(key->company).c_str(), Esc(employee).c_str(), Esc(key->month).c_str(), key->sq.c_str(),
        payType.c_str());
    DspTRACE(sql, "GetCurrentPay", 1);
    // A failed query leaves no rows: the stored values count as 0.
    QueryOpen(&m_dsMain, sql);
    const double storedPay = Column(m_dsMain, "TPAY_AM") + Column(m_dsMain, "TBON_AM");
    *runningPay = *runningPay - storedPay + (record.TPAY_AM + record.TBON_AM);
    total->TXST_TOTAL = total->TXST_TOTAL - Column(m_dsMain, "TXST_AM") + record.TXST_AM;
    total->INTX_TOTAL = total->INTX_TOTAL - Column(m_dsMain, "INTX_AM") -
                        Column(m_dsMain, "SPIC_AM") + record.SPIC_AM + record.INTX_AM;
    return 1;
}
