// The simplified withholding table worked for one pay (see table_tax.h).
#include "engine/bonus/table_tax.h"

#include <cmath>

#include "engine/bonus/bonus_math.h"
#include "engine/bonus/bonus_steps.h"
#include "engine/common/calendar.h"
#include "engine/common/row_counts.h"
#include "engine/common/run_key.h"
#include "engine/tax/deductions.h"
#include "engine/tax/tax_steps.h"

namespace payroll::engine {
namespace {

std::int64_t WholeParameter(const CSalaryCalcurate& e, const char* column) {
    return bonus::WholeNumber(e.m_dsBonus.OnGetFieldValue(column, 0).c_str());
}

// The household of the employee loaded by OpenSEMP (nobody when none is).
bonus::Household LoadedHousehold(const CSalaryCalcurate& e) {
    const SEMP_FMT* emp = e.m_SEMP_ALL.at(0);
    if (!emp) return bonus::HouseholdOf("", "", "");
    return bonus::HouseholdOf(emp->SPUS_YN.c_str(), emp->TDFR_SN.c_str(), emp->SUFR_SN.c_str());
}

}  // namespace

double YearParameter(const CSalaryCalcurate& e, const char* column) {
    return bonus::Number(e.m_dsBonus.OnGetFieldValue(column, 0).c_str());
}

std::string MissingTableLaw(const CSalaryCalcurate& e) {
    std::string missing;
    if (e.m_nRowCount[kTaxBracketRows] <= 0) missing = "HPFSTIA";
    if (e.m_dsBonus.OnGetRecordCount() <= 0) missing += missing.empty() ? "HPMLBEC" : ", HPMLBEC";
    return missing;
}

Status WorkTable(CSalaryCalcurate& e, double periodPay, int months, TableWorking* w) {
    *w = TableWorking{};
    const auto key = run_key::Checked(e.m_HPHONPD);
    if (!key) return Status::Refused("", "");
    const int year = calendar::AtoiSlice(key->month.str(), 0, 4);
    const int month = calendar::AtoiSlice(key->month.str(), 4, 2);
    w->months = months;

    // Annual pay from the period's monthly average, placed in its cell.
    const bonus::PeriodAverage average = bonus::AverageOfPeriod(periodPay, months, month);
    w->pay_total = average.pay_total;
    w->average = average.average;
    w->cell = e.GetTotalDelete(static_cast<double>(average.average));
    w->annual_pay = 12 * w->cell;

    // Deductions of the year; the earned-income one on the pay capped for
    // it, while the base below starts from the whole annual pay.
    w->earned = deductions::EarnedIncomeForBonus(year, w->annual_pay);
    const double pensionPay = static_cast<double>(bonus::PensionPay(periodPay, months));
    w->pension_base = year <= 2001 ? e.GetTotalDeleteTO(pensionPay) : e.GetTotalDelete(pensionPay);
    double premium = 0;
    Status status = PensionPremium(e, w->pension_base, &premium);
    w->pension = std::floor(12 * premium);
    const bonus::Household household = LoadedHousehold(e);
    w->persons = household.persons();
    w->standard =
        bonus::StandardDeduction(year, YearParameter(e, "STSD_AM"), YearParameter(e, "DUMMY4"),
                                 YearParameter(e, "DUMMY5"), w->persons);
    w->family = static_cast<double>(bonus::FamilyDeduction(household, WholeParameter(e, "BSHD_AM"),
                                                           WholeParameter(e, "OSMD_AM")));
    w->own = static_cast<double>(WholeParameter(e, "BSHD_AM"));
    w->annual_base = bonus::AnnualTaxBase(
        w->annual_pay, w->own + w->family + w->standard + w->pension + w->earned);

    // The tax of the annual base and its credit, by the year's rules.
    double tax = 0, credit = 0;
    status.Keep(BracketTax(e, w->annual_base, &tax));
    status.Keep(IncomeCredit(e, year >= 2002 ? tax : 12 * tax, 1, &credit));
    const bonus::ComputedTax computed = bonus::ComputeTax(year, tax, credit);
    w->computed = computed.computed;
    w->credit = computed.credit;
    w->monthly_tax = bonus::Withhold(computed.monthly, 1, 0, 0).monthly_tax;
    return status;
}

}  // namespace payroll::engine
