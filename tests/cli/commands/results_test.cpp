// payroll results: a month's figures per employee and run, and the stored
// result rows, as a table, CSV and JSON.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/commands/cli_fixture.h"

namespace {

using payroll::testing::CliTest;
using payroll::testing::Lines;

// Terminal cells of a line of ASCII and Hangul syllables (two cells each).
int Cells(const std::string& line) {
    int cells = 0;
    for (std::size_t i = 0; i < line.size();) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        if (c == 0xEA || c == 0xEB || c == 0xEC || c == 0xED) {  // U+A000..U+DFFF
            cells += 2;
            i += 3;
        } else {
            cells += 1;
            i += 1;
        }
    }
    return cells;
}

class ResultsTest : public CliTest {
  protected:
    // March of the year company recalculated; E03's name needs CSV quoting.
    void SetUp() override {
        CliTest::SetUp();
        SeedYearCompany();
        Exec("UPDATE SEMP SET KOR_NM='Kim, \"Jr\"' WHERE EMP_CD='E03'");
        const payroll::testing::HostRun r =
            Cli("recalc-tax --company 1000 --month 200203 --mode 1");
        ASSERT_EQ(r.exit_code, 0) << r.err;
    }
};

TEST_F(ResultsTest, TableIsAlignedWithKoreanNames) {
    payroll::testing::HostRun r = Cli("results --company 1000 --month 200203 --columns stored");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 4u) << r.out;
    EXPECT_EQ(lines[0].rfind("EMP_CD  KOR_NM", 0), 0u) << lines[0];
    EXPECT_NE(lines[1].find("사원 E01"), std::string::npos) << lines[1];
    EXPECT_NE(lines[1].find("2,150,000"), std::string::npos) << lines[1];
    EXPECT_NE(lines[1].find("66,740"), std::string::npos) << lines[1];
    // Every column padded to its widest cell, amounts to the right: the
    // lines end at the same terminal column, the Korean ones included.
    for (const std::string& line : lines) EXPECT_EQ(Cells(line), Cells(lines[0])) << line;
    // The name column starts at the same cell in every line.
    const char* names[] = {"KOR_NM", "사원 E01", "사원 E02", "Kim"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Cells(lines[i].substr(0, lines[i].find(names[i]))), 8) << lines[i];
}

TEST_F(ResultsTest, CsvHasEveryColumnAndQuotes) {
    payroll::testing::HostRun r =
        Cli("results --company 1000 --month 200203 --format csv --columns stored");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 4u) << r.out;
    EXPECT_EQ(lines[0],
              "\xEF\xBB\xBF"  // the UTF-8 byte-order mark, for spreadsheets
              "CO_CD,EMP_CD,KOR_NM,RVRS_YM,SQ,PYTP_FG,DIV_CD,DEPT_CD,PJT_CD,HTYP_CD,HRSP_CD,"
              "HCLS_CD,HOPR_CD,PYSP_FG,PRTY_CD,TPAY_AM,TBON_AM,SALY_AM,BONUS_AM,FGTE_AM,EWTE_AM,"
              "AITE_AM,ETTE_AM,FEDD_AM,TXST_AM,CCTX_AM,PFND_AM,DEXT_AM,SPIC_AM,AGTX_AM,INTX_AM,"
              "RSTX_AM,RTTF_AM,ACBN_AM,HIFE_AM,NAPE_AM,DDCT_AM,ETIN_AM,EXCL_YN");
    EXPECT_EQ(lines[3].rfind("1000,E03,\"Kim, \"\"Jr\"\"\",200203,1,001,DV2,D02,J03,", 0), 0u)
        << lines[3];
}

TEST_F(ResultsTest, JsonCarriesNumbersAsNumbers) {
    payroll::testing::HostRun r =
        Cli("results --company 1000 --month 200203 --format json --columns stored");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    nlohmann::json rows = nlohmann::json::parse(r.out);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0]["EMP_CD"], "E01");
    EXPECT_EQ(rows[0]["KOR_NM"], "사원 E01");
    EXPECT_EQ(rows[0]["SQ"], 1);
    EXPECT_DOUBLE_EQ(rows[0]["INTX_AM"].get<double>(), 66740);
    EXPECT_DOUBLE_EQ(rows[1]["EWTE_AM"].get<double>(), 200000);
    EXPECT_EQ(rows[2]["KOR_NM"], "Kim, \"Jr\"");
    EXPECT_EQ(rows[2]["EXCL_YN"], 0);
}

