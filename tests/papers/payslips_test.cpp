// The payslips read back what the database holds: every line, total and
// note of each employee's run, and the notes reproduce the stored taxes
// from the tables the engine used.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tests/papers/papers_fixture.h"
#include "tools/company/people.h"

namespace payroll::testing {
namespace {

using papers::Payslip;

class PayslipsTest : public PapersTest {
  protected:
    std::string RunWhere(const Payslip& s) {
        return " WHERE CO_CD='1000' AND RVRS_YM='" + s.month + "' AND SQ=" + std::to_string(s.sq) +
               " AND EMP_CD='" + s.employee + "'";
    }
};

TEST_F(PayslipsTest, EveryLineAndTotalIsTheStoredAmount) {
    std::vector<Payslip> slips;
    std::string error;
    ASSERT_TRUE(papers::ReadPayslips(Query("200206"), &slips, &error)) << error;
    // June pays the salary with the special allowance (run 1, paid together)
    // and a bonus (run 2); the tax road has results for both.
    const double slips_stored =
        Sum("SELECT COUNT(*) FROM (SELECT DISTINCT EMP_CD, SQ FROM HPOMNPY WHERE CO_CD='1000' AND "
            "RVRS_YM='200206') R");
    ASSERT_EQ(static_cast<double>(slips.size()), slips_stored);
    for (const Payslip& s : slips) {
        SCOPED_TRACE(s.employee + " run " + std::to_string(s.sq));
        EXPECT_EQ(s.pay_types, s.sq == 1 ? "100,110" : "200");
        EXPECT_EQ(s.pay_date, s.sq == 1 ? "20020625" : "20020628");
        EXPECT_EQ(s.name, Scalar("SELECT KOR_NM FROM SEMP WHERE EMP_CD='" + s.employee + "'"));
        EXPECT_DOUBLE_EQ(s.gross, Sum("SELECT SUM(PAY_AM) FROM HPOMPPD" + RunWhere(s)));
        EXPECT_DOUBLE_EQ(s.total_deductions, Sum("SELECT SUM(DDCT_AM) FROM HPOMPDD" + RunWhere(s)));
        EXPECT_DOUBLE_EQ(s.net, s.gross - s.total_deductions);
        EXPECT_DOUBLE_EQ(s.taxable,
                         Sum("SELECT SUM(TPAY_AM + TBON_AM) FROM HPOMNPY" + RunWhere(s)));
        EXPECT_DOUBLE_EQ(s.taxable + s.exempt, s.gross);  // nothing of June's pay is lost
        for (const papers::PaperLine& l : s.pay) {
            EXPECT_NE(l.amount, 0) << l.code;
            EXPECT_DOUBLE_EQ(l.amount, Sum("SELECT SUM(PAY_AM) FROM HPOMPPD" + RunWhere(s) +
                                           " AND PAY_CD='" + l.code + "'"))
                << l.code;
            EXPECT_EQ(l.name, Scalar("SELECT CTD_NM FROM SCTRL_D WHERE CO_CD='1000' AND "
                                     "CTRL_CD='PD' AND CTD_CD='" +
                                     l.code + "'"));
            const std::vector<std::string> def = Rows(
                "SELECT TAX_FG, TXEX_FG FROM HPMPDFM WHERE PYTP_FG='100' AND PYDD_FG='P2' AND "
                "PYDD_CD='" +
                l.code + "'");
            if (!def.empty()) {
                EXPECT_EQ(def[0], l.taxable ? "001|" : "002|" + l.exemption) << l.code;
            }
        }
        // Insurances first, then taxes, then the company's own deductions.
        std::string order;
        for (const papers::PaperLine& d : s.deductions) order += d.code.substr(0, 1);
        EXPECT_TRUE(std::is_sorted(order.begin(), order.end(), [](char a, char b) {
            auto rank = [](char c) { return c == 'S' ? 0 : c == 'T' ? 1 : 2; };
            return rank(a) < rank(b);
        })) << order;
    }
}

// The generated company withholds by the year's simplified table: each
// salary slip's note works the table for the employee from the year's law,
// and its figures give the stored tax.
TEST_F(PayslipsTest, NotesWorkTheSimplifiedTableForEachEmployee) {
    std::vector<Payslip> slips;
    std::string error;
    ASSERT_TRUE(papers::ReadPayslips(Query("200203", 1), &slips, &error)) << error;
    ASSERT_FALSE(slips.empty());
    int taxed = 0;
    for (const Payslip& s : slips) {
        SCOPED_TRACE(s.employee);
        const papers::PayslipNotes& n = s.notes;
        ASSERT_TRUE(n.has_income_tax);
        ASSERT_TRUE(n.by_table);
        EXPECT_DOUBLE_EQ(n.taxable_pay, s.taxable);
        EXPECT_DOUBLE_EQ(n.table_annual_pay, 12 * n.table_cell);
        // The cell holds the pay: 5,000, 10,000 or 20,000 wide below 10,000,000.
        if (s.taxable < 10000000) {
            EXPECT_LE(std::fabs(n.table_cell - s.taxable), 10000) << n.table_cell;
        }
        EXPECT_DOUBLE_EQ(n.table_base,
                         std::max(0.0, n.table_annual_pay - n.table_earned - n.table_personal -
                                           n.table_standard - n.table_pension));
        EXPECT_EQ(n.table_standard, n.table_persons > 2 ? 1800000 : 600000);
        // (tax - credit) / 12 cut to tens is the month's tax; under 1,000 won
        // nothing is withheld; the stored tax is what the note computes.
        const double month = std::floor((n.table_computed - n.table_credit) / 12);
        EXPECT_DOUBLE_EQ(n.table_monthly, std::max(0.0, month - std::fmod(month, 10)));
        EXPECT_DOUBLE_EQ(n.computed_tax, n.table_monthly < 1000 ? 0 : n.table_monthly);
        EXPECT_DOUBLE_EQ(n.income_tax, n.computed_tax);
        EXPECT_DOUBLE_EQ(n.income_tax, Sum("SELECT SUM(INTX_AM) FROM HPOMNPY" + RunWhere(s)));
        EXPECT_DOUBLE_EQ(n.computed_resident_tax, n.resident_tax);
        if (n.income_tax > 0) ++taxed;
    }
    EXPECT_GT(taxed, 0);
}

// A tax or resident tax changed by hand after the road: the note still
// computes the law's figure and says that the stored one differs.
TEST_F(PayslipsTest, NotesSayWhereAStoredTaxWasChangedByHand) {
    const std::string where =
        " WHERE CO_CD='1000' AND RVRS_YM='200203' AND SQ=1 AND EMP_CD='E000001'";
    std::vector<Payslip> slips;
    std::string error;
    papers::PaperQuery q = Query("200203", 1);
    q.employees = {"E000001"};
    ASSERT_TRUE(papers::ReadPayslips(q, &slips, &error)) << error;
    ASSERT_EQ(slips.size(), 1u);
    const double lawTax = slips[0].notes.computed_tax;
    Exec("UPDATE HPOMNPY SET INTX_AM=" + std::to_string(lawTax + 1230) + where);
    Exec("UPDATE HPOMPDD SET DDCT_AM=99999" + where + " AND DDCT_CD='T10'");
    ASSERT_TRUE(papers::ReadPayslips(q, &slips, &error)) << error;
    const papers::PayslipNotes& n = slips[0].notes;
    EXPECT_DOUBLE_EQ(n.computed_tax, lawTax);
    EXPECT_DOUBLE_EQ(n.income_tax, lawTax + 1230);
    EXPECT_DOUBLE_EQ(n.resident_tax, 99999);
    const auto tenths = static_cast<long long>(0.1 * (lawTax + 1230) + 1e-6);
    EXPECT_DOUBLE_EQ(n.computed_resident_tax, static_cast<double>(tenths - tenths % 10));
}

// A company that withholds by the division's amount: the note takes the
// taxable pay, the savings and the division's amount off, names the bracket
// and the rounding, and they give the stored tax.
TEST_F(PayslipsTest, NotesReproduceTheStoredTaxesOfTheDivisionsAmount) {
    Exec("UPDATE syscfg SET CTR_FG='001' WHERE CO_CD='1000' AND CTR_CD='21'");
    Exec("UPDATE SDIV SET DUMMY2='980000', DUMMY3='980000' WHERE CO_CD='1000'");
    ASSERT_EQ(RecalculateTax("1000", "2002", 1, true, nullptr, true).outcome,
              RoadOutcome::kCommitted);
    // The tax road clears the pension rows; a host's pay step writes them
    // back from the employee's pension amount.
    for (const std::string& row : Rows("SELECT EMP_CD, NAPS_AM FROM SEMP WHERE CO_CD='1000'")) {
        const std::string emp = row.substr(0, row.find('|'));
        Exec("UPDATE HPOMPDD SET DDCT_AM=" + row.substr(row.find('|') + 1) +
             " WHERE CO_CD='1000' AND RVRS_YM='200203' AND SQ=1 AND DDCT_CD='S00' AND EMP_CD='" +
             emp + "'");
    }
    std::vector<Payslip> slips;
    std::string error;
    ASSERT_TRUE(papers::ReadPayslips(Query("200203", 1), &slips, &error)) << error;
    ASSERT_FALSE(slips.empty());
    for (const Payslip& s : slips) {
        SCOPED_TRACE(s.employee);
        const papers::PayslipNotes& n = s.notes;
        ASSERT_TRUE(n.has_income_tax);
        EXPECT_FALSE(n.bonus_run);
        const std::string div = Scalar(
            "SELECT C.DUMMY2 FROM SEMP A, SDEPT B, SDIV C WHERE A.CO_CD='1000' AND B.CO_CD="
            "A.CO_CD AND B.DEPT_CD=A.DEPT_CD AND C.CO_CD=B.CO_CD AND C.DIV_CD=B.DIV_CD AND "
            "A.EMP_CD='" +
            s.employee + "'");
        EXPECT_DOUBLE_EQ(n.division_deduction, std::stod(div));
        EXPECT_DOUBLE_EQ(n.savings_deduction, Sum("SELECT SUM(DDCT_AM) FROM HPOMPDD" + RunWhere(s) +
                                                  " AND DDCT_CD LIKE 'R%'"));
        EXPECT_DOUBLE_EQ(n.tax_base, s.taxable - n.savings_deduction - n.division_deduction);
        EXPECT_EQ(n.rounding_code, "006");
        // The bracket and rounding the note names give the stored tax.
        double tax = n.tax_base > 0 ? n.tax_rate * n.tax_base - n.tax_less : 0;
        EXPECT_DOUBLE_EQ(n.income_tax, std::floor(tax / 10 + 1e-9) * 10);
        EXPECT_DOUBLE_EQ(n.income_tax, Sum("SELECT SUM(INTX_AM) FROM HPOMNPY" + RunWhere(s)));
        EXPECT_DOUBLE_EQ(n.resident_rate, 0.1);
        EXPECT_DOUBLE_EQ(n.resident_tax, std::floor(n.income_tax / 100 + 1e-9) * 10);
        EXPECT_DOUBLE_EQ(n.computed_tax, n.income_tax);
        // The pension: the grade whose premium is the amount billed, its
        // standard income at the table's rate.
        ASSERT_TRUE(n.has_pension);
        EXPECT_DOUBLE_EQ(n.pension_rate, 0.045);
        EXPECT_NEAR(n.pension_income * n.pension_rate, n.pension_amount, 0.5);
        EXPECT_DOUBLE_EQ(n.pension_amount, Sum("SELECT SUM(DDCT_AM) FROM HPOMPDD" + RunWhere(s) +
                                               " AND DDCT_CD='S00'"));
        EXPECT_FALSE(n.pension_grade.empty());
    }
    // A bonus run withholds no pension: there is no pension note.
    ASSERT_TRUE(papers::ReadPayslips(Query("200206", 2), &slips, &error)) << error;
    ASSERT_FALSE(slips.empty());
    for (const Payslip& s : slips) EXPECT_FALSE(s.notes.has_pension) << s.employee;
}

// June pays the salary (100) and the special allowance (110) on one date,
// calculated once: the month's deductions stand once, under the head pay
// type, and (for a company that withholds by the division's amount) the
// personal pension savings lower the tax base once.
TEST_F(PayslipsTest, ACombinedRunDeductsTheMonthOnce) {
    Exec("UPDATE syscfg SET CTR_FG='001' WHERE CO_CD='1000' AND CTR_CD='21'");
    ASSERT_EQ(RecalculateTax("1000", "2002", 1, true, nullptr, true).outcome,
              RoadOutcome::kCommitted);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPOMPDD WHERE CO_CD='1000' AND RVRS_YM='200206' AND "
                     "SQ=1 AND PYTP_FG<>'100' AND DDCT_AM<>0"),
              "0");
    const company::Options generated;
    const std::vector<company::Person> people =
        company::MakePeople(8, generated.year, generated.seed);
    std::vector<Payslip> slips;
    std::string error;
    ASSERT_TRUE(papers::ReadPayslips(Query("200206", 1), &slips, &error)) << error;
    ASSERT_FALSE(slips.empty());
    bool savings = false;
    for (const Payslip& s : slips) {
        SCOPED_TRACE(s.employee);
        ASSERT_EQ(s.pay_types, "100,110");
        auto person = std::find_if(people.begin(), people.end(), [&](const company::Person& p) {
            return p.emp_cd == s.employee;
        });
        ASSERT_NE(person, people.end());
        for (const papers::PaperLine& d : s.deductions) {
            if (d.code[0] != 'R' && d.code[0] != 'D') continue;  // insurances and taxes apart
            EXPECT_DOUBLE_EQ(d.amount, company::DeductionAmount(*person, 6, d.code)) << d.code;
        }
        const double r01 = company::DeductionAmount(*person, 6, "R01");
        savings = savings || r01 > 0;
        ASSERT_TRUE(s.notes.has_income_tax);
        EXPECT_DOUBLE_EQ(s.notes.savings_deduction, r01);
        const papers::PayslipNotes& n = s.notes;
        EXPECT_DOUBLE_EQ(n.tax_base, s.taxable - n.savings_deduction - n.division_deduction);
        // The stored tax is the bracket's on that base.
        const double tax = n.tax_base > 0 ? n.tax_rate * n.tax_base - n.tax_less : 0;
        EXPECT_DOUBLE_EQ(n.income_tax, std::floor(tax / 10 + 1e-9) * 10);
    }
    EXPECT_TRUE(savings) << "no employee of the run saves: the case is not tested";
}

