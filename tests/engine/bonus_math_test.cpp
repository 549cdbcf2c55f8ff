#include "engine/bonus/bonus_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "engine/tax/deductions.h"

namespace {

using namespace payroll::bonus;
using payroll::deductions::EarnedIncome2001;
using payroll::deductions::EarnedIncome2002;
using payroll::deductions::EarnedIncome2004;
using payroll::deductions::EarnedIncomeForBonus;

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

TEST(BonusMathTest, WholeNumbersTruncateIn64Bits) {
    struct Case {
        double amount;
        std::int64_t whole;
    } cases[] = {
        {3.9, 3},
        {-3.9, -3},
        {0.0, 0},
        {5000000000.7, 5000000000LL},  // beyond 32 bits
        {-7300000000.2, -7300000000LL},
        {1e30, kMax},
        {-1e30, kMin},
        {std::nan(""), 0},
    };
    for (const Case& c : cases) EXPECT_EQ(Whole(c.amount), c.whole) << c.amount;

    EXPECT_EQ(WholeDiv(7, 2), 3);
    EXPECT_EQ(WholeDiv(-7, 2), -3);
    EXPECT_EQ(WholeDiv(7, 0), 7);  // a division by no months is the amount itself
    EXPECT_EQ(WholeDiv(kMin, -1), kMax);
    EXPECT_EQ(WholeMod(7, 0), 0);
    EXPECT_EQ(WholeMod(-7, 3), -1);
    EXPECT_EQ(WholeMod(kMin, -1), 0);
    EXPECT_EQ(CutToTens(12349), 12340);
    EXPECT_EQ(CutToTens(-12349), -12340);
    EXPECT_EQ(CutToTens(9), 0);
    EXPECT_EQ(CutToTens(kMin), kMin + 8);
}

TEST(BonusMathTest, DatabaseTextsAsNumbers) {
    EXPECT_DOUBLE_EQ(Number("1234.5000"), 1234.5);
    EXPECT_DOUBLE_EQ(Number(""), 0);
    EXPECT_DOUBLE_EQ(Number("abc"), 0);
    EXPECT_DOUBLE_EQ(Number("nan"), 0);
    EXPECT_DOUBLE_EQ(Number("inf"), 0);
    EXPECT_DOUBLE_EQ(Number(nullptr), 0);
    EXPECT_EQ(WholeNumber("1000000.0000"), 1000000);
    EXPECT_EQ(WholeNumber("x1"), 0);
    EXPECT_EQ(WholeNumber("99999999999999999999999"), kMax);
    EXPECT_EQ(WholeNumber(nullptr), 0);
}

TEST(BonusMathTest, EarnedIncomeDeductionTables) {
    struct Case {
        double (*table)(double);
        const char* name;
        double pay, deduction;
    } cases[] = {
        {EarnedIncome2002, "2002", 15000000, 9500000},
        {EarnedIncome2002, "2002", 15000001, 9500000},  // floor of 9,500,000.15
        {EarnedIncome2002, "2002", 4000000, 4000000},
        {EarnedIncome2002, "2002", 5000000, 5000000},
        {EarnedIncome2002, "2002", 5000001, 5000000},  // floor of 5,000,000.45
        {EarnedIncome2002, "2002", 30000000, 11750000},
        {EarnedIncome2002, "2002", 45000000, 13250000},
        {EarnedIncome2002, "2002", 120000000, 17000000},
        {EarnedIncome2001, "2001", 45000000, 12000000},
        {EarnedIncome2001, "2001", 30000000, 10500000},  // one band from 15M to 45M
        {EarnedIncome2001, "2001", 15000000, 9000000},
        {EarnedIncome2001, "2001", 120000000, 15750000},
        {EarnedIncome2001, "2001", 3333333.9, 3333333},
        {EarnedIncome2004, "2004", 30000000, 12250000},
        {EarnedIncome2004, "2004", 15000000, 10000000},
        {EarnedIncome2004, "2004", 45000000, 13750000},
        {EarnedIncome2004, "2004", 60000000, 14500000},
        {EarnedIncome2002, "2002", std::nan(""), 0},
        {EarnedIncome2002, "2002", INFINITY, 0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(c.table(c.pay), c.deduction) << c.name << " of " << c.pay;
}

TEST(BonusMathTest, TheBonusDeductionIsCappedAt120Million) {
    EXPECT_DOUBLE_EQ(EarnedIncomeForBonus(2001, 200000000), 15750000);
    EXPECT_DOUBLE_EQ(EarnedIncomeForBonus(2002, 200000000), 17000000);
    EXPECT_DOUBLE_EQ(EarnedIncomeForBonus(2005, 120000000), 17000000);
    EXPECT_DOUBLE_EQ(EarnedIncomeForBonus(2001, 15000000), 9000000);
    EXPECT_DOUBLE_EQ(EarnedIncomeForBonus(2002, 15000000), 9500000);
}

// A simplified table: cells of 10,000 (first bracket, placed by halves),
// 20,000 and 40,000.
std::vector<Bracket> Table() {
    return {{0, 1000000, 10000}, {1000000, 3000000, 20000}, {3000000, 0, 40000}};
}

TEST(BonusMathTest, TaxTableCells) {
    struct Case {
        std::vector<Bracket> table;
        double pay, midpoint, lower;
    } cases[] = {
        {Table(), 12000000, 12000000, 12000000},  // from 10,000,000 the pay itself
        {Table(), 10000000, 10000000, 10000000},
        {Table(), 3000, 5000, 5000},     // first bracket, below one width: half of it
        {Table(), 0, 5000, 0},           // even half-cell 0: its next half
        {Table(), 12345, 15000, 10000},  // even half-cell 2
        {Table(), 17500, 15000, 15000},  // odd half-cell 3 stays on its bound
        {Table(), 1234567, 1230000, 1220000},
        {Table(), 3000000, 3020000, 3000000},  // a bracket's start belongs to it
        {Table(), 9999999, 9980000, 9960000},  // open top bracket
        {Table(), -5, 0, 0},                   // below every bracket
        {{{500000, 0, 10000}}, 100, 0, 0},
        {{}, 5000000, 0, 0},  // no table loaded
        {{}, 12000000, 12000000, 12000000},
        // Zero widths: no division, the pay stays on its own edge.
        {{{0, 1000000, 10000}, {1000000, 0, 0}}, 1234567, 1234567, 1234567},
        {{{0, 0, 0}}, 12344, 12345, 12344},
        {{{0, 0, 0}}, 12345, 12345, 12345},
        {{{0, 0, -30}}, 77, 77, 77},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(CellMidpoint(c.table, c.pay), c.midpoint) << c.pay;
        EXPECT_DOUBLE_EQ(CellLowerBound(c.table, c.pay), c.lower) << c.pay;
    }
}

TEST(BonusMathTest, PeriodMonthsCountBothEnds) {
    struct Case {
        int fy, fm, ty, tm, months;
    } cases[] = {
        {2002, 1, 2002, 6, 6},  {2002, 6, 2002, 6, 1},  {2001, 11, 2002, 2, 4},
        {2002, 7, 2002, 6, 0},  {0, 1, 2002, 6, 0},     {2002, 0, 2002, 6, 0},
        {2002, 1, 2002, 13, 0}, {2002, 13, 2003, 1, 0}, {2002, 1, 0, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PeriodMonths(c.fy, c.fm, c.ty, c.tm), c.months)
            << c.fy << "-" << c.fm << " to " << c.ty << "-" << c.tm;
}

TEST(BonusMathTest, PeriodAverages) {
    struct Case {
        double pay;
        int months, month;
        std::int64_t divisor;
        double total;
        std::int64_t average;
    } cases[] = {
        {6000000, 6, 6, 6, 6000000, 1000000},
        {7000000, 4, 4, 4, 7000000, 1750000},
        {1000000, 1, 6, 3, 3000000, 1000000},  // one month: three times, divided back
        {1000000.9, 1, 6, 3, 3000002.7, 1000000},
        {1000001.5, 1, 1, 1, 1000001.5, 1000001},  // January
        {1000000, 0, 5, 3, 3000000, 1000000},      // no months counted
        {5000000000.0, 1, 6, 3, 15000000000.0, 5000000000LL},
    };
    for (const Case& c : cases) {
        PeriodAverage p = AverageOfPeriod(c.pay, c.months, c.month);
        EXPECT_EQ(p.divisor, c.divisor) << c.pay;
        EXPECT_DOUBLE_EQ(p.pay_total, c.total) << c.pay;
        EXPECT_EQ(p.average, c.average) << c.pay;
    }
    EXPECT_EQ(PensionPay(1000000, 0), 1000000);  // no months: the whole pay
    EXPECT_EQ(PensionPay(1000000, 3), 333333);
    EXPECT_EQ(PensionPay(5000000000.0, 1), 5000000000LL);
    EXPECT_EQ(PensionPay(-7, 2), -3);
}

TEST(BonusMathTest, HouseholdsAndFamilyDeductions) {
    struct Case {
        const char *spouse, *dependants1, *dependants2;
        int persons;
        std::int64_t family;
    } cases[] = {
        {"000", "0", "0", 1, 1000000},  // nobody to support
        {"", "0", "", 1, 1000000},      // empty spouse flag: none
        {"000", "1", "0", 2, 1500000},  // one dependant: the addition
        {"001", "0", "0", 2, 1500000},  // the spouse alone counts as one
        {"001", "1", "1", 4, 3000000},  // three persons
        {"000", "2", "1", 4, 3000000},  {"000", "x", "?", 1, 1000000},  // non-numeric counts are 0
        {"000", "-3", "0", 1, 1000000},  // a negative count supports nobody
        {"002", "1", "0", 3, 2000000},   // any flag but "000" is a spouse
    };
    for (const Case& c : cases) {
        Household h = HouseholdOf(c.spouse, c.dependants1, c.dependants2);
        EXPECT_EQ(h.persons(), c.persons) << c.spouse << "/" << c.dependants1;
        EXPECT_EQ(FamilyDeduction(h, 1000000, 500000), c.family)
            << c.spouse << "/" << c.dependants1;
    }
    EXPECT_EQ(FamilyDeduction(HouseholdOf("001", "999", "999"), kMax / 2, 0), kMax);
    EXPECT_EQ(FamilyDeduction(HouseholdOf("000", "0", "0"), 0, 0), 0);  // no parameters
    EXPECT_EQ(HouseholdOf(nullptr, nullptr, nullptr).persons(), 1);
}

TEST(BonusMathTest, StandardDeductionByYear) {
    EXPECT_DOUBLE_EQ(StandardDeduction(2001, 1000000, 0, 0, 1), 1200000);  // at least
    EXPECT_DOUBLE_EQ(StandardDeduction(2001, 1500000, 0, 0, 1), 1500000);
    EXPECT_DOUBLE_EQ(StandardDeduction(2000, 0, 0, 0, 5), 1200000);
    EXPECT_DOUBLE_EQ(StandardDeduction(2002, 9, 1000000, 2000000, 2), 1000000);  // two persons
    EXPECT_DOUBLE_EQ(StandardDeduction(2002, 9, 1000000, 2000000, 3), 2000000);  // three
    EXPECT_DOUBLE_EQ(StandardDeduction(2002, 9, 1000000, 2000000, 1), 1000000);
}

TEST(BonusMathTest, TaxBases) {
    EXPECT_DOUBLE_EQ(AnnualTaxBase(10000000, 4000000), 6000000);
    EXPECT_DOUBLE_EQ(AnnualTaxBase(10000000, 14000000), 0);
    EXPECT_EQ(BonusTaxBase(12000000, 6, 1000000), 5000000);
    EXPECT_EQ(BonusTaxBase(12000000, 1, 2000000), 0);  // negative: nothing
    EXPECT_EQ(BonusTaxBase(12000000, 0, 0), 0);
    EXPECT_EQ(BonusTaxBase(12000000, 3, 0.5), 2999999);  // 2,999,999.5 cut to whole
    EXPECT_EQ(BonusTaxBase(120000000000.0, 1, 0), 10000000000LL);
}

TEST(BonusMathTest, ComputedTaxByYearRules) {
    // From 2002 the credit answers monthly for the annual tax: twelve of it
    // make the year's credit, and the monthly tax is a twelfth of the rest.
    ComputedTax t = ComputeTax(2002, 1234567.8, 50000.5);
    EXPECT_EQ(t.computed, 1234567);
    EXPECT_EQ(t.credit, 600006);
    EXPECT_DOUBLE_EQ(t.monthly, 52880);  // floor(634,561 / 12)
    // Up to 2001 the credit is already the whole figure.
    t = ComputeTax(2001, 1234567.8, 600006.7);
    EXPECT_EQ(t.computed, 1234567);
    EXPECT_EQ(t.credit, 600006);
    EXPECT_DOUBLE_EQ(t.monthly, 634561);
    // A credit above the tax gives a negative monthly tax.
    t = ComputeTax(2002, 1000, 100);
    EXPECT_DOUBLE_EQ(t.monthly, -17);  // floor(-200 / 12)
    // Exact twelfths are not floored one below.
    t = ComputeTax(2002, 1200, 0);
    EXPECT_DOUBLE_EQ(t.monthly, 100);
}

TEST(BonusMathTest, Withholding) {
    struct Case {
        const char* what;
        double monthly;
        int months;
        double prior, rate;
        std::int64_t monthly_tax, due, income, resident;
    } cases[] = {
        {"period of six", 52889, 6, 100000, 0.1, 52880, 217280, 217280, 21720},
        {"990 won is not withheld", 995, 1, 0, 0.1, 990, 990, 0, 0},
        {"1,000 won is", 1009, 1, 0, 0.1, 1000, 1000, 1000, 100},
        {"negative monthly tax", -5, 3, 0, 0.1, 0, 0, 0, 0},
        {"more withheld than due", 1000, 2, 5000, 0.1, 1000, 0, 0, 0},
        {"no months", 50000, 0, 0, 0.1, 50000, 0, 0, 0},
        {"no resident-tax rate", 20000, 1, 0, 0, 20000, 20000, 20000, 0},
        {"billions", 5000000007.0, 1, 0, 0.1, 5000000000LL, 5000000000LL, 5000000000LL, 500000000},
    };
    for (const Case& c : cases) {
        Withholding w = Withhold(c.monthly, c.months, c.prior, c.rate);
        EXPECT_EQ(w.monthly_tax, c.monthly_tax) << c.what;
        EXPECT_EQ(w.due, c.due) << c.what;
        EXPECT_EQ(w.income_tax, c.income) << c.what;
        EXPECT_EQ(w.resident_tax, c.resident) << c.what;
    }
}

}  // namespace
