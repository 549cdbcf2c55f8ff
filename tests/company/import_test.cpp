// Import and export of a company folder on the test database: the example
// written whole, a second import that changes nothing, a changed folder
// that says what it changed, the round trip, and a refused write that
// leaves the database as it was.
#include <gtest/gtest.h>

#include "company_fixture.h"
#include "payroll/reading.h"

namespace payroll::testing {
namespace {

class CompanyImport : public DatabaseFixture {
  protected:
    folder::ImportResult Import(const std::string& dir) {
        folder::ImportResult r = folder::ImportFolder(dir);
        for (const folder::Problem& p : r.problems) ADD_FAILURE() << folder::ProblemText(p);
        return r;
    }
    const folder::FileChange& Change(const folder::ImportResult& r, const std::string& file) {
        for (const folder::FileChange& c : r.changes)
            if (c.file == file) return c;
        static const folder::FileChange none;
        ADD_FAILURE() << "no change entry for " << file;
        return none;
    }
    void ExpectSameFiles(const std::string& a, const std::string& b) {
        for (const auto& entry : std::filesystem::directory_iterator(a)) {
            const std::string name = entry.path().filename().string();
            EXPECT_EQ(ReadWholeFile(std::string(a).append("/").append(name)),
                      ReadWholeFile(std::string(b).append("/").append(name)))
                << name;
        }
    }
};

TEST_F(CompanyImport, TheExampleWritesEveryTableAPayableCompanyNeeds) {
    const folder::ImportResult r = Import(ExampleFolder());
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(Change(r, "employees.csv").added, 5);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM SEMP WHERE CO_CD='1000'"), "5");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM H_SEMP WHERE CO_CD='1000'"), "5");
    EXPECT_EQ(Rows("SELECT DEPT_CD, HTYP_CD, ENRL_FG, JOIN_DT, RTR_DT, SPUS_YN, TDFR_SN FROM SEMP "
                   "WHERE EMP_CD='E005'"),
              std::vector<std::string>{"D101|001|002|19970106|20020715|001|3"});
    EXPECT_EQ(Rows("SELECT MNLT_FG, TMST_DT FROM HHFAACC WHERE CO_CD='1000' ORDER BY HTYP_CD"),
              (std::vector<std::string>{"002|1", "001|21"}));
    EXPECT_EQ(Rows("SELECT TAX_FG, TXEX_FG FROM HPMPDFM WHERE CO_CD='1000' AND PYTP_FG='100' "
                   "AND PYDD_CD='P02'"),
              std::vector<std::string>{"002|002"});
    EXPECT_EQ(Rows("SELECT CTD_NM, DUMMY1, DUMMY2 FROM SCTRL_D WHERE CO_CD='1000' AND "
                   "CTRL_CD='P4' AND CTD_CD='200'"),
              std::vector<std::string>{"상여|000|000"});
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPHFXPD WHERE CO_CD='1000' AND EMP_CD='E002'"), "2");
    EXPECT_EQ(Scalar("SELECT AVMS_TM FROM SHCFG WHERE CO_CD='1000'").substr(0, 3), "209");
    // The settings' withholding method (by its word) and the company record.
    EXPECT_EQ(Scalar("SELECT CTR_FG FROM syscfg WHERE CO_CD='1000' AND CTR_CD='21'"), "002");
    reading::CompanyIdentity company;
    std::string error;
    ASSERT_TRUE(reading::ReadCompanyIdentity("1000", &company, &error)) << error;
    EXPECT_EQ(company.name, "한빛정밀 주식회사");
    EXPECT_EQ(company.business_no, "123-45-67890");
    EXPECT_EQ(reading::CompanyDisplayName(company, true), "Hanbit Precision Co. Ltd.");
    ASSERT_TRUE(reading::ReadCompanyIdentity("9999", &company, &error)) << error;
    EXPECT_EQ(reading::CompanyDisplayName(company, false), "9999");
}

