// The register and the ledger as a clerk reads them on paper: no text
// smaller than 7 pt on A4 (measured from the words' boxes poppler's
// pdftotext -bbox reports), A3 when asked, dates as 2002-06-25, the approval
// box, headings broken only between words, departments named beside their
// codes. On SQLite and on PostgreSQL.
#include <limits>
#include <map>
#include <set>

#include "tests/cli/papers_cli/papers_cli_fixture.h"

namespace payroll::testing {
namespace {

// The height poppler gives a word's box is the font size times the font's
// ascent and descent, 1.15 em for NanumGothic (a 14 pt title is 16.1 high).
constexpr double kBoxPerPoint = 1.15;

struct Word {
    std::string text;
    double height = 0;
};

class PapersPrintTest : public PapersCliTest {
  protected:
    static void SetUpTestSuite() {
        PapersCliTest::SetUpTestSuite();
        if (Shell("command -v pdftotext pdfinfo").exit_code != 0) missing_tools_ = true;
    }

    void SetUp() override {
        if (missing_tools_) GTEST_SKIP() << "poppler-utils (pdftotext, pdfinfo) is not installed";
    }

    // Every word of a PDF with the height of its box.
    static std::vector<Word> Words(const std::string& pdf) {
        HostRun o = Shell("pdftotext -bbox " + ShellQuote(pdf) + " -");
        EXPECT_EQ(o.exit_code, 0) << o.err;
        static const std::regex word(
            R"re(<word xMin="[-0-9.]+" yMin="([-0-9.]+)" xMax="[-0-9.]+" yMax="([-0-9.]+)">([^<]*)</word>)re");
        std::vector<Word> out;
        for (auto it = std::sregex_iterator(o.out.begin(), o.out.end(), word);
             it != std::sregex_iterator(); ++it)
            out.push_back(
                {(*it)[3], std::atof((*it)[2].str().c_str()) - std::atof((*it)[1].str().c_str())});
        return out;
    }

    static double SmallestPoints(const std::vector<Word>& words) {
        double smallest = std::numeric_limits<double>::max();
        for (const Word& w : words) smallest = std::min(smallest, w.height / kBoxPerPoint);
        return smallest;
    }

    static std::set<std::string> WordSet(const std::vector<Word>& words) {
        std::set<std::string> out;
        for (const Word& w : words) out.insert(w.text);
        return out;
    }

    static std::string PageSize(const std::string& pdf) {
        HostRun o = Shell("pdfinfo " + ShellQuote(pdf));
        std::smatch m;
        std::regex_search(o.out, m, std::regex(R"(Page size:\s+(.*))"));
        return m.size() > 1 ? m[1].str() : o.out;
    }