TEST_F(PayslipsTest, EmployeesAndLanguageNarrowAndNameTheSlips) {
    papers::PaperQuery q = Query("200204");
    q.employees = {"E000002", "E000001"};
    q.language = 1;
    std::vector<Payslip> slips;
    std::string error;
    ASSERT_TRUE(papers::ReadPayslips(q, &slips, &error)) << error;
    ASSERT_EQ(slips.size(), 2u);
    EXPECT_EQ(slips[0].employee, "E000001");  // ordered by employee within the run
    EXPECT_EQ(slips[1].employee, "E000002");
    ASSERT_FALSE(slips[0].pay.empty());
    EXPECT_EQ(slips[0].pay[0].code, "P00");
    EXPECT_EQ(slips[0].pay[0].name, "Base pay");
    // The English slip names him as his record does in English.
    const std::string english = Scalar("SELECT KOR_NMK FROM SEMP WHERE EMP_CD='E000001'");
    ASSERT_FALSE(english.empty());
    EXPECT_EQ(slips[0].name, english);
    EXPECT_EQ(slips[0].company_name, Scalar("SELECT CO_NMK FROM SCOINFO WHERE CO_CD='1000'"));
    EXPECT_EQ(slips[0].pay_type_names, Scalar("SELECT CTD_NMK FROM SCTRL_D WHERE CO_CD='1000' AND "
                                              "CTRL_CD='P4' AND CTD_CD='100'"));
    EXPECT_EQ(slips[0].department_name,
              Scalar("SELECT B.DEPT_NMK FROM SEMP A, SDEPT B WHERE A.EMP_CD='E000001' AND "
                     "B.CO_CD=A.CO_CD AND B.DEPT_CD=A.DEPT_CD"));
}

