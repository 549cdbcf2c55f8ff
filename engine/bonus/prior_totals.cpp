// Prior-period totals: what an employee was already paid and taxed earlier
// in a bonus period or a month, read back from the stored results (HPOMNPY)
// and combined with the current run's fresh record.
#include <string>

#include "engine/bonus/bonus_math.h"
#include "engine/bonus/bonus_steps.h"
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

namespace payroll::engine {

Status PriorTotals(CSalaryCalcurate& e, const CString& company, const CString& from,
                   const CString& to, const CString& employee, const CString& sq, double* pay,
                   double* taxBase, double* tax) {
    double* outputs[3] = {pay, taxBase, tax};
    for (double* out : outputs)
        if (out) *out = 0;
    const auto key = run_key::Checked(e.m_HPHONPD);
    if (!key) return Status::Refused("", "");

    const std::string until = Esc(to);
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
        until.c_str(), sq.c_str(), head.c_str(), until.c_str(), sq.c_str(), head.c_str(),
        until.c_str(), sq.c_str(), head.c_str(), until.c_str(), sq.c_str(), head.c_str(),
        Esc(company).c_str(), Esc(from).c_str(), until.c_str(),
        DivisionClause(key->division_filter).c_str(), Esc(employee).c_str());
    // The sequence goes into the text without quotes: anything but a number
    // fails the step instead of reaching the database.
    if (!payroll::sql::IsSequence(sq.str())) {
        e.DspTRACE(sql, "GetBonersTotal error", 0);
        return Status::Refused("GetBonersTotal error", "the sequence is not a number");
    }
    if (Status read = TracedQuery(e, e.m_dsMain, sql, "GetBonersTotal", "GetBonersTotal error", 0);
        !read.ok())
        return read;
    if (!HasRow(e.m_dsMain)) return Status();
    const double sums[3] = {Column(e.m_dsMain, "TPAY_AM") + Column(e.m_dsMain, "TBON_AM"),
                            Column(e.m_dsMain, "TXST_AM"), Column(e.m_dsMain, "INTX_AM")};
    for (int i = 0; i < 3; ++i)
        if (outputs[i]) *outputs[i] = sums[i];
    return Status();
}

Status SalaryStandIn(CSalaryCalcurate& e, const CString& employee, double* pay, double* taxBase,
                     double* tax) {
    const auto key = run_key::Checked(e.m_HPHONPD);
    if (!key) return Status::Refused("", "");
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
    if (Status read = TracedQuery(e, e.m_dsMain, sql, "GetBONES_EMPTY_values",
                                  "GetBONES_EMPTY_values error", 0);
        !read.ok())
        return read;
    // The month has its salary: nothing stands in for it.
    if (HasRow(e.m_dsMain) && Column(e.m_dsMain, "TPAY_AM") + Column(e.m_dsMain, "TBON_AM") != 0)
        return Status();

    sql.Format(
        "SELECT * FROM HPOMNPY  WHERE  CO_CD='%s' AND  RVRS_YM <  '%s' AND EMP_CD='%s' AND PYTP_FG "
        "LIKE '1%%'  AND (TPAY_AM >.0000) ORDER BY RVRS_YM DESC, SQ ASC  ",
        company.c_str(), month.c_str(), emp.c_str());
    if (Status read = TracedQuery(e, e.m_dsMain, sql, "GetBONES_EMPTY_values_2",
                                  "GetBONES_EMPTY_values_2 error", 0);
        !read.ok())
        return read;
    if (!HasRow(e.m_dsMain)) return Status();
    const double values[3] = {Column(e.m_dsMain, "TPAY_AM"), Column(e.m_dsMain, "TXST_AM"),
                              Column(e.m_dsMain, "INTX_AM")};
    for (int i = 0; i < 3; ++i)
        if (outputs[i]) *outputs[i] = values[i];
    return Status();
}

