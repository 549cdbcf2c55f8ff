#include "platform/lang/format_spec.h"

#include <gtest/gtest.h>

namespace payroll::lang {
namespace {

TEST(ParseConversions, AcceptsWhatPrintfReadsPlainly) {
    struct Case {
        const char* format;
        std::vector<char> letters;
    } cases[] = {
        {"no conversions", {}},
        {"100%% done", {}},
        {"%s", {'s'}},
        {"%d/%s/%s %s", {'d', 's', 's', 's'}},
        {"%-10.3s|%+05ld|%'.2f|%#x", {'s', 'd', 'f', 'x'}},
        {"%lld %hhu %zu %Lf %*d %.*f", {'d', 'u', 'u', 'f', 'd', 'f'}},
        {"%%%s%%", {'s'}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        std::vector<Conversion> conv;
        ASSERT_TRUE(ParseConversions(c.format, &conv));
        ASSERT_EQ(conv.size(), c.letters.size());
        for (std::size_t i = 0; i < conv.size(); ++i) EXPECT_EQ(conv[i].letter, c.letters[i]);
    }
}

TEST(ParseConversions, RefusesTextsPrintfWouldMisread) {
    for (const char* format :
         {"50%", "%", "abc %", "%q", "%1$s", "%5000d", "%.99999f", "%l", "%-", "%.", "%hk"}) {
        SCOPED_TRACE(format);
        std::vector<Conversion> conv;
        EXPECT_FALSE(ParseConversions(format, &conv));
    }
}

TEST(FormatChecked, FormatsOnlyWhenEveryConversionTakesItsArgument) {
    using Args = std::vector<FormatArg>;
    struct Case {
        const char* format;
        Args args;
        bool ok;
        const char* want;
    } cases[] = {
        {"No %s found.", {std::string("SHCFG")}, true, "No SHCFG found."},
        {"%d done - %s/%s, employee %s",
         {12LL, std::string("2010"), std::string("03"), std::string("E001")},
         true,
         "12 done - 2010/03, employee E001"},
        {"%05d|%-4s|%.2f|%x%%",
         {42LL, std::string("ab"), 1.005, 255LL},
         true,
         "00042|ab  |1.00|ff%"},
        {"%ld and %lld", {1LL, 2LL}, true, "1 and 2"},
        {"%d|%i|%d", {-7LL, 0LL, -9223372036854775807LL - 1}, true, "-7|0|-9223372036854775808"},
        {"[%s]", {std::string("ab\0cd", 5)}, true, "[ab]"},  // printf stops at a NUL
        {"no conversion", {}, true, "no conversion"},
        // Mismatches of every kind fall through.
        {"%s", {}, false, nullptr},
        {"%s %s", {std::string("one")}, false, nullptr},
        {"%s", {std::string("a"), std::string("b")}, false, nullptr},
        {"%d", {std::string("text where a number goes")}, false, nullptr},
        {"%s", {5LL}, false, nullptr},
        {"%f", {5LL}, false, nullptr},
        {"%ls", {std::string("wide")}, false, nullptr},
        {"%Lf", {1.0}, false, nullptr},
        {"%n", {1LL}, false, nullptr},
        {"%p", {1LL}, false, nullptr},
        {"%c", {65LL}, false, nullptr},
        {"%*d", {3LL}, false, nullptr},
        {"100% sure %s", {std::string("x")}, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        std::string out = "untouched";
        EXPECT_EQ(FormatChecked(c.format, c.args, &out), c.ok);
        EXPECT_EQ(out, c.ok ? c.want : "untouched");
    }
}

// A format is parsed once and kept; the same format with other values, a
// failing one between, and an empty one each give their own text.
TEST(FormatChecked, RepeatedFormatsGiveTheirOwnValues) {
    std::string out;
    for (long long i = 0; i < 3; ++i) {
        ASSERT_TRUE(FormatChecked("%d: %s", {i, std::string(1, static_cast<char>('a' + i))}, &out));
        EXPECT_EQ(out, std::to_string(i) + ": " + static_cast<char>('a' + i));
        EXPECT_FALSE(FormatChecked("%d: %s", {i}, &out));
        ASSERT_TRUE(FormatChecked("", {}, &out));
        EXPECT_EQ(out, "");
    }
}

TEST(FormatChecked, TextArgumentsAreNeverFormats) {
    std::string out;
    ASSERT_TRUE(FormatChecked("[%s]", {std::string("%s%n%d")}, &out));
    EXPECT_EQ(out, "[%s%n%d]");
}

TEST(GroupThousands, GroupsTheIntegerPartOnly) {
    struct Case {
        const char* in;
        const char* want;
    } cases[] = {
        {"0", "0"},
        {"999", "999"},
        {"1000", "1,000"},
        {"1234567", "1,234,567"},
        {"-1234567.891", "-1,234,567.891"},
        {" 123456", " 123,456"},
        {"(1500000.00)", "(1,500,000.00)"},
        {"1.23457e+06", "1.23457e+06"},
        {"1234E5", "1234E5"},
        {"inf", "inf"},
        {"-nan", "-nan"},
        {"", ""},
        {"abc1234", "abc1234"},
    };
    for (const Case& c : cases) EXPECT_EQ(GroupThousands(c.in), c.want) << c.in;
}

}  // namespace
}  // namespace payroll::lang
