#include "engine/bonus/bonus_math.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "platform/text/number_parse.h"

namespace payroll::bonus {

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
// 2^63: the first double beyond the 64-bit range.
constexpr double kTwoTo63 = 9223372036854775808.0;

std::int64_t SaturatingMul(std::int64_t a, std::int64_t b) {
    std::int64_t out = 0;
    if (!__builtin_mul_overflow(a, b, &out)) return out;
    return (a < 0) != (b < 0) ? kMin : kMax;
}

std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b) {
    std::int64_t out = 0;
    if (!__builtin_add_overflow(a, b, &out)) return out;
    return a < 0 ? kMin : kMax;
}

// The bracket holding the pay: its position, or -1.
int FindBracket(const std::vector<Bracket>& brackets, double pay) {
    for (std::size_t i = 0; i < brackets.size(); ++i) {
        const Bracket& b = brackets[i];
        if (b.lower <= pay && (pay < b.upper || b.upper == 0)) return static_cast<int>(i);
    }
    return -1;
}

// Where a pay sits in its cell: the cell's lower bound and its half width.
struct Cell {
    bool found;
    bool first_small;  // first bracket, pay below one cell width
    double lower;      // the cell's lower bound
    std::int64_t half;
    std::int64_t step;  // the cell width used to place the pay
    bool first;
};

Cell PlaceInCell(const std::vector<Bracket>& brackets, double pay) {
    Cell c{};
    const int at = FindBracket(brackets, pay);
    if (at < 0) return c;
    c.found = true;
    const double w = brackets[static_cast<std::size_t>(at)].width;
    const std::int64_t width = Whole(w);
    c.half = Whole(w * 0.5);
    c.first = at == 0;
    const std::int64_t whole = Whole(pay);
    if (c.first) {
        if (pay > 0 && pay < static_cast<double>(width)) {
            c.first_small = true;
            return c;
        }
        c.step = c.half <= 0 ? 1 : c.half;
    } else {
        c.step = width;
    }
    c.lower = pay - static_cast<double>(WholeMod(whole, c.step));
    return c;
}

}  // namespace

std::int64_t Whole(double amount) {
    if (std::isnan(amount)) return 0;
    if (amount >= kTwoTo63) return kMax;
    if (amount < -kTwoTo63) return kMin;
    return static_cast<std::int64_t>(amount);  // truncates toward zero
}

std::int64_t WholeDiv(std::int64_t a, std::int64_t b) {
    if (b == 0) return a;
    if (b == -1) return a == kMin ? kMax : -a;
    return a / b;
}

std::int64_t WholeMod(std::int64_t a, std::int64_t b) {
    if (b == 0 || b == -1) return 0;
    return a % b;
}

std::int64_t CutToTens(std::int64_t amount) {
    return amount - amount % 10;
}

double Number(const char* text) {
    if (!text) return 0;
    return payroll::text::NumberOf(text);
}

std::int64_t WholeNumber(const char* text) {
    if (!text) return 0;
    // strtoll stops at the end of the range instead of overflowing.
    const long long value = std::strtoll(text, nullptr, 10);
    return static_cast<std::int64_t>(value);
}

double CellMidpoint(const std::vector<Bracket>& brackets, double pay) {
    if (pay >= kCellCeiling) return pay;
    const Cell c = PlaceInCell(brackets, pay);
    if (!c.found) return 0;
    if (c.first_small) return static_cast<double>(c.half);
    if (c.first) {
        // Cells of the first bracket are half a width wide: a pay on an even
        // cell takes the next half, a pay on an odd one stays on its bound.
        const std::int64_t cells = WholeDiv(Whole(c.lower), c.step);
        return cells % 2 == 0 ? c.lower + static_cast<double>(c.step) : c.lower;
    }
    return c.lower + static_cast<double>(c.half);
}

double CellLowerBound(const std::vector<Bracket>& brackets, double pay) {
    if (pay >= kCellCeiling) return pay;
    const Cell c = PlaceInCell(brackets, pay);
    if (!c.found) return 0;
    if (c.first_small) return static_cast<double>(c.half);
    return c.lower;
}

