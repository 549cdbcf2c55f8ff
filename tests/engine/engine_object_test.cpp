#include <gtest/gtest.h>

#include <string>

#include "engine/common/run_key.h"
#include "payroll/salary_calcurate.h"
#include "platform/db/connection.h"
#include "support/engine_fixture.h"
#include "support/run_key_builder.h"

namespace {

using payroll::testing::DatabaseFixture;
using payroll::testing::ScopedRegistry;

void FillKey(HPHONPD_YMD_FMT* k) {
    *k = payroll::testing::RunKeyBuilder::Monthly("1000", "200203", "1", "001")
             .DivFilter("ALL")
             .Build();
}

class EngineObjectTest : public DatabaseFixture {
  protected:
    ScopedRegistry registry_{""};
    CSalaryCalcurate engine_;
};

TEST_F(EngineObjectTest, RunKeyCheck) {
    CString fields[20];
    FillKey(&engine_.m_HPHONPD);
    EXPECT_EQ(engine_.GetNOTNULLField(fields), 1);
    EXPECT_EQ(fields[0], "1000");
    EXPECT_EQ(fields[2], "1");
    EXPECT_EQ(fields[5], "ALL");

    struct Case {
        const char* what;
        void (*spoil)(HPHONPD_YMD_FMT*);
    } cases[] = {
        {"month of five characters", [](HPHONPD_YMD_FMT* k) { k->RVRS_YM = "20023"; }},
        {"month of seven characters", [](HPHONPD_YMD_FMT* k) { k->RVRS_YM = "2002031"; }},
        {"empty pay date", [](HPHONPD_YMD_FMT* k) { k->PAY_DT = ""; }},
        {"empty company", [](HPHONPD_YMD_FMT* k) { k->CO_CD = ""; }},
        {"empty pay type", [](HPHONPD_YMD_FMT* k) { k->PYTP_FG = ""; }},
        {"empty division filter", [](HPHONPD_YMD_FMT* k) { k->DIV_FILTER = ""; }},
        {"sequence that is no number", [](HPHONPD_YMD_FMT* k) { k->SQ = "1 OR 1"; }},
        {"empty sequence", [](HPHONPD_YMD_FMT* k) { k->SQ = ""; }},
    };
    for (const Case& c : cases) {
        FillKey(&engine_.m_HPHONPD);
        c.spoil(&engine_.m_HPHONPD);
        EXPECT_EQ(engine_.GetNOTNULLField(fields), 0) << c.what;
    }
    // A null array is only checked, never written.
    FillKey(&engine_.m_HPHONPD);
    EXPECT_EQ(engine_.GetNOTNULLField(nullptr), 1);
}

TEST_F(EngineObjectTest, RunKeyFieldsAreTheCheckedSlotsByName) {
    FillKey(&engine_.m_HPHONPD);
    engine_.m_HPHONPD.PYTP_LIST = "001,200";
    engine_.m_HPHONPD.DEPT_FILTER = "D10";
    engine_.m_HPHONPD.PRTY_FILTER = "P20";
    const char* expected[11] = {"1000", "200203", "1",       "001", "20020325", "ALL",
                                "002",  "001",    "001,200", "D10", "P20"};
    CString slots[20];
    ASSERT_EQ(engine_.GetNOTNULLField(slots), 1);
    const auto key = payroll::run_key::Checked(engine_.m_HPHONPD);
    ASSERT_NE(key, nullptr);
    const CString* named[11] = {
        &key->company,           &key->month,           &key->sq,
        &key->pay_type,          &key->pay_date,        &key->division_filter,
        &key->combined,          &key->pay_head,        &key->pay_type_list,
        &key->department_filter, &key->job_group_filter};
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(slots[i], expected[i]) << "slot " << i;
        EXPECT_EQ(*named[i], expected[i]) << "slot " << i;
    }

    // Fields already handed out stay as they were when another key is checked.
    engine_.m_HPHONPD.PYTP_FG = "200";
    EXPECT_EQ(payroll::run_key::Checked(engine_.m_HPHONPD)->pay_type, "200");
    EXPECT_EQ(key->pay_type, "001");

    // An incomplete key gives no fields; read unchecked, it is as it came.
    engine_.m_HPHONPD.SQ = "1a";
    EXPECT_EQ(payroll::run_key::Checked(engine_.m_HPHONPD), nullptr);
    EXPECT_EQ(engine_.GetNOTNULLField(nullptr), 0);
    EXPECT_EQ(payroll::run_key::Read(engine_.m_HPHONPD).sq, "1a");
}

TEST_F(EngineObjectTest, TraceCutsLongTextsAndShowsOnlyWhenAsked) {
    engine_.DspTRACE(CString(std::string(401, 'x')), "T", 1);
    // Three pieces; the last one (one character) stays.
    EXPECT_EQ(engine_.m_strTrace, "--[select T ]--- x\n");
    EXPECT_TRUE(Messages().empty());

    engine_.m_strTrace = "before";
    engine_.DspTRACE("", "QueryOpen error", 0);
    EXPECT_EQ(engine_.m_strTrace, "before");  // short texts are not formatted
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "QueryOpen error");

    // Percent signs in the text or the title are data, never a format.
    engine_.DspTRACE(CString(std::string(300, '%')) + "%n%s", "%s%n", 1);
    EXPECT_EQ(engine_.m_strTrace.Left(17), "--[select %s%n ]-");
}

