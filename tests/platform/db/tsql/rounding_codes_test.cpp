// The engine's amount-rounding statements: seventeen one-line SELECT ROUND
// texts, one per cut-off code, sent with the amount formatted "%.4f". Each
// must give what a decimal database gives. The expected values come from
// integer arithmetic on the amount in ten-thousandths, which is exact.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/platform/db/tsql/tsql_test_db.h"

namespace payroll::tsql::testing {
namespace {

struct Code {
    const char* code;
    const char* statement;  // exactly as the engine sends it
    int places;             // decimals kept (negative: left of the point)
    std::int64_t add;       // added before rounding, in ten-thousandths
    bool truncate;
};

const Code kCodes[] = {
    {"001", "SELECT ROUND(%.4f,2) VAL ", 2, 0, false},
    {"002", "SELECT ROUND(%.4f,1,1)  VAL ", 1, 0, true},
    {"003", "SELECT ROUND(%.4f + 0.04,1) VAL ", 1, 400, false},
    {"004", "SELECT ROUND(%.4f,0,1) VAL ", 0, 0, true},
    {"005", "SELECT ROUND(%.4f + 0.4,0) VAL ", 0, 4000, false},
    {"006", "SELECT ROUND(%.4f,-1,1) VAL ", -1, 0, true},
    {"007", "SELECT ROUND(%.4f + 4,-1) VAL ", -1, 40000, false},
    {"008", "SELECT ROUND(%.4f,-2,1) VAL ", -2, 0, true},
    {"009", "SELECT ROUND(%.4f+ 40,-2) VAL ", -2, 400000, false},
    {"010", "SELECT ROUND(%.4f,-3,1 )VAL ", -3, 0, true},
    {"011", "SELECT ROUND(%.4f + 400,-3) VAL ", -3, 4000000, false},
    {"012", "SELECT ROUND(%.4f,-4,1)\tVAL ", -4, 0, true},
    {"013", "SELECT ROUND(%.4f + 4000,-4) VAL ", -4, 40000000, false},
    {"014", "SELECT ROUND(%.4f,2,1) VAL ", 2, 0, true},
    {"015", "SELECT ROUND(%.4f +0.004,2) VAL ", 2, 40, false},
    {"016", "SELECT ROUND(%.4f,1) VAL ", 1, 0, false},
    {"017", "SELECT ROUND(%.4f,0) VAL ", 0, 0, false},
};

// The rounded value, in ten-thousandths, of `units` ten-thousandths.
std::int64_t Expected(std::int64_t units, const Code& c) {
    std::int64_t x = units + c.add;
    std::int64_t step = 1;
    for (int i = c.places; i < 4; ++i) step *= 10;
    std::int64_t rest = x % step;  // keeps the sign of x
    std::int64_t kept = x - rest;
    if (!c.truncate && std::llabs(rest) * 2 >= step) kept += x < 0 ? -step : step;
    return kept;
}

double FromUnits(std::int64_t units) {
    char text[40];
    std::snprintf(text, sizeof text, "%s%lld.%04lld", units < 0 ? "-" : "",
                  static_cast<long long>(std::llabs(units) / 10000),
                  static_cast<long long>(std::llabs(units) % 10000));
    return std::strtod(text, nullptr);
}

double RunCode(TestDb& db, const Code& c, double amount) {
    char sql[128];
    std::snprintf(sql, sizeof sql, c.statement, amount);
    std::string value = db.Scalar(sql);
    return std::strtod(value.c_str(), nullptr);
}

TEST(RoundingCodesTest, DocumentedCases) {
    TestDb db;
    auto code = [](const char* name) -> const Code& {
        for (const Code& c : kCodes)
            if (std::string(c.code) == name) return c;
        return kCodes[0];
    };
    EXPECT_EQ(RunCode(db, code("007"), 12341), 12350);
    EXPECT_EQ(RunCode(db, code("007"), 12340.9), 12340);
    EXPECT_EQ(RunCode(db, code("007"), 12340), 12340);
    EXPECT_EQ(RunCode(db, code("006"), 12349), 12340);
    EXPECT_EQ(RunCode(db, code("004"), 99.9999), 99);
    EXPECT_EQ(RunCode(db, code("017"), 2.5), 3);
    EXPECT_EQ(RunCode(db, code("017"), -2.5), -3);
    EXPECT_EQ(RunCode(db, code("001"), 2.675), 2.68);
    EXPECT_EQ(RunCode(db, code("015"), 10.001), 10.01);
    EXPECT_EQ(RunCode(db, code("003"), 10.01), 10.1);
    EXPECT_EQ(RunCode(db, code("013"), 12345), 20000);
    EXPECT_EQ(RunCode(db, code("012"), 19999.9999), 10000);
}

TEST(RoundingCodesTest, EveryCodeMatchesDecimalArithmetic) {
    TestDb db;
    // Amounts in ten-thousandths: edges around halves and steps, then a spread
    // of pseudo-random amounts below ten billion won, both signs.
    std::vector<std::int64_t> amounts = {0,         1,          4999,          5000,          26750,
                                         123405000, 123449999,  123450000,     999999999,     25000,
                                         -25000,    -123450000, 1234567890123, 99999999999999};
    std::uint64_t seed = 0x9e3779b97f4a7c15ULL;
    for (int i = 0; i < 300; ++i) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        auto magnitude = static_cast<std::int64_t>((seed >> 11) % 100000000000000ULL);
        amounts.push_back(i % 3 == 0 ? -magnitude : magnitude);
        amounts.push_back(magnitude / 10000 * 10000 + 5000);  // exact halves
    }
    for (const Code& c : kCodes) {
        SCOPED_TRACE(c.code);
        std::size_t mismatches = 0;
        for (std::int64_t units : amounts) {
            double amount = FromUnits(units);
            double got = RunCode(db, c, amount);
            double want = FromUnits(Expected(units, c));
            if (got != want && ++mismatches <= 5)
                ADD_FAILURE() << "amount " << amount << ": got " << got << ", want " << want;
        }
    }
    // Two shapes per code (a negative amount brings its minus sign), whatever the amount.
    EXPECT_EQ(db.translator().CachedShapes(), 2 * std::size(kCodes));
}

}  // namespace
}  // namespace payroll::tsql::testing
