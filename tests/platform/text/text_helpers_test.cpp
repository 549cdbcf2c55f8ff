// The number reading and the UTF-8 cutting every module shares.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

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

// Plain decimals are read without the C library; every form must still give
// what strtod gives (zero where that is not finite).
TEST(NumberOfTest, AgreesWithStrtodOnEveryForm) {
    const auto strtodOf = [](const std::string& t) {
        const double v = std::strtod(t.c_str(), nullptr);
        return std::isfinite(v) ? v : 0;
    };
    std::vector<std::string> texts = {
        "0",
        "-0",
        "00012",
        "1.",
        ".5",
        "-.5",
        "1e",
        "1e+",
        "1e-400",
        "0x1A",
        "-0x10",
        "0X1p3",
        "1.5e308",
        "2e308",
        "-",
        "--1",
        "1-2",
        "12,5",
        "0.1",
        "1e22",
        "9007199254740993",
        "123456789012345678901234567890",
        "4.9e-324",
        "3572000.000000",
        "-231480.0000",
        "7 8",
        "1e5x",
        "0xg",
    };
    std::mt19937_64 random(17);
    for (int i = 0; i < 20000; ++i) {
        std::uniform_int_distribution<long long> whole(-99999999999LL, 99999999999LL);
        std::uniform_int_distribution<int> decimals(0, 9999);
        char text[64];
        std::snprintf(text, sizeof text, "%lld.%04d", whole(random), decimals(random));
        texts.emplace_back(text);
    }
    for (const std::string& t : texts) EXPECT_EQ(NumberOf(t), strtodOf(t)) << t;
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
