#include "engine/tax/deductions.h"

#include <cmath>
#include <iterator>
#include <limits>

namespace payroll::deductions {

namespace {

// One band of a deduction table: for pay up to `up_to` (inclusive), the
// deduction is `base` plus `percent` of the pay above `from`.
struct Band {
    double up_to;
    double base;
    double from;
    int percent;
};

constexpr double kOpen = std::numeric_limits<double>::infinity();

constexpr Band k2001[] = {
    {5000000, 0, 0, 100},
    {15000000, 5000000, 5000000, 40},
    {45000000, 9000000, 15000000, 10},
    {kOpen, 12000000, 45000000, 5},
};

constexpr Band k2002[] = {
    {5000000, 0, 0, 100},
    {15000000, 5000000, 5000000, 45},
    {30000000, 9500000, 15000000, 15},
    {45000000, 11750000, 30000000, 10},
    {kOpen, 13250000, 45000000, 5},
};

constexpr Band k2004[] = {
    {5000000, 0, 0, 100},
    {15000000, 5000000, 5000000, 50},
    {30000000, 10000000, 15000000, 15},
    {45000000, 12250000, 30000000, 10},
    {kOpen, 13750000, 45000000, 5},
};

template <std::size_t N>
double Deduction(const Band (&bands)[N], double pay) {
    if (!std::isfinite(pay)) return 0;
    for (const Band& b : bands) {
        if (pay > b.up_to) continue;
        // Percent over 100 rather than a fractional rate: whole pays stay
        // exact, so a result on a whole won is not floored one below it.
        return std::floor(b.base + (pay - b.from) * b.percent / 100.0);
    }
    return 0;
}

}  // namespace

double EarnedIncome2001(double annualPay) {
    return Deduction(k2001, annualPay);
}

double EarnedIncome2002(double annualPay) {
    return Deduction(k2002, annualPay);
}

double EarnedIncome2004(double annualPay) {
    return Deduction(k2004, annualPay);
}

double EarnedIncomeForBonus(int year, double annualPay) {
    const double pay = annualPay > kDeductionPayCap ? kDeductionPayCap : annualPay;
    return year <= 2001 ? EarnedIncome2001(pay) : EarnedIncome2002(pay);
}

}  // namespace payroll::deductions
