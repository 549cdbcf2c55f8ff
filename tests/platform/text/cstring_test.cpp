#include "payroll/cstring.h"

#include <gtest/gtest.h>

#include <string>

#include "payroll/fixed_text.h"

namespace {

TEST(CStringTest, FormatHandlesAnyLength) {
    std::string big(100000, 'x');
    CString s;
    s.Format("[%s]", big.c_str());
    EXPECT_EQ(s.GetLength(), 100002);
    s.Format("%d-%s", 7, "a");
    EXPECT_EQ(s, "7-a");
}

TEST(CStringTest, SubTextsClampOutOfRangePositions) {
    CString s("20021231");
    EXPECT_EQ(s.Left(4), "2002");
    EXPECT_EQ(s.Mid(4, 2), "12");
    EXPECT_EQ(s.Mid(6), "31");
    EXPECT_EQ(s.Right(2), "31");
    EXPECT_EQ(s.Left(100), "20021231");
    EXPECT_EQ(s.Mid(-3, 2), "20");
    EXPECT_EQ(s.Mid(50), "");
    EXPECT_EQ(s.Right(-1), "");
    EXPECT_EQ(s.GetAt(8), '\0');
    EXPECT_EQ(s.Find("12"), 4);
    EXPECT_EQ(s.Find("12", 99), -1);
}

TEST(CStringTest, ReplaceAndTrim) {
    CString s("  O'Brien's  ");
    s.Trim();
    EXPECT_EQ(s, "O'Brien's");
    EXPECT_EQ(s.Replace("'", "''"), 2);
    EXPECT_EQ(s, "O''Brien''s");
}

TEST(FixedTextTest, CutsAtUtf8BoundaryAndStaysTerminated) {
    payroll::FixedText<6> f;
    f.Set("abcdefgh");
    EXPECT_EQ(f.View(), "abcde");
    EXPECT_EQ(f.data[5], '\0');
    // "가나" is 6 bytes; five bytes of room keep only the first character.
    f.Set("\xea\xb0\x80\xeb\x82\x98");
    EXPECT_EQ(f.View(), "\xea\xb0\x80");
    // An embedded NUL ends the value.
    f.Set(std::string_view("ab\0cd", 5));
    EXPECT_EQ(f.View(), "ab");
    f.Set("");
    EXPECT_TRUE(f.IsEmpty());
}

TEST(FixedTextTest, PrefixLengthNeverSplitsACharacter) {
    const std::string korean = "\xed\x95\x9c\xea\xb8\x80";  // two 3-byte characters
    for (std::size_t limit = 0; limit <= korean.size(); ++limit) {
        std::size_t n = payroll::Utf8PrefixLength(korean, limit);
        EXPECT_LE(n, limit);
        EXPECT_EQ(n % 3, 0u) << "limit " << limit;
    }
}

}  // namespace