    static inline bool missing_tools_ = false;
};

TEST_F(PapersPrintTest, TheRegisterReadsAtSevenPointsOnA4) {
    const std::string out = Out("register-print");
    for (const std::string& args :
         {"--out " + ShellQuote(out + "/a4.pdf"), "--paper a3 --out " + ShellQuote(out + "/a3.pdf"),
          "--format csv --out " + ShellQuote(out + "/register.csv")}) {
        HostRun run = Payroll("register --company 1000 --month 200206 " + args);
        ASSERT_EQ(run.exit_code, 0) << args << "\n" << run.err;
    }
    EXPECT_NE(PageSize(out + "/a4.pdf").find("841.89 x 595.28"), std::string::npos);
    EXPECT_NE(PageSize(out + "/a3.pdf").find("1190.55 x 841.89"), std::string::npos);
    const std::vector<Word> words = Words(out + "/a4.pdf");
    ASSERT_GT(words.size(), 100u);
    EXPECT_GE(SmallestPoints(words), 7 - 0.01);
    EXPECT_GE(SmallestPoints(Words(out + "/a3.pdf")), 7 - 0.01);
    const std::set<std::string> seen = WordSet(words);
    // The approval box.
    for (const char* box : {"결재", "담당", "검토", "승인"}) EXPECT_TRUE(seen.count(box)) << box;
    // Every item's name stands whole in the heading, never broken inside.
    const std::vector<std::string> header =
        SplitCsv(Lines(ReadWholeFile(out + "/register.csv")).front());
    for (std::size_t c = 9; c + 3 < header.size(); ++c) {
        const std::string name = header[c].substr(0, header[c].rfind(' '));
        EXPECT_TRUE(seen.count(name)) << name;
    }
    // Dates as 2002-06-25, never as eight digits.
    const std::string text = Text(out + "/a4.pdf");
    for (const std::string& date :
         Column("SELECT DISTINCT PAY_DT V FROM HPHPYFQ WHERE CO_CD='1000' AND RVRS_YM='200206'")) {
        ASSERT_EQ(date.size(), 8u);
        const std::string iso = date.substr(0, 4) + "-" + date.substr(4, 2) + "-" + date.substr(6);
        EXPECT_NE(text.find(iso), std::string::npos) << iso;
        EXPECT_EQ(text.find(date), std::string::npos) << date;
    }
    // Departments in words beside their codes, on the lines and the subtotals.
    const std::vector<std::string> departments = Column(
        "SELECT DISTINCT D.DEPT_CD || ' ' || D.DEPT_NM V FROM SDEPT D, SEMP E WHERE "
        "E.CO_CD='1000' AND D.CO_CD=E.CO_CD AND D.DEPT_CD=E.DEPT_CD");
    ASSERT_FALSE(departments.empty());
    for (const std::string& d : departments) {
        EXPECT_NE(text.find(d), std::string::npos) << d;
        EXPECT_NE(text.find(d + " 소계"), std::string::npos) << d;
    }
}

// The CSV's subtotals add up: each department's to its run's total, the
// runs' to the month's.
TEST_F(PapersPrintTest, TheRegistersSubtotalsAddUpToTheMonth) {
    const std::string out = Out("register-subtotals");
    HostRun run = Payroll("register --company 1000 --month 200206 --format csv --out " +
                          ShellQuote(out + "/register.csv"));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const std::vector<std::string> lines = Lines(ReadWholeFile(out + "/register.csv"));
    ASSERT_GT(lines.size(), 3u);
    const std::size_t width = SplitCsv(lines.front()).size();
    std::vector<double> people(width, 0), departments(width, 0), runs(width, 0);
    int run_totals = 0, department_totals = 0;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> cells = SplitCsv(lines[i]);
        ASSERT_EQ(cells.size(), width) << lines[i];
        std::vector<double> v(width, 0);
        for (std::size_t c = 9; c < width; ++c) v[c] = std::atof(cells[c].c_str());
        const std::string& kind = cells[0];
        auto expect_sum = [&](const std::vector<double>& sum) {
            for (std::size_t c = 9; c < width; ++c)
                EXPECT_NEAR(v[c], sum[c], 0.005) << i << " " << c;
        };
        if (kind == "개인") {
            for (std::size_t c = 9; c < width; ++c) people[c] += v[c];
        } else if (kind == "부서 소계") {
            expect_sum(people);
            for (std::size_t c = 9; c < width; ++c) departments[c] += v[c];
            people.assign(width, 0);
            ++department_totals;
        } else if (kind == "회차 계") {
            expect_sum(departments);
            for (std::size_t c = 9; c < width; ++c) runs[c] += v[c];
            departments.assign(width, 0);
            ++run_totals;
        } else {
            EXPECT_EQ(kind, "합계");
            EXPECT_EQ(i + 1, lines.size());  // the last line
            expect_sum(runs);
        }
    }
    EXPECT_EQ(run_totals, 2);  // the month has two runs
    EXPECT_GE(department_totals, 2 * run_totals);
}

// Each employee's line of each run says what `payroll results` says of him,
// to the won: gross pay, deductions and net pay.
TEST_F(PapersPrintTest, TheRegistersLinesAreTheResultsToTheWon) {
    const std::string out = Out("register-results");
    HostRun run = Payroll("register --company 1000 --month 200206 --format csv --out " +
                          ShellQuote(out + "/register.csv"));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    HostRun results = Payroll("results --company 1000 --month 200206 --format csv");
    ASSERT_EQ(results.exit_code, 0) << results.err;
    // Results: employee, name, run, pay types, then gross pay ... net pay.
    std::map<std::pair<std::string, std::string>, std::vector<std::string>> want;
    const std::vector<std::string> lines = Lines(results.out.substr(3));
    ASSERT_GT(lines.size(), 2u);
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        const std::vector<std::string> c = SplitCsv(lines[i]);
        ASSERT_EQ(c.size(), 16u) << lines[i];
        want[{c[0], c[2]}] = {c[4], c[14], c[15]};
    }
    std::size_t compared = 0;
    for (const std::string& line : Lines(ReadWholeFile(out + "/register.csv").substr(3))) {
        const std::vector<std::string> c = SplitCsv(line);
        if (c.size() < 12 || c[0] != "개인") continue;
        SCOPED_TRACE(line);
        const auto it = want.find({c[5], c[1]});
        ASSERT_NE(it, want.end());
        EXPECT_EQ((std::vector<std::string>{c[c.size() - 3], c[c.size() - 2], c[c.size() - 1]}),
                  it->second);
        ++compared;
    }
    EXPECT_EQ(compared, want.size());
}

TEST_F(PapersPrintTest, TheLedgerIsTheTaxOfficesPaper) {
    const std::string out = Out("ledger-print");
    for (const char* language : {"ko", "en"}) {
        HostRun run =
            Payroll(std::string("ledger --company 1000 --year 2002 --employee E000002 ") +
                    "--language " + language + " --out " + ShellQuote(out + "/" + language));
        ASSERT_EQ(run.exit_code, 0) << run.err;
    }
    const std::vector<Word> ko = Words(out + "/ko/ledger-2002-E000002.pdf");
    const std::vector<Word> en = Words(out + "/en/ledger-2002-E000002.pdf");
    EXPECT_GE(SmallestPoints(ko), 7 - 0.01);
    EXPECT_GE(SmallestPoints(en), 7 - 0.01);
    const std::set<std::string> seen = WordSet(ko);
    // The employer's block, the employee's, and the headings, whole.
    for (const char* word : {"근로소득", "원천징수부", "원천징수의무자", "법인명(상호)", "대표자",
                             "사업자등록번호", "소재지", "소득자", "과세", "비과세", "소득",
                             "원천징수세액", "사회보험", "소득세", "주민세", "연간", "합계"})
        EXPECT_TRUE(seen.count(word)) << word;
    for (int m = 1; m <= 12; ++m)
        EXPECT_TRUE(seen.count("2002-" + std::string(m < 10 ? "0" : "") + std::to_string(m))) << m;
    const std::set<std::string> english = WordSet(en);
    for (const char* word :
         {"Withholding", "agent", "Employment", "insurance", "Resident", "tax", "National",
          "pension", "Overtime", "night", "work", "Maternity", "Other"})
        EXPECT_TRUE(english.count(word)) << word;
    // The June line's income tax is the results' for the employee's two runs.
    const double june_tax =
        Sum("SELECT SUM(DDCT_AM) V FROM HPOMPDD WHERE CO_CD='1000' AND RVRS_YM='200206' AND "
            "EMP_CD='E000002' AND DDCT_CD='T00'");
    EXPECT_GT(june_tax, 0);
    EXPECT_TRUE(seen.count(Won(june_tax))) << Won(june_tax);
}

}  // namespace
}  // namespace payroll::testing
