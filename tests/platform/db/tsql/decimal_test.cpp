#include "platform/db/tsql/decimal.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace payroll::tsql {
namespace {

std::string Round(const char* text, int places, bool truncate) {
    Decimal d;
    EXPECT_TRUE(Decimal::Parse(text, &d)) << text;
    return d.Rounded(places, truncate).ToString();
}

TEST(DecimalTest, ParsesPlainAndExponentNotation) {
    const struct {
        const char* text;
        const char* plain;
    } cases[] = {
        {"0", "0"},
        {"-0.000", "0"},
        {" 12.3400 ", "12.3400"},
        {"+7", "7"},
        {".5", "0.5"},
        {"5.", "5"},
        {"1e3", "1000"},
        {"1.5E-3", "0.0015"},
        {"-00012.5", "-12.5"},
        {"123456789012345678901234567890", "123456789012345678901234567890"},
    };
    for (const auto& c : cases) {
        Decimal d;
        ASSERT_TRUE(Decimal::Parse(c.text, &d)) << c.text;
        EXPECT_EQ(d.ToString(), c.plain) << c.text;
    }
    for (const char* bad :
         {"", " ", "-", ".", "1.2.3", "1e", "1e+", "abc", "12abc", "1e999", "0x10", "1 2"}) {
        Decimal d;
        EXPECT_FALSE(Decimal::Parse(bad, &d)) << bad;
    }
}

TEST(DecimalTest, RoundsHalfAwayFromZeroOrTruncates) {
    const struct {
        const char* text;
        int places;
        bool truncate;
        const char* expected;
    } cases[] = {
        {"2.675", 2, false, "2.68"},   {"2.665", 2, false, "2.67"},
        {"-2.675", 2, false, "-2.68"}, {"2.5", 0, false, "3"},
        {"-2.5", 0, false, "-3"},      {"-2.4999", 0, false, "-2"},
        {"12345", -1, false, "12350"}, {"12344.9", -1, false, "12340"},
        {"99.9999", 0, true, "99"},    {"-99.9999", 0, true, "-99"},
        {"12349", -1, true, "12340"},  {"999.5", 0, false, "1000"},
        {"9999", -4, false, "10000"},  {"4999", -4, false, "0"},
        {"5", -1, false, "10"},        {"0.0004", 3, false, "0"},
        {"0.0005", 3, false, "0.001"}, {"1.25", 5, false, "1.25"},
        {"-0.4", 0, false, "0"},       {"123", -9, false, "0"},
        {"7", 400, false, "7"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Round(c.text, c.places, c.truncate), c.expected)
            << c.text << " at " << c.places << (c.truncate ? " truncated" : "");
}

TEST(DecimalTest, DoublesReadAsTheirDecimal) {
    EXPECT_EQ(Decimal::FromDouble(2.675).ToString(), "2.675");
    EXPECT_EQ(Decimal::FromDouble(0.1 + 0.2).ToString(), "0.3");
    EXPECT_EQ(Decimal::FromDouble(12340.9 + 4).ToString(), "12344.9");
    EXPECT_EQ(Decimal::FromDouble(-1234567890.1234).ToString(), "-1234567890.1234");
    EXPECT_EQ(Decimal::FromDouble(1e20).ToString(), "100000000000000000000");
    EXPECT_EQ(Decimal::FromDouble(0).ToString(), "0");
    EXPECT_EQ(Decimal::FromInteger(std::numeric_limits<std::int64_t>::min()).ToString(),
              "-9223372036854775808");
}

TEST(DecimalTest, ConvertsBack) {
    Decimal d;
    ASSERT_TRUE(Decimal::Parse("12350.0000", &d));
    std::int64_t n = 0;
    EXPECT_FALSE(d.ToInt64(&n));  // it has (zero) decimals
    EXPECT_TRUE(d.Rounded(0, false).ToInt64(&n));
    EXPECT_EQ(n, 12350);
    ASSERT_TRUE(Decimal::Parse("99999999999999999999", &d));
    EXPECT_FALSE(d.ToInt64(&n));
    EXPECT_EQ(d.ToDouble(), 1e20);
    ASSERT_TRUE(Decimal::Parse("2.68", &d));
    EXPECT_EQ(d.ToDouble(), 2.68);
    EXPECT_EQ(d.ToString(4), "2.6800");
}

TEST(DecimalTest, FormatStrFitsTheWidth) {
    const struct {
        const char* text;
        int length;
        int decimals;
        const char* expected;
    } cases[] = {
        {"123.45", 6, 1, " 123.5"},
        {"123.45", 2, 0, "**"},
        {"0", 3, 0, "  0"},
        {"-1.5", 4, 0, "  -2"},
        {"1234.5678", 6, 2, "1234.6"},
        {"99.96", 3, 2, "100"},
        {"999.6", 3, 0, "***"},
        {"7", 5, 3, "7.000"},
        {"7", 5, 30, "7.000"},
        {"1", 0, 0, ""},
        {"-5", 1, 0, "*"},
    };
    for (const auto& c : cases) {
        Decimal d;
        ASSERT_TRUE(Decimal::Parse(c.text, &d));
        EXPECT_EQ(FormatStr(d, c.length, c.decimals), c.expected)
            << c.text << " " << c.length << " " << c.decimals;
    }
}

}  // namespace
}  // namespace payroll::tsql
