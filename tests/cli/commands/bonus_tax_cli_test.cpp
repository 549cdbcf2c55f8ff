// payroll bonus-tax, run as a person would: the built program on a database
// file, its exit codes, what it prints and what it leaves stored.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "tests/cli/commands/cli_fixture.h"

namespace {

using namespace payroll::testing;

// Company 1000 in June 2002: run 1 is the salary (SQ 1, pay type 100), run 2
// the bonus (SQ 2, pay type 200), after a March bonus run. E1 is the employee
// whose bonus tests/engine/bonus_end_to_end_test.cpp works out by hand
// (income tax 284,580, resident tax 28,450, tax base 6,573,000 over six
// months); E2 has a small bonus that leaves no tax.
class BonusTaxCliTest : public CliTest {
  protected:
    void SetUp() override {
        CliTest::SetUp();
        Exec("INSERT INTO SHCFG (CO_CD, JNCM_FG, RTCM_FG) VALUES ('1000', '000', '000')");
        Exec(
            "INSERT INTO SCTRL_D (CO_CD, CTRL_CD, CTD_CD, CTD_NM, RMK_DC) VALUES "
            "('1000','PC','099','limit','0'), ('1000','P4','100','급여',''), "
            "('1000','P4','200','상여',''), ('1000','SC','002','개별','')");
        Exec(
            "INSERT INTO HPHPYFQ (CO_CD, RVRS_YM, SQ, PAY_DT, CCIS_YN) VALUES "
            "('1000','200206',1,'20020625','002'), ('1000','200206',2,'20020630','002'), "
            "('1000','200203',2,'20020330','002')");
        Exec(
            "INSERT INTO HPHONPD (CO_CD, RVRS_YM, SQ, PYTP_FG) VALUES ('1000','200206',1,'100'), "
            "('1000','200206',2,'200'), ('1000','200203',2,'200')");
        Exec(
            "INSERT INTO HPHWTPT (CO_CD, RVRS_YM, SQ, PYTP_FG, HTYP_CD, PYSP_FG, BNST_DT, BNED_DT) "
            "VALUES ('1000', '200206', 2, '200', '001', '001', '20020101', '20020630')");
        Exec(
            "INSERT INTO HPMPDFM (CO_CD, RVRS_YM, PYTP_FG, PYDD_FG, PYDD_CD, TAX_FG, TXEX_FG) "
            "VALUES ('1000','2002','200','P2','V00','001','')");
        Exec(
            "INSERT INTO SEMP (CO_CD, EMP_CD, KOR_NM, DEPT_CD, HTYP_CD, PYSP_FG, SPUS_YN, TDFR_SN, "
            "SUFR_SN, JOIN_DT) VALUES ('1000','E1','사원 "
            "1','D1','001','001','001',1,0,'20000101'), "
            "('1000','E2','사원 2','D1','001','001','000',0,0,'20000101')");
        Exec(
            "INSERT INTO HPOMPPD (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PYDD_FG, PAY_CD, PAY_AM) "
            "VALUES ('1000','200206',2,'200','E1','P2','V00',3000000), "
            "('1000','200206',2,'200','E2','P2','V00',1000000)");
        Exec(
            "INSERT INTO HPOMPDD (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PYDD_FG, DDCT_CD, DDCT_AM) "
            "VALUES ('1000','200206',2,'200','E1','P3','S00',45000)");
        for (const char* month : {"200201", "200202", "200203", "200204", "200205", "200206"})
            Exec(
                "INSERT INTO HPOMNPY (CO_CD, EMP_CD, RVRS_YM, SQ, PYTP_FG, TPAY_AM, TBON_AM, "
                "TXST_AM, INTX_AM) VALUES ('1000','E1','" +
                std::string(month) + "',1,'100',2000000,0,0,50000)");
        Exec(
            "INSERT INTO HPOMNPY (CO_CD, EMP_CD, RVRS_YM, SQ, PYTP_FG, TPAY_AM, TBON_AM, TXST_AM, "
            "INTX_AM) VALUES ('1000','E1','200203',2,'200',0,1000000,500000,30000)");
        Exec(
            "INSERT INTO HPFSTIA (CO_CD, RVRS_YY, SQ, TXSS_AM, TXSE_AM, AJMT_AM) VALUES "
            "('0000','2002',1,0,1000000,10000), ('0000','2002',2,1000000,3000000,20000), "
            "('0000','2002',3,3000000,0,40000)");
        Exec(
            "INSERT INTO HPMLBEC (CO_CD, RVRS_YY, STSD_AM, BSHD_AM, OSMD_AM, RSTX_RT, DUMMY4, "
            "DUMMY5) VALUES ('0000','2002',600000,1000000,500000,0.1,1200000,1500000)");
        Exec(
            "INSERT INTO HIFNPCT (CO_CD, RVRS_YY, NTPS_GR, STMS_AM, STME_AM, NAPS_AM) VALUES "
            "('0000','2002','01',0,1000000,30000), ('0000','2002','02',1000000,2000000,60000), "
            "('0000','2002','03',2000000,100000000000,120000)");
        Exec(
            "INSERT INTO HPFTITC (CO_CD, RVRS_YY, TXSS_AM, TXSE_AM, TAX_RT, PRDA_AM) VALUES "
            "('0000','2002',0,10000000,0.1,0), ('0000','2002',10000000,40000000,0.2,1000000), "
            "('0000','2002',40000000,0,0.3,5000000)");
        Exec(
            "INSERT INTO HPFLICH (CO_CD, RVRS_YY, SQ, TXSS_AM, TXSE_AM, PRDA_AM, TXDD_RT, ICAM_AM) "
            "VALUES ('0000','2002',1,0,500000,0,0.5,600000), "
            "('0000','2002',2,500000,0,250000,0.3,600000)");
    }

