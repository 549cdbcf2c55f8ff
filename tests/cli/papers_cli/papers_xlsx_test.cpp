// The register, the ledgers and the month's results as XLSX workbooks, read
// back with openpyxl (Debian's python3-openpyxl): the same lines and totals
// as their CSV, amounts as numbers, a name that looks like a formula stored
// as text, the file the owner's alone. On SQLite and on PostgreSQL.
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <nlohmann/json.hpp>

#include "tests/cli/papers_cli/papers_cli_fixture.h"

namespace payroll::testing {
namespace {

// One cell as openpyxl reads it: its type ('s' text, 'n' number or empty,
// 'f' formula) and its value.
struct XlsxCell {
    std::string type;
    nlohmann::json value;
};
using XlsxRows = std::vector<std::vector<XlsxCell>>;

constexpr const char* kReadBack = R"(import json, sys, openpyxl
sheet = openpyxl.load_workbook(sys.argv[1]).active
rows = [[[c.data_type, c.value] for c in row] for row in sheet.iter_rows()]
print(json.dumps(rows, ensure_ascii=False, default=str)))";

class PapersXlsxTest : public PapersCliTest {
  protected:
    static void SetUpTestSuite() {
        PapersCliTest::SetUpTestSuite();
        for (const char* python : {"/usr/bin/python3", "python3"})
            if (Shell(std::string(python) + " -c 'import openpyxl' 2>/dev/null").exit_code == 0) {
                python_ = python;
                break;
            }
    }

    void SetUp() override {
        if (python_.empty()) GTEST_SKIP() << "python3-openpyxl is not installed";
    }

    static XlsxRows Read(const std::string& path) {
        HostRun o = Shell(python_ + " -c " + ShellQuote(kReadBack) + " " + ShellQuote(path));
        EXPECT_EQ(o.exit_code, 0) << o.err;
        XlsxRows rows;
        const nlohmann::json json = nlohmann::json::parse(o.out, nullptr, false);
        if (!json.is_array()) {
            ADD_FAILURE() << "not read: " << o.out << o.err;
            return rows;
        }
        for (const auto& row : json) {
            rows.emplace_back();
            for (const auto& cell : row) rows.back().push_back({cell[0], cell[1]});
        }
        return rows;
    }

    // The workbook holds the CSV's cells: numbers where the CSV has them,
    // the same texts (without the CSV's guarding quote), nothing a formula.
    static void ExpectSameAsCsv(const XlsxRows& book, const std::string& csv_text) {
        std::string text = csv_text.substr(std::min<std::size_t>(3, csv_text.size()));  // the mark
        const std::vector<std::string> lines = Lines(text);
        ASSERT_EQ(book.size(), lines.size());
        for (std::size_t r = 0; r < lines.size(); ++r) {
            const std::vector<std::string> cells = SplitCsv(lines[r]);
            for (std::size_t c = 0; c < cells.size(); ++c) {
                SCOPED_TRACE("row " + std::to_string(r) + " column " + std::to_string(c));
                const XlsxCell* cell = c < book[r].size() ? &book[r][c] : nullptr;
                if (cells[c].empty()) {
                    EXPECT_TRUE(!cell || cell->value.is_null());
                    continue;
                }
                ASSERT_NE(cell, nullptr);
                EXPECT_NE(cell->type, "f");
                if (cell->value.is_number()) {
                    EXPECT_NEAR(cell->value.get<double>(), std::atof(cells[c].c_str()), 0.005)
                        << cells[c];
                    continue;
                }
                ASSERT_TRUE(cell->value.is_string()) << cell->value.dump();
                std::string want = cells[c];
                if (want.size() > 1 && want[0] == '\'' &&
                    std::string("=+-@\t\r").find(want[1]) != std::string::npos)
                    want.erase(0, 1);
                EXPECT_EQ(cell->value.get<std::string>(), want);
            }
        }
    }

    static bool Rename(const std::string& employee, const std::string& name) {
        std::string sql = "UPDATE SEMP SET KOR_NM='";
        for (char c : name) sql += c == '\'' ? std::string("''") : std::string(1, c);
        sql += "' WHERE CO_CD='1000' AND EMP_CD='";
        sql += employee;
        sql += '\'';
        G_DirectSQL direct;
        return direct.OnExecuteQuery(sql.c_str());
    }

    static unsigned Mode(const std::string& path) {
        struct stat st {};
        return stat(path.c_str(), &st) == 0 ? (st.st_mode & 0777) : 07777;
    }

