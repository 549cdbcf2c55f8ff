// The register's columns, subtotals and totals and the ledgers' months and
// year sums are the database's own sums and the month's reading; the labels
// come in both languages.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <string>

#include "payroll/reading.h"
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
        ASSERT_EQ(reg.runs.size(), sq ? 1u : 2u);
        EXPECT_EQ(reg.runs[0].pay_types, "100,110");
        EXPECT_EQ(reg.runs[0].pay_date.substr(0, 6), "200206");
        if (!sq) {
            EXPECT_EQ(reg.runs[1].pay_types, "200");
        }
        // A line per employee and run; people and lines counted apart.
        EXPECT_EQ(
            static_cast<double>(reg.lines.size()),
            Sum("SELECT COUNT(*) FROM (SELECT DISTINCT SQ, EMP_CD FROM HPOMNPY" + month + ") R"));
        EXPECT_EQ(static_cast<double>(reg.total.people),
                  Sum("SELECT COUNT(DISTINCT EMP_CD) FROM HPOMNPY" + month));
        EXPECT_EQ(reg.total.lines, static_cast<long>(reg.lines.size()));
        EXPECT_DOUBLE_EQ(reg.total.gross, Sum("SELECT SUM(PAY_AM) FROM HPOMPPD" + month));
        EXPECT_DOUBLE_EQ(reg.total.total_deductions,
                         Sum("SELECT SUM(DDCT_AM) FROM HPOMPDD" + month));
        EXPECT_DOUBLE_EQ(reg.total.net, reg.total.gross - reg.total.total_deductions);
        // Every item paid in the month is a column, every column its item's sum.
        std::set<std::string> paid;
        std::string paid_codes = "SELECT PAY_CD FROM HPOMPPD" + month;
        paid_codes += " AND PAY_AM <> 0 UNION SELECT DDCT_CD FROM HPOMPDD" + month;
        paid_codes += " AND DDCT_AM <> 0";
        for (const std::string& code : Rows(paid_codes)) paid.insert(code);
        ASSERT_EQ(reg.columns.size(), paid.size());
        ASSERT_EQ(reg.total.amounts.size(), reg.columns.size());
        bool deductions = false;
        for (std::size_t c = 0; c < reg.columns.size(); ++c) {
            const papers::RegisterColumn& col = reg.columns[c];
            SCOPED_TRACE(col.code);
            EXPECT_TRUE(paid.count(col.code));
            EXPECT_TRUE(!deductions || col.deduction);  // pay columns first
            deductions = col.deduction;
            EXPECT_DOUBLE_EQ(reg.total.amounts[c],
                             Sum(col.deduction ? "SELECT SUM(DDCT_AM) FROM HPOMPDD" + month +
                                                     " AND DDCT_CD='" + col.code + "'"
                                               : "SELECT SUM(PAY_AM) FROM HPOMPPD" + month +
                                                     " AND PAY_CD='" + col.code + "'"));
            double by_line = 0;
            for (const papers::RegisterLine& l : reg.lines) by_line += l.amounts[c];
            EXPECT_DOUBLE_EQ(by_line, reg.total.amounts[c]);
        }
    }
}