    std::string BonusRows() {
        return Scalar("SELECT COUNT(*) FROM HPOMNPY WHERE RVRS_YM='200206' AND SQ=2");
    }

    static bool Has(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }
};

TEST_F(BonusTaxCliTest, TaxesEveryEmployeeOfTheRunAndCommits) {
    HostRun r = Cli("bonus-tax --company 1000 --month 200206 --run 2");
    ASSERT_EQ(r.exit_code, 0) << r.out << r.err;
    EXPECT_TRUE(Has(r.out,
                    "E1                6        3,000,000        6,573,000        284,580"
                    "         28,450"))
        << r.out;
    EXPECT_TRUE(Has(r.out, "E2                6        1,000,000                0              0"))
        << r.out;
    EXPECT_TRUE(Has(r.out,
                    "bonus-tax 1000 200206 run 2 (SQ 2, pay type 200, kind 1): committed, 2 "
                    "employees, income tax 284,580, resident tax 28,450"))
        << r.out;
    EXPECT_EQ(Stored("E1", "200206", "INTX_AM", "200"), 284580);
    EXPECT_EQ(Stored("E1", "200206", "RSTX_AM", "200"), 28450);
    EXPECT_EQ(DeductionRow("E1", "200206", "T00"), "284580.0000|2002010120020630");
    EXPECT_EQ(BonusRows(), "2");
}

TEST_F(BonusTaxCliTest, TaxesOnlyTheEmployeesNamed) {
    HostRun r = Cli("bonus-tax --company 1000 --month 200206 --run 2 --employee E2");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "committed, 1 employee, income tax 0, resident tax 0")) << r.out;
    EXPECT_FALSE(Has(r.out, "E1 ")) << r.out;
    EXPECT_EQ(BonusRows(), "1");
}

TEST_F(BonusTaxCliTest, AnEmployeeWithoutPayRowsIsStoredWithZeros) {
    Exec(
        "INSERT INTO SEMP (CO_CD, EMP_CD, KOR_NM, HTYP_CD, PYSP_FG, SPUS_YN, JOIN_DT) VALUES "
        "('1000','E3','사원 3','001','001','000','20000101')");
    HostRun r = Cli("bonus-tax --company 1000 --month 200206 --run 2 --employee E3");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "E3                6                0                0              0"))
        << r.out;
    EXPECT_EQ(Stored("E3", "200206", "INTX_AM", "200"), 0);
    EXPECT_EQ(BonusRows(), "1");
}

TEST_F(BonusTaxCliTest, AFailingEmployeeRollsTheWholeRunBack) {
    // E2's summary row cannot be written: E1's, written before it, goes too.
    Native(
        "CREATE TRIGGER refuse_e2 BEFORE INSERT ON HPOMNPY WHEN NEW.EMP_CD='E2' "
        "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    HostRun r = Cli("bonus-tax --company 1000 --month 200206 --run 2 --employee E1 --employee E2");
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_TRUE(Has(r.err, "rolled back at sum save error")) << r.err;
    EXPECT_TRUE(Has(r.err, "employee E2)")) << r.err;
    EXPECT_FALSE(Has(r.out, "committed")) << r.out;
    EXPECT_EQ(BonusRows(), "0");
    EXPECT_EQ(DeductionRow("E1", "200206", "T00"), "");
}

TEST_F(BonusTaxCliTest, AnUnknownEmployeeRollsBack) {
    HostRun r = Cli("bonus-tax --company 1000 --month 200206 --run 2 --employee E1 --employee X9");
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_TRUE(Has(r.err, "the employee has no master record")) << r.err;
    EXPECT_TRUE(Has(r.err, "employee X9)")) << r.err;
    EXPECT_EQ(BonusRows(), "0");
}

TEST_F(BonusTaxCliTest, KindElevenComputesAsKindOne) {
    HostRun r = Cli("bonus-tax --company 1000 --month 200206 --run 2 --employee E1 --kind 11");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "kind 11): committed, 1 employee, income tax 284,580")) << r.out;
    EXPECT_EQ(Stored("E1", "200206", "TBON_AM", "200"), 3000000);
    EXPECT_EQ(Stored("E1", "200206", "INTX_AM", "200"), 284580);
}

