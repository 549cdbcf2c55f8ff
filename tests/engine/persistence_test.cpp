// Result persistence: the summary row and the fixed deduction rows an
// employee's result leaves behind in each mode, the reloads, and what a
// failing write leaves in place.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "payroll/diagnostics.h"
#include "payroll/host.h"
#include "payroll/salary_calcurate.h"
#include "platform/db/connection.h"
#include "platform/lang/lang_util.h"
#include "tests/engine/tax_road_fixture.h"

namespace {

using namespace payroll::testing;

// Employee E01 (type 001, department D01 of division DV1, project J01,
// PRTY_CD P1) in run 200203/1 of pay type 001, with the March window of
// type 001 in the window table.
class PersistenceTest : public TaxRoadTest {
  protected:
    void SetUp() override {
        TaxRoadTest::SetUp();
        SeedSettings();
        AddEmployee("E01", "D01", "J01", "001", "P1", "002");
        engine_.m_HPHONPD = Key("200203", "1", "001");
        engine_.m_nTableSet = 1;
        engine_.m_BHHAFF.Allocate(1);
        payroll::BHHAFF_FMT* w = engine_.m_BHHAFF.at(0);
        w->HTYP_CD = "001";
        w->BNST_DT = "20020201";
        w->BNED_DT = "20020228";
        std::memset(&engine_.m_HPOMNPY, 0, sizeof engine_.m_HPOMNPY);
        engine_.m_HPOMNPY.TPAY_AM = 2000000;
        engine_.m_HPOMNPY.SALY_AM = 2000000;
        engine_.m_HPOMNPY.INTX_AM = 12340;
        engine_.m_HPOMNPY.RSTX_AM = 55;
        engine_.m_HPOMNPY.HIFE_AM = 11;  // the persistence step zeroes these three
        engine_.m_HPOMNPY.NAPE_AM = 12;
        engine_.m_HPOMNPY.DDCT_AM = 13;
    }

    int SummaryRows() { return std::stoi(Scalar("SELECT COUNT(*) FROM HPOMNPY")); }