// The payslip law's header: the employer's record, the employee's name and
// the pay types in words.
TEST_F(PayslipsTest, SlipsNameTheEmployerAndThePayTypes) {
    std::vector<Payslip> slips;
    std::string error;
    ASSERT_TRUE(papers::ReadPayslips(Query("200206"), &slips, &error)) << error;
    ASSERT_FALSE(slips.empty());
    const std::string types =
        "SELECT CTD_NM FROM SCTRL_D WHERE CO_CD='1000' AND CTRL_CD='P4' AND CTD_CD=";
    for (const Payslip& s : slips) {
        SCOPED_TRACE(s.employee + " run " + std::to_string(s.sq));
        EXPECT_EQ(s.company_name, Scalar("SELECT CO_NM FROM SCOINFO WHERE CO_CD='1000'"));
        EXPECT_EQ(s.representative, Scalar("SELECT CEO_NM FROM SCOINFO WHERE CO_CD='1000'"));
        EXPECT_EQ(s.business_no, Scalar("SELECT BIZR_NB FROM SCOINFO WHERE CO_CD='1000'"));
        EXPECT_FALSE(s.company_name.empty());
        EXPECT_EQ(s.pay_type_names, s.sq == 1
                                        ? Scalar(types + "'100'") + ", " + Scalar(types + "'110'")
                                        : Scalar(types + "'200'"));
        EXPECT_EQ(s.notes.bonus_run, s.sq == 2);
    }
}

