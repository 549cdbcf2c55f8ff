// The monthly withholding return: its lines are what the month's runs paid
// and withheld, and its total is the ledgers' month, to the won.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tests/papers/papers_fixture.h"

namespace {

using payroll::testing::PapersTest;

class WithholdingReturnTest : public PapersTest {};

TEST_F(WithholdingReturnTest, TheTotalIsTheLedgersMonthToTheWon) {
    payroll::papers::WithholdingReturn ret;
    std::string error;
    ASSERT_TRUE(payroll::papers::ReadWithholdingReturn(Query("200206"), &ret, &error)) << error;
    ASSERT_EQ(ret.lines.size(), 5u);
    EXPECT_EQ(ret.lines[0].code, "A01");
    EXPECT_EQ(ret.lines[4].code, "A10");
    EXPECT_EQ(ret.attribution_months, std::vector<std::string>{"200206"});
    // The ledgers' months paid in June (none of the fixture's months is
    // paid partly in another).
    std::vector<payroll::papers::Ledger> ledgers;
    ASSERT_TRUE(payroll::papers::ReadLedgers(Query("2002"), &ledgers, &error)) << error;
    double pay = 0, tax = 0, resident = 0;
    long people = 0;
    for (const payroll::papers::Ledger& l : ledgers) {
        bool paid = false;
        for (const payroll::papers::LedgerLine& line : l.lines) {
            const auto june = [](const std::string& d) { return d.rfind("200206", 0) == 0; };
            if (std::none_of(line.pay_dates.begin(), line.pay_dates.end(), june)) continue;
            EXPECT_TRUE(std::all_of(line.pay_dates.begin(), line.pay_dates.end(), june));
            pay += line.gross;
            tax += line.income_tax;
            resident += line.resident_tax;
            paid = true;
        }
        people += paid ? 1 : 0;
    }
    const payroll::papers::ReturnLine& total = ret.lines[4];
    EXPECT_GT(tax, 0);
    EXPECT_EQ(std::llround(total.pay), std::llround(pay));
    EXPECT_EQ(std::llround(total.income_tax), std::llround(tax));
    EXPECT_EQ(std::llround(total.resident_tax), std::llround(resident));
    EXPECT_EQ(total.people, people);
    // What the program does not compute is 0 and said so.
    EXPECT_FALSE(ret.lines[3].computed);
    EXPECT_EQ(ret.lines[3].income_tax, 0);
    EXPECT_NE(ret.note.find("A04"), std::string::npos);
}

TEST_F(WithholdingReturnTest, ALeaverOfTheMonthIsOnTheLeaversLine) {
    Exec("UPDATE SEMP SET RTR_DT='20020620' WHERE EMP_CD='E000002'");
    payroll::papers::WithholdingReturn ret;
    std::string error;
    ASSERT_TRUE(payroll::papers::ReadWithholdingReturn(Query("200206"), &ret, &error)) << error;
    EXPECT_EQ(ret.lines[1].code, "A02");
    EXPECT_EQ(ret.lines[1].people, 1);
    EXPECT_GT(ret.lines[1].pay, 0);
    EXPECT_EQ(ret.lines[4].people, ret.lines[0].people + 1);
    EXPECT_DOUBLE_EQ(ret.lines[4].pay, ret.lines[0].pay + ret.lines[1].pay);
}

TEST_F(WithholdingReturnTest, AMonthWithoutPaidRunsIsRefused) {
    payroll::papers::WithholdingReturn ret;
    std::string error;
    EXPECT_FALSE(payroll::papers::ReadWithholdingReturn(Query("200301"), &ret, &error));
    EXPECT_NE(error.find("200301"), std::string::npos) << error;
    EXPECT_FALSE(payroll::papers::ReadWithholdingReturn(Query("2002"), &ret, &error));
}

}  // namespace
