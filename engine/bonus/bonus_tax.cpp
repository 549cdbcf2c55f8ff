// Bonus tax: the income and resident tax withheld from one employee's bonus
// run. The bonus is spread over its period, the period's monthly average is
// annualised, the year's deductions come off, and the annual tax is brought
// back to the period less what the period already withheld. The arithmetic
// lives in bonus_math and deductions; this file reads the tables and the
// parameters and stores the result.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/bonus/bonus_math.h"
#include "engine/bonus/bonus_steps.h"
#include "engine/bonus/table_tax.h"
#include "engine/common/calendar.h"
#include "engine/common/messages.h"
#include "engine/common/row_counts.h"
#include "engine/common/run_key.h"
#include "engine/common/statements.h"
#include "engine/tax/deductions.h"
#include "engine/tax/tax_steps.h"
#include "payroll/salary_calcurate.h"
#include "platform/text/sql_text.h"

namespace {

using payroll::bonus::Number;
using payroll::bonus::WholeNumber;
using payroll::sql::Esc;

// The year's tax-table brackets as loaded with the settings; an unloaded
// table is empty.
std::vector<payroll::bonus::Bracket> Brackets(
    const payroll::RecordTable<payroll::HpfstiaRecord>& table, int count) {
    std::vector<payroll::bonus::Bracket> out;
    const std::size_t rows =
        count <= 0 ? 0 : std::min(static_cast<std::size_t>(count), table.capacity());
    out.reserve(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        const payroll::HpfstiaRecord* r = table.at(i);
        out.push_back(
            {Number(r->TXSS_AM.c_str()), Number(r->TXSE_AM.c_str()), Number(r->AJMT_AM.c_str())});
    }
    return out;
}

std::int64_t WholeParameter(const G_DataSource& bonus, const char* column) {
    return WholeNumber(bonus.OnGetFieldValue(column, 0).c_str());
}

// The household of the employee loaded by OpenSEMP (nobody when none is).
payroll::bonus::Household HouseholdOf(const payroll::RecordTable<SEMP_FMT>& employees) {
    const SEMP_FMT* e = employees.at(0);
    if (!e) return payroll::bonus::HouseholdOf("", "", "");
    return payroll::bonus::HouseholdOf(e->SPUS_YN.c_str(), e->TDFR_SN.c_str(), e->SUFR_SN.c_str());
}

}  // namespace

double CSalaryCalcurate::GetTotalDelete(double pay) {
    return payroll::bonus::CellMidpoint(
        Brackets(m_HPFSTIA, m_nRowCount[payroll::engine::kTaxBracketRows]), pay);
}

double CSalaryCalcurate::GetTotalDeleteTO(double pay) {
    return payroll::bonus::CellLowerBound(
        Brackets(m_HPFSTIA, m_nRowCount[payroll::engine::kTaxBracketRows]), pay);
}

double CSalaryCalcurate::GetTaxAll2001(double annualPay) {
    return payroll::deductions::EarnedIncome2001(annualPay);
}

double CSalaryCalcurate::GetTaxAll2002(double annualPay) {
    return payroll::deductions::EarnedIncome2002(annualPay);
}

double CSalaryCalcurate::GetTaxAll2004(double annualPay) {
    return payroll::deductions::EarnedIncome2004(annualPay);
}

long CSalaryCalcurate::GetlFami() {
    return static_cast<long>(payroll::bonus::FamilyDeduction(HouseholdOf(m_SEMP_ALL),
                                                             WholeParameter(m_dsBonus, "BSHD_AM"),
                                                             WholeParameter(m_dsBonus, "OSMD_AM")));
}

namespace payroll::engine {

Status PensionPremium(CSalaryCalcurate& e, double pay, double* premium) {
    *premium = 0;
    const auto key = run_key::Checked(e.m_HPHONPD);
    if (!key) return Status::Refused("", "");
    // The pay goes into the text without quotes: only a finite number may.
    const double x = std::isfinite(pay) ? pay : 0;
    CString sql;
    sql.Format(
        "select * from HIFNPCT  where  CO_CD='0000' AND RVRS_YY='%s' AND %f >= STMS_AM AND "
        "%f<STME_AM  order by NTPS_GR ",
        Esc(key->month.Left(4)).c_str(), x, x);
    if (Status read = TracedQuery(e, e.m_dsMain, sql, "GetPersonTax ", "GetPersonTax error", 0);
        !read.ok())
        return read;
    *premium = Number(e.m_dsMain.OnGetFieldValue("NAPS_AM", 0).c_str());
    // Up to 2001 the employee paid half the grade's premium.
    if (calendar::AtoiSlice(key->month.str(), 0, 4) < 2002) *premium /= 2;
    return Status();
}

Status BonusTax(CSalaryCalcurate& e, const CString& employee, int kind, int* result) {
    *result = 0;
    const auto key = run_key::Checked(e.m_HPHONPD);
    if (!key) return Status::Refused("", "");

    // A read that fails on the way would store a tax computed with zeros in
    // its place: such a result is not stored, and the step fails.
    SALARY_TOTAL_x totals{};
    int months = 0;
    double periodPay = 0;
    Status status = BonusPeriodTotals(e, employee, &months, &totals, &e.m_HPOMNPY, &periodPay);

    if (kind == 1 || kind == 11) {
        HPOMNPY_FMT& r = e.m_HPOMNPY;
        // The period's pay through the year's simplified table.
        TableWorking w;
        status.Keep(WorkTable(e, periodPay, months, &w));
        totals.PAY_TOTAL = w.pay_total;
        r.TXST_AM =
            static_cast<double>(bonus::BonusTaxBase(w.annual_base, months, totals.TXST_TOTAL));
        r.DEXT_AM = static_cast<double>(w.credit);

        const bonus::Withholding withheld =
            bonus::Withhold(static_cast<double>(w.monthly_tax), months, totals.INTX_TOTAL,
                            YearParameter(e, "RSTX_RT"));
        // What is still due, and the computed tax as the due amount plus
        // its credit.
        r.SPIC_AM = static_cast<double>(withheld.due);
        r.CCTX_AM = static_cast<double>(withheld.due) + static_cast<double>(w.credit);
        r.INTX_AM = static_cast<double>(withheld.income_tax);
        r.RSTX_AM = static_cast<double>(withheld.resident_tax);
    }
    if (!status.ok()) return status;
    bool stored = false;
    status = StoreResult(e, employee, kind, &stored);
    *result = stored ? 1 : 0;
    return status;
}

}  // namespace payroll::engine

double CSalaryCalcurate::GetPersonTax(double pay) {
    double premium = 0;
    payroll::engine::Publish(payroll::engine::PensionPremium(*this, pay, &premium));
    return premium;
}

int CSalaryCalcurate::GetCalcBonus(CString employee, int kind, CString) {
    int result = 0;
    payroll::engine::Publish(payroll::engine::BonusTax(*this, employee, kind, &result));
    return result;
}