TEST_F(ResultsTest, SequenceFilterAndEmptyResults) {
    payroll::testing::HostRun r = Cli("results --company 1000 --month 200203 --sq 2");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out, "no results for company 1000 in 200203\n");
    r = Cli("results --company 1000 --month 200203 --sq 1 --format json --columns stored");
    EXPECT_EQ(nlohmann::json::parse(r.out).size(), 3u);
    r = Cli("results --company \"9'9\" --month 200203 --format json --columns stored");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out, "[]\n");
    r = Cli("results --company \"9'9\" --month 200203 --format json");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_TRUE(nlohmann::json::parse(r.out)["lines"].empty()) << r.out;
    r = Cli("results --company 1000 --month 200301 --format csv --columns stored");
    EXPECT_EQ(Lines(r.out).size(), 1u);  // the header only
}

// The month's figures are the run's rows: gross pay the pay rows, every
// deduction the deduction rows, net pay the difference, each tax its row.
TEST_F(ResultsTest, MonthFiguresAreTheRunsRows) {
    payroll::testing::HostRun r = Cli("results --company 1000 --month 200203 --format json");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const nlohmann::json month = nlohmann::json::parse(r.out);
    ASSERT_EQ(month["lines"].size(), 3u) << r.out;
    long gross = 0, net = 0;
    for (const nlohmann::json& line : month["lines"]) {
        const std::string who =
            "EMP_CD='" + line["employee"].get<std::string>() +
            "' AND RVRS_YM='200203' AND SQ=" + std::to_string(line["sq"].get<int>());
        const long pay = std::lround(std::stod(payroll::testing::QueryValue(
            "SELECT COALESCE(SUM(PAY_AM), 0) V FROM HPOMPPD WHERE " + who)));
        const long deducted = std::lround(std::stod(payroll::testing::QueryValue(
            "SELECT COALESCE(SUM(DDCT_AM), 0) V FROM HPOMPDD WHERE " + who)));
        const long tax = std::lround(std::stod(payroll::testing::QueryValue(
            "SELECT COALESCE(SUM(DDCT_AM), 0) V FROM HPOMPDD WHERE DDCT_CD='T00' AND " + who)));
        EXPECT_EQ(line["gross"], pay) << line;
        EXPECT_EQ(line["total_deductions"], deducted) << line;
        EXPECT_EQ(line["net"], pay - deducted) << line;
        EXPECT_EQ(line["income_tax"], tax) << line;
        gross += pay;
        net += pay - deducted;
    }
    EXPECT_EQ(month["lines"][0]["income_tax"], 66740);
    EXPECT_EQ(month["totals"]["gross"], gross);
    EXPECT_EQ(month["totals"]["net"], net);
    EXPECT_EQ(month["totals"]["people"], 3);
    EXPECT_EQ(month["totals"]["lines"], 3);
    // The table ends with the totals, people and lines counted apart.
    r = Cli("results --company 1000 --month 200203");
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 5u) << r.out;
    EXPECT_EQ(lines[0].rfind("사번", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("차인지급액"), std::string::npos) << lines[0];
    EXPECT_NE(lines[4].find("3명"), std::string::npos) << lines[4];
    EXPECT_NE(lines[4].find("3건"), std::string::npos) << lines[4];
    for (const std::string& line : lines) EXPECT_EQ(Cells(line), Cells(lines[0])) << line;
    r = Cli("results --company 1000 --month 200203 --language en --format csv");
    EXPECT_EQ(Lines(r.out)[0].rfind("\xEF\xBB\xBF"
                                    "Employee,Name,Run,Pay types,Gross pay",
                                    0),
              0u)
        << r.out;
}

TEST_F(ResultsTest, UsageErrors) {
    for (const char* args : {"results --company 1000", "results --month 200203",
                             "results --company 1000 --month 200213",
                             "results --company 1000 --month 200203 --format xml",
                             "results --company 1000 --month 200203 --sq -1"}) {
        payroll::testing::HostRun r = Cli(args);
        EXPECT_EQ(r.exit_code, 2) << args << "\n" << r.err;
        EXPECT_EQ(r.out, "") << args;
    }
}

}  // namespace
