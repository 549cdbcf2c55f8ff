// The joined UPDATE of the old dialect, which repeats its table in FROM.
#include <gtest/gtest.h>

#include <string>

#include "tests/platform/db/tsql/tsql_test_db.h"

namespace payroll::tsql::testing {
namespace {

class UpdateFromTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db_.Exec(
            "CREATE TABLE HPOMPPD (CO_CD TEXT, EMP_CD TEXT, RVRS_YM TEXT, SQ INTEGER, PYDD_FG "
            "TEXT, PAY_CD TEXT, DIV_CD TEXT, DEPT_CD TEXT, DUMMY2 TEXT, DUMMY3 TEXT);"
            "CREATE TABLE SEMP (CO_CD TEXT, EMP_CD TEXT, DEPT_CD TEXT, HRSP_CD TEXT);"
            "CREATE TABLE SDEPT (CO_CD TEXT, DEPT_CD TEXT, DIV_CD TEXT);"
            "CREATE TABLE HPMPDFM (CO_CD TEXT, RVRS_YM TEXT, PYDD_FG TEXT, PYDD_CD TEXT, TAX_FG "
            "TEXT);"
            "INSERT INTO HPOMPPD VALUES ('1000', 'E1', '200203', 1, 'P2', 'P00', 'old', 'old', "
            "'old', NULL), ('1000', 'E2', '200203', 1, 'P2', 'P01', 'old', 'old', 'old', NULL), "
            "('1000', 'E1', '200203', 2, 'P2', 'P00', 'old', 'old', 'old', NULL), ('2000', 'E1', "
            "'200203', 1, 'P2', 'P00', 'old', 'old', 'old', NULL);"
            "INSERT INTO SEMP VALUES ('1000', 'E1', 'D1', 'R1'), ('1000', 'E2', 'D2', 'R2'), "
            "('2000', 'E1', 'D1', 'R9');"
            "INSERT INTO SDEPT VALUES ('1000', 'D1', 'V1'), ('1000', 'D2', 'V2'), ('2000', "
            "'D1', 'V9');"
            "INSERT INTO HPMPDFM VALUES ('1000', '2002', 'P2', 'P00', '001'), ('1000', '2002', "
            "'P2', 'P01', '002')");
    }

    Rows Table() {
        return db_.Query(
            "SELECT CO_CD, EMP_CD, SQ, DIV_CD, DEPT_CD, DUMMY2, DUMMY3 FROM HPOMPPD ORDER BY "
            "CO_CD, EMP_CD, SQ");
    }

    TestDb db_;
};

TEST_F(UpdateFromTest, RefreshUpdatesOnlyTheRunsRows) {
    db_.Query(
        "UPDATE HPOMPPD  SET \t DIV_CD = C.DIV_CD , DEPT_CD= B.DEPT_CD, DUMMY2 = B.HRSP_CD FROM "
        "HPOMPPD A,SEMP B, SDEPT C WHERE A.CO_CD  = B.CO_CD AND A.CO_CD  = C.CO_CD AND A.EMP_CD = "
        "B.EMP_CD AND B.DEPT_CD=C.DEPT_CD AND A.CO_CD  = '1000' AND A.RVRS_YM = '200203' AND "
        "A.SQ=1  "
        "UPDATE HPOMPPD SET DUMMY3=B.TAX_FG FROM HPOMPPD A , HPMPDFM B WHERE  A.CO_CD='1000' AND "
        "A.RVRS_YM='200203' AND A.SQ=1   AND A.PYDD_FG='P2' AND A.CO_CD=B.CO_CD AND "
        "B.RVRS_YM='2002' AND A.PYDD_FG=B.PYDD_FG AND A.PAY_CD=B.PYDD_CD ");
    EXPECT_EQ(Table(), (Rows{{"1000", "E1", "1", "V1", "D1", "R1", "001"},
                             {"1000", "E1", "2", "old", "old", "old", kNull},
                             {"1000", "E2", "1", "V2", "D2", "R2", "002"},
                             {"2000", "E1", "1", "old", "old", "old", kNull}}));
}

TEST_F(UpdateFromTest, TargetNamedByItsAlias) {
    db_.Query(
        "UPDATE A SET DEPT_CD = B.DEPT_CD FROM HPOMPPD A, SEMP B WHERE A.CO_CD = B.CO_CD AND "
        "A.EMP_CD = B.EMP_CD AND A.CO_CD = '2000'");
    EXPECT_EQ(Table().back(), (Row{"2000", "E1", "1", "old", "D1", "old", kNull}));
}

TEST_F(UpdateFromTest, QualifiedSetColumnsAndPlainUpdates) {
    db_.Query("UPDATE HPOMPPD SET HPOMPPD.DIV_CD = 'X' WHERE SQ = 2");
    db_.Query(
        "UPDATE HPOMPPD SET DUMMY2 = S.HRSP_CD FROM SEMP S WHERE HPOMPPD.CO_CD = S.CO_CD AND "
        "HPOMPPD.EMP_CD = S.EMP_CD AND HPOMPPD.CO_CD = '2000'");
    Rows rows = Table();
    EXPECT_EQ(rows[1][3], "X");
    EXPECT_EQ(rows[3][5], "R9");
}

TEST_F(UpdateFromTest, ShapesItCannotTranslate) {
    for (const char* text : {
             "UPDATE HPOMPPD SET DIV_CD = 'x' FROM HPOMPPD A, HPOMPPD B WHERE A.SQ = B.SQ",
             // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one statement over two lines
             "UPDATE HPOMPPD SET DIV_CD = 'x' FROM HPOMPPD A LEFT JOIN SEMP B ON A.CO_CD = "
             "B.CO_CD",
             "UPDATE HPOMPPD DIV_CD = 'x'",
             "UPDATE SET DIV_CD = 'x'",
             "UPDATE HPOMPPD SET = 'x'",
         }) {
        std::string error;
        EXPECT_FALSE(db_.Run(text, nullptr, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

}  // namespace
}  // namespace payroll::tsql::testing
