// The checks of a company folder: every problem reported at once, each with
// its file, line, column, value and what was expected; nothing written.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "company_fixture.h"

namespace payroll::testing {
namespace {

bool Has(const std::vector<std::string>& problems, const std::string& part) {
    return std::any_of(problems.begin(), problems.end(),
                       [&](const std::string& p) { return p.find(part) != std::string::npos; });
}

std::string Joined(const std::vector<std::string>& problems) {
    std::string s;
    for (const std::string& p : problems) s += p + "\n";
    return s;
}

TEST(CompanyCheck, TheShippedExampleHasNoProblems) {
    std::string company;
    EXPECT_EQ(Joined(ProblemTexts(ExampleFolder())), "");
    folder::CheckFolder(ExampleFolder(), &company);
    EXPECT_EQ(company, "1000");
}

TEST(CompanyCheck, ReportsEveryProblemOfAFolderAtOnceWithItsPlace) {
    const std::string dir = CopyOfExample("check_all");
    // E002's line: unknown department, a date that does not exist, an
    // amount that is no number, an unknown status word.
    Edit(dir + "/employees.csv", "E002,이서연,Lee Seoyeon,7505052000000,D102",
         "E002,이서연,Lee Seoyeon,7505052000000,D999");
    Edit(dir + "/employees.csv", "1999-09-01", "2002-02-30");
    Edit(dir + "/employees.csv", "108000", "12만원");
    Edit(dir + "/employees.csv", "대리,사무,재직", "대리,사무,휴직");
    // A duplicate key, a window that does not close, a pay item without its
    // tax class, a non-taxable one without its exemption class.
    Append(dir + "/divisions.csv", "D10,본사2,,,");
    Edit(dir + "/fixed-items.csv", "E002,P00,2002-01,2002-06", "E002,P00,2002-01,2001-12");
    Edit(dir + "/items.csv", "P05,가족수당,Family allowance,과세",
         "P05,가족수당,Family allowance,");
    Edit(dir + "/items.csv", "Meal allowance,비과세,식대 월한도", "Meal allowance,비과세,");
    const auto p = ProblemTexts(dir);
    const std::string all = Joined(p);
    EXPECT_TRUE(Has(p,
                    "employees.csv:3: DEPT_CD \"D999\": expected one of the codes of "
                    "departments.csv"))
        << all;
    EXPECT_TRUE(Has(p, "employees.csv:3: JOIN_DT \"2002-02-30\": expected a date that exists"))
        << all;
    EXPECT_TRUE(Has(p, "employees.csv:3: NAPS_AM \"12만원\": expected an amount")) << all;
    EXPECT_TRUE(Has(p, "employees.csv:3: ENRL_FG \"휴직\": expected one of the codes of group HE"))
        << all;
    EXPECT_TRUE(Has(p, "divisions.csv:4: DIV_CD \"D10\": expected a key of its own: line 2"))
        << all;
    EXPECT_TRUE(Has(p, "fixed-items.csv:5: CTED_YM \"200112\"")) << all;
    EXPECT_TRUE(Has(p, "does not close")) << all;
    EXPECT_TRUE(Has(p, "items.csv:5: TAX_FG \"\": expected a tax class")) << all;
    EXPECT_TRUE(Has(p, "items.csv:4: TXEX_FG \"\": expected an exemption class")) << all;
}

TEST(CompanyCheck, ARepeatedKeyIsNamedAtItsLineAfterTheLinesOtherProblemsAndLeftOut) {
    const std::string dir = CopyOfExample("check_repeated");
    // Line 2's key twice more, the first time with a bad amount as well;
    // and two code lines whose keys join into the same text.
    Append(dir + "/fixed-items.csv", "E001,D01,2002-01,,abc");
    Append(dir + "/fixed-items.csv", "E004,P02,2002-01,2002-02,1");
    Append(dir + "/fixed-items.csv", "E001,D01,2002-01,,5");
    Append(dir + "/codes.csv", "G9/X,1,a,,");
    Append(dir + "/codes.csv", "G9,X/1,b,,");
    std::vector<std::string> fixed;
    for (const std::string& p : ProblemTexts(dir))
        if (p.rfind("fixed-items.csv", 0) == 0) fixed.push_back(p);
    const std::string all = Joined(fixed);
    ASSERT_EQ(fixed.size(), 3U) << all;
    EXPECT_EQ(fixed[0].rfind("fixed-items.csv:13: FIX_AM \"abc\": expected an amount", 0), 0U)
        << all;
    EXPECT_EQ(fixed[1],
              "fixed-items.csv:13: CTST_YM \"E001/D01/200201\": expected a key of its own: line 2 "
              "has it too");
    EXPECT_EQ(fixed[2],
              "fixed-items.csv:15: CTST_YM \"E001/D01/200201\": expected a key of its own: line 2 "
              "has it too");
    EXPECT_TRUE(
        Has(ProblemTexts(dir),
            "codes.csv:22: CTD_CD \"G9/X/1\": expected a key of its own: line 21 has it too"))
        << Joined(ProblemTexts(dir));
}

TEST(CompanyCheck, OverlappingSpansAreReportedInTheOrderOfTheirKeys) {
    const std::string dir = CopyOfExample("check_spans");
    // Two overlaps, the later key first in the file.
    Append(dir + "/fixed-items.csv", "E003,P02,2002-01,,1");
    Append(dir + "/fixed-items.csv", "E003,P02,2002-03,,2");
    Append(dir + "/fixed-items.csv", "E001,P02,2002-01,2002-12,3");
    Append(dir + "/fixed-items.csv", "E001,P02,2002-06,,4");
    std::vector<std::string> spans;
    for (const std::string& p : ProblemTexts(dir))
        if (p.find("a start after the end") != std::string::npos) spans.push_back(p);
    EXPECT_EQ(spans,
              (std::vector<std::string>{
                  "fixed-items.csv:16: CTST_YM \"200206\": expected a start after the end of the "
                  "span of line 15 (E001/P02)",
                  "fixed-items.csv:14: CTST_YM \"200203\": expected a start after the end of the "
                  "span of line 13 (E003/P02)"}));
}

TEST(CompanyCheck, FilesAndColumnsThatAreMissingOrUnknown) {
    const std::string dir = CopyOfExample("check_columns");
    std::filesystem::remove(dir + "/departments.csv");
    Edit(dir + "/employees.csv", "성명 [KOR_NM]", "이름 [NAME]");
    Edit(dir + "/settings.csv", "회사코드 [CO_CD],1000", "회사번호 [CO_NO],1000");
    const auto p = ProblemTexts(dir);
    const std::string all = Joined(p);
    EXPECT_TRUE(Has(p, "departments.csv: expected the file")) << all;
    EXPECT_TRUE(Has(p, "employees.csv:1: KOR_NM \"\": expected the required column 성명 [KOR_NM]"))
        << all;
    EXPECT_TRUE(Has(p, "employees.csv:1: NAME \"이름 [NAME]\": expected a column of employees.csv"))
        << all;
    EXPECT_TRUE(Has(p, "settings.csv:2: KEY \"CO_NO\"")) << all;
    EXPECT_TRUE(Has(p, "settings.csv: CO_CD \"\": expected a line 회사코드 [CO_CD]")) << all;
}

TEST(CompanyCheck, ACompanyCodeLongerThanARunKeyHoldsIsRefused) {
    const std::string dir = CopyOfExample("check_company_code");
    Edit(dir + "/settings.csv", "[CO_CD],1000", "[CO_CD],123456");
    const auto p = ProblemTexts(dir);
    EXPECT_TRUE(Has(p, "settings.csv:2: CO_CD \"123456\": expected at most 5 bytes")) << Joined(p);
}

TEST(CompanyCheck, CodesAreTakenAsCodesOrWordsAndAWordTwoCodesShareIsNot) {
    const std::string dir = CopyOfExample("check_words");
    // The code itself in place of the word.
    Edit(dir + "/employees.csv", "대리,사무,재직", "200,01,001");
    EXPECT_EQ(Joined(ProblemTexts(dir)), "");
    // Two codes of one group with the same word: the word names neither.
    Append(dir + "/codes.csv", "G3,400,과장,Manager 2,");
    const auto p = ProblemTexts(dir);
    EXPECT_TRUE(Has(p, "employees.csv:2: HRSP_CD \"과장\"")) << Joined(p);
}

TEST(CompanyCheck, HostileInputIsReportedNotTrusted) {
    const std::string dir = CopyOfExample("check_hostile");
    // A megabyte name, a quote that never closes, NUL bytes.
    Edit(dir + "/departments.csv", "경영지원팀", std::string(1 << 20, 'x'));
    Append(dir + "/divisions.csv", "D30,\"공장2,,,");
    std::string nul = "abc";
    nul += '\0';
    Edit(dir + "/pay-steps.csv", "1800000", nul);
    const auto p = ProblemTexts(dir);
    const std::string all = Joined(p);
    EXPECT_TRUE(Has(p, "departments.csv:2: DEPT_NM \"xxxx")) << all.substr(0, 400);
    EXPECT_TRUE(Has(p, "(1048576 bytes)\": expected at most 100 bytes")) << all.substr(0, 400);
    EXPECT_LT(all.size(), 4000u);  // the megabyte is not repeated
    EXPECT_TRUE(Has(p, "divisions.csv:4: expected readable text: a quote that never closes"));
    EXPECT_TRUE(Has(p, "pay-steps.csv:2: expected readable text: a NUL byte"));
}

TEST(CompanyCheck, AHundredThousandEmployeesAreCheckedInSeconds) {
    const std::string dir = CopyOfExample("check_large");
    std::string employees = ReadWholeFile(dir + "/employees.csv");
    std::string fixed = ReadWholeFile(dir + "/fixed-items.csv");
    const std::string line =
        "E001,김민준,Kim Minjun,7001011000000,D101,사무직,월급제,일반직,5호봉,"
        "과장,사무,재직,정규직,거주자,1995-03-02,,예,2,1,아니오,135000,"
        "51000,A,PJ01\r\n";
    for (int i = 0; i < 100000; ++i) {
        const std::string code = "X" + std::to_string(100000 + i);
        employees += code + line.substr(4);
        fixed += code + ",P00,2002-01,,3000000\r\n";
    }
    employees += "X100000" + line.substr(4);  // one duplicate at the end
    WriteFile(dir + "/employees.csv", employees);
    WriteFile(dir + "/fixed-items.csv", fixed);
    const auto start = std::chrono::steady_clock::now();
    const auto p = ProblemTexts(dir);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
    ASSERT_EQ(p.size(), 1u) << Joined(p).substr(0, 2000);
    EXPECT_NE(p[0].find("employees.csv:100007: EMP_CD \"X100000\""), std::string::npos) << p[0];
    EXPECT_LT(seconds.count(), 30.0);
}

}  // namespace
}  // namespace payroll::testing