// Each pay line shows its exempt and taxable parts: a line over its class's
// limit is split, and the parts add up to the line and to the stored
// taxable and exempt totals of every slip of the year.
TEST_F(PayslipsTest, ItemsOverTheirLimitAreSplitAndTheTotalsHold) {
    const double vehicle_limit =
        Sum("SELECT RMK_DC FROM SCTRL_D WHERE CO_CD='1000' AND CTRL_CD='PC' AND CTD_CD='003'");
    ASSERT_GT(vehicle_limit, 0);
    int split = 0;
    for (int month = 1; month <= 12; ++month) {
        const std::string period =
            "2002" + std::string(month < 10 ? "0" : "") + std::to_string(month);
        std::vector<Payslip> slips;
        std::string error;
        ASSERT_TRUE(papers::ReadPayslips(Query(period), &slips, &error)) << error;
        for (const Payslip& s : slips) {
            SCOPED_TRACE(s.employee + " " + s.month + " run " + std::to_string(s.sq));
            ASSERT_EQ(s.pay_detail.size(), s.pay.size());
            double exempt = 0, taxable = 0;
            for (std::size_t i = 0; i < s.pay.size(); ++i) {
                const papers::PaperLine& l = s.pay[i];
                const Payslip::PayDetail& d = s.pay_detail[i];
                EXPECT_NEAR(d.exempt + d.taxable, l.amount, 1e-6) << l.code;
                if (l.taxable) {
                    EXPECT_EQ(d.exempt, 0) << l.code;
                }
                if (l.exemption == "003") {
                    EXPECT_DOUBLE_EQ(d.exempt, std::min(l.amount, vehicle_limit)) << l.code;
                    if (l.amount > vehicle_limit) ++split;
                }
                exempt += d.exempt;
                taxable += d.taxable;
            }
            EXPECT_NEAR(exempt, s.exempt, 0.5);
            EXPECT_NEAR(taxable, s.taxable, 0.5);
        }
    }
    EXPECT_GT(split, 0) << "no vehicle allowance over its limit: the split is not tested";
}