    CSalaryCalcurate engine_;
};

TEST_F(PersistenceTest, ModeOneUpdatesTheStoredRowAndZeroesTheStatutoryDeductions) {
    AddSummary("200203", 1, "001", "E01", 9);
    AddMarchDeductions(5);
    Record();
    EXPECT_EQ(engine_.AppendData("E01", 1, "ignored"), 1);
    EXPECT_TRUE(Messages().empty());

    // The update: the record's amounts, S30 reloaded into RTTF_AM, T00/T10
    // not reloaded (the computed tax and the record's RSTX_AM stay), the
    // three statutory amounts 0; the organisation codes are not touched.
    std::vector<std::string> updates = SentWith("UPDATE HPOMNPY");
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_EQ(updates[0],
              "UPDATE HPOMNPY SET TPAY_AM=2000000.0000, TBON_AM=0.0000, SALY_AM=2000000.0000, "
              "BONUS_AM=0.0000, \nFGTE_AM=0.0000, EWTE_AM=0.0000, AITE_AM=0.0000, "
              "ETTE_AM=0.0000,  FEDD_AM=0.0000, TXST_AM=0.0000, CCTX_AM=0.0000, PFND_AM=0.0000,  "
              "\nDEXT_AM=0.0000, SPIC_AM=0.0000, AGTX_AM=0.0000, INTX_AM=12340.0000,  "
              "RSTX_AM=55.0000, RTTF_AM=7000.0000, ACBN_AM=0.0000, HIFE_AM=0.0000,  "
              "\nNAPE_AM=0.0000, DDCT_AM=0.0000, ETIN_AM=0.0000, EXCL_YN=000    \nWHERE   "
              "CO_CD='1000' AND EMP_CD='E01' AND RVRS_YM='200203' AND SQ=1 AND PYTP_FG='001' \n");
    EXPECT_EQ(SummaryRows(), 1);
    EXPECT_EQ(Scalar("SELECT DIV_CD FROM HPOMNPY"), "OLD");
    EXPECT_EQ(Stored("E01", "200203", "EXCL_YN"), 0);

    // S00, S10 and S20 are set to 0 and T00 to the tax with the window; the
    // other codes are left alone. One text, each statement on its own line.
    EXPECT_EQ(DeductionRow("E01", "200203", "S00"), "0.0000| ");
    EXPECT_EQ(DeductionRow("E01", "200203", "S10"), "0.0000| ");
    EXPECT_EQ(DeductionRow("E01", "200203", "S20"), "0.0000| ");
    EXPECT_EQ(DeductionRow("E01", "200203", "T00"), "12340.0000|2002020120020228");
    EXPECT_EQ(DeductionRow("E01", "200203", "S30"), "7000.0000|old");
    EXPECT_EQ(DeductionRow("E01", "200203", "T10"), "100.0000|old");
    EXPECT_EQ(DeductionRow("E01", "200203", "R01"), "5.0000|old");
    const std::string w =
        "CO_CD='1000' AND EMP_CD='E01' AND RVRS_YM='200203' AND PYTP_FG='001' AND SQ=1  AND "
        "SUBSTRING(ddct_cd, 1,1) <> 'R'";
    std::vector<std::string> batches = SentWith("UPDATE HPOMPDD");
    ASSERT_EQ(batches.size(), 1u);
    EXPECT_EQ(
        batches[0],
        "UPDATE HPOMPDD  SET DDCT_AM='0.0000', DUMMY1=' ' WHERE " + w +
            " and DDCT_CD='S00' \nUPDATE HPOMPDD  SET DDCT_AM='0.0000', DUMMY1=' ' WHERE " + w +
            " and DDCT_CD='S10' \nUPDATE HPOMPDD  SET DDCT_AM='0.0000', DUMMY1=' ' WHERE " + w +
            " and DDCT_CD='S20' \nUPDATE HPOMPDD  SET DDCT_AM='12340.0000', "
            "DUMMY1='2002020120020228' WHERE " +
            w + " and DDCT_CD='T00' \n");
    EXPECT_EQ(SentWith("Select DDCT_CD,  CONVERT(varchar(40), DDCT_CD) RMK_DC from HPOMPDD  "
                       "where " +
                       w)
                  .size(),
              2u);  // counted, then read whole
}

TEST_F(PersistenceTest, ModeOneWithoutStoredRowsInsertsTheSummaryOnly) {
    // Only an R deduction: no row of a fixed code, so no T00 row either.
    AddDeduction("200203", 1, "001", "E01", "R01", 5);
    for (int mode : {1, 11}) {
        EXPECT_EQ(engine_.AppendData("E01", mode, ""), 1) << mode;
        EXPECT_EQ(SummaryRows(), 1) << mode;
        EXPECT_EQ(Rows("SELECT DIV_CD, DEPT_CD, PJT_CD, HTYP_CD, HRSP_CD, HCLS_CD, HOPR_CD, "
                       "PYSP_FG, PRTY_CD, PYTP_FG FROM HPOMNPY")[0],
                  "DV1|D01|J01|001|R1|C1|O1|001|P1|001");
        EXPECT_EQ(Stored("E01", "200203", "TPAY_AM"), 2000000);
        EXPECT_EQ(Stored("E01", "200203", "HIFE_AM"), 0);
        EXPECT_EQ(Stored("E01", "200203", "INTX_AM"), 12340);
        EXPECT_EQ(DeductionRow("E01", "200203", "T00"), "") << mode;
    }
}

TEST_F(PersistenceTest, MissingIncomeTaxRowIsInsertedIntoTheTableSetsDeductionTable) {
    struct Case {
        int set;
        const char* table;
        const char* dummy1;
    } cases[] = {
        {0, "HPITMDD", " "},
        {1, "HPOMPDD", "2002020120020228"},  // only table set 1 carries the window
        {2, "HTOWTDR", " "},
    };
    for (const Case& c : cases) {
        engine_.m_nTableSet = c.set;
        AddDeduction("200203", 1, "001", "E01", "S00", 500, "DV1", "D01", "P1", c.table);
        EXPECT_EQ(engine_.AppendData("E01", 1, ""), 1);
        EXPECT_EQ(DeductionRow("E01", "200203", "S00", c.table), "0.0000| ") << c.table;
        EXPECT_EQ(DeductionRow("E01", "200203", "T00", c.table),
                  std::string("12340.0000|") + c.dummy1)
            << c.table;
        EXPECT_EQ(Rows(std::string("SELECT DIV_CD, DEPT_CD, PJT_CD, SQ, PYTP_FG, PYDD_FG FROM ") +
                       c.table + " WHERE DDCT_CD='T00'")[0],
                  "DV1|D01|J01|1|001|P3")
            << c.table;
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PersistenceTest, ModeTwoReloadsThePayTotalsAndEveryDeduction) {
    AddSummary("200203", 1, "001", "E01", 9);
    AddMarchDeductions(5);
    Exec("UPDATE HPOMNPY SET TPAY_AM=1500, INTX_AM=4444, AGTX_AM=33");
    EXPECT_EQ(engine_.AppendData("E01", 2, ""), 1);
    // The record was cleared: the pay totals come from the stored row, the
    // taxes only from the deduction rows (T00, T10, S30; no T20 row).
    EXPECT_EQ(Stored("E01", "200203", "TPAY_AM"), 1500);
    EXPECT_EQ(Stored("E01", "200203", "SALY_AM"), 9);
    EXPECT_EQ(Stored("E01", "200203", "ETIN_AM"), 9);
    EXPECT_EQ(Stored("E01", "200203", "INTX_AM"), 1000);
    EXPECT_EQ(Stored("E01", "200203", "RSTX_AM"), 100);
    EXPECT_EQ(Stored("E01", "200203", "RTTF_AM"), 7000);
    EXPECT_EQ(Stored("E01", "200203", "AGTX_AM"), 0);
    EXPECT_EQ(Stored("E01", "200203", "HIFE_AM"), 0);
    EXPECT_EQ(Stored("E01", "200203", "EXCL_YN"), 1);
    EXPECT_EQ(DeductionRow("E01", "200203", "T00"), "1000.0000|2002020120020228");
}

TEST_F(PersistenceTest, ModesThreeAndFourReplaceWithTheStoredTaxes) {
    Record();
    for (int mode : {3, 4}) {
        Exec("DELETE FROM HPOMNPY");
        Exec("DELETE FROM HPOMPDD");
        AddSummary("200203", 1, "001", "E01", 9);
        Exec("UPDATE HPOMNPY SET INTX_AM=321, RSTX_AM=32");
        AddDeduction("200203", 1, "001", "E01", "S00", 50000, "DV7", "", "P7");
        AddDeduction("200203", 1, "001", "E01", "T00", 1000);
        sent_.clear();
        EXPECT_EQ(engine_.AppendData("E01", mode, ""), 1);
        // Always the replace, even though the row exists.
        EXPECT_EQ(SentWith("UPDATE HPOMNPY").size(), 0u) << mode;
        EXPECT_EQ(SentWith("DELETE FROM HPOMNPY").size(), 1u) << mode;
        EXPECT_EQ(SummaryRows(), 1) << mode;
        // Income tax from the summary, then from the T00 row; resident tax
        // from the summary (no T10 row). Statutory amounts are kept.
        EXPECT_EQ(Stored("E01", "200203", "INTX_AM"), 1000) << mode;
        EXPECT_EQ(Stored("E01", "200203", "RSTX_AM"), 32) << mode;
        EXPECT_EQ(Stored("E01", "200203", "TXST_AM"), 9) << mode;
        EXPECT_EQ(Stored("E01", "200203", "TPAY_AM"), 2000000) << mode;  // kind 0: not reloaded
        EXPECT_EQ(Stored("E01", "200203", "HIFE_AM"), 50000) << mode;
        EXPECT_EQ(Stored("E01", "200203", "EXCL_YN"), 1) << mode;
        // The deduction rows' organisation replaces the master's where given.
        EXPECT_EQ(Rows("SELECT DIV_CD, DEPT_CD, PRTY_CD FROM HPOMNPY")[0], "DV7|D01|P7") << mode;
        EXPECT_EQ(DeductionRow("E01", "200203", "S00"), "50000.0000| ") << mode;
        EXPECT_EQ(DeductionRow("E01", "200203", "T00"), "1000.0000|2002020120020228") << mode;
    }
}

TEST_F(PersistenceTest, CombinedRunReplacesTheRowsOfEveryPayType) {
    AddSummary("200203", 1, "001", "E01", 9);
    AddSummary("200203", 1, "002", "E01", 9);
    AddSummary("200203", 2, "001", "E01", 9);  // another run: untouched
    engine_.m_HPHONPD = Key("200203", "1", "002", "001");
    engine_.m_HPHONPD.PYTP_HEAD = "001";
    Record();
    EXPECT_EQ(engine_.AppendData("E01", 3, ""), 1);
    std::vector<std::string> replace = SentWith("DELETE FROM HPOMNPY");
    ASSERT_EQ(replace.size(), 1u);
    EXPECT_EQ(replace[0].rfind("DELETE FROM HPOMNPY WHERE   CO_CD='1000' AND EMP_CD='E01' AND "
                               "RVRS_YM='200203' AND SQ=1" +
                                   std::string(6, ' ') + "INSERT INTO HPOMNPY(",
                               0),
              0u);
    EXPECT_EQ(Rows("SELECT SQ, PYTP_FG, DIV_CD FROM HPOMNPY ORDER BY SQ, PYTP_FG"),
              (std::vector<std::string>{"1|001|DV1", "2|001|OLD"}));
    // The reload of the stored deductions has no pay-type condition either.
    ASSERT_EQ(SentWith("FROM HPOMPDD WHERE CO_CD").size(), 1u);
    EXPECT_EQ(SentWith("FROM HPOMPDD WHERE CO_CD")[0],
              "SELECT DDCT_CD, DDCT_AM, DIV_CD, DEPT_CD,PRTY_CD  FROM HPOMPDD WHERE CO_CD='1000' "
              "AND EMP_CD='E01' AND RVRS_YM='200203' AND SQ=1 AND PYDD_FG='P3'" +
                  std::string(5, ' '));
}

TEST_F(PersistenceTest, FiltersAndQuotesReachTheStatementsEscaped) {
    Exec(
        "INSERT INTO SEMP (CO_CD, EMP_CD, DEPT_CD, HTYP_CD, PRTY_CD) VALUES "
        "('1000','O''K','D01','001','P''1')");
    AddSummary("200203", 1, "001", "O''K", 9);
    Exec("UPDATE HPOMNPY SET DIV_CD='DV1', DEPT_CD='D01', PRTY_CD='P''1'");
    engine_.m_HPHONPD.DIV_FILTER = "DV1";
    engine_.m_HPHONPD.DEPT_FILTER = "D01";
    engine_.m_HPHONPD.PRTY_FILTER = "P'1";
    Record();
    EXPECT_EQ(engine_.AppendData("O'K", 3, ""), 1);
    const std::string filters =
        "and PYTP_FG='001'  and DIV_CD='DV1'   and DEPT_CD='D01'   and PRTY_CD='P''1'   ";
    ASSERT_EQ(SentWith("FROM HPOMPDD WHERE CO_CD").size(), 1u);
    EXPECT_EQ(SentWith("FROM HPOMPDD WHERE CO_CD")[0],
              "SELECT DDCT_CD, DDCT_AM, DIV_CD, DEPT_CD,PRTY_CD  FROM HPOMPDD WHERE CO_CD='1000' "
              "AND EMP_CD='O''K' AND RVRS_YM='200203' AND SQ=1 AND PYDD_FG='P3' " +
                  filters);
    ASSERT_EQ(SentWith("DELETE FROM HPOMNPY").size(), 1u);
    EXPECT_NE(SentWith("DELETE FROM HPOMNPY")[0].find("SQ=1  " + filters + "INSERT INTO"),
              std::string::npos);
    EXPECT_EQ(Rows("SELECT EMP_CD, DIV_CD, PRTY_CD FROM HPOMNPY"),
              (std::vector<std::string>{"O'K|DV1|P'1"}));
}

TEST_F(PersistenceTest, FailingSummaryInsertKeepsTheOldRow) {
    AddSummary("200203", 1, "001", "E01", 9);
    AddMarchDeductions(5);
    ASSERT_NO_FATAL_FAILURE(Refuse("HPOMNPY", "INSERT", "", "summary refused"));
    const std::vector<std::string> before = Dump();

    // Outside a transaction and inside one (as the year driver runs it): the
    // DELETE of the same text is undone with the failed INSERT.
    for (bool inTransaction : {false, true}) {
        G_DataSource tx;
        if (inTransaction) {
            ASSERT_TRUE(tx.OnBeginTrans());
        }
        EXPECT_EQ(engine_.AppendData("E01", 3, ""), 0);
        ASSERT_FALSE(Messages().empty());
        EXPECT_EQ(Messages().back(), "sum save error");
        EXPECT_EQ(payroll::LastEngineFailure().step, "sum save error");
        EXPECT_NE(payroll::LastEngineFailure().detail.find("summary refused"), std::string::npos);
        if (inTransaction) {
            // The transaction is still open and can go on and commit.
            Exec("UPDATE SEMP SET KOR_NM='x' WHERE EMP_CD='E01'");
            EXPECT_TRUE(tx.OnCommitTrans());
            EXPECT_EQ(payroll::LastTransactionOutcome(), payroll::TransactionOutcome::kCommitted);
        }
        // Neither the summary row nor any deduction row changed.
        EXPECT_EQ(Dump(), before) << inTransaction;
    }
}

TEST_F(PersistenceTest, FailingDeductionBatchChangesNoDeductionRow) {
    AddSummary("200203", 1, "001", "E01", 9);
    AddMarchDeductions(5);
    ASSERT_NO_FATAL_FAILURE(Refuse("HPOMPDD", "UPDATE", "NEW.DDCT_CD='S20'", "deduction refused"));
    EXPECT_EQ(engine_.AppendData("E01", 1, ""), 1);  // the summary was written
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "all_save error");
    EXPECT_EQ(Stored("E01", "200203", "INTX_AM"), 12340);
    // S00 and S10 stand before S20 in the batch: they are not half written.
    EXPECT_EQ(DeductionRow("E01", "200203", "S00"), "50000.0000|old");
    EXPECT_EQ(DeductionRow("E01", "200203", "S10"), "40000.0000|old");
    EXPECT_EQ(DeductionRow("E01", "200203", "T00"), "1000.0000|old");
}

TEST_F(PersistenceTest, ReloadOfTheStoredSummaryByKind) {
    AddSummary("200203", 1, "001", "E01", 0);
    Exec(
        "UPDATE HPOMNPY SET TPAY_AM=1, TBON_AM=2, SALY_AM=3, BONUS_AM=4, FGTE_AM=5, EWTE_AM=6, "
        "AITE_AM=7, ETTE_AM=8, FEDD_AM=9, TXST_AM=10, CCTX_AM=11, PFND_AM=12, DEXT_AM=13, "
        "SPIC_AM=14, AGTX_AM=15, INTX_AM=16, RSTX_AM=17, RTTF_AM=18, ACBN_AM=19, HIFE_AM=20, "
        "NAPE_AM=21, DDCT_AM=22, ETIN_AM=23, EXCL_YN=5");
    // Which of the 23 amounts each kind loads, by position in the record.
    struct Case {
        int kind;
        std::vector<int> loaded;
    } cases[] = {
        {2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 19, 23}},
        {0, {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 23}},
        {1, {}},
    };
    for (const Case& c : cases) {
        HPOMNPY_FMT& r = engine_.m_HPOMNPY;
        for (auto field : kAmountFields) r.*field = -1;
        r.EXCL_YN = -1;
        EXPECT_EQ(engine_.Get_NO_FIXED_CODE("E01", "001", c.kind), 1);
        for (int i = 0; i < 23; ++i) {
            bool loaded = std::find(c.loaded.begin(), c.loaded.end(), i + 1) != c.loaded.end();
            EXPECT_EQ(r.*kAmountFields[i], loaded ? i + 1 : -1)
                << "kind " << c.kind << " field " << i;
        }
        EXPECT_EQ(r.EXCL_YN, 5) << c.kind;
    }
    // No stored row: nothing loaded, still 1; an incomplete key: 0.
    engine_.m_HPOMNPY.INTX_AM = -1;
    EXPECT_EQ(engine_.Get_NO_FIXED_CODE("E02", "001", 0), 1);
    EXPECT_EQ(engine_.m_HPOMNPY.INTX_AM, -1);
    G_DataSource rows;
    EXPECT_EQ(engine_.OpenHPOMNPY(&rows, "E01", "001"), 1);
    EXPECT_EQ(rows.OnGetFieldValue("PYSP_FG", 0), "OLD");
    EXPECT_EQ(engine_.OpenHPOMNPY(nullptr, "E01", "001"), 0);
    engine_.m_HPHONPD.SQ = "x";
    EXPECT_EQ(engine_.Get_NO_FIXED_CODE("E01", "001", 0), 0);
    EXPECT_EQ(engine_.OpenHPOMNPY(&rows, "E01", "001"), 0);
    EXPECT_EQ(engine_.AppendData("E01", 1, ""), 0);
    EXPECT_EQ(engine_.OldDataPayLoad(1, "a", "b"), "");
}

