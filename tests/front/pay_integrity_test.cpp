// Number texts cut to a fixed count of decimals.
#include "front/pay_integrity.h"

#include <gtest/gtest.h>

#include <string>

#include "payroll/imirak1.h"

namespace {

using payroll::front::PayIntegrity;

struct IntegrityCase {
    const char* number;
    int decimals;
    const char* expected;
};

TEST(PayIntegrity, CutsToTheDecimalsWithoutRounding) {
    const IntegrityCase cases[] = {
        {"1234.5678", 2, "1234.56"}, {"12", 0, "12"},
        {"12", 3, "12.000"},         {"-0.5", 1, "-0.5"},
        {"no number", 2, "0.00"},    {"", 0, "0"},
        {"0.999", 2, "0.99"},        {"-1234.5678", 0, "-1234"},
        {"1.5", 5, "1.50000"},       {"3.14159265", 4, "3.1415"},
        {"  42abc", 1, "42.0"},  // atof reads the leading number
        {"1e3", 2, "1000.00"},
    };
    for (const IntegrityCase& c : cases)
        EXPECT_EQ(PayIntegrity(c.number, c.decimals), c.expected)
            << c.number << " with " << c.decimals;
}

TEST(PayIntegrity, ExponentFormsKeepTheirExponent) {
    // "%.15G" prints these in exponent form; the point and the zeros come
    // after the exponent.
    EXPECT_EQ(PayIntegrity("0.00001", 2), "1E-05.00");
    EXPECT_EQ(PayIntegrity("0.00001", 0), "1E-05");
    EXPECT_EQ(PayIntegrity("1e20", 1), "1E+20.0");
    EXPECT_EQ(PayIntegrity("1.5e-7", 2), "1.5E");
}

TEST(PayIntegrity, CountsOutsideZeroToFiveAreClamped) {
    const IntegrityCase cases[] = {
        {"1.123456789", 6, "1.12345"},          {"1.123456789", 100, "1.12345"},
        {"1.123456789", 2147483647, "1.12345"}, {"1.9", -1, "1"},
        {"1.9", -2147483647 - 1, "1"},
    };
    for (const IntegrityCase& c : cases)
        EXPECT_EQ(PayIntegrity(c.number, c.decimals), c.expected) << c.decimals;
}

TEST(PayIntegrity, ExtremeTextsDoNotBreakIt) {
    std::string huge(100000, '9');
    EXPECT_EQ(PayIntegrity(huge, 2), "INF.00") << "atof gives infinity for this";
    EXPECT_EQ(PayIntegrity("1e308", 5), "1E+308.00000");
    EXPECT_EQ(PayIntegrity("1e309", 1), "INF.0");
    EXPECT_EQ(PayIntegrity("-inf", 1), "-INF.0");
    EXPECT_EQ(PayIntegrity("nan", 2), "NAN.00");
    EXPECT_EQ(PayIntegrity(std::string("12\0"
                                       "34",
                                       5),
                           1),
              "12.0");
}

TEST(PayIntegrity, TheFrontObjectFormatsTheSameWay) {
    CIMirak1 front;
    EXPECT_EQ(front.GetPay_integrity("1234.5678", 2), "1234.56");
    EXPECT_EQ(front.GetPay_integrity("abc", 9), "0.00000");
}

}  // namespace
