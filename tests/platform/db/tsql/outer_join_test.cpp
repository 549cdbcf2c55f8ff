// The old *= and =* joins keep the outer rows, and a condition on the inner
// table alone does not drop them.
#include <gtest/gtest.h>

#include <string>

#include "tests/platform/db/tsql/tsql_test_db.h"

namespace payroll::tsql::testing {
namespace {

class OuterJoinTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db_.Exec(
            "CREATE TABLE SEMP (CO_CD TEXT, EMP_CD TEXT, REFR_YN TEXT, ENRL_FG TEXT, DEPT_CD TEXT);"
            "CREATE TABLE SCTRL_D (CO_CD TEXT, CTRL_CD TEXT, CTD_CD TEXT, CTD_NM TEXT);"
            "CREATE TABLE SDEPT (CO_CD TEXT, DEPT_CD TEXT, DEPT_NM TEXT);"
            "INSERT INTO SEMP VALUES ('1000', 'E1', '001', 'A', 'D1'), ('1000', 'E2', '002', "
            "'B', 'D9'), ('1000', 'E3', '009', 'A', 'D1');"
            // E3's REFR_YN has an 'S3' row but no 'S2' row: the filter must not lose E3.
            "INSERT INTO SCTRL_D VALUES ('1000', 'S2', '001', 'resident'), ('1000', 'S2', '002', "
            "'non-resident'), ('1000', 'S3', '009', 'other list'), ('1000', 'HE', 'A', "
            "'enrolled');"
            "INSERT INTO SDEPT VALUES ('1000', 'D1', 'Sales')");
    }
    TestDb db_;
};

TEST_F(OuterJoinTest, InnerFilterMovesIntoTheJoin) {
    Rows rows = db_.Query(
        "SELECT A.EMP_CD, H.CTD_NM NM1 FROM SEMP A , SCTRL_D H WHERE A.CO_CD='1000' AND "
        "A.CO_CD*=H.CO_CD AND H.CTRL_CD='S2' AND A.REFR_YN*=H.CTD_CD ORDER BY A.EMP_CD");
    EXPECT_EQ(rows, (Rows{{"E1", "resident"}, {"E2", "non-resident"}, {"E3", kNull}}));
}

TEST_F(OuterJoinTest, SeveralLookupsOfTheEmployeeViewer) {
    std::string error;
    EXPECT_FALSE(
        db_.Run("SELECT A.EMP_CD FROM SEMP A, SCTRL_D H WHERE A.CO_CD='1' OR "
                "A.CO_CD*=H.CO_CD",
                nullptr, &error));

    Rows rows = db_.Query(
        "SELECT A.EMP_CD , H.CTD_NM NM1 , I.CTD_NM NM2 , (CASE A.REFR_YN WHEN '001' THEN 'O' "
        "ELSE 'X' END) NM11, B.DEPT_NM FROM SEMP A , SCTRL_D H ,  SCTRL_D I ,  SDEPT B   WHERE "
        "A.CO_CD='1000' AND A.EMP_CD<>'E9' AND A.CO_CD*=H.CO_CD AND H.CTRL_CD='S2' AND "
        "A.REFR_YN*=H.CTD_CD AND A.CO_CD*=I.CO_CD AND I.CTRL_CD='HE' AND A.ENRL_FG*=I.CTD_CD "
        "AND A.CO_CD*=B.CO_CD AND\t\t\t\t\t A.DEPT_CD*=B.DEPT_CD ORDER BY 1");
    EXPECT_EQ(rows, (Rows{{"E1", "resident", "enrolled", "O", "Sales"},
                          {"E2", "non-resident", kNull, "X", kNull},
                          {"E3", kNull, "enrolled", "X", "Sales"}}));
}

TEST_F(OuterJoinTest, RightOuterJoinKeepsTheRightSide) {
    db_.Exec(
        "CREATE TABLE PAY (CO_CD TEXT, EMP_CD TEXT, PAY_AM NUMERIC(19,4));"
        "INSERT INTO PAY VALUES ('1000', 'E1', 100), ('1000', 'E1', 50), ('1000', 'E7', 5)");
    // Every employee of SEMP comes back, with or without pay.
    Rows rows = db_.Query(
        "SELECT B.EMP_CD, A.PAY FROM ( SELECT EMP_CD, SUM(PAY_AM) PAY FROM PAY WHERE "
        "CO_CD='1000' GROUP BY EMP_CD )A, ( SELECT EMP_CD FROM SEMP WHERE CO_CD='1000' )B WHERE "
        "A.EMP_CD=*B.EMP_CD ORDER BY B.EMP_CD");
    EXPECT_EQ(rows, (Rows{{"E1", "150"}, {"E2", kNull}, {"E3", kNull}}));
}