TEST_F(CompanyImport, TheSameFolderTwiceChangesNothingAndAChangedOneSaysWhat) {
    const std::string dir = CopyOfExample("import_change");
    ASSERT_TRUE(Import(dir).ok);
    const folder::ImportResult again = Import(dir);
    ASSERT_TRUE(again.ok) << again.error;
    for (const folder::FileChange& c : again.changes)
        EXPECT_EQ(c.added + c.changed + c.removed, 0) << c.file;

    Edit(dir + "/employees.csv", "135000,51000", "140000,51000");  // E001 changed
    Edit(dir + "/fixed-items.csv", "E004,P00,2002-03,,1800000\r\n", "");
    Append(dir + "/employees.csv",
           "E006,한지민,Han Jimin,,D102,사무직,월급제,일반직,1호봉,사원,사무,재직,정규직,"
           "거주자,2002-08-01,,아니오,0,0,아니오,81000,30600,A,PJ01");
    Edit(dir + "/items.csv", "Union dues", "Union fee");
    const folder::ImportResult r = Import(dir);
    ASSERT_TRUE(r.ok) << r.error;
    const folder::FileChange& emp = Change(r, "employees.csv");
    EXPECT_EQ(emp.added, 1);
    EXPECT_EQ(emp.changed, 1);
    EXPECT_EQ(emp.removed, 0);
    EXPECT_EQ(emp.keys_added, std::vector<std::string>{"E006"});
    EXPECT_EQ(emp.keys_changed, std::vector<std::string>{"E001"});
    EXPECT_EQ(Change(r, "fixed-items.csv").keys_removed,
              std::vector<std::string>{"E004/P00/200203"});
    EXPECT_EQ(Change(r, "items.csv").keys_changed, std::vector<std::string>{"D01"});
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPHFXPD WHERE CO_CD='1000' AND EMP_CD='E004'"), "0");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM H_SEMP WHERE CO_CD='1000'"), "6");
    EXPECT_EQ(Scalar("SELECT CTD_NMK FROM SCTRL_D WHERE CO_CD='1000' AND CTRL_CD='PD' AND "
                     "CTD_CD='D01'"),
              "Union fee");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPMPDFM WHERE CO_CD='1000'"), "17");
}

TEST_F(CompanyImport, HundredsOfNewRowsWithEmptyNumbersAreWrittenWholeAndAgainChangeNothing) {
    const std::string dir = CopyOfExample("import_many");
    // 250 employees more, each with a fixed item: whole INSERTs of many rows
    // and the rest one by one; every third without its pension amount, so
    // that rows with and without NULLs follow each other.
    std::string employees = ReadWholeFile(dir + "/employees.csv");
    std::string fixed = ReadWholeFile(dir + "/fixed-items.csv");
    for (int e = 0; e < 250; ++e) {
        const std::string code = "N" + std::to_string(100 + e);
        employees += code + ",이름" + std::to_string(e) +
                     ",,,D102,사무직,월급제,일반직,1호봉,사원,사무,재직,정규직,거주자,2002-08-01,,"
                     "아니오,0,0,아니오," +
                     (e % 3 ? std::to_string(80000 + e) : "") + ",30600,A,PJ01\r\n";
        fixed += code + ",P00,2002-08,," + std::to_string(1000000 + e) + "\r\n";
    }
    WriteFile(dir + "/employees.csv", employees);
    WriteFile(dir + "/fixed-items.csv", fixed);
    const folder::ImportResult r = Import(dir);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(Change(r, "employees.csv").added, 255);
    EXPECT_EQ(Change(r, "fixed-items.csv").added, 261);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM H_SEMP WHERE CO_CD='1000'"), "255");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM SEMP WHERE CO_CD='1000' AND NAPS_AM IS NULL"), "84");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM SEMP WHERE EMP_CD='N101' AND KOR_NM='이름1' AND "
                     "NAPS_AM=80001 AND HIFA_AM=30600 AND WKTG_YN='001'"),
              "1");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM SEMP WHERE EMP_CD='N349' AND NAPS_AM IS NULL"), "1");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPHFXPD WHERE EMP_CD='N349' AND FIXP_CD='P00' AND "
                     "CTST_YM='200208' AND CTED_YM='' AND FIX_AM=1000249"),
              "1");

    const folder::ImportResult again = Import(dir);
    ASSERT_TRUE(again.ok) << again.error;
    for (const folder::FileChange& c : again.changes)
        EXPECT_EQ(c.added + c.changed + c.removed, 0) << c.file;
    Edit(dir + "/employees.csv", "N250,이름150,", "N250,이름150A,");
    const folder::ImportResult changed = Import(dir);
    ASSERT_TRUE(changed.ok) << changed.error;
    EXPECT_EQ(Change(changed, "employees.csv").keys_changed, std::vector<std::string>{"N250"});
}

