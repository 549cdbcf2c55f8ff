// A payslip's pay lines split into exempt and taxable parts: each class's
// stored exempt total is handed to its lines as the engine caps the class,
// and the parts always add up to the line and to the stored totals.
#include "papers/payslip_split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace payroll::testing {
namespace {

using papers::PaperLine;
using papers::detail::ExemptLimits;
using papers::detail::ExemptTotals;
using papers::detail::SplitExempt;

PaperLine Taxable(const std::string& code, double amount) {
    return {code, code, amount, true, ""};
}
PaperLine Exempt(const std::string& code, double amount, const std::string& cls) {
    return {code, code, amount, false, cls};
}

struct SplitCase {
    const char* what;
    std::vector<PaperLine> pay;
    ExemptTotals stored;
    std::vector<double> exempt;  // expected exempt part per line
};

TEST(PayslipSplitTest, EachLineGetsWhatItsClassAllowed) {
    const ExemptLimits limits{100000, 200000, 200000, 100000};
    const std::vector<SplitCase> cases = {
        {"a vehicle allowance over its per-line limit",
         {Taxable("P00", 1950000), Exempt("P03", 250000, "003")},
         {0, 0, 200000},
         {0, 200000}},
        {"meals share the class's monthly limit in item order",
         {Exempt("P02", 80000, "002"), Exempt("P09", 50000, "002")},
         {0, 0, 100000},
         {80000, 20000}},
        {"overtime past the ceiling is taxed whole",
         {Exempt("P01", 390000, "001"), Exempt("P10", 80000, "001")},
         {0, 0, 0},
         {0, 0}},
        {"overtime partly within the year's limit, the first line first",
         {Exempt("P01", 390000, "001"), Exempt("P10", 80000, "001")},
         {400000, 0, 0},
         {390000, 10000}},
        {"childbirth pay from its own total, other classes beside it",
         {Exempt("P11", 300000, "006"), Exempt("P12", 10000, "999"), Exempt("P06", 150000, "004")},
         {0, 300000, 160000},
         {300000, 10000, 150000}},
        {"a limit lowered since the run: the stored total still holds",
         {Exempt("P03", 250000, "003"), Exempt("P12", 10000, "")},
         {0, 0, 240000},
         {230000, 10000}},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.what);
        ExemptLimits used = limits;
        if (std::string(c.what).find("lowered") != std::string::npos) used.class003 = 150000;
        const auto parts = SplitExempt(c.pay, used, c.stored);
        ASSERT_EQ(parts.size(), c.pay.size());
        double exempt = 0;
        for (std::size_t i = 0; i < parts.size(); ++i) {
            EXPECT_DOUBLE_EQ(parts[i].exempt, c.exempt[i]) << c.pay[i].code;
            EXPECT_DOUBLE_EQ(parts[i].exempt + parts[i].taxable, c.pay[i].amount);
            exempt += parts[i].exempt;
        }
        EXPECT_DOUBLE_EQ(exempt, c.stored.overtime + c.stored.class006 + c.stored.other);
    }
}

// Taxable lines never take an exempt part, and no line is exempt beyond its
// amount, whatever the stored totals say.
TEST(PayslipSplitTest, NoLineIsExemptBeyondItsAmount) {
    const std::vector<PaperLine> pay = {Taxable("P00", 1000000), Exempt("P02", 60000, "002"),
                                        Exempt("P01", 30000, "001")};
    const auto parts = SplitExempt(pay, {100000, 0, 0, 0}, {90000, 0, 500000});
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_DOUBLE_EQ(parts[0].exempt, 0);
    EXPECT_DOUBLE_EQ(parts[0].taxable, 1000000);
    EXPECT_DOUBLE_EQ(parts[1].exempt, 60000);
    EXPECT_DOUBLE_EQ(parts[1].taxable, 0);
    EXPECT_DOUBLE_EQ(parts[2].exempt, 30000);
    EXPECT_DOUBLE_EQ(parts[2].taxable, 0);
}

}  // namespace
}  // namespace payroll::testing
