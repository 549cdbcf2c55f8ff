#include "engine/common/calendar.h"

#include <gtest/gtest.h>

#include "engine/common/rounding_codes.h"

namespace {

using namespace payroll::calendar;

TEST(CalendarTest, PayWindows) {
    struct Case {
        int kind, cutoff, year, month;
        const char* start;
        const char* end;
    } cases[] = {
        {1, 25, 2010, 1, "20091225", "20100124"},  {2, 21, 2010, 12, "20101221", "20110120"},
        {1, 31, 2008, 2, "20080131", "20080229"},  // end clipped to the leap February
        {1, 31, 2008, 3, "20080231", "20080330"},  // the start is not clipped
        {2, 1, 2010, 3, "20100301", "20100331"},   {1, 1, 2010, 1, "20091201", "20091231"},
        {1, 1, 2010, 3, "20100201", "20100228"},   {2, 31, 2009, 1, "20090131", "20090228"},
        {1, 0, 2010, 3, "00000000", "00000000"},   {3, 25, 2010, 3, "00000000", "00000000"},
        {1, 25, 2010, 13, "00000000", "00000000"},  // no month 13: no read past the table
        {2, -5, 2010, 3, "00000000", "00000000"},
    };
    for (const Case& c : cases) {
        std::string start, end;
        PayWindow(c.kind, c.cutoff, c.year, c.month, &start, &end);
        EXPECT_EQ(start, c.start) << c.kind << " " << c.cutoff << " " << c.year << c.month;
        EXPECT_EQ(end, c.end) << c.kind << " " << c.cutoff << " " << c.year << c.month;
    }
}

TEST(CalendarTest, DayNumbers) {
    EXPECT_EQ(DayNumber(1, 1, 1), 1);
    EXPECT_EQ(DayNumber(0, 0, 0), -366);
    EXPECT_EQ(DayNumber(2000, 3, 1) - DayNumber(2000, 2, 29), 1);
    EXPECT_EQ(DayNumber(1900, 3, 1) - DayNumber(1900, 2, 28), 1);  // 1900 is not leap
    EXPECT_EQ(DayNumber(2001, 1, 1) - DayNumber(2000, 1, 1), 366);
    EXPECT_EQ(DayNumber(2010, 2, 31), DayNumber(2010, 3, 3));  // the 31st just adds
    EXPECT_EQ(DayNumber(2010, 13, 1), DayNumber(2011, 1, 1));  // beyond December: a year
    EXPECT_EQ(DayNumberOfText("00000000"), -366);
    EXPECT_EQ(DayNumberOfText(""), -366);
    EXPECT_EQ(DayNumberOfText("20100101"), DayNumber(2010, 1, 1));
    EXPECT_TRUE(IsLeapYear(0));
    EXPECT_FALSE(IsLeapYear(2100));
    EXPECT_EQ(MonthDays(2004, 2), 29);
    EXPECT_EQ(MonthDays(2004, 0), 0);
    EXPECT_EQ(MonthDays(2004, 13), 0);
}

TEST(CalendarTest, ZeroPadding) {
    EXPECT_EQ(ZeroPad8(""), "00000000");
    EXPECT_EQ(ZeroPad8("2010"), "00002010");
    EXPECT_EQ(ZeroPad8("20100131"), "20100131");
    EXPECT_EQ(ZeroPad8("2010013199"), "2010013199");
}

TEST(RoundingCodesTest, EveryCodeHasItsStatementAndNoOtherDoes) {
    int known = 0;
    for (int i = 0; i <= 20; ++i) {
        char code[8];
        std::snprintf(code, sizeof code, "%03d", i);
        if (payroll::rounding::StatementFor(code)) ++known;
    }
    EXPECT_EQ(known, 17);
    EXPECT_STREQ(payroll::rounding::StatementFor("012"), "SELECT ROUND(%.4f,-4,1)\tVAL ");
    EXPECT_EQ(payroll::rounding::StatementFor(""), nullptr);
    EXPECT_EQ(payroll::rounding::StatementFor("0017"), nullptr);
}

TEST(RoundingCodesTest, CutHalfUpLooksAtTheFirstDecimal) {
    struct Case {
        double in, out;
    } cases[] = {{7.5, 8}, {7.49, 7}, {4.49, 4}, {4.5, 5}, {-4.5, -4}, {-4.6, -5}, {0, 0}};
    for (const Case& c : cases) EXPECT_EQ(payroll::rounding::CutHalfUp(c.in), c.out) << c.in;
}

}  // namespace