TEST_F(EngineObjectTest, QueryHelpers) {
    Exec("INSERT INTO SDIV (CO_CD, DIV_CD) VALUES ('1000','D1')");
    Exec("INSERT INTO SDIV (CO_CD, DIV_CD) VALUES ('1000','D2')");
    G_DataSource ds;
    EXPECT_EQ(engine_.QueryOpen(&ds, "SELECT DIV_CD FROM SDIV ORDER BY DIV_CD"), 2);
    EXPECT_EQ(engine_.GetSearchField(&ds, "DIV_CD", "D2"), 1);
    EXPECT_LT(engine_.GetSearchField(&ds, "DIV_CD", "D3"), 0);
    EXPECT_EQ(engine_.QueryOpen(&ds, "SELECT * FROM NO_SUCH_TABLE"), 0);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "QueryOpen error");
    EXPECT_EQ(engine_.QueryOpen(nullptr, "SELECT 1"), 0);

    char buffer[2 * 5 * 2] = {};
    int rows = 2;
    EXPECT_EQ(engine_.OpenFile_Whole(&ds, "SELECT DIV_CD, CO_CD FROM SDIV ORDER BY DIV_CD", buffer,
                                     &rows, {5, 5}),
              1);
    EXPECT_STREQ(buffer + 10, "D2");
    rows = 3;  // more than the query gives
    EXPECT_EQ(engine_.OpenFile_Whole(&ds, "SELECT DIV_CD, CO_CD FROM SDIV", buffer, &rows, {5, 5}),
              0);
}

TEST_F(EngineObjectTest, WholeReadOfNoRowsNeedsNoDatabase) {
    payroll::CloseDatabase();
    int rows = 0;
    EXPECT_EQ(engine_.OpenFile_Whole(nullptr, "SELECT nonsense", nullptr, &rows, {1}), 1);
    EXPECT_EQ(engine_.OpenFile_Whole(nullptr, "SELECT nonsense", nullptr, nullptr, {1}), 0);
}

TEST_F(EngineObjectTest, FreeingTwiceIsHarmless) {
    engine_.m_HPFSTIA.Allocate(3);
    engine_.m_DFM_LIST[1].Allocate(2);
    engine_.m_PAY_LIST[0].Allocate(2);
    for (int round = 0; round < 2; ++round) {
        engine_.FreeBuffer();
        engine_.FreeBuffer_DFM_LIST(1);
        engine_.FreeBuffer_PAY_LIST(0);
        engine_.FreeBuffer_DFM_LIST(7);  // no such place
        engine_.FreeBuffer_PYTP_FG();
        engine_.Free_m_BHHAFF();
    }
    EXPECT_FALSE(engine_.m_HPFSTIA.allocated());
    EXPECT_EQ(engine_.m_HPFSTIA.data(), nullptr);
    EXPECT_FALSE(engine_.m_DFM_LIST[1].allocated());
}

TEST_F(EngineObjectTest, ConstructionState) {
    EXPECT_EQ(engine_.m_nDaysOfMonth[0], 0);
    EXPECT_EQ(engine_.m_nDaysOfMonth[2], 28);
    EXPECT_EQ(engine_.m_nDaysOfMonth[12], 31);
    EXPECT_EQ(engine_.m_strTable[3], "HPOMPDD ");
    EXPECT_EQ(engine_.m_strTable[6], "");
    // Five employee records (1290 bytes) are there before any load.
    EXPECT_EQ(engine_.m_SEMP_ALL.capacity() * sizeof(SEMP_FMT), 1290u);
    // No registry: LangKind and VerKind both 0, so the main name columns.
    EXPECT_EQ(engine_.m_bLangDefault, 1);
    EXPECT_EQ(engine_.SearchString("100", "100,200"), "2");
    EXPECT_EQ(engine_.SearchString("200", ""), "2");
    EXPECT_EQ(engine_.SearchString("100", "100,300"), "1");
    EXPECT_EQ(engine_.SearchString("", ""), "");
}

TEST(EngineRegistryTest, LanguageKindsDecideTheNameColumns) {
    {
        ScopedRegistry registry(
            "[HKEY_LOCAL_MACHINE\\Software\\Orvantis]\n\"RunApp\"=\"Pay\"\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Orvantis\\Pay]\n\"LangKind\"=dword:00000001\n"
            "\"VerKind\"=dword:00000002\n");
        CSalaryCalcurate engine;
        EXPECT_EQ(engine.m_bLangDefault, 0);
    }
    {
        ScopedRegistry registry("garbage \x01\x02 [[[ \"\n=====\n");
        CSalaryCalcurate engine;
        EXPECT_EQ(engine.m_bLangDefault, 1);
    }
}

}  // namespace
