// The register's columns and totals and the ledgers' year sums are the
// database's own sums; the labels come in both languages.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "tests/papers/papers_fixture.h"

namespace payroll::testing {
namespace {

using RegisterTest = PapersTest;

TEST_F(RegisterTest, TotalsAreTheDatabaseSums) {
    for (int sq : {0, 1}) {
        SCOPED_TRACE(sq);
        papers::Register reg;
        std::string error;
        ASSERT_TRUE(papers::ReadRegister(Query("200206", sq), &reg, &error)) << error;
        const std::string month =
            std::string(" WHERE CO_CD='1000' AND RVRS_YM='200206'") + (sq ? " AND SQ=1" : "");
        EXPECT_EQ(reg.runs, sq ? "1 (100,110)" : "1 (100,110), 2 (200)");
        EXPECT_EQ(static_cast<double>(reg.lines.size()),
                  Sum("SELECT COUNT(DISTINCT EMP_CD) FROM HPOMNPY" + month));
        EXPECT_DOUBLE_EQ(reg.gross, Sum("SELECT SUM(PAY_AM) FROM HPOMPPD" + month));
        EXPECT_DOUBLE_EQ(reg.total_deductions, Sum("SELECT SUM(DDCT_AM) FROM HPOMPDD" + month));
        EXPECT_DOUBLE_EQ(reg.net, reg.gross - reg.total_deductions);
        // Every item paid in the month is a column, every column its item's sum.
        std::set<std::string> paid;
        std::string paid_codes = "SELECT PAY_CD FROM HPOMPPD" + month;
        paid_codes += " AND PAY_AM <> 0 UNION SELECT DDCT_CD FROM HPOMPDD" + month;
        paid_codes += " AND DDCT_AM <> 0";
        for (const std::string& code : Rows(paid_codes)) paid.insert(code);
        ASSERT_EQ(reg.columns.size(), paid.size());
        ASSERT_EQ(reg.totals.size(), reg.columns.size());
        bool deductions = false;
        for (std::size_t c = 0; c < reg.columns.size(); ++c) {
            const papers::RegisterColumn& col = reg.columns[c];
            SCOPED_TRACE(col.code);
            EXPECT_TRUE(paid.count(col.code));
            EXPECT_TRUE(!deductions || col.deduction);  // pay columns first
            deductions = col.deduction;
            EXPECT_DOUBLE_EQ(reg.totals[c],
                             Sum(col.deduction ? "SELECT SUM(DDCT_AM) FROM HPOMPDD" + month +
                                                     " AND DDCT_CD='" + col.code + "'"
                                               : "SELECT SUM(PAY_AM) FROM HPOMPPD" + month +
                                                     " AND PAY_CD='" + col.code + "'"));
            double by_line = 0;
            for (const papers::RegisterLine& l : reg.lines) by_line += l.amounts[c];
            EXPECT_DOUBLE_EQ(by_line, reg.totals[c]);
        }
    }
}

TEST_F(RegisterTest, ASeparatelyPaidTypeIsARunOfItsOwn) {
    // April's run 1 paid in two pay types apart: the run place picks one.
    Exec("UPDATE HPHPYFQ SET CCIS_YN='002' WHERE CO_CD='1000' AND RVRS_YM='200206'");
    papers::PaperQuery q = Query("200206", 1);
    q.pay_type = "110";
    papers::Register reg;
    std::string error;
    // The results of the combined run are stored under its first pay type.
    EXPECT_FALSE(papers::ReadRegister(q, &reg, &error));
    EXPECT_NE(error.find("no results"), std::string::npos) << error;
    q.pay_type = "100";
    ASSERT_TRUE(papers::ReadRegister(q, &reg, &error)) << error;
    EXPECT_EQ(reg.runs, "1 (100)");
    EXPECT_DOUBLE_EQ(reg.gross, Sum("SELECT SUM(PAY_AM) FROM HPOMPPD WHERE CO_CD='1000' AND "
                                    "RVRS_YM='200206' AND PYTP_FG='100'"));
}

using LedgerTest = PapersTest;

TEST_F(LedgerTest, EachEmployeesYearSumsTheStoredResults) {
    std::vector<papers::Ledger> ledgers;
    std::string error;
    ASSERT_TRUE(papers::ReadLedgers(Query("2002"), &ledgers, &error)) << error;
    ASSERT_EQ(static_cast<double>(ledgers.size()),
              Sum("SELECT COUNT(DISTINCT EMP_CD) FROM HPOMNPY WHERE CO_CD='1000'"));
    for (const papers::Ledger& l : ledgers) {
        SCOPED_TRACE(l.employee);
        const std::string where =
            " FROM HPOMNPY WHERE CO_CD='1000' AND EMP_CD='" + l.employee + "'";
        EXPECT_EQ(static_cast<double>(l.lines.size()),
                  Sum("SELECT COUNT(*) FROM (SELECT DISTINCT RVRS_YM, SQ" + where + ") R"));
        EXPECT_DOUBLE_EQ(l.totals.taxable, Sum("SELECT SUM(TPAY_AM)" + where));
        EXPECT_DOUBLE_EQ(l.totals.bonus, Sum("SELECT SUM(TBON_AM)" + where));
        EXPECT_DOUBLE_EQ(l.totals.exempt_overtime, Sum("SELECT SUM(EWTE_AM)" + where));
        EXPECT_DOUBLE_EQ(l.totals.exempt_other, Sum("SELECT SUM(ETTE_AM)" + where));
        EXPECT_DOUBLE_EQ(l.totals.income_tax, Sum("SELECT SUM(INTX_AM)" + where));
        // The resident tax withheld: the T10 deductions.
        EXPECT_DOUBLE_EQ(l.totals.resident_tax,
                         Sum("SELECT SUM(DDCT_AM) FROM HPOMPDD WHERE CO_CD='1000' AND EMP_CD='" +
                             l.employee + "' AND DDCT_CD='T10'"));
        EXPECT_GT(l.totals.resident_tax, 0);
        double tax = 0;
        for (std::size_t i = 0; i < l.lines.size(); ++i) {
            tax += l.lines[i].income_tax;
            if (i > 0) {
                EXPECT_LE(l.lines[i - 1].month, l.lines[i].month);
            }
            EXPECT_EQ(l.lines[i].pay_date.substr(0, 6), l.lines[i].month);
        }
        EXPECT_DOUBLE_EQ(tax, l.totals.income_tax);
    }
}

TEST_F(LedgerTest, BadQueriesFailWithAReason) {
    std::vector<papers::Ledger> ledgers(1);
    std::string error;
    EXPECT_FALSE(papers::ReadLedgers(Query("02"), &ledgers, &error));
    EXPECT_NE(error.find("YYYY"), std::string::npos) << error;
    EXPECT_FALSE(papers::ReadLedgers(Query("2003"), &ledgers, &error));
    EXPECT_NE(error.find("no results"), std::string::npos) << error;
    papers::PaperQuery q = Query("2002");
    q.employees = {"E000001", "NOBODY"};
    EXPECT_FALSE(papers::ReadLedgers(q, &ledgers, &error));
    EXPECT_NE(error.find("NOBODY"), std::string::npos) << error;
    EXPECT_TRUE(ledgers.empty());
}

// Both languages have every label, with the same placeholders.
TEST(PaperTexts, BothLanguagesHaveEveryLabelWithTheSamePlaceholders) {
    const std::regex placeholder(R"(\{\d\})");
    int labels = 0;
    for (int id = 1100; id <= 1199; ++id) {
        std::string ko = papers::PaperText(0, id), en = papers::PaperText(1, id);
        ASSERT_EQ(ko.empty(), en.empty()) << id;
        if (ko.empty()) continue;
        ++labels;
        auto marks = [&](const std::string& text) {
            std::set<std::string> out;
            for (auto it = std::sregex_iterator(text.begin(), text.end(), placeholder);
                 it != std::sregex_iterator(); ++it)
                out.insert(it->str());
            return out;
        };
        EXPECT_EQ(marks(ko), marks(en)) << id;
        EXPECT_NE(ko, en) << id;
    }
    EXPECT_GT(labels, 60);
    EXPECT_EQ(papers::PaperText(0, 1100), "급여명세서");
    EXPECT_EQ(papers::PaperText(1, 1100), "Payslip");
    EXPECT_EQ(papers::PaperText(5, 1100), "급여명세서");  // an unknown language: Korean
    EXPECT_EQ(papers::PaperText(1, 4242), "");
}

}  // namespace
}  // namespace payroll::testing
