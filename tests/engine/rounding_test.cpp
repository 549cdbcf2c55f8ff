#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "payroll/salary_calcurate.h"
#include "platform/db/connection.h"
#include "support/engine_fixture.h"

namespace {

using payroll::testing::DatabaseFixture;
using payroll::testing::ScopedRegistry;

class RoundingTest : public DatabaseFixture {
  protected:
    ScopedRegistry registry_{""};
    CSalaryCalcurate engine_;
};

TEST_F(RoundingTest, EveryCodeAtItsEdges) {
    struct Case {
        const char* code;
        double amount, expected;
    } cases[] = {
        {"001", 12.345, 12.35},
        {"001", 12.3449, 12.34},
        {"001", -12.345, -12.35},
        {"002", 12.39, 12.3},
        {"002", -12.39, -12.3},
        {"003", 12.31, 12.4},
        {"003", 12.3, 12.3},
        {"003", 12.3099, 12.3},
        {"004", 99.9999, 99},
        {"004", -99.9999, -99},
        {"005", 12.1, 13},
        {"005", 12.0999, 12},
        {"005", 12, 12},
        {"006", 12349, 12340},
        {"006", -12349, -12340},
        {"007", 12341, 12350},
        {"007", 12340.9, 12340},
        {"007", 12340, 12340},
        {"008", 12399, 12300},
        {"009", 12310, 12400},
        {"009", 12309, 12300},
        {"010", 12999, 12000},
        {"011", 12100, 13000},
        {"011", 12099, 12000},
        {"012", 19999, 10000},
        {"012", 123456789, 123450000},
        {"013", 11000, 20000},
        {"013", 10999, 10000},
        {"014", 1.2399, 1.23},
        {"014", -1.2399, -1.23},
        {"015", 1.231, 1.24},
        {"015", 1.2309, 1.23},
        {"016", 1.25, 1.3},
        {"016", 1.2499, 1.2},
        {"017", 2.5, 3},
        {"017", -2.5, -3},
        {"017", 2.4999, 2},
        // The amount reaches the database as a four-decimal literal: 2.49996
        // is sent as 2.5000 and rounds up.
        {"017", 2.49996, 3},
        {"004", 99.99996, 100},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(engine_.SetAmountReleas(c.amount, c.code), c.expected)
            << c.code << " " << c.amount;
    EXPECT_TRUE(Messages().empty());
}

TEST_F(RoundingTest, TheStatementsSent) {
    Record();
    struct Case {
        const char* code;
        double amount;
        const char* statement;
    } cases[] = {
        {"007", 12341, "SELECT ROUND(12341.0000 + 4,-1) VAL "},
        {"002", 1.23456, "SELECT ROUND(1.2346,1,1)  VAL "},
        {"009", -5, "SELECT ROUND(-5.0000+ 40,-2) VAL "},
        {"010", 0, "SELECT ROUND(0.0000,-3,1 )VAL "},
        {"012", 19999, "SELECT ROUND(19999.0000,-4,1)\tVAL "},
        {"015", 1.5, "SELECT ROUND(1.5000 +0.004,2) VAL "},
    };
    for (const Case& c : cases) {
        sent_.clear();
        engine_.SetAmountReleas(c.amount, c.code);
        ASSERT_EQ(sent_.size(), 1u) << c.code;
        EXPECT_EQ(sent_[0], c.statement);
    }
}

TEST_F(RoundingTest, OtherCodesSendNothing) {
    Record();
    for (const char* code : {"018", "000", "", "7", "007 ", "0O7", "001\t"}) {
        EXPECT_DOUBLE_EQ(engine_.SetAmountReleas(1234.5678, code), 1234.5678) << code;
    }
    EXPECT_TRUE(sent_.empty());
}

TEST_F(RoundingTest, AFailedStatementLeavesTheAmount) {
    FailAt(1);
    EXPECT_DOUBLE_EQ(engine_.SetAmountReleas(12341, "007"), 12341);
    EXPECT_DOUBLE_EQ(engine_.SetAmountReleas(12341, "007"), 12350);  // the fault was once
    payroll::CloseDatabase();
    EXPECT_DOUBLE_EQ(engine_.SetAmountReleas(12341, "007"), 12341);
    EXPECT_TRUE(Messages().empty());  // silently
}

TEST(ValuesCutTest, HalfUpByTheFirstDecimal) {
    payroll::testing::ScopedRegistry registry("");
    CSalaryCalcurate engine;
    struct Case {
        double value, expected;
    } cases[] = {
        {7.5, 8}, {7.49, 7}, {4.49, 4}, {4.5, 5}, {-4.5, -4}, {-4.6, -5}, {0, 0}, {12345.96, 12346},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(engine.ValuesCut_Add(c.value, 99), c.expected) << c.value;
}

}  // namespace
