// Bad input to the paper commands: a clear message, a non-zero exit, and no
// file left under a final name (nor a temporary one) by a run that failed.
#include <fstream>

#include "tests/cli/papers_cli/papers_cli_fixture.h"

namespace payroll::testing {
namespace {

TEST_F(PapersCliTest, BadInputFailsWithAMessageAndWritesNothing) {
    const std::string plain_file = Out("a-file");
    std::ofstream(plain_file) << "x";
    const std::string no_fonts = Out("fonts.conf");
    std::ofstream(no_fonts) << "<?xml version=\"1.0\"?><fontconfig><dir>" << Out("no-fonts")
                            << "</dir><cachedir>" << Out("no-cache") << "</cachedir></fontconfig>";
    struct Case {
        const char* label;
        std::string args;
        std::string env;
        int exit_code;
        const char* says;
    };
    const std::string out = Out("bad");
    const std::string month = "payslips --company 1000 --out " + ShellQuote(out) + " --month ";
    const Case cases[] = {
        {"month without runs", month + "200301", "", 1, "no such run"},
        {"run out of range", month + "200206 --run 9", "", 1, "no run 9"},
        {"employee without pay rows", month + "200206 --employee E999999", "", 1, "E999999"},
        {"malformed month", month + "2002-06", "", 2, "YYYYMM"},
        {"unwritable folder",
         "payslips --company 1000 --month 200206 --out " + ShellQuote(plain_file + "/sub"), "", 1,
         "cannot use"},
        {"missing font", month + "200206", "FONTCONFIG_FILE=" + ShellQuote(no_fonts), 1,
         "NanumGothic"},
        {"ledger of a year without results",
         "ledger --company 1000 --year 2003 --out " + ShellQuote(out), "", 1, "no results"},
        {"register into a folder",
         "register --company 1000 --month 200206 --out " + ShellQuote(out + "/"), "", 1,
         "not a folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        HostRun run = Payroll(c.args, c.env);
        EXPECT_EQ(run.exit_code, c.exit_code) << run.out << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_TRUE(Files(out).empty());
    }
}

TEST_F(PapersCliTest, AFailedRunLeavesThePreviousFileWhole) {
    const std::string out = Out("keep");
    const std::string file = out + "/register.pdf";
    const std::string args = "register --company 1000 --month 200206 --out " + ShellQuote(file);
    ASSERT_EQ(Payroll(args).exit_code, 0);
    const std::string before = ReadWholeFile(file);
    ASSERT_EQ(before.substr(0, 5), "%PDF-");
    const std::string no_fonts = Out("empty.conf");
    std::ofstream(no_fonts) << "<?xml version=\"1.0\"?><fontconfig></fontconfig>";
    HostRun failed = Payroll(args, "FONTCONFIG_FILE=" + ShellQuote(no_fonts));
    EXPECT_EQ(failed.exit_code, 1) << failed.err;
    EXPECT_EQ(ReadWholeFile(file), before);
    EXPECT_EQ(Files(out), std::vector<std::string>{"register.pdf"});
}

}  // namespace
}  // namespace payroll::testing

namespace payroll::testing {
namespace {

// A name with a quote, a format, a line break, a control character and (on
// SQLite, which keeps any bytes) a broken UTF-8 sequence: the slip is drawn
// with what can be shown, on one line.
TEST_F(PapersCliTest, HostileNamesAreDrawnNotObeyed) {
    std::string name = "김'%s%n\n\x01";
    if (!TestDatabaseIsPostgres()) name += "\xC0\xA7";
    name += "끝";
    std::string quoted;
    for (char c : name) quoted += c == '\'' ? std::string("''") : std::string(1, c);
    const std::string before = Value("SELECT KOR_NM V FROM SEMP WHERE EMP_CD='E000003'");
    G_DirectSQL sql;
    ASSERT_TRUE(sql.OnExecuteQuery(
        ("UPDATE SEMP SET KOR_NM='" + quoted + "' WHERE CO_CD='1000' AND EMP_CD='E000003'")
            .c_str()));
    const std::string out = Out("hostile");
    HostRun run =
        Payroll("payslips --company 1000 --month 200206 --run 1 --employee E000003 --out " +
                ShellQuote(out));
    EXPECT_EQ(run.exit_code, 0) << run.err;
    const std::string text = Text(out + "/payslip-200206-1-100-E000003.pdf");
    EXPECT_NE(text.find("김'%s%n"), std::string::npos) << text;
    EXPECT_NE(text.find("끝"), std::string::npos) << text;
    ASSERT_TRUE(sql.OnExecuteQuery(
        ("UPDATE SEMP SET KOR_NM='" + before + "' WHERE CO_CD='1000' AND EMP_CD='E000003'")
            .c_str()));
}

}  // namespace
}  // namespace payroll::testing
