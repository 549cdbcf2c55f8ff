// What the paper commands write: each payslip holds its employee's name as
// text and the exact stored amounts, the register's totals are the
// database's sums, the ledger's year sums the results, pages are drawn and
// the Korean font is embedded. On SQLite and on PostgreSQL.
#include <cmath>
#include <cstdio>

#include "payroll/papers.h"
#include "tests/cli/papers_cli/papers_cli_fixture.h"

namespace payroll::testing {
namespace {

constexpr const char* kRun1 = " FROM HPOMPPD WHERE CO_CD='1000' AND RVRS_YM='200206' AND SQ=1";

TEST_F(PapersCliTest, EachPayslipHoldsItsEmployeeAndTheStoredAmounts) {
    const std::string out = Out("slips");
    HostRun run =
        Payroll("payslips --company 1000 --month 200206 --run 1 --out " + ShellQuote(out));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const std::vector<std::string> employees = Column(
        "SELECT DISTINCT EMP_CD V FROM HPOMNPY WHERE CO_CD='1000' AND RVRS_YM='200206' AND SQ=1 "
        "ORDER BY EMP_CD");
    ASSERT_EQ(employees.size(), 6u);
    ASSERT_EQ(Files(out).size(), employees.size());
    const std::string payslip = out + "/payslip-200206-1-100-";
    for (const std::string& emp : employees) {
        SCOPED_TRACE(emp);
        std::string pdf = payslip + emp;
        pdf += ".pdf";
        const std::string text = Text(pdf);
        // Hangul comes out as text: the extracted name is the stored one.
        const std::string name = Value("SELECT KOR_NM V FROM SEMP WHERE EMP_CD='" + emp + "'");
        ASSERT_FALSE(name.empty());
        EXPECT_NE(text.find(name), std::string::npos) << text;
        EXPECT_NE(text.find("급여명세서"), std::string::npos);
        EXPECT_NE(text.find(emp), std::string::npos);
        const std::string who = " AND EMP_CD='" + emp + "'";
        const double gross = Sum("SELECT SUM(PAY_AM) V" + std::string(kRun1) + who);
        const double deducted = Sum(
            "SELECT SUM(DDCT_AM) V FROM HPOMPDD WHERE CO_CD='1000' AND RVRS_YM='200206' AND SQ=1" +
            who);
        for (double amount : {gross, deducted, gross - deducted})
            EXPECT_NE(text.find(Won(amount)), std::string::npos) << Won(amount) << "\n" << text;
        // Every deduction item, summed over the run's pay types as the slip shows it.
        for (const std::string& a : Column(
                 "SELECT SUM(DDCT_AM) V FROM HPOMPDD WHERE CO_CD='1000' AND RVRS_YM='200206' AND "
                 "SQ=1" +
                 who + " GROUP BY DDCT_CD HAVING SUM(DDCT_AM) <> 0"))
            EXPECT_NE(text.find(Won(std::atof(a.c_str()))), std::string::npos) << a;
        // The income tax's note quotes the stored tax.
        const double tax = Sum(
            "SELECT SUM(INTX_AM) V FROM HPOMNPY WHERE CO_CD='1000' AND RVRS_YM='200206' AND SQ=1" +
            who);
        EXPECT_NE(text.find("소득세 " + Won(tax) + "원"), std::string::npos) << text;
    }
    HostRun fonts =
        Shell("pdffonts " + ShellQuote(out + "/payslip-200206-1-100-" + employees[0] + ".pdf"));
    EXPECT_NE(fonts.out.find("NanumGothic"), std::string::npos) << fonts.out;
    for (const std::string& line : Lines(fonts.out))
        if (line.find('+') != std::string::npos) {
            EXPECT_NE(line.find(" yes yes yes "), std::string::npos) << line;  // embedded subset
        }
}

TEST_F(PapersCliTest, TheRegistersTotalsAreTheDatabaseSums) {
    const std::string out = Out("register");
    for (const char* format : {"csv", "pdf"}) {
        HostRun run =
            Payroll("register --company 1000 --month 200206 --format " + std::string(format) +
                    " --out " + ShellQuote(out + "/register." + format));
        ASSERT_EQ(run.exit_code, 0) << run.err;
    }
    // The columns, from the CSV's header: item columns end in their code,
    // after the kind, run, pay date, department, employee and counts.
    std::vector<std::string> csv = Lines(ReadWholeFile(out + "/register.csv"));
    ASSERT_GE(csv.size(), 3u);
    const std::vector<std::string> header = SplitCsv(csv.front());
    constexpr std::size_t kFirstItem = 9;
    std::vector<double> want;
    const std::string month = " WHERE CO_CD='1000' AND RVRS_YM='200206'";
    for (std::size_t c = kFirstItem; c + 3 < header.size(); ++c) {
        const std::string code = header[c].substr(header[c].rfind(' ') + 1);
        const bool pay = code[0] == 'P' || code[0] == 'V';
        std::string sql =
            pay ? "SELECT SUM(PAY_AM) V FROM HPOMPPD" : "SELECT SUM(DDCT_AM) V FROM HPOMPDD";
        sql += month;
        sql += pay ? " AND PAY_CD='" : " AND DDCT_CD='";
        sql += code;
        sql += '\'';
        want.push_back(Sum(sql));
    }
    const double gross = Sum("SELECT SUM(PAY_AM) V FROM HPOMPPD" + month);
    const double deducted = Sum("SELECT SUM(DDCT_AM) V FROM HPOMPDD" + month);
    for (double v : {gross, deducted, gross - deducted}) want.push_back(v);
    // The month's total last, people and lines apart.
    std::vector<std::string> totals = SplitCsv(csv.back());
    ASSERT_EQ(totals.size(), header.size());
    EXPECT_EQ(totals[0], "합계");
    EXPECT_EQ(totals[7], Value("SELECT COUNT(DISTINCT EMP_CD) V FROM HPOMNPY" + month));
    EXPECT_EQ(totals[8], Value("SELECT COUNT(*) V FROM (SELECT DISTINCT SQ, EMP_CD FROM HPOMNPY" +
                               month + ") R"));
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_DOUBLE_EQ(std::atof(totals[kFirstItem + i].c_str()), want[i])
            << header[kFirstItem + i];
    // The PDF prints the month's gross pay, deductions and net pay, and
    // counts people and lines apart.
    const std::string text = Text(out + "/register.pdf");
    for (double v : {gross, deducted, gross - deducted})
        EXPECT_NE(text.find(Won(v)), std::string::npos) << Won(v);
    EXPECT_NE(text.find(totals[7] + "명 · " + totals[8] + "건"), std::string::npos) << text;
    EXPECT_TRUE(std::regex_search(text, std::regex(R"(1\s*/\s*\d+\s*쪽)")));
}

// A ledger's CSV: the header, the twelve months and the year's totals,
// which are the stored results and deductions of the year.
TEST_F(PapersCliTest, TheLedgerSumsTheYearsResults) {
    const std::string out = Out("ledger");
    HostRun run = Payroll(
        "ledger --company 1000 --year 2002 --employee E000002 --format csv "
        "--out " +
        ShellQuote(out));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    ASSERT_EQ(Files(out), std::vector<std::string>{"ledger-2002-E000002.csv"});
    std::vector<std::string> csv = Lines(ReadWholeFile(out + "/ledger-2002-E000002.csv"));
    const std::string where = " FROM HPOMNPY WHERE CO_CD='1000' AND EMP_CD='E000002'";
    ASSERT_EQ(csv.size(), 1 + 12 + 1u);
    EXPECT_EQ(SplitCsv(csv[6])[2], "2002-06");
    EXPECT_NE(SplitCsv(csv[6])[3].find("2002-06-25"), std::string::npos) << csv[6];
    std::vector<std::string> totals = SplitCsv(csv.back());
    ASSERT_EQ(totals.size(), 17u);
    const auto total = [&](int i) {
        return std::atof(totals[static_cast<std::size_t>(i)].c_str());
    };
    // Gross, taxable pay and bonus, their total, the exempt classes and
    // their total, income and resident tax, pension, health, employment.
    EXPECT_DOUBLE_EQ(total(5), Sum("SELECT SUM(TPAY_AM) V" + where));
    EXPECT_DOUBLE_EQ(total(6), Sum("SELECT SUM(TBON_AM) V" + where));
    EXPECT_DOUBLE_EQ(total(7), total(5) + total(6));
    const char* exempt[] = {"EWTE_AM", "AITE_AM", "ETTE_AM"};
    for (int i = 0; i < 3; ++i)
        EXPECT_DOUBLE_EQ(total(8 + i), Sum(std::string("SELECT SUM(") + exempt[i] + ") V" + where))
            << exempt[i];
    EXPECT_DOUBLE_EQ(total(11), total(8) + total(9) + total(10));
    EXPECT_DOUBLE_EQ(total(12), Sum("SELECT SUM(INTX_AM) V" + where));
    // Gross pay is every pay row; the resident tax, pension, health and
    // employment insurance are the T10, S00, S10 and S20 deductions.
    EXPECT_DOUBLE_EQ(total(4), Sum("SELECT SUM(PAY_AM) V FROM HPOMPPD WHERE CO_CD='1000' AND "
                                   "EMP_CD='E000002' AND RVRS_YM LIKE '2002%'"));
    const char* deductions[] = {"T10", "S00", "S10", "S20"};
    for (int i = 0; i < 4; ++i)
        EXPECT_DOUBLE_EQ(total(13 + i),
                         Sum(std::string("SELECT SUM(DDCT_AM) V FROM HPOMPDD WHERE CO_CD='1000' "
                                         "AND EMP_CD='E000002' AND RVRS_YM LIKE '2002%' AND "
                                         "DDCT_CD='") +
                             deductions[i] + "'"))
            << deductions[i];
    EXPECT_GT(total(14), 0);  // the demo withholds the pension
}

// The totals line of every ledger is the sum of the months the library reads.
TEST_F(PapersCliTest, EachLedgersTotalsAreTheSumsOfItsMonths) {
    papers::PaperQuery query;
    query.company = "1000";
    query.period = "2002";
    std::vector<papers::Ledger> ledgers;
    std::string error;
    ASSERT_TRUE(papers::ReadLedgers(query, &ledgers, &error)) << error;
    ASSERT_FALSE(ledgers.empty());
    const std::string out = Out("ledgers-summed");
    HostRun run =
        Payroll("ledger --company 1000 --year 2002 --format csv --out " + ShellQuote(out));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    for (const papers::Ledger& l : ledgers) {
        SCOPED_TRACE(l.employee);
        std::vector<double> sums(13, 0);
        for (const papers::LedgerLine& x : l.lines) {
            const double exempt = x.exempt_overtime + x.exempt_childbirth + x.exempt_other;
            const double amounts[] = {
                x.gross,           x.taxable,           x.bonus,        x.taxable + x.bonus,
                x.exempt_overtime, x.exempt_childbirth, x.exempt_other, exempt,
                x.income_tax,      x.resident_tax,      x.pension,      x.health,
                x.employment};
            for (std::size_t i = 0; i < sums.size(); ++i) sums[i] += amounts[i];
        }
        const std::vector<std::string> csv =
            Lines(ReadWholeFile(out + "/ledger-2002-" + l.employee + ".csv"));
        ASSERT_EQ(csv.size(), l.lines.size() + 2);
        const std::vector<std::string> totals = SplitCsv(csv.back());
        ASSERT_EQ(totals.size(), 17u);
        for (std::size_t i = 0; i < sums.size(); ++i)
            EXPECT_NEAR(std::atof(totals[4 + i].c_str()), sums[i], 0.005) << "column " << 4 + i;
    }
}

TEST_F(PapersCliTest, PagesAreDrawnAndSpeakEnglishWhenAsked) {
    const std::string out = Out("english");
    HostRun run = Payroll(
        "payslips --company 1000 --month 200203 --run 1 --employee E000001 --language en --out " +
        ShellQuote(out));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const std::string pdf = out + "/payslip-200203-1-100-E000001.pdf";
    const std::string text = Text(pdf);
    for (const char* label : {"Payslip", "Net pay", "Base pay", "Income tax", "Resident tax"})
        EXPECT_NE(text.find(label), std::string::npos) << label << "\n" << text;
    // A grey page of 40 dpi: a blank one has no dark pixel at all.
    HostRun page = Shell("pdftoppm -r 40 -gray -singlefile " + ShellQuote(pdf) + " " +
                         ShellQuote(out + "/page") + " && cat " + ShellQuote(out + "/page.pgm"));
    ASSERT_EQ(page.exit_code, 0) << page.err;
    std::istringstream pgm(page.out);
    std::string magic;
    int width = 0, height = 0, max = 0;
    pgm >> magic >> width >> height >> max;
    pgm.get();
    ASSERT_EQ(magic, "P5");
    long dark = 0, pixels = 0;
    for (char c; pgm.get(c); ++pixels)
        if (static_cast<unsigned char>(c) < 128) ++dark;
    EXPECT_EQ(pixels, static_cast<long>(width) * height);
    EXPECT_GT(dark, 1000);
    EXPECT_LT(dark, pixels / 4);  // text on white, not a black page
}

}  // namespace
}  // namespace payroll::testing