// The pay period as he was employed in it, and its days: from the join date
// of one who joined in it, to the retirement date of one who left in it.
TEST_F(PayslipsTest, ThePeriodRunsFromJoiningToLeaving) {
    auto read = [&](std::vector<Payslip>* slips) {
        std::string error;
        ASSERT_TRUE(papers::ReadPayslips(Query("200206", 1), slips, &error)) << error;
        ASSERT_GE(slips->size(), 5u);
    };
    std::vector<Payslip> before, after;
    read(&before);
    for (const Payslip& s : before) {
        ASSERT_EQ(s.period_from.size(), 8u) << s.employee;
        EXPECT_GE(s.days_worked, 28) << s.employee;
        EXPECT_LE(s.days_worked, 31) << s.employee;
    }
    // Dates in the last month of each window, so the days count within it.
    auto in_last_month = [](const Payslip& s, const char* day) {
        return s.period_to.substr(0, 6) + day;
    };
    const std::string joined = in_last_month(before[0], "10");
    const std::string left = in_last_month(before[1], "05");
    const std::string both_from = in_last_month(before[2], "10");
    const std::string both_to = in_last_month(before[2], "12");
    const int last_day = std::stoi(before[0].period_to.substr(6));
    Exec("UPDATE SEMP SET JOIN_DT='" + joined + "' WHERE EMP_CD='" + before[0].employee + "'");
    Exec("UPDATE SEMP SET RTR_DT='" + left + "' WHERE EMP_CD='" + before[1].employee + "'");
    Exec("UPDATE SEMP SET JOIN_DT='" + both_from + "', RTR_DT='" + both_to + "' WHERE EMP_CD='" +
         before[2].employee + "'");
    // Dates that leave nothing of the window do not narrow it.
    Exec("UPDATE SEMP SET RTR_DT='20011231' WHERE EMP_CD='" + before[3].employee + "'");
    Exec("UPDATE SEMP SET JOIN_DT='20021231', RTR_DT='2002-12' WHERE EMP_CD='" +
         before[4].employee + "'");
    read(&after);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after[0].period_from, joined);
    EXPECT_EQ(after[0].period_to, before[0].period_to);
    EXPECT_EQ(after[0].days_worked, last_day - 10 + 1);
    EXPECT_EQ(after[1].period_from, before[1].period_from);
    EXPECT_EQ(after[1].period_to, left);
    EXPECT_EQ(after[1].days_worked,
              before[1].days_worked - (std::stoi(before[1].period_to.substr(6)) - 5));
    EXPECT_EQ(after[2].period_from, both_from);
    EXPECT_EQ(after[2].period_to, both_to);
    EXPECT_EQ(after[2].days_worked, 3);
    for (std::size_t i = 3; i < after.size(); ++i) {
        EXPECT_EQ(after[i].period_from, before[i].period_from);
        EXPECT_EQ(after[i].days_worked, before[i].days_worked);
    }
}