Status BonusPeriodTotals(CSalaryCalcurate& e, const CString& employee, int* months,
                         SALARY_TOTAL_x* total, HPOMNPY_FMT* record, double* periodPay) {
    *periodPay = 0;
    const auto key = run_key::Checked(e.m_HPHONPD);
    if (!months || !total || !record || !key) return Status::Refused("", "");
    const CString& head = key->pay_head;
    const CString year = key->month.Left(4);
    const double current = record->TBON_AM + record->TPAY_AM;

    // A bonus of its own month ("2xx" other than "200"): the run alone.
    if (head.Left(1) == "2" && head != "200") {
        *months = 1;
        total->TXST_TOTAL += record->TXST_AM;
        total->INTX_TOTAL += record->INTX_AM;
        *periodPay = current;
        return Status();
    }

    // January: the month's earlier runs, assigned rather than added.
    if (key->month.Mid(4, 2) == "01") {
        double pay = 0, base = 0, tax = 0;
        Status status = PriorTotals(e, key->company, year + "01", key->month, employee, key->sq,
                                    &pay, &base, &tax);
        *months = 1;
        total->TXST_TOTAL = base + record->TXST_AM;
        total->INTX_TOTAL = tax + record->INTX_AM;
        *periodPay = current + pay;
        return status;
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
    if (Status read =
            TracedQuery(e, e.m_dsMain, sql, "GetYmdTotalBones", "GetYmdTotalBones error", 0);
        !read.ok())
        return read;
    const CString start = HasRow(e.m_dsMain) ? year + "01" : key->month;

    double pay = 0, base = 0, tax = 0;
    Status status =
        PriorTotals(e, key->company, start, key->month, employee, key->sq, &pay, &base, &tax);
    double result = current + pay;
    total->TXST_TOTAL = base;
    total->INTX_TOTAL = tax;

    // A month without its salary borrows the latest earlier regular pay.
    double pay2 = 0, base2 = 0, tax2 = 0;
    status.Keep(SalaryStandIn(e, employee, &pay2, &base2, &tax2));
    result += pay2;
    total->TXST_TOTAL += base2;
    total->INTX_TOTAL += tax2;

    YMD_FMT first{}, last{};
    e.GetStringToYMD_FMT(start, &first);
    e.GetStringToYMD_FMT(key->month, &last);
    *months = bonus::PeriodMonths(first.year, first.month, last.year, last.month);
    *periodPay = result;
    return status;
}

Status MonthTotals(CSalaryCalcurate& e, const CString& employee, SALARY_TOTAL_x* total,
                   HPOMNPY_FMT* record, double* monthPay) {
    *monthPay = 0;
    const auto key = run_key::Checked(e.m_HPHONPD);
    if (!total || !record || !key) return Status::Refused("", "");
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
    if (Status read = TracedQuery(e, e.m_dsMain, sql, "GetYmdTotalPay", "GetYmdTotalPay error", 0);
        !read.ok())
        return read;
    double month = 0;
    if (HasRow(e.m_dsMain)) {
        total->INTX_TOTAL = Column(e.m_dsMain, "INTX");
        month = Column(e.m_dsMain, "TPAY");
    }
    *monthPay = month + record->TPAY_AM;
    return Status();
}

Status CurrentPay(CSalaryCalcurate& e, const CString& employee, const HPOMNPY_FMT& record,
                  double* runningPay, SALARY_TOTAL_x* total) {
    const auto key = run_key::Checked(e.m_HPHONPD);
    if (!runningPay || !total || !key) return Status::Refused("", "");
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
    e.DspTRACE(sql, "GetCurrentPay", 1);
    // A failed query leaves no rows: the stored values count as 0.
    Status status = QueryOpen(e, e.m_dsMain, sql);
    const double storedPay = Column(e.m_dsMain, "TPAY_AM") + Column(e.m_dsMain, "TBON_AM");
    *runningPay = *runningPay - storedPay + (record.TPAY_AM + record.TBON_AM);
    total->TXST_TOTAL = total->TXST_TOTAL - Column(e.m_dsMain, "TXST_AM") + record.TXST_AM;
    total->INTX_TOTAL = total->INTX_TOTAL - Column(e.m_dsMain, "INTX_AM") -
                        Column(e.m_dsMain, "SPIC_AM") + record.SPIC_AM + record.INTX_AM;
    return status;
}

}  // namespace payroll::engine

void CSalaryCalcurate::GetBonersTotal(CString company, CString fromMonth, CString toMonth,
                                      CString employee, CString sq, CString, double* pay,
                                      double* taxBase, double* tax) {
    payroll::engine::Publish(payroll::engine::PriorTotals(*this, company, fromMonth, toMonth,
                                                          employee, sq, pay, taxBase, tax));
}

void CSalaryCalcurate::GetBONES_EMPTY_values(CString employee, double* pay, double* taxBase,
                                             double* tax) {
    payroll::engine::Publish(payroll::engine::SalaryStandIn(*this, employee, pay, taxBase, tax));
}

double CSalaryCalcurate::GetYmdTotalBones(CString employee, int* months, SALARY_TOTAL_x* total,
                                          HPOMNPY_FMT* record) {
    double periodPay = 0;
    payroll::engine::Publish(
        payroll::engine::BonusPeriodTotals(*this, employee, months, total, record, &periodPay));
    return periodPay;
}

double CSalaryCalcurate::GetYmdTotalPay(CString employee, SALARY_TOTAL_x* total,
                                        HPOMNPY_FMT* record) {
    double monthPay = 0;
    payroll::engine::Publish(
        payroll::engine::MonthTotals(*this, employee, total, record, &monthPay));
    return monthPay;
}

int CSalaryCalcurate::GetCurrentPay(CString employee, HPOMNPY_FMT record, double* runningPay,
                                    SALARY_TOTAL_x* total) {
    const payroll::engine::Status status =
        payroll::engine::CurrentPay(*this, employee, record, runningPay, total);
    payroll::engine::Publish(status);
    // Stored figures that could not be read count as 0: only an incomplete
    // key, or nowhere to put the figures, fails the step.
    return status.refused() ? 0 : 1;
}