// Each department's subtotal sums its lines of the run, each run's its
// departments, and the runs make the month; departments come in words.
TEST_F(RegisterTest, SubtotalsAddUpToTheMonthsTotal) {
    papers::Register reg;
    std::string error;
    ASSERT_TRUE(papers::ReadRegister(Query("200206"), &reg, &error)) << error;
    ASSERT_EQ(reg.run_totals.size(), reg.runs.size());
    ASSERT_GE(reg.departments.size(), 2u);
    const std::size_t columns = reg.columns.size();
    auto same = [&](const papers::RegisterTotal& got, const papers::RegisterTotal& want) {
        EXPECT_EQ(got.lines, want.lines);
        EXPECT_EQ(got.people, want.people);
        EXPECT_NEAR(got.gross, want.gross, 0.005);
        EXPECT_NEAR(got.total_deductions, want.total_deductions, 0.005);
        EXPECT_NEAR(got.net, want.net, 0.005);
        for (std::size_t c = 0; c < columns; ++c)
            EXPECT_NEAR(c < got.amounts.size() ? got.amounts[c] : 0, want.amounts[c], 0.005) << c;
    };
    std::vector<papers::RegisterTotal> runs(reg.runs.size());
    for (auto& r : runs) r.amounts.assign(columns, 0);
    papers::RegisterTotal month;
    month.amounts.assign(columns, 0);
    std::set<std::pair<std::size_t, std::string>> seen_departments;
    std::size_t at = 0;  // the next line
    for (const papers::RegisterTotal& d : reg.departments) {
        SCOPED_TRACE(d.department);
        EXPECT_TRUE(seen_departments.insert({d.run, d.department}).second) << "split department";
        // Its lines are the next ones, all of its run and department.
        papers::RegisterTotal summed;
        summed.amounts.assign(columns, 0);
        std::set<std::string> people;
        for (; at < reg.lines.size() && reg.lines[at].run == d.run &&
               reg.lines[at].department == d.department;
             ++at) {
            const papers::RegisterLine& l = reg.lines[at];
            EXPECT_EQ(l.department_name, d.department_name);
            for (std::size_t c = 0; c < columns; ++c) summed.amounts[c] += l.amounts[c];
            summed.gross += l.gross;
            summed.total_deductions += l.total_deductions;
            summed.net += l.net;
            ++summed.lines;
            people.insert(l.employee);
        }
        summed.people = static_cast<long>(people.size());
        same(d, summed);
        // Named in words from the department table, not by its code.
        EXPECT_EQ(d.department_name, Scalar("SELECT DEPT_NM FROM SDEPT WHERE CO_CD='1000' AND "
                                            "DEPT_CD='" +
                                            d.department + "'"));
        EXPECT_NE(d.department_name, d.department);
        papers::RegisterTotal& run = runs[d.run];
        for (std::size_t c = 0; c < columns; ++c) run.amounts[c] += d.amounts[c];
        run.gross += d.gross;
        run.total_deductions += d.total_deductions;
        run.net += d.net;
        run.lines += d.lines;
        run.people += d.people;  // a person has one department
    }
    EXPECT_EQ(at, reg.lines.size());
    for (std::size_t r = 0; r < runs.size(); ++r) {
        SCOPED_TRACE(r);
        same(reg.run_totals[r], runs[r]);
        for (std::size_t c = 0; c < columns; ++c) month.amounts[c] += runs[r].amounts[c];
        month.gross += runs[r].gross;
        month.total_deductions += runs[r].total_deductions;
        month.net += runs[r].net;
        month.lines += runs[r].lines;
    }
    month.people = reg.total.people;
    same(reg.total, month);
    // Someone paid in both runs is one person on two lines.
    EXPECT_LT(reg.total.people, reg.total.lines);
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
    ASSERT_EQ(reg.runs.size(), 1u);
    EXPECT_EQ(reg.runs[0].sq, 1);
    EXPECT_EQ(reg.runs[0].pay_types, "100");
    EXPECT_DOUBLE_EQ(reg.total.gross, Sum("SELECT SUM(PAY_AM) FROM HPOMPPD WHERE CO_CD='1000' AND "
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
        EXPECT_EQ(static_cast<double>(l.totals.runs),
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
        // Twelve months, January first, each with its runs' pay dates.
        ASSERT_EQ(l.lines.size(), 12u);
        double tax = 0;
        for (std::size_t i = 0; i < l.lines.size(); ++i) {
            const papers::LedgerLine& m = l.lines[i];
            EXPECT_EQ(m.month, "2002" + std::string(i < 9 ? "0" : "") + std::to_string(i + 1));
            EXPECT_EQ(static_cast<int>(m.pay_dates.size()), m.runs);
            for (const std::string& date : m.pay_dates) EXPECT_EQ(date.substr(0, 6), m.month);
            tax += m.income_tax;
        }
        EXPECT_DOUBLE_EQ(tax, l.totals.income_tax);
    }
}

// Each month of a ledger is what the month's reading gives the employee,
// his runs of the month summed: the figures every other face shows.
TEST_F(LedgerTest, EachMonthIsTheMonthsReading) {
    std::vector<papers::Ledger> ledgers;
    std::string error;
    ASSERT_TRUE(papers::ReadLedgers(Query("2002"), &ledgers, &error)) << error;
    std::map<std::string, const papers::Ledger*> by_employee;
    for (const papers::Ledger& l : ledgers) by_employee[l.employee] = &l;
    int paid_months = 0;
    for (int m = 1; m <= 12; ++m) {
        const std::string month = "2002" + std::string(m < 10 ? "0" : "") + std::to_string(m);
        reading::MonthResults results;
        ASSERT_TRUE(reading::ReadMonthResults("1000", month, 0, 0, &results, &error)) << error;
        std::map<std::string, reading::ResultLine> sums;
        for (const reading::ResultLine& r : results.lines) {
            reading::ResultLine& s = sums[r.employee];
            s.gross += r.gross;
            s.taxable += r.taxable;
            s.bonus += r.bonus;
            s.exempt += r.exempt;
            s.exempt_overtime += r.exempt_overtime;
            s.exempt_childbirth += r.exempt_childbirth;
            s.exempt_other += r.exempt_other;
            s.income_tax += r.income_tax;
            s.resident_tax += r.resident_tax;
            s.employment += r.employment;
        }
        for (const auto& [employee, s] : sums) {
            SCOPED_TRACE(employee);
            SCOPED_TRACE(month);
            ASSERT_TRUE(by_employee.count(employee));
            const papers::LedgerLine& l =
                by_employee[employee]->lines[static_cast<std::size_t>(m - 1)];
            EXPECT_DOUBLE_EQ(l.gross, s.gross);
            EXPECT_DOUBLE_EQ(l.taxable + l.bonus, s.taxable);
            EXPECT_DOUBLE_EQ(l.bonus, s.bonus);
            EXPECT_DOUBLE_EQ(l.exempt_overtime + l.exempt_childbirth + l.exempt_other, s.exempt);
            EXPECT_DOUBLE_EQ(l.exempt_childbirth, s.exempt_childbirth);
            EXPECT_DOUBLE_EQ(l.income_tax, s.income_tax);
            EXPECT_DOUBLE_EQ(l.resident_tax, s.resident_tax);
            EXPECT_DOUBLE_EQ(l.employment, s.employment);
            ++paid_months;
        }
        // A month without his runs is there, empty.
        for (const papers::Ledger& l : ledgers)
            if (!sums.count(l.employee)) {
                EXPECT_EQ(l.lines[static_cast<std::size_t>(m - 1)].runs, 0);
                EXPECT_EQ(l.lines[static_cast<std::size_t>(m - 1)].gross, 0);
            }
    }
    EXPECT_GT(paid_months, 12);
}

// The employer's block: the company record when there is one, else the code.
TEST_F(LedgerTest, TheEmployerIsTheCompanyRecord) {
    papers::PaperQuery q = Query("2002");
    q.employees = {"E000001"};
    std::vector<papers::Ledger> ledgers;
    std::string error;
    Exec("DELETE FROM SCOINFO WHERE CO_CD='1000'");
    ASSERT_TRUE(papers::ReadLedgers(q, &ledgers, &error)) << error;
    ASSERT_EQ(ledgers.size(), 1u);
    EXPECT_EQ(ledgers[0].employer.code, "1000");
    EXPECT_EQ(ledgers[0].employer.name, "");
    Exec(
        "INSERT INTO SCOINFO (CO_CD, CO_NM, CO_NMK, CEO_NM, BIZR_NB, ADDR_DC) VALUES ('1000', "
        "'한빛정밀', 'Hanbit Precision', '김대표', '123-45-67890', '서울 중구')");
    for (int language : {0, 1}) {
        q.language = language;
        ASSERT_TRUE(papers::ReadLedgers(q, &ledgers, &error)) << error;
        const papers::Employer& e = ledgers[0].employer;
        EXPECT_EQ(e.code, "1000");
        EXPECT_EQ(e.name, language ? "Hanbit Precision" : "한빛정밀");
        EXPECT_EQ(e.representative, "김대표");
        EXPECT_EQ(e.business_no, "123-45-67890");
        EXPECT_EQ(e.address, "서울 중구");
    }
    papers::Register reg;
    ASSERT_TRUE(papers::ReadRegister(Query("200206"), &reg, &error)) << error;
    EXPECT_EQ(reg.company_name, "한빛정밀");
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
    std::vector<int> ids;
    for (int id = 1100; id <= 1199; ++id) ids.push_back(id);
    for (int id = 1300; id <= 1349; ++id) ids.push_back(id);
    for (int id : ids) {
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
    EXPECT_GT(labels, 90);
    EXPECT_EQ(papers::PaperText(0, 1100), "급여명세서");
    EXPECT_EQ(papers::PaperText(1, 1100), "Payslip");
    EXPECT_EQ(papers::PaperText(5, 1100), "급여명세서");  // an unknown language: Korean
    EXPECT_EQ(papers::PaperText(1, 4242), "");
}

}  // namespace
}  // namespace payroll::testing