// Variable pay brought in from a file carries the hours it pays for and how
// it was computed, and a prorated line its days, as the pay step kept them
// beside its amounts.
TEST_F(PayslipsTest, PayLinesCarryTheirHoursMethodAndProratedDays) {
    std::vector<Payslip> slips;
    std::string error;
    papers::PaperQuery q = Query("200206", 1);
    q.employees = {"E000001"};
    ASSERT_TRUE(papers::ReadPayslips(q, &slips, &error)) << error;
    ASSERT_EQ(slips.size(), 1u);
    ASSERT_GE(slips[0].pay.size(), 4u);
    const std::string first = slips[0].pay[0].code, second = slips[0].pay[1].code;
    const std::string third = slips[0].pay[2].code, fourth = slips[0].pay[3].code;
    for (const Payslip::PayDetail& d : slips[0].pay_detail) {
        EXPECT_FALSE(d.has_hours);
        EXPECT_TRUE(d.method.empty());
    }
    const std::string row =
        "INSERT INTO HPOMPSW (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, TBST_FG, PYDD_FG, PYDD_CD, "
        "SET_AM, SRC_FG, WKHR_TM, CALC_DC) VALUES ('1000','200206',1,";
    Exec(row + "'100','E000001','1','P2','" + first + "',0,'002',12.5,'12.5시간 × 15,000')");
    Exec(row + "'100','E000001','1','P2','" + second + "',0,'002',NULL,'월 정액')");
    // A line the pay step prorated keeps its days; one paid whole has none.
    const std::string days =
        "INSERT INTO HPOMPSW (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, TBST_FG, PYDD_FG, PYDD_CD, "
        "SET_AM, SRC_FG, WORK_DN, WNDW_DN) VALUES ('1000','200206',1,'100','E000001','1','P2','";
    Exec(days + third + "',0,'001',6,28)");
    Exec(days + fourth + "',0,'001',30,30)");
    // Another employee's row and a deduction's are not his pay's.
    Exec(row + "'100','E000002','1','P2','" + first + "',0,'002',40,'x')");
    Exec(row + "'100','E000001','1','P3','" + first + "',0,'002',7,'y')");
    ASSERT_TRUE(papers::ReadPayslips(q, &slips, &error)) << error;
    ASSERT_EQ(slips.size(), 1u);
    const Payslip::PayDetail& hours = slips[0].pay_detail[0];
    EXPECT_TRUE(hours.has_hours);
    EXPECT_DOUBLE_EQ(hours.hours, 12.5);
    EXPECT_EQ(hours.method, "12.5시간 × 15,000");
    const Payslip::PayDetail& method = slips[0].pay_detail[1];
    EXPECT_FALSE(method.has_hours);
    EXPECT_EQ(method.method, "월 정액");
    EXPECT_EQ(method.prorated_days, 0);
    const Payslip::PayDetail& prorated = slips[0].pay_detail[2];
    EXPECT_EQ(prorated.prorated_days, 6);
    EXPECT_EQ(prorated.window_days, 28);
    EXPECT_FALSE(prorated.has_hours);
    EXPECT_EQ(slips[0].pay_detail[3].prorated_days, 0);
    for (std::size_t i = 2; i < slips[0].pay_detail.size(); ++i)
        EXPECT_TRUE(slips[0].pay_detail[i].method.empty()) << slips[0].pay[i].code;
}

