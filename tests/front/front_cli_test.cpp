// The host program's front commands, run as a user runs them: `runs`,
// `employee --print` and `pick` without a terminal.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/host_program.h"
#include "support/scratch_db.h"
#include "tests/front/front_fixture.h"

namespace {

using payroll::testing::FrontSeed;
using payroll::testing::HostRun;
using payroll::testing::Lines;
using payroll::testing::SeededDatabaseFile;

class FrontCli : public ::testing::Test {
  protected:
    void SetUp() override { db_ = "sqlite:" + SeededDatabaseFile("front_cli", FrontSeed()); }
    // The program with no terminal on any side (standard input /dev/null, a
    // session of its own) and a registry that points nowhere.
    static HostRun RunCli(const std::vector<std::string>& args) {
        payroll::testing::RunOptions no_terminal;
        no_terminal.env = {"PAYROLL_REGISTRY=/nonexistent/registry"};
        no_terminal.own_session = true;
        return payroll::testing::RunHost(args, no_terminal);
    }
    std::string db_;
};

TEST_F(FrontCli, RunsListsTheRunsAsThePickerDoes) {
    auto r = RunCli({"--db", db_, "runs", "--company", "1000", "--month", "200203"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    // Korean names take two cells each: the columns after them still line up.
    EXPECT_EQ(Lines(r.out), (std::vector<std::string>{
                                "#  PAY_DT    SQ  CCIS_YN  RUN KIND  PYTP_LIST  PAY TYPES",
                                "1  20020325  1   001      통합      101,102    월급여,시급",
                                "2  20020330  2   002      개별      201        상여",
                                "3  20020330  2   002      개별      202        성과급",
                            }));
}

TEST_F(FrontCli, RunsAsJson) {
    auto r =
        RunCli({"--db", db_, "runs", "--company", "1000", "--month", "200203", "--format", "json"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    nlohmann::json runs = nlohmann::json::parse(r.out);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0]["sel_no"], 1);
    EXPECT_EQ(runs[0]["pytp_list"], "101,102");
    EXPECT_EQ(runs[0]["nm1"], "월급여,시급");
    EXPECT_EQ(runs[0]["rtcm_fg"], "R2");
    EXPECT_EQ(runs[2]["sq"], "2");
    EXPECT_EQ(runs[2]["pytp_fg"], "202");
}

TEST_F(FrontCli, AnEmptyMonthOrUnknownCompanyHasNoRuns) {
    for (auto [company, month] : {std::pair{"1000", "200204"}, std::pair{"9'9", "200203"}}) {
        auto r = RunCli({"--db", db_, "runs", "--company", company, "--month", month});
        EXPECT_EQ(r.exit_code, 0) << company << " " << month << ": " << r.err;
        EXPECT_EQ(r.out, "no runs\n");
    }
    auto json =
        RunCli({"--db", db_, "runs", "--company", "1000", "--month", "200204", "--format", "json"});
    EXPECT_EQ(json.exit_code, 0);
    EXPECT_EQ(nlohmann::json::parse(json.out), nlohmann::json::array());
}

TEST_F(FrontCli, AFailedQueryIsReported) {
    std::string bare = "sqlite:" + SeededDatabaseFile("front_cli_bare", {}, /*schema=*/false);
    auto r = RunCli({"--db", bare, "runs", "--company", "1000", "--month", "200203"});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("could not be read"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
}

TEST_F(FrontCli, BadOptionsAreUsageErrors) {
    for (auto [company, month] : {std::pair{"1000", "2002-3"}, std::pair{"1000", "200213"},
                                  std::pair{"123456", "200203"}, std::pair{"", "200203"}}) {
        auto r = RunCli({"--db", db_, "runs", "--company", company, "--month", month});
        EXPECT_EQ(r.exit_code, 2) << company << " " << month;
    }
}

TEST_F(FrontCli, EmployeePrintsTheViewersContent) {
    auto r = RunCli(
        {"--db", db_, "employee", "--company", "1000", "--month", "200203", "E0001", "--print"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    std::vector<std::string> lines = Lines(r.out);
    ASSERT_GE(lines.size(), 18u) << r.out;
    EXPECT_EQ(lines[0], "사원 정보 조회");
    EXPECT_EQ(lines[1], "== 인사 기본 사항 ==");
    // Labels are padded to the widest label (주민등록번호: 12 cells), values
    // to the widest value.
    EXPECT_EQ(lines[2].rfind("사번         E0001", 0), 0u) << lines[2];
    EXPECT_NE(lines[2].find("성명         홍길동"), std::string::npos) << lines[2];
    EXPECT_NE(r.out.find("입사일       1999/03/01"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("5호봉 (2,500,000.00)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("== 고정 지급 항목 =="), std::string::npos);
    EXPECT_EQ(lines.back(), "1  기본급  1,500.00");  // amounts with separators

    // Without a terminal the same text comes without --print.
    auto plain =
        RunCli({"--db", db_, "employee", "--company", "1000", "--month", "200203", "E0001"});
    EXPECT_EQ(plain.exit_code, 0);
    EXPECT_EQ(plain.out, r.out);
}

// A registration number shows as its birth date and the next digit only,
// in the viewer and in its printout; --show-rrn shows it whole.
TEST_F(FrontCli, EmployeeHidesRegistrationNumbersUnlessAsked) {
    std::vector<std::string> seed = FrontSeed();
    seed.push_back(
        "UPDATE SEMP SET RSRG_NO='7001011234567', FORG_NO='8002025123456' WHERE EMP_CD='E0001'");
    const std::string db = "sqlite:" + SeededDatabaseFile("front_cli_rrn", seed);
    const std::vector<std::string> args = {"--db", db,        "employee", "--company",
                                           "1000", "--month", "200203",   "E0001"};
    for (const bool print : {true, false}) {
        std::vector<std::string> masked = args;
        if (print) masked.push_back("--print");
        auto r = RunCli(masked);
        ASSERT_EQ(r.exit_code, 0) << r.err;
        EXPECT_NE(r.out.find("700101-1******"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("800202-5******"), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("1234567"), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("5123456"), std::string::npos) << r.out;
    }
    std::vector<std::string> shown = args;
    shown.push_back("--show-rrn");
    auto r = RunCli(shown);
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_NE(r.out.find("700101-1234567"), std::string::npos) << r.out;
}

TEST_F(FrontCli, EmployeeFailures) {
    auto unknown = RunCli(
        {"--db", db_, "employee", "--company", "1000", "--month", "200203", "E9'9", "--print"});
    EXPECT_EQ(unknown.exit_code, 1);
    EXPECT_NE(unknown.err.find("no employee E9'9"), std::string::npos) << unknown.err;

    std::string bare = "sqlite:" + SeededDatabaseFile("front_cli_bare2", {}, /*schema=*/false);
    auto failed = RunCli(
        {"--db", bare, "employee", "--company", "1000", "--month", "200203", "E0001", "--print"});
    EXPECT_EQ(failed.exit_code, 1);
    EXPECT_NE(failed.err.find("OnShowWindow error"), std::string::npos) << failed.err;
}

TEST_F(FrontCli, PickNeedsATerminal) {
    auto r = RunCli({"--db", db_, "pick", "--company", "1000", "--month", "200203"});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("needs a terminal"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
}

}  // namespace