    static inline std::string python_;
};

TEST_F(PapersXlsxTest, TheRegisterLedgerAndResultsHoldTheirCsvsTotals) {
    const std::string out = Out("xlsx");
    const std::string month = "--company 1000 --month 200206 ";
    for (const std::string& args :
         {"register " + month + "--format xlsx --out " + ShellQuote(out + "/register.xlsx"),
          "register " + month + "--format csv --out " + ShellQuote(out + "/register.csv"),
          "ledger --company 1000 --year 2002 --employee E000003 --format xlsx --out " +
              ShellQuote(out),
          "ledger --company 1000 --year 2002 --employee E000003 --format csv --out " +
              ShellQuote(out),
          "results " + month + "--format xlsx --out " + ShellQuote(out + "/results.xlsx")}) {
        HostRun run = Payroll(args);
        ASSERT_EQ(run.exit_code, 0) << args << "\n" << run.err;
    }
    EXPECT_EQ(Mode(out + "/register.xlsx"), 0600u);
    EXPECT_EQ(Mode(out + "/ledger-2002-E000003.xlsx"), 0600u);
    EXPECT_EQ(Mode(out + "/results.xlsx"), 0600u);
    const XlsxRows reg = Read(out + "/register.xlsx");
    {
        SCOPED_TRACE("register");
        ExpectSameAsCsv(reg, ReadWholeFile(out + "/register.csv"));
    }
    {
        SCOPED_TRACE("ledger");
        ExpectSameAsCsv(Read(out + "/ledger-2002-E000003.xlsx"),
                        ReadWholeFile(out + "/ledger-2002-E000003.csv"));
    }
    {
        SCOPED_TRACE("results");
        ExpectSameAsCsv(Read(out + "/results.xlsx"),
                        Payroll("results " + month + "--format csv").out);
    }
    // The register's month total is the database's, as a number.
    ASSERT_FALSE(reg.empty());
    const std::vector<XlsxCell>& total = reg.back();
    ASSERT_GE(total.size(), 3u);
    const double gross =
        Sum("SELECT SUM(PAY_AM) V FROM HPOMPPD WHERE CO_CD='1000' AND RVRS_YM='200206'");
    EXPECT_EQ(total[total.size() - 3].type, "n");
    EXPECT_DOUBLE_EQ(total[total.size() - 3].value.get<double>(), gross);
}

TEST_F(PapersXlsxTest, AFormulaLookingNameIsStoredAsText) {
    const std::map<std::string, std::string> names = {{"E000001", "=HYPERLINK(\"http://x\",\"y\")"},
                                                      {"E000002", "+1+2"},
                                                      {"E000003", "@SUM(A1)"},
                                                      {"E000004", "-2+3"}};
    std::map<std::string, std::string> before;
    for (const auto& [emp, name] : names) {
        before[emp] = Value("SELECT KOR_NM V FROM SEMP WHERE EMP_CD='" + emp + "'");
        ASSERT_TRUE(Rename(emp, name));
    }
    const std::string out = Out("xlsx-formula");
    HostRun run = Payroll("register --company 1000 --month 200206 --format xlsx --out " +
                          ShellQuote(out + "/register.xlsx"));
    EXPECT_EQ(run.exit_code, 0) << run.err;
    std::map<std::string, int> found;
    for (const auto& row : Read(out + "/register.xlsx"))
        for (const XlsxCell& cell : row) {
            EXPECT_NE(cell.type, "f") << cell.value.dump();
            if (!cell.value.is_string()) continue;
            for (const auto& [emp, name] : names)
                if (cell.value.get<std::string>() == name) {
                    EXPECT_EQ(cell.type, "s") << name;
                    ++found[emp];
                }
        }
    for (const auto& [emp, name] : names) EXPECT_GE(found[emp], 1) << name;
    for (const auto& [emp, name] : before) EXPECT_TRUE(Rename(emp, name));
}

// XLSX is asked for where it exists, written whole or not at all, with the
// mode asked for.
TEST_F(PapersXlsxTest, BadRequestsFailAndLeaveNoFile) {
    const std::string out = Out("xlsx-refused");
    // Only the register, the ledgers and the results have a workbook.
    EXPECT_EQ(Payroll("payslips --company 1000 --month 200206 --format xlsx --out " +
                      ShellQuote(out + "/slips"))
                  .exit_code,
              2);
    EXPECT_EQ(Payroll("results --company 1000 --month 200206 --format xlsx").exit_code, 2);
    EXPECT_EQ(Payroll("results --company 1000 --month 200206 --out " + ShellQuote(out + "/r.xlsx"))
                  .exit_code,
              2);
    // A folder it cannot write: a failure with the reason, nothing written.
    std::filesystem::create_directories(out + "/locked");
    std::filesystem::permissions(
        out + "/locked", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (access((out + "/locked").c_str(), W_OK) != 0) {
        HostRun run = Payroll("register --company 1000 --month 200206 --format xlsx --out " +
                              ShellQuote(out + "/locked/register.xlsx"));
        EXPECT_EQ(run.exit_code, 1);
        EXPECT_NE(run.err.find("locked"), std::string::npos) << run.err;
        EXPECT_TRUE(Files(out + "/locked").empty());
    }
    std::filesystem::permissions(out + "/locked", std::filesystem::perms::owner_all);
    // --mode as for the PDFs; the workbook leaves no scratch file behind.
    HostRun run =
        Payroll("register --company 1000 --month 200206 --format xlsx --mode 0644 --out " +
                ShellQuote(out + "/register.xlsx"));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(Mode(out + "/register.xlsx"), 0644u);
    EXPECT_EQ(Files(out), (std::vector<std::string>{"locked", "register.xlsx"}));
}

}  // namespace
}  // namespace payroll::testing