TEST_F(PersistenceTest, ReloadOfTheStoredDeductions) {
    AddDeduction("200203", 1, "001", "E01", "S00", 10, "", "DX", "");
    AddDeduction("200203", 1, "001", "E01", "S00", 20, "DV5", "", "");  // the last one wins
    AddDeduction("200203", 1, "001", "E01", "T00", 30);
    AddDeduction("200203", 1, "001", "E01", "T10", 40);
    AddDeduction("200203", 1, "001", "E01", "T20", 50);
    AddDeduction("200203", 1, "001", "E01", "X99", 60, "", "", "PZ");  // codes only
    AddDeduction("200203", 1, "002", "E01", "S10", 70);                // other pay type
    ASSERT_EQ(engine_.OpenSEMP("E01"), 1);
    for (int mode : {1, 11, 2}) {
        HPOMNPY_FMT r{};
        r.INTX_AM = -1;
        r.RSTX_AM = -1;
        engine_.GetHPOMDDdata("E01", &r, mode);
        EXPECT_EQ(r.HIFE_AM, 20) << mode;
        EXPECT_EQ(r.NAPE_AM, 0) << mode;
        EXPECT_EQ(r.AGTX_AM, 50) << mode;
        EXPECT_EQ(r.INTX_AM, mode == 2 ? 30 : -1) << mode;
        EXPECT_EQ(r.RSTX_AM, mode == 2 ? 40 : -1) << mode;
    }
    const SEMP_FMT* emp = engine_.m_SEMP_ALL.at(0);
    EXPECT_EQ(emp->CDIV_CD.Str(), "DV5");
    EXPECT_EQ(emp->DEPT_CD.Str(), "DX");
    EXPECT_EQ(emp->PRTY_CD.Str(), "PZ");

    // A whole read that fails (the count is the first text, the read the
    // second) leaves the record as it was.
    HPOMNPY_FMT r{};
    FailAt(2);
    engine_.GetHPOMDDdata("E01", &r, 2);
    EXPECT_EQ(r.HIFE_AM, 0);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], TheLangUtil().GetLangString(1005));
    engine_.GetHPOMDDdata("E01", nullptr, 2);  // no record: nothing to do
}

}  // namespace