int PeriodMonths(int fromYear, int fromMonth, int toYear, int toMonth) {
    if (fromYear == 0 || fromMonth == 0 || toYear == 0 || toMonth == 0) return 0;
    if (fromMonth < 1 || fromMonth > 12 || toMonth < 1 || toMonth > 12) return 0;
    const long long from = static_cast<long long>(fromYear) * 12 + (fromMonth - 1);
    const long long to = static_cast<long long>(toYear) * 12 + (toMonth - 1);
    if (from > to) return 0;
    const long long months = to - from + 1;
    return months > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                    : static_cast<int>(months);
}

PeriodAverage AverageOfPeriod(double periodPay, int months, int runMonth) {
    PeriodAverage p{};
    if (months > 1) {
        p.divisor = months;
        p.pay_total = periodPay;
    } else {
        p.divisor = runMonth == 1 ? 1 : 3;
        p.pay_total = static_cast<double>(p.divisor) * periodPay;
    }
    p.average = WholeDiv(Whole(p.pay_total), p.divisor);
    return p;
}

std::int64_t PensionPay(double periodPay, int months) {
    return WholeDiv(Whole(periodPay), months);
}

Household HouseholdOf(const char* spouseFlag, const char* dependants1, const char* dependants2) {
    Household h{};
    const std::string_view flag = spouseFlag ? spouseFlag : "";
    const bool noSpouse = flag.empty() || flag == "000";
    h.spouse = noSpouse ? 0 : 1;
    const std::int64_t count = SaturatingAdd(WholeNumber(dependants1), WholeNumber(dependants2));
    // A negative count supports nobody; an absurd one stops well below the
    // range an int can add persons to.
    h.dependants = count < 0 ? 0 : static_cast<int>(count > 1000000 ? 1000000 : count);
    return h;
}

std::int64_t FamilyDeduction(const Household& household, std::int64_t basic,
                             std::int64_t onePerson) {
    const std::int64_t supported = household.dependants + household.spouse;
    if (supported <= 0) return basic;
    if (supported == 1) return SaturatingAdd(onePerson, basic);
    return SaturatingMul(supported, basic);
}

double StandardDeduction(int year, double upTo2001, double smallHousehold, double largeHousehold,
                         int persons) {
    if (year <= 2001) return upTo2001 < 1200000 ? 1200000 : upTo2001;
    return persons > 2 ? largeHousehold : smallHousehold;
}

double AnnualTaxBase(double annualPay, double deductions) {
    const double base = annualPay - deductions;
    return base < 0 ? 0 : base;
}

std::int64_t BonusTaxBase(double annualBase, int months, double priorBase) {
    const std::int64_t base = Whole(annualBase * (1.0 / 12) * months - priorBase);
    return base < 0 ? 0 : base;
}

ComputedTax ComputeTax(int year, double rateTableTax, double credit) {
    ComputedTax t{};
    t.computed = Whole(std::floor(rateTableTax));
    if (year >= 2002) {
        const double yearly = 12 * credit;
        t.credit = Whole(std::floor(yearly));
        t.monthly = std::floor((static_cast<double>(t.computed) - yearly) * (1.0 / 12));
    } else {
        t.credit = Whole(std::floor(credit));
        t.monthly = std::floor(static_cast<double>(t.computed) - static_cast<double>(t.credit));
    }
    return t;
}

Withholding Withhold(double monthlyTax, int months, double priorTax, double residentRate) {
    Withholding w{};
    w.monthly_tax = monthlyTax < 0 ? 0 : CutToTens(Whole(monthlyTax));
    const double due = static_cast<double>(w.monthly_tax) * months - priorTax;
    w.due = due < 0 ? 0 : CutToTens(Whole(due));
    if (w.due <= 0) return w;
    w.income_tax = w.due;
    w.resident_tax = CutToTens(Whole(residentRate * static_cast<double>(w.income_tax)));
    if (w.income_tax < kSmallestWithholding) {
        w.income_tax = 0;
        w.resident_tax = 0;
    }
    return w;
}

}  // namespace payroll::bonus
