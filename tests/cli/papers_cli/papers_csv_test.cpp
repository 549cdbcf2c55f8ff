// Every CSV the host program writes opens safely in a spreadsheet: it starts
// with the UTF-8 byte-order mark, a name that would run as a formula is
// written as text behind a quote mark, and a negative amount stays a number.
// On SQLite and on PostgreSQL.
#include <map>

#include "tests/cli/papers_cli/papers_cli_fixture.h"

namespace payroll::testing {
namespace {

constexpr const char* kBom = "\xEF\xBB\xBF";

class PapersCsvTest : public PapersCliTest {
  protected:
    static void Execute(const std::string& sql) {
        G_DirectSQL direct;
        ASSERT_TRUE(direct.OnExecuteQuery(sql.c_str())) << sql;
    }

    static void Rename(const std::string& employee, const std::string& name) {
        std::string sql = "UPDATE SEMP SET KOR_NM='";
        sql += name;
        sql += "' WHERE CO_CD='1000' AND EMP_CD='";
        sql += employee;
        Execute(sql + "'");
    }

    // The cells of every line of a CSV text that starts with the mark.
    static std::vector<std::vector<std::string>> Cells(const std::string& text,
                                                       const std::string& what) {
        EXPECT_EQ(text.compare(0, 3, kBom), 0) << what;
        std::vector<std::vector<std::string>> out;
        for (const std::string& line : Lines(text.substr(std::min<std::size_t>(3, text.size()))))
            out.push_back(SplitCsv(line));
        return out;
    }
};

TEST_F(PapersCsvTest, FormulasAreWrittenAsTextAndNegativeAmountsAsNumbers) {
    const std::map<std::string, std::string> names = {{"E000001", "=HYPERLINK(\"x\")"},
                                                      {"E000002", "@SUM(1)"}};
    std::map<std::string, std::string> before;
    for (const auto& [emp, name] : names) {
        before[emp] = Value("SELECT KOR_NM V FROM SEMP WHERE EMP_CD='" + emp + "'");
        Rename(emp, name);
    }
    // A refund: E000003's employment insurance of the first run below zero.
    const std::string refund_row =
        " FROM HPOMPDD WHERE CO_CD='1000' AND RVRS_YM='200206' AND SQ=1 AND EMP_CD='E000003' AND "
        "DDCT_CD='S20'";
    const std::string old_amount = Value("SELECT DDCT_AM V" + refund_row);
    ASSERT_FALSE(old_amount.empty());
    Execute("UPDATE HPOMPDD SET DDCT_AM=-1234" + refund_row.substr(refund_row.find(" WHERE")));

    const std::string out = Out("csv-safe");
    const std::string month = " --company 1000 --month 200206 --format csv --out ";
    for (const std::string& args :
         {"register" + month + ShellQuote(out + "/register.csv"),
          "payslips" + month + ShellQuote(out + "/slips") + " --run 1 --employee E000001",
          "ledger --company 1000 --year 2002 --format csv --employee E000002 --out " +
              ShellQuote(out + "/ledgers"),
          "withholding-return" + month + ShellQuote(out + "/return.csv")}) {
        HostRun run = Payroll(args);
        EXPECT_EQ(run.exit_code, 0) << args << "\n" << run.err;
    }
    // Each file, and each form of the results on standard output.
    std::map<std::string, std::string> texts = {
        {"register", ReadWholeFile(out + "/register.csv")},
        {"payslip", ReadWholeFile(out + "/slips/payslip-200206-1-100-E000001.csv")},
        {"ledger", ReadWholeFile(out + "/ledgers/ledger-2002-E000002.csv")},
        {"return", ReadWholeFile(out + "/return.csv")},
        {"results", Payroll("results --company 1000 --month 200206 --format csv").out},
        {"stored results",
         Payroll("results --company 1000 --month 200206 --format csv --columns stored").out}};
    std::map<std::string, int> named;  // how often each file shows a hostile name
    bool refund_seen = false;
    for (const auto& [what, text] : texts) {
        SCOPED_TRACE(what);
        for (const std::vector<std::string>& line : Cells(text, what))
            for (const std::string& cell : line) {
                // (SplitCsv drops the doubled quotes inside the quoted cell.)
                if (cell == "'=HYPERLINK(x)" || cell == "'@SUM(1)") ++named[what];
                if (cell == "-1234") refund_seen = true;
                // Nothing else may start a formula: only plain negative numbers
                // begin with '-'.
                if (cell.empty() || std::string("=+@\t\r").find(cell[0]) == std::string::npos)
                    continue;
                ADD_FAILURE() << "a cell a spreadsheet would run: " << cell;
            }
    }
    EXPECT_TRUE(refund_seen);         // in the register, as a number
    EXPECT_GE(named["register"], 2);  // a line per run that pays them
    EXPECT_GE(named["payslip"], 1);   // on every line
    EXPECT_GE(named["ledger"], 1);
    EXPECT_GE(named["results"], 2);  // a line per person and run
    EXPECT_GE(named["stored results"], 1);

    Execute("UPDATE HPOMPDD SET DDCT_AM=" + old_amount +
            refund_row.substr(refund_row.find(" WHERE")));
    for (const auto& [emp, name] : before) Rename(emp, name);
}

}  // namespace
}  // namespace payroll::testing