// What a host gets back for a query the papers cannot answer.
TEST_F(PayslipsTest, BadQueriesFailWithAReason) {
    Exec("DELETE FROM HPOMNPY WHERE CO_CD='1000' AND RVRS_YM='200206' AND SQ=2");
    struct Case {
        const char* label;
        papers::PaperQuery query;
        const char* says;
    };
    papers::PaperQuery stranger = Query("200206");
    stranger.employees = {"E999999"};
    papers::PaperQuery quoted = Query("200206");
    quoted.employees = {"E0'; DELETE FROM SEMP; --"};
    papers::PaperQuery nobody = Query("200206");
    nobody.company = "";
    const Case cases[] = {
        {"malformed month", Query("2002-6"), "YYYYMM"},
        {"month 13", Query("200213"), "YYYYMM"},
        {"month without runs", Query("200301"), "no such run"},
        {"run out of range", Query("200206", 7), "no such run"},
        {"run without results", Query("200206", 2), "no results"},
        {"employee without pay rows", stranger, "E999999"},
        {"quoted employee", quoted, "no pay rows"},
        {"no company", nobody, "company"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<Payslip> slips(1);
        papers::Register reg;
        reg.lines.resize(1);
        std::string error;
        EXPECT_FALSE(papers::ReadPayslips(c.query, &slips, &error));
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
        EXPECT_TRUE(slips.empty());
        if (c.query.employees.empty()) {
            EXPECT_FALSE(papers::ReadRegister(c.query, &reg, &error));
            EXPECT_TRUE(reg.lines.empty());
        }
    }
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM SEMP"), "8");
}

}  // namespace
}  // namespace payroll::testing
