// The month's variable pay file: every problem of it at once and nothing
// written, an import that fills the run (hours and notes kept beside it), a
// later file that replaces only the items it names, the encodings of the
// folder's files, and the commands that run it.
#include <gtest/gtest.h>

#include "company_fixture.h"
#include "payroll/host.h"
#include "payroll/pay_file.h"
#include "payroll/roads.h"
#include "support/host_program.h"

namespace payroll::testing {
namespace {

constexpr const char* kHeader =
    "\xEF\xBB\xBF사번 [EMP_CD],항목코드 [PYDD_CD],금액 [PAY_AM],시간 [WORK_TM],비고 [CALC_DC]\r\n";

// The example company with its July run built (with the pay step).
class PayImport : public DatabaseFixture {
  protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        const folder::ImportResult r = folder::ImportFolder(ExampleFolder());
        ASSERT_TRUE(r.ok) << r.error;
        int sq = 0;
        std::string error;
        ASSERT_TRUE(
            folder::CreateRun({"1000", "200207", "2002-07-25", {"100"}, 0, "", ""}, &sq, &error))
            << error;
        std::vector<HPHONPD_YMD_FMT> runs;
        ASSERT_TRUE(ListPayRuns("1000", "200207", &runs, &error)) << error;
        key_ = runs.at(0);
        BuildChoices choices;
        choices.pay = true;
        ASSERT_EQ(BuildPayRun(key_, choices).outcome, RoadOutcome::kCommitted);
        dir_ = FreshFolder("pay_import");
    }
    std::string File(const std::string& name, const std::string& text) {
        WriteFile(dir_ + "/" + name, text);
        return dir_ + "/" + name;
    }
    std::vector<std::string> Problems(const std::string& path,
                                      std::vector<VariablePay>* entries = nullptr) {
        std::vector<std::string> out;
        for (const folder::Problem& p : folder::ReadPayFile(path, key_, entries))
            out.push_back(folder::ProblemText(p));
        return out;
    }
    // Reads and checks the file, then fills the run with it.
    RoadResult Import(const std::string& path) {
        std::vector<VariablePay> entries;
        EXPECT_EQ(Problems(path, &entries), std::vector<std::string>{});
        PayChoices choices;
        choices.variable = entries;
        return FillRunPay(key_, choices);
    }
    std::string Pay(const std::string& employee, const std::string& code) {
        return Scalar("SELECT PAY_AM FROM HPOMPPD WHERE RVRS_YM='200207' AND EMP_CD='" + employee +
                      "' AND PAY_CD='" + code + "'");
    }
    double Won(const std::string& employee, const std::string& code) {
        return std::stod("0" + Pay(employee, code));
    }
    HPHONPD_YMD_FMT key_{};
    std::string dir_;
};

TEST_F(PayImport, EveryProblemAtOnceAndNothingWritten) {
    // E009 is an employee of the company the run does not pay.
    Exec("INSERT INTO SEMP (CO_CD, EMP_CD, KOR_NM) VALUES ('1000', 'E009', '신입')");
    const std::string path =
        File("bad.csv", std::string(kHeader) +
                            "E001,P01,150000,10,10시간\r\n"  // 2: fine
                            "E999,P01,1000,,\r\n"            // 3: no such employee
                            "E009,P01,1000,,\r\n"            // 4: not in the run
                            "E002,X99,1000,,\r\n"            // 5: no such item
                            "E002,P13,1000,,\r\n"            // 6: the special allowance's item
                            "E002,T00,1000,,\r\n"            // 7: the tax road's
                            "E003,P02,\"12,000원\",,\r\n"    // 8: not an amount
                            "E003,P01,5000,-2,\r\n"          // 9: negative hours
                            "E001,P01,20000,,\r\n");         // 10: E001/P01 again
    const std::vector<std::string> before = Rows("SELECT EMP_CD, PAY_CD, PAY_AM FROM HPOMPPD");
    const std::vector<std::string> problems = Problems(path);
    const std::vector<std::string> want = {
        path + ":3: EMP_CD \"E999\": expected an employee of the company (employees.csv)",
        path + ":4: EMP_CD \"E009\": expected an employee paid in run 200207 SQ 1",
        path + ":5: PYDD_CD \"X99\": expected an item of the company (items.csv)",
        path +
            ":6: PYDD_CD \"P13\": expected an item on run 200207 SQ 1's item list: one of "
            "D01, P00, P01, P02, P05",
        path + ":7: PYDD_CD \"T00\": expected an item the pay step fills",
        path + ":8: PAY_AM \"12,000원\": expected an amount",
        path + ":9: WORK_TM \"-2\": expected hours",
        path +
            ":10: PYDD_CD \"E001/P01\": expected each employee and item once: line 2 has it "
            "too",
    };
    ASSERT_EQ(problems.size(), want.size()) << ::testing::PrintToString(problems);
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_EQ(problems[i].substr(0, want[i].size()), want[i]);
    EXPECT_EQ(Rows("SELECT EMP_CD, PAY_CD, PAY_AM FROM HPOMPPD"), before);

    // A file without its amount column, one that is not text, one missing.
    EXPECT_EQ(Problems(File("columns.csv", "사번 [EMP_CD],항목코드 [PYDD_CD],금앸 [PAY_AMT]\r\n")),
              (std::vector<std::string>{
                  dir_ + "/columns.csv:1: PAY_AMT \"금앸 [PAY_AMT]\": expected one of the columns "
                         "사번 [EMP_CD], 항목코드 [PYDD_CD], 금액 [PAY_AM], 시간 [WORK_TM], 비고 "
                         "[CALC_DC]",
                  dir_ + "/columns.csv:1: PAY_AM \"\": expected the required column 금액 "
                         "[PAY_AM]"}));
    std::string nul = "EMP_CD,PYDD_CD,PAY_AM\r\nE001,P01,1";
    nul += '\0';
    EXPECT_EQ(Problems(File("nul.csv", nul + "\r\n")).size(), 1u);
    EXPECT_EQ(Problems(dir_ + "/none.csv"),
              std::vector<std::string>{dir_ + "/none.csv: expected a file that can be read"});
}

TEST_F(PayImport, AFileFillsTheRunAndALaterOneReplacesTheItemsItNames) {
    // CP949, as a Korean spreadsheet saves it, with the columns in another
    // order and a bare code.
    const std::string cp949 =
        "\xB1\xDD\xBE\xD7 [PAY_AM],\xBB\xE7\xB9\xF8 [EMP_CD],PYDD_CD,WORK_TM\r\n"
        "\"150,000\",E001,P01,10\r\n"
        "100000,E003,P02,\r\n"
        "30000,E003,P01,2\r\n";
    RoadResult r = Import(File("july.csv", cp949));
    ASSERT_EQ(r.outcome, RoadOutcome::kCommitted) << r.reason;
    EXPECT_EQ(r.pay.variable, 3);
    EXPECT_EQ(Won("E001", "P01"), 150000);
    EXPECT_EQ(Won("E003", "P02"), 100000);
    EXPECT_EQ(Won("E003", "P01"), 30000);
    // The base pay the build filled stays.
    EXPECT_EQ(Won("E001", "P00"), 3000000);
    EXPECT_EQ(Rows("SELECT EMP_CD, WKHR_TM FROM HPOMPSW WHERE PYDD_CD='P01' ORDER BY EMP_CD"),
              (std::vector<std::string>{"E001|10", "E003|2"}));

    // The overtime file again, corrected: E001 worked none after all. The
    // meal allowance, which it does not name, stays; building the run again
    // keeps the variable pay too.
    r = Import(File("overtime.csv", std::string(kHeader) + "E003,P01,45000,3,3시간 x 15000\r\n"));
    ASSERT_EQ(r.outcome, RoadOutcome::kCommitted) << r.reason;
    EXPECT_EQ(r.pay.cleared, 1);
    EXPECT_EQ(Won("E001", "P01"), 0);
    EXPECT_EQ(Won("E003", "P01"), 45000);
    EXPECT_EQ(Won("E003", "P02"), 100000);
    BuildChoices again;
    again.pay = true;
    ASSERT_EQ(BuildPayRun(key_, again).outcome, RoadOutcome::kCommitted);
    EXPECT_EQ(Won("E003", "P01"), 45000);
    EXPECT_EQ(Won("E003", "P02"), 100000);
    EXPECT_EQ(Scalar("SELECT CALC_DC FROM HPOMPSW WHERE EMP_CD='E003' AND PYDD_CD='P01'"),
              "3시간 x 15000");
}

class PayCli : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = TempPath("pay_cli") + ".db";
        RemoveDatabaseFiles(path_);
    }
    void TearDown() override { RemoveDatabaseFiles(path_); }
    HostRun Run(const std::vector<std::string>& args) {
        std::vector<std::string> all = {"--db", "sqlite:" + path_};
        all.insert(all.end(), args.begin(), args.end());
        return RunHost(all, {});
    }
    std::string path_;
};

