#include "platform/text/printf_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "payroll/cstring.h"

namespace {

// The fast path, or "<fallback>" where it declines.
std::string Fast(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string out;
    const bool done = payroll::text::AppendPrintf(&out, format, args);
    va_end(args);
    return done ? out : "<fallback>";
}

std::string C(const char* format, ...) {
    va_list args;
    va_start(args, format);
    char buffer[1024];
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

TEST(PrintfFormatTest, AmountsAreWrittenAsTheCLibraryWritesThem) {
    const double amounts[] = {0.0, -0.0, 0.5, 1.0 / 3, 2.675, -2.675, 264600.0, 158580.00005,
                              1e15 + 0.125, -1e-7, 123.45675, 0.00005, 0.00015, 9999999.99995,
                              1e300, 4.35e-310, 1234567.891, -98765.4321, 0.125, 2.5e-5,
                              // Whole amounts, up to and beyond the last exact one.
                              100.0, -3000000.0, 9007199254740991.0, 9007199254740992.0,
                              -4503599627370497.0};
    const char* formats[] = {"%1.4f",   "%f",    "%.0f",  "%12.2f", "%-12.2f|",
                             "%012.3f", "%+.4f", "% .1f", "%.15f",  "%8f"};
    for (const char* format : formats)
        for (double v : amounts) EXPECT_EQ(Fast(format, v), C(format, v)) << format << " " << v;
    EXPECT_EQ(Fast("%1.*f", 4, 2.675), C("%1.*f", 4, 2.675));
    // Amounts of every size, halfway cases included.
    std::mt19937_64 random(20021231);
    for (int i = 0; i < 20000; ++i) {
        const double v = std::ldexp(static_cast<double>(random() % 2000000001) - 1e9,
                                    static_cast<int>(random() % 40) - 20);
        ASSERT_EQ(Fast("%1.4f", v), C("%1.4f", v)) << v;
        ASSERT_EQ(Fast("%.2f", v), C("%.2f", v)) << v;
    }
    EXPECT_EQ(Fast("%*.*f", -9, 2, 3.14159), C("%*.*f", -9, 2, 3.14159));
}

TEST(PrintfFormatTest, IntegersAndTextsAsTheCLibrary) {
    const long long numbers[] = {0, 1, -1, 7, -42, 123456, -2147483648LL, 2147483647LL};
    for (const char* format : {"%d", "%03d", "%-5d|", "%+d", "% d", "%.3d", "%.0d", "%8.3d"})
        for (long long v : numbers) {
            const int n = static_cast<int>(v);
            EXPECT_EQ(Fast(format, n), C(format, n)) << format << " " << n;
        }
    EXPECT_EQ(Fast("%ld|%lld|%zu", -5L, 9000000000LL, std::size_t{12}),
              C("%ld|%lld|%zu", -5L, 9000000000LL, std::size_t{12}));
    EXPECT_EQ(Fast("%u %x %X %08x", 4000000000u, 255u, 255u, 48879u),
              C("%u %x %X %08x", 4000000000u, 255u, 255u, 48879u));
    EXPECT_EQ(Fast("[%s|%5s|%-5s|%.2s|%c|%3c]", "사원", "ab", "ab", "abc", 'x', 'y'),
              C("[%s|%5s|%-5s|%.2s|%c|%3c]", "사원", "ab", "ab", "abc", 'x', 'y'));
    EXPECT_EQ(Fast("100%% of %s", "pay"), "100% of pay");
    EXPECT_EQ(Fast("no conversion at all"), "no conversion at all");
}

TEST(PrintfFormatTest, WhatItDoesNotHandleGoesToTheCLibrary) {
    EXPECT_EQ(Fast("%e", 1.5), "<fallback>");
    EXPECT_EQ(Fast("%g", 1.5), "<fallback>");
    EXPECT_EQ(Fast("%#x", 15u), "<fallback>");
    EXPECT_EQ(Fast("%s", static_cast<const char*>(nullptr)), "<fallback>");
    EXPECT_EQ(Fast("%f", std::nan("")), "<fallback>");
    EXPECT_EQ(Fast("%f", HUGE_VAL), "<fallback>");
    // Through CString the result is the C library's all the same.
    CString s;
    s.Format("%s=%e, %g, %f, %1.4f", "x", 1.5, 0.25, -HUGE_VAL, 2.5);
    EXPECT_EQ(s, C("%s=%e, %g, %f, %1.4f", "x", 1.5, 0.25, -HUGE_VAL, 2.5));
    s = "head ";
    s.AppendFormat("%d %e", 3, 2.0);
    EXPECT_EQ(s, "head " + C("%d %e", 3, 2.0));
}

}  // namespace
