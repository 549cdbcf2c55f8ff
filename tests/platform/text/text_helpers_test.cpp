// The number reading and the UTF-8 cutting every module shares.
#include <gtest/gtest.h>

#include <string>

#include "platform/text/number_parse.h"
#include "platform/text/utf8_pieces.h"

namespace {

using payroll::text::NumberOf;
using payroll::text::Utf8Pieces;

TEST(NumberOfTest, ReadsAsAtofDoesAndGivesZeroForWhatNoAmountCanBe) {
    EXPECT_EQ(NumberOf("1234.5000"), 1234.5);
    EXPECT_EQ(NumberOf("  -12.25"), -12.25);
    EXPECT_EQ(NumberOf("+7"), 7);
    EXPECT_EQ(NumberOf("12abc"), 12);  // the number the text starts with
    EXPECT_EQ(NumberOf("1e3"), 1000);
    EXPECT_EQ(NumberOf(""), 0);
    EXPECT_EQ(NumberOf("abc"), 0);
    EXPECT_EQ(NumberOf("1e999"), 0);
    EXPECT_EQ(NumberOf("-1e999"), 0);
    EXPECT_EQ(NumberOf("inf"), 0);
    EXPECT_EQ(NumberOf("nan"), 0);
    // A view is read to its end only, and a long text as well as a short one.
    EXPECT_EQ(NumberOf(std::string_view("42.5|99", 4)), 42.5);
    EXPECT_EQ(NumberOf(std::string(100, ' ') + "3.5"), 3.5);
}

TEST(Utf8PiecesTest, CutsAtCharacterBoundariesAndBytesOnlyWhereThereIsNone) {
    EXPECT_TRUE(Utf8Pieces("", 5).empty());
    EXPECT_EQ(Utf8Pieces("abcdefg", 3), (std::vector<std::string_view>{"abc", "def", "g"}));
    // "가" is three bytes: a piece of four bytes holds one, never a part.
    const std::string korean = "가나다";
    EXPECT_EQ(Utf8Pieces(korean, 4), (std::vector<std::string_view>{"가", "나", "다"}));
    EXPECT_EQ(Utf8Pieces("a" + korean, 4), (std::vector<std::string_view>{"a가", "나", "다"}));
    // Continuation bytes with no start byte: cut at the limit.
    const std::string broken(5, '\x80');
    EXPECT_EQ(Utf8Pieces(broken, 2).size(), 3u);
    // Whatever the text, the pieces put back together are the text.
    const std::string mixed = korean + "xyz" + broken;
    std::string whole;
    for (std::string_view p : Utf8Pieces(mixed, 4)) whole += p;
    EXPECT_EQ(whole, mixed);
    EXPECT_EQ(payroll::text::LastUtf8Piece(mixed, 4), Utf8Pieces(mixed, 4).back());
    EXPECT_TRUE(payroll::text::LastUtf8Piece("", 4).empty());
}

}  // namespace