TEST_F(PayCli, BuildRunFillsThePayAndPayImportAddsTheMonthsVariablePay) {
    PAYROLL_SKIP_ON_POSTGRES();  // the program runs on a database file
    ASSERT_EQ(Run({"company", "import", ExampleFolder()}).exit_code, 0);
    ASSERT_EQ(Run({"run", "new", "--company", "1000", "--month", "200207", "--pay-date",
                   "2002-07-25", "--pay-types", "100"})
                  .exit_code,
              0);
    const std::vector<std::string> run = {"--company", "1000", "--month", "200207", "--run", "1"};
    auto with = [&run](std::vector<std::string> head, std::vector<std::string> tail = {}) {
        head.insert(head.end(), run.begin(), run.end());
        head.insert(head.end(), tail.begin(), tail.end());
        return head;
    };
    HostRun r = Run(with({"build-run"}, {"--no-pay"}));
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out.find("pay step"), std::string::npos) << r.out;
    r = Run(with({"build-run"}));
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_NE(r.out.find("pay step: 10 rows filled (2 prorated, 0 variable)"), std::string::npos)
        << r.out;

    const std::string dir = FreshFolder("pay_cli");
    WriteFile(dir + "/bad.csv", std::string(kHeader) + "E001,P01,abc,,\r\nE999,P01,1,,\r\n");
    r = Run(with({"pay", "import"}, {dir + "/bad.csv"}));
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("bad.csv:2: PAY_AM \"abc\""), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("bad.csv:3: EMP_CD \"E999\""), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("2 problems in"), std::string::npos) << r.err;

    WriteFile(dir + "/good.csv", std::string(kHeader) + "E001,P01,150000,10,\r\n");
    r = Run(with({"--json", "pay", "import"}, {dir + "/good.csv"}));
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_NE(r.out.find("\"variable\":1"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"outcome\":\"committed\""), std::string::npos) << r.out;
    // --reset without the pay step is a usage error.
    EXPECT_EQ(Run(with({"build-run"}, {"--no-pay", "--reset"})).exit_code, 2);
}

}  // namespace
}  // namespace payroll::testing