// A combined run is taxed by the bonus rule only when every one of its pay
// types is a bonus: here the bonus run also pays salary (100).
TEST_F(BonusTaxCliTest, ACombinedRunWithASalaryPayTypeIsRefused) {
    Exec(
        "INSERT INTO SCTRL_D (CO_CD, CTRL_CD, CTD_CD, CTD_NM, RMK_DC) VALUES "
        "('1000','SC','001','통합','')");
    Exec("UPDATE HPHPYFQ SET CCIS_YN='001' WHERE RVRS_YM='200206' AND SQ=2");
    Exec("INSERT INTO HPHONPD (CO_CD, RVRS_YM, SQ, PYTP_FG) VALUES ('1000','200206',2,'100')");
    HostRun r = Cli("bonus-tax --company 1000 --month 200206 --run 2");
    EXPECT_EQ(r.exit_code, 2) << r.out << r.err;
    EXPECT_TRUE(Has(r.err, "run 2 of 1000 200206 is no bonus run (pay type 100)")) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(BonusRows(), "0");
    EXPECT_EQ(DeductionRow("E1", "200206", "T00"), "");

    Exec("DELETE FROM HPHONPD WHERE RVRS_YM='200206' AND SQ=2 AND PYTP_FG='100'");
    r = Cli("bonus-tax --company 1000 --month 200206 --run 2 --employee E1");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(Stored("E1", "200206", "INTX_AM", "200"), 284580);
}

TEST_F(BonusTaxCliTest, ARunThatIsNotThereFails) {
    HostRun r = Cli("bonus-tax --company 1000 --month 200206 --run 3");
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_TRUE(Has(r.err, "1000 200206 has no run 3")) << r.err;
    EXPECT_EQ(BonusRows(), "0");
}

// Scripts read one JSON object, whichever way the road ended, and nothing
// else on standard output.
TEST_F(BonusTaxCliTest, JsonGivesTheClosingLineAsOneObject) {
    HostRun ok = Cli("--json bonus-tax --company 1000 --month 200206 --run 2");
    ASSERT_EQ(ok.exit_code, 0) << ok.err;
    const nlohmann::json committed = nlohmann::json::parse(ok.out);
    EXPECT_EQ(committed["outcome"], "committed");
    EXPECT_EQ(committed["employees"], 2);
    EXPECT_EQ(committed["income_tax"], 284580);
    EXPECT_EQ(committed["resident_tax"], 28450);

    Native(
        "CREATE TRIGGER refuse_e2 BEFORE INSERT ON HPOMNPY WHEN NEW.EMP_CD='E2' "
        "BEGIN SELECT RAISE(ABORT, 'refused \"quoted\"'); END");
    Exec("DELETE FROM HPOMNPY WHERE RVRS_YM='200206' AND SQ=2");
    HostRun bad = Cli("--json bonus-tax --company 1000 --month 200206 --run 2");
    EXPECT_EQ(bad.exit_code, 1);
    const nlohmann::json rolled = nlohmann::json::parse(bad.out);
    EXPECT_EQ(rolled["outcome"], "rolled back");
    EXPECT_EQ(rolled["employee"], "E2");
    EXPECT_TRUE(Has(rolled["message"].get<std::string>(), "refused \"quoted\"")) << bad.out;
    EXPECT_EQ(BonusRows(), "0");
}

TEST_F(BonusTaxCliTest, QuietLeavesOnlyTheClosingLine) {
    HostRun r = Cli("--quiet bonus-tax --company 1000 --month 200206 --run 2");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out,
              "bonus-tax 1000 200206 run 2 (SQ 2, pay type 200, kind 1): committed, 2 employees, "
              "income tax 284,580, resident tax 28,450, 2 results stored\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(BonusTaxCliTest, UsageErrors) {
    for (const char* args : {
             "bonus-tax --company 1000 --month 2002 --run 2",
             "bonus-tax --company 1000 --month 200213 --run 2",
             "bonus-tax --company 1000 --month 200206 --run 0",
             "bonus-tax --company 1000 --month 200206",
             "bonus-tax --company 1000000 --month 200206 --run 2",
             "bonus-tax --company 1000 --month 200206 --run 2 --kind x",
             "bonus-tax --company 1000 --month 200206 --run 2 --kind 5",
             "bonus-tax --company 1000 --month 200206 --run 2 --kind 99",
             "bonus-tax --company 1000 --month 200206 --run 2 --employee ''",
         }) {
        HostRun r = Cli(args);
        EXPECT_EQ(r.exit_code, 2) << args << "\n" << r.err;
        EXPECT_TRUE(r.out.empty()) << args;
    }
    EXPECT_EQ(BonusRows(), "0");
}

}  // namespace