TEST_F(OuterJoinTest, SubqueriesWithCompositeKeys) {
    db_.Exec(
        "CREATE TABLE RUNS (RVRS_YM TEXT, SQ INTEGER);"
        "CREATE TABLE BON (RVRS_YM TEXT, SQ INTEGER, TBON_AM NUMERIC);"
        "INSERT INTO RUNS VALUES ('200201', 1), ('200201', 2), ('200202', 1);"
        "INSERT INTO BON VALUES ('200201', 2, 300), ('200201', 2, 20), ('200202', 2, 999)");
    Rows rows = db_.Query(
        "SELECT A.RVRS_YM, A.SQ, SUM(B.TBON_AM) TBON FROM ( SELECT RVRS_YM, SQ FROM RUNS )A, ( "
        "SELECT RVRS_YM, SQ, TBON_AM FROM BON WHERE TBON_AM > .0000 )B WHERE "
        "A.RVRS_YM*=B.RVRS_YM AND A.SQ*=B.SQ GROUP BY A.RVRS_YM, A.SQ ORDER BY A.RVRS_YM DESC, "
        "A.SQ");
    EXPECT_EQ(rows, (Rows{{"200202", "1", kNull}, {"200201", "1", kNull}, {"200201", "2", "320"}}));
}

TEST_F(OuterJoinTest, CommaJoinedTablesStayInnerJoined) {
    // SDEPT is joined to A by a plain condition, SCTRL_D by an outer one.
    Rows rows = db_.Query(
        "SELECT A.EMP_CD, D.DEPT_NM, H.CTD_NM FROM SEMP A, SDEPT D, SCTRL_D H WHERE "
        "A.DEPT_CD = D.DEPT_CD AND A.REFR_YN *= H.CTD_CD AND H.CTRL_CD = 'S2' ORDER BY 1");
    EXPECT_EQ(rows, (Rows{{"E1", "Sales", "resident"}, {"E3", "Sales", kNull}}));
    std::vector<Statement> out;
    std::string error;
    ASSERT_TRUE(db_.translator().Translate(
        "SELECT A.EMP_CD FROM SEMP A, SDEPT D, SCTRL_D H WHERE A.REFR_YN *= H.CTD_CD", &out,
        &error));
    EXPECT_NE(out[0].sql->find("CROSS JOIN"), std::string::npos) << *out[0].sql;
}

TEST_F(OuterJoinTest, ChainedOuterJoins) {
    // A *= H, H *= I: I hangs off H.
    Rows rows = db_.Query(
        "SELECT A.EMP_CD, H.CTD_CD, I.CTD_NM FROM SEMP A, SCTRL_D H, SCTRL_D I WHERE "
        "A.REFR_YN *= H.CTD_CD AND H.CTRL_CD = 'S2' AND H.CTD_CD *= I.CTD_CD AND I.CTRL_CD = "
        "'S3' ORDER BY 1");
    EXPECT_EQ(rows, (Rows{{"E1", "001", kNull}, {"E2", "002", kNull}, {"E3", kNull, kNull}}));
}

TEST_F(OuterJoinTest, ParenthesisedConditionsAreOpenedUp) {
    Rows rows = db_.Query(
        "SELECT A.EMP_CD, H.CTD_NM FROM SEMP A, SCTRL_D H WHERE (A.REFR_YN*=H.CTD_CD AND "
        "(H.CTRL_CD='S2')) AND A.EMP_CD BETWEEN 'E2' AND 'E3' ORDER BY 1");
    EXPECT_EQ(rows, (Rows{{"E2", "non-resident"}, {"E3", kNull}}));
}

TEST_F(OuterJoinTest, OuterJoinsItCannotPlaceAreRefused) {
    const char* cases[] = {
        // an inner table of two different outer tables
        "SELECT * FROM SEMP A, SDEPT B, SCTRL_D H WHERE A.CO_CD *= H.CO_CD AND B.CO_CD *= H.CO_CD",
        // round in a circle
        "SELECT * FROM SEMP A, SCTRL_D H WHERE A.CO_CD *= H.CO_CD AND H.CTD_CD *= A.REFR_YN",
        // a side naming no table of the FROM list, or two
        "SELECT * FROM SEMP A, SCTRL_D H WHERE A.CO_CD *= X.CO_CD",
        "SELECT * FROM SEMP A, SCTRL_D H WHERE A.CO_CD *= H.CO_CD || A.EMP_CD",
        "SELECT * FROM SEMP A, SCTRL_D H WHERE CO_CD *= H.CO_CD",
        // a condition on the inner table with a column of unknown table
        "SELECT * FROM SEMP A, SCTRL_D H WHERE A.CO_CD *= H.CO_CD AND H.CTD_CD = EMP_CD",
        // outside a WHERE condition joined by AND
        "SELECT * FROM SEMP A, SCTRL_D H WHERE A.CO_CD *= H.CO_CD OR A.CO_CD = '1'",
        "SELECT A.CO_CD *= 1 FROM SEMP A",
        "SELECT * FROM SEMP A WHERE A.CO_CD *= A.CO_CD",
        "UPDATE SEMP SET REFR_YN = H.CTD_CD FROM SEMP A, SCTRL_D H WHERE A.CO_CD *= H.CO_CD",
    };
    for (const char* text : cases) {
        std::string error;
        EXPECT_FALSE(db_.Run(text, nullptr, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

}  // namespace
}  // namespace payroll::tsql::testing
