// A month's pay run made from the company's pay types and item definitions,
// or copied from the run before; clashes refused; deletion held back by the
// run's results unless forced.
#include <gtest/gtest.h>

#include "company_fixture.h"

namespace payroll::testing {
namespace {

class CompanyRun : public DatabaseFixture {
  protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        const folder::ImportResult r = folder::ImportFolder(ExampleFolder());
        ASSERT_TRUE(r.ok) << r.error
                          << (r.problems.empty() ? "" : folder::ProblemText(r.problems[0]));
    }
    bool New(const std::string& month, const std::string& date, std::vector<std::string> types,
             int* sq, std::string* error, const std::string& from = "", const std::string& to = "",
             int sequence = 0) {
        folder::NewRun run{"1000", month, date, std::move(types), sequence, from, to};
        return folder::CreateRun(run, sq, error);
    }
};

TEST_F(CompanyRun, ACombinedRunWritesItsPayTypesWindowsAndItemLists) {
    int sq = 0;
    std::string error;
    ASSERT_TRUE(New("200206", "2002-06-25", {"110", "100"}, &sq, &error)) << error;
    EXPECT_EQ(sq, 1);
    EXPECT_EQ(Rows("SELECT PAY_DT, CCIS_YN FROM HPHPYFQ WHERE CO_CD='1000' AND RVRS_YM='200206'"),
              std::vector<std::string>{"20020625|001"});
    EXPECT_EQ(Rows("SELECT PYTP_FG, JNCM_FG, RTCM_FG FROM HPHONPD WHERE RVRS_YM='200206' ORDER BY "
                   "PYTP_FG"),
              (std::vector<std::string>{"100|100|100", "110|100|100"}));
    EXPECT_EQ(
        Rows("SELECT PYTP_FG, HTYP_CD, PYSP_FG FROM HPHWTPT WHERE RVRS_YM='200206' ORDER BY "
             "PYTP_FG, HTYP_CD"),
        (std::vector<std::string>{"100|001|001", "100|002|001", "110|001|001", "110|002|001"}));
    EXPECT_EQ(Rows("SELECT PYDD_FG, PYDD_CD FROM HPHPOYM WHERE RVRS_YM='200206' AND PYTP_FG='110' "
                   "ORDER BY PYDD_FG, PYDD_CD"),
              (std::vector<std::string>{"P2|P13", "P3|T00", "P3|T10"}));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPHPOYM WHERE RVRS_YM='200206' AND PYTP_FG='100'"),
              "10");
}

TEST_F(CompanyRun, TheNextMonthCopiesTheItemListOfTheRunBefore) {
    int sq = 0;
    std::string error;
    ASSERT_TRUE(New("200206", "2002-06-25", {"100"}, &sq, &error)) << error;
    // The clerk took union dues off June's run; July follows June.
    Exec("DELETE FROM HPHPOYM WHERE RVRS_YM='200206' AND PYDD_CD='D01'");
    ASSERT_TRUE(New("200207", "2002-07-25", {"100"}, &sq, &error)) << error;
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPHPOYM WHERE RVRS_YM='200207'"), "9");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPHPOYM WHERE RVRS_YM='200207' AND PYDD_CD='D01'"), "0");
}

TEST_F(CompanyRun, ClashesAndWrongOptionsAreRefusedWithTheReason) {
    int sq = 0;
    std::string error;
    ASSERT_TRUE(New("200206", "2002-06-25", {"100"}, &sq, &error)) << error;
    EXPECT_FALSE(New("200206", "2002-06-25", {"100"}, &sq, &error));
    EXPECT_NE(error.find("already pays pay type 100"), std::string::npos) << error;
    EXPECT_FALSE(New("200206", "2002-06-28", {"200"}, &sq, &error, "2002-01-01", "2002-06-30", 1));
    EXPECT_NE(error.find("SQ 1 exists"), std::string::npos) << error;
    EXPECT_FALSE(New("200206", "2002-06-28", {"200"}, &sq, &error, "2002-06-30", "2002-01-01"));
    EXPECT_NE(error.find("does not close"), std::string::npos) << error;
    EXPECT_FALSE(New("200206", "2002-06-31", {"200"}, &sq, &error));
    EXPECT_NE(error.find("--pay-date"), std::string::npos) << error;
    EXPECT_FALSE(New("200206", "2002-06-28", {"300"}, &sq, &error));
    EXPECT_NE(error.find("pay type 300"), std::string::npos) << error;
    EXPECT_FALSE(New("200306", "2003-06-28", {"200"}, &sq, &error));
    EXPECT_NE(error.find("no items in 2003"), std::string::npos) << error;
    // Nothing of the refused runs was written.
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPHPYFQ"), "1");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPHONPD"), "1");

    ASSERT_TRUE(New("200206", "2002-06-28", {"200"}, &sq, &error, "2002-01-01", "2002-06-30"))
        << error;
    EXPECT_EQ(sq, 2);
    EXPECT_EQ(Rows("SELECT DISTINCT BNST_DT, BNED_DT, CCIS_YN FROM HPHWTPT W, HPHPYFQ Q WHERE "
                   "Q.CO_CD=W.CO_CD AND Q.RVRS_YM=W.RVRS_YM AND Q.SQ=W.SQ AND W.SQ=2"),
              std::vector<std::string>{"20020101|20020630|002"});
    EXPECT_EQ(Rows("SELECT JNCM_FG, RTCM_FG FROM HPHONPD WHERE SQ=2"),
              std::vector<std::string>{"000|000"});
}

TEST_F(CompanyRun, ARunWithResultsIsDeletedOnlyWhenForcedAndThenWhole) {
    int sq = 0;
    std::string error;
    ASSERT_TRUE(New("200206", "2002-06-25", {"100"}, &sq, &error)) << error;
    ASSERT_TRUE(New("200206", "2002-06-28", {"200"}, &sq, &error, "2002-01-01", "2002-06-30"));
    Exec(
        "INSERT INTO HPOMPPD (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PAY_CD, PAY_AM) VALUES "
        "('1000','200206',1,'100','E001','P00',3000000)");
    Exec(
        "INSERT INTO HPOMNPY (CO_CD, EMP_CD, RVRS_YM, SQ, PYTP_FG) VALUES "
        "('1000','E001','200206',1,'100')");
    EXPECT_FALSE(folder::DeleteRun("1000", "200206", 1, false, &error));
    EXPECT_NE(error.find("--force"), std::string::npos) << error;
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPHPOYM WHERE SQ=1"), "10");
    EXPECT_FALSE(folder::DeleteRun("1000", "200206", 7, true, &error));
    EXPECT_NE(error.find("no run 200206 SQ 7"), std::string::npos) << error;

    ASSERT_TRUE(folder::DeleteRun("1000", "200206", 1, true, &error)) << error;
    for (const char* table : {"HPHPYFQ", "HPHONPD", "HPHWTPT", "HPHPOYM", "HPOMPPD", "HPOMNPY"})
        EXPECT_EQ(Scalar(std::string("SELECT COUNT(*) FROM ") + table + " WHERE SQ=1"), "0")
            << table;
    // The month's other run stays; without rows it goes without --force.
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPHONPD WHERE SQ=2"), "1");
    EXPECT_TRUE(folder::DeleteRun("1000", "200206", 2, false, &error)) << error;
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPHPYFQ"), "0");
}

}  // namespace
}  // namespace payroll::testing
