// payroll withholding-return: its CSV holds the lines the library reads for
// the payment month, its PDF the total as text, and a month it cannot file
// fails with the reason and writes nothing. On SQLite and on PostgreSQL.
#include <cstdlib>

#include "payroll/papers.h"
#include "tests/cli/papers_cli/papers_cli_fixture.h"

namespace payroll::testing {
namespace {

papers::WithholdingReturn ReadReturn(const std::string& month) {
    papers::PaperQuery query;
    query.company = "1000";
    query.period = month;
    papers::WithholdingReturn ret;
    std::string error;
    EXPECT_TRUE(papers::ReadWithholdingReturn(query, &ret, &error)) << error;
    return ret;
}

TEST_F(PapersCliTest, TheReturnsCsvAndPdfHoldTheLinesTheLibraryReads) {
    const papers::WithholdingReturn want = ReadReturn("200206");
    ASSERT_EQ(want.lines.size(), 5u);
    ASSERT_GT(want.lines.back().income_tax, 0);
    const std::string out = Out("return");
    HostRun run = Payroll("withholding-return --company 1000 --month 200206 --format csv --out " +
                          ShellQuote(out + "/return.csv"));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    std::vector<std::string> csv = Lines(ReadWholeFile(out + "/return.csv"));
    ASSERT_EQ(csv.size(), 1 + want.lines.size());
    for (std::size_t i = 0; i < want.lines.size(); ++i) {
        const papers::ReturnLine& line = want.lines[i];
        SCOPED_TRACE(line.code);
        const std::vector<std::string> cells = SplitCsv(csv[i + 1]);
        ASSERT_EQ(cells.size(), 9u);
        EXPECT_EQ(cells[0], "1000");
        EXPECT_EQ(cells[1], "200206");
        EXPECT_EQ(cells[3], line.code);
        EXPECT_EQ(std::atol(cells[5].c_str()), line.people);
        EXPECT_DOUBLE_EQ(std::atof(cells[6].c_str()), line.pay);
        EXPECT_DOUBLE_EQ(std::atof(cells[7].c_str()), line.income_tax);
        EXPECT_DOUBLE_EQ(std::atof(cells[8].c_str()), line.resident_tax);
    }
    // The total line is the sum of the lines above it.
    double pay = 0;
    for (std::size_t i = 1; i + 1 < csv.size(); ++i) pay += std::atof(SplitCsv(csv[i])[6].c_str());
    EXPECT_DOUBLE_EQ(pay, std::atof(SplitCsv(csv.back())[6].c_str()));

    // The PDF, under its own name in the folder the command runs in.
    HostRun pdf = Shell(
        "cd " + ShellQuote(out) + " && " +
        Program("--db " + ShellQuote(*url_) + " withholding-return --company 1000 --month 200206"));
    ASSERT_EQ(pdf.exit_code, 0) << pdf.err;
    const std::string text = Text(out + "/withholding-return-200206.pdf", true);
    EXPECT_NE(text.find("원천징수이행상황신고서"), std::string::npos) << text;
    EXPECT_NE(text.find(want.note.substr(0, want.note.find(' '))), std::string::npos) << text;
    bool total_found = false;
    for (const std::string& line : Lines(text))
        if (line.find("A10") != std::string::npos) {
            total_found = true;
            const papers::ReturnLine& total = want.lines.back();
            EXPECT_EQ(Amounts(line),
                      (std::vector<double>{static_cast<double>(total.people), total.pay,
                                           total.income_tax, total.resident_tax}))
                << line;
        }
    EXPECT_TRUE(total_found) << text;
}

TEST_F(PapersCliTest, TheReturnOfAMonthItCannotFileFailsWithTheReason) {
    const std::string out = Out("return-refused");
    const std::string args =
        "withholding-return --company 1000 --out " + ShellQuote(out + "/return.pdf") + " --month ";
    const struct {
        const char* month;
        int exit_code;
        const char* says;
    } cases[] = {
        {"200301", 1, "paid in 200301"},  // no run was paid in it
        {"2002-06", 2, "YYYYMM"},
        {"200213", 2, "01 to 12"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.month);
        HostRun run = Payroll(args + c.month);
        EXPECT_EQ(run.exit_code, c.exit_code) << run.out << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(out + "/return.pdf"));
    }
}

}  // namespace
}  // namespace payroll::testing