TEST_F(CompanyImport, ExportImportIntoAFreshDatabaseAndExportAgainGivesTheSameFiles) {
    const std::string dir = CopyOfExample("import_trip");
    // Cells a spreadsheet would run: written safely, read back as they were.
    Edit(dir + "/employees.csv", "Kim Minjun", "=HYPERLINK(\"x\")");
    Edit(dir + "/departments.csv", "Sales", "+Sales");
    ASSERT_TRUE(Import(dir).ok);
    EXPECT_EQ(Scalar("SELECT KOR_NMK FROM SEMP WHERE EMP_CD='E001'"), "=HYPERLINK(\"x\")");
    const std::string first = FreshFolder("export_first");
    std::string error;
    ASSERT_TRUE(folder::ExportFolder("1000", first, &error)) << error;
    EXPECT_NE(ReadWholeFile(first + "/employees.csv").find(",\"'=HYPERLINK(\"\"x\"\")\","),
              std::string::npos);
    EXPECT_NE(ReadWholeFile(first + "/departments.csv").find(",'+Sales"), std::string::npos);

    FreshDatabase();
    ASSERT_TRUE(Import(first).ok);
    const std::string second = FreshFolder("export_second");
    ASSERT_TRUE(folder::ExportFolder("1000", second, &error)) << error;
    ExpectSameFiles(first, second);
    // The shipped example is what an export of it writes.
    FreshDatabase();
    ASSERT_TRUE(Import(ExampleFolder()).ok);
    const std::string third = FreshFolder("export_third");
    ASSERT_TRUE(folder::ExportFolder("1000", third, &error)) << error;
    ExpectSameFiles(ExampleFolder(), third);
}

TEST_F(CompanyImport, AFolderWithProblemsOrARefusedWriteLeavesTheDatabaseAsItWas) {
    const std::string dir = CopyOfExample("import_refused");
    ASSERT_TRUE(Import(dir).ok);
    const auto before = Rows("SELECT EMP_CD, KOR_NM, NAPS_AM FROM SEMP ORDER BY EMP_CD");

    Edit(dir + "/employees.csv", "김민준", "김민준2");
    Edit(dir + "/employees.csv", "D201", "D999");
    const folder::ImportResult bad = folder::ImportFolder(dir);
    EXPECT_FALSE(bad.ok);
    EXPECT_FALSE(bad.problems.empty());
    EXPECT_EQ(Rows("SELECT EMP_CD, KOR_NM, NAPS_AM FROM SEMP ORDER BY EMP_CD"), before);

    Edit(dir + "/employees.csv", "D999", "D201");
    Append(dir + "/fixed-items.csv", "E003,P01,2002-01,,50000");
    std::string error;
    ASSERT_TRUE(RefuseWrites("HPHFXPD", "INSERT", "", "no fixed items today", &error)) << error;
    const folder::ImportResult refused = folder::ImportFolder(dir);
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.error.find("no fixed items today"), std::string::npos) << refused.error;
    EXPECT_EQ(Rows("SELECT EMP_CD, KOR_NM, NAPS_AM FROM SEMP ORDER BY EMP_CD"), before);
}

TEST_F(CompanyImport, ExportOfACompanyThatIsNotThereFails) {
    std::string error;
    EXPECT_FALSE(folder::ExportFolder("9999", FreshFolder("export_none"), &error));
    EXPECT_NE(error.find("9999"), std::string::npos);
}

}  // namespace
}  // namespace payroll::testing
