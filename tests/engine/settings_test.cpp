#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/common/row_counts.h"
#include "payroll/salary_calcurate.h"
#include "platform/db/connection.h"
#include "platform/lang/lang_util.h"
#include "support/company_builder.h"
#include "support/engine_fixture.h"
#include "support/run_key_builder.h"

namespace {

using namespace payroll::testing;

class SettingsTest : public DatabaseFixture {
  protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        key_ = RunKeyBuilder::Monthly("1000", "200203", "1", "001")
                   .PayList("001")
                   .AllFilters()
                   .Build();
    }
    static std::string Lang(int id) { return TheLangUtil().GetLangString(id).str(); }

    ScopedRegistry registry_{""};
    CSalaryCalcurate engine_;
    HPHONPD_YMD_FMT key_;
};

TEST_F(SettingsTest, RuleFlagsFollowTheKey) {
    SeedCompanySettings();
    struct Case {
        const char *payType, *combined, *retireRule, *joinRule;
        int retireStrict, joinStrict;
    } cases[] = {
        {"201", "002", "000", "000", 1, 1},
        {"201", "001", "000", "001", 0, 0},  // combined runs keep the loose test
        {"101", "002", "000", "", 0, 0},     // not a bonus pay type
        {"201", "002", "001", "000", 0, 1},  // another retire-month rule
        {"2", "002", "000", "000", 0, 1},    // a short pay type shifts the codes
    };
    for (const Case& c : cases) {
        key_.PYTP_FG = c.payType;
        key_.CCIS_YN = c.combined;
        key_.RTCM_FG = c.retireRule;
        key_.JNCM_FG = c.joinRule;
        ASSERT_EQ(engine_.init(&key_), 1) << c.payType << c.combined << c.retireRule;
        EXPECT_EQ(engine_.m_nRetireStrict, c.retireStrict)
            << c.payType << c.combined << c.retireRule;
        EXPECT_EQ(engine_.m_nJoinStrict, c.joinStrict) << c.joinRule;
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(SettingsTest, EmptyFiltersBecomeAllAndTheKeyIsMadeWhole) {
    SeedCompanySettings();
    key_.DIV_FILTER = "";
    key_.DEPT_FILTER = "D01";
    key_.PRTY_FILTER = "";
    // A host that filled a field to its last byte without a terminator.
    std::memset(key_.NM2.data, 'x', sizeof key_.NM2.data);
    ASSERT_EQ(engine_.init(&key_), 1);
    EXPECT_EQ(engine_.m_HPHONPD.DIV_FILTER.View(), "ALL");
    EXPECT_EQ(engine_.m_HPHONPD.DEPT_FILTER.View(), "D01");
    EXPECT_EQ(engine_.m_HPHONPD.PRTY_FILTER.View(), "ALL");
    EXPECT_EQ(engine_.m_HPHONPD.NM2.View().size(), sizeof key_.NM2.data - 1);
    EXPECT_EQ(engine_.m_HPHONPD.CO_CD.View(), "1000");
    EXPECT_EQ(engine_.init(nullptr), 0);
}

TEST_F(SettingsTest, AYearWithoutRateTablesLoadsEmpty) {
    SeedCompanySettings();
    SeedLimit("1000", "001", "2400000");
    ASSERT_EQ(engine_.init(&key_), 1);
    EXPECT_EQ(engine_.m_nRowCount[payroll::engine::kSettingsRows], 1);
    EXPECT_EQ(engine_.m_nRowCount[payroll::engine::kTaxBracketRows], 0);
    EXPECT_EQ(engine_.m_nRowCount[payroll::engine::kBonusParameterRows], 0);
    EXPECT_EQ(engine_.m_nRowCount[payroll::engine::kLimitCodeRows], 2);
    // The bracket table is there but empty, and no parameter row is held.
    EXPECT_TRUE(engine_.m_HPFSTIA.allocated());
    EXPECT_TRUE(engine_.m_HPFSTIA.at(0)->TXSS_AM.IsEmpty());
    EXPECT_EQ(engine_.m_dsBonus.OnGetRecordCount(), 0);
    EXPECT_EQ(engine_.m_dsBonus.OnGetFieldValue("BSHD_AM", 0), "");
    // The settings row stays open.
    EXPECT_EQ(engine_.m_dsDefault.OnGetFieldValue("JNCM_FG", 0), "000");
    EXPECT_DOUBLE_EQ(engine_.GetArrayCode_Pay("001", 1), 2400000);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(SettingsTest, RateTablesOfTheYearAreLoaded) {
    SeedCompanySettings();
    SeedExec(
        "INSERT INTO HPFSTIA (CO_CD, RVRS_YY, SQ, TXSS_AM, TXSE_AM, AJMT_AM) VALUES "
        "('0000','2002',1,0,770000,10000), ('0000','2002',2,770000,0,20000), "
        "('0000','2001',1,5,6,7)");
    SeedExec(
        "INSERT INTO HPMLBEC (CO_CD, RVRS_YY, STSD_AM, BSHD_AM, OSMD_AM, RSTX_RT) VALUES "
        "('0000','2002',600000,1000000,500000,0.1), ('0000','2001',1,2,3,4)");
    ASSERT_EQ(engine_.init(&key_), 1);
    ASSERT_EQ(engine_.m_nRowCount[payroll::engine::kTaxBracketRows], 2);
    EXPECT_EQ(engine_.m_nRowCount[payroll::engine::kBonusParameterRows], 1);
    double upper[2] = {std::atof(engine_.m_HPFSTIA.at(0)->TXSE_AM.c_str()),
                       std::atof(engine_.m_HPFSTIA.at(1)->TXSE_AM.c_str())};
    // Both brackets of the year, whatever order they came in.
    EXPECT_DOUBLE_EQ(upper[0] + upper[1], 770000);
    EXPECT_DOUBLE_EQ(std::atof(engine_.m_HPFSTIA.at(1)->AJMT_AM.c_str()) +
                         std::atof(engine_.m_HPFSTIA.at(0)->AJMT_AM.c_str()),
                     30000);
    // The brackets sit where the bonus step reads them.
    const char* raw = reinterpret_cast<const char*>(engine_.m_HPFSTIA.data());
    EXPECT_DOUBLE_EQ(std::atof(raw + 30) + std::atof(raw + 68 + 30), 770000);
    EXPECT_TRUE(engine_.m_HPFSTIA.at(2)->TXSS_AM.IsEmpty());
    // The year's parameter row is held for the bonus step.
    ASSERT_EQ(engine_.m_dsBonus.OnGetRecordCount(), 1);
    EXPECT_DOUBLE_EQ(std::atof(engine_.m_dsBonus.OnGetFieldValue("BSHD_AM", 0).c_str()), 1000000);
    EXPECT_DOUBLE_EQ(std::atof(engine_.m_dsBonus.OnGetFieldValue("RSTX_RT", 0).c_str()), 0.1);

    // Binding to a year without rows forgets them.
    key_.RVRS_YM = "200303";
    ASSERT_EQ(engine_.init(&key_), 1);
    EXPECT_EQ(engine_.m_nRowCount[payroll::engine::kTaxBracketRows], 0);
    EXPECT_TRUE(engine_.m_HPFSTIA.at(0)->TXSE_AM.IsEmpty());
    EXPECT_EQ(engine_.m_dsBonus.OnGetRecordCount(), 0);
}

TEST_F(SettingsTest, LimitCodesAreReadByCode) {
    SeedCompanySettings();
    SeedLimit("1000", "003", "100000");
    SeedLimit("1000", "007", "1000000.5");
    SeedLimit("2000", "004", "77");  // another company
    ASSERT_EQ(engine_.init(&key_), 1);
    EXPECT_EQ(engine_.m_nRowCount[payroll::engine::kLimitCodeRows], 3);
    EXPECT_DOUBLE_EQ(engine_.GetArrayCode_Pay("003", 1), 100000);
    EXPECT_DOUBLE_EQ(engine_.GetArrayCode_Pay("007", 1), 1000000.5);
    EXPECT_DOUBLE_EQ(engine_.GetArrayCode_Pay("004", 1), 0);
    EXPECT_DOUBLE_EQ(engine_.GetArrayCode_Pay("003", 2), 0);  // only kind 1 looks
    EXPECT_DOUBLE_EQ(engine_.GetArrayCode_Pay("", 1), 0);
}

TEST_F(SettingsTest, MissingSettingsStopInitWithTheirMessages) {
    struct Case {
        const char* what;
        bool settingsRow, limitCode;
        int nameId;
    } cases[] = {
        {"no SHCFG row", false, true, 1010},
        {"no 'PC' code", true, false, 1013},
    };
    for (const Case& c : cases) {
        SeedExec("DELETE FROM SHCFG; DELETE FROM SCTRL_D");
        if (c.settingsRow) SeedExec("INSERT INTO SHCFG (CO_CD) VALUES ('1000')");
        if (c.limitCode) SeedLimit("1000", "001", "1");
        driver_.Clear();
        sent_.clear();
        Record();
        EXPECT_EQ(engine_.init(&key_), 0) << c.what;
        std::vector<CString> shown = Messages();
        ASSERT_EQ(shown.size(), 2u) << c.what;
        // The settings message names the table, then the load failure.
        EXPECT_NE(shown[0].str().find(Lang(c.nameId)), std::string::npos) << c.what;
        EXPECT_NE(shown[0].str(), Lang(c.nameId)) << c.what;
        EXPECT_EQ(shown[0], engine_.m_strTrace) << c.what;
        EXPECT_EQ(shown[1].str(), Lang(1009)) << c.what;
        // Nothing after the missing table is asked for: no item definitions.
        for (const std::string& text : sent_)
            EXPECT_EQ(text.find("HPMPDFM"), std::string::npos) << c.what;
    }
}

TEST_F(SettingsTest, ItemDefinitions) {
    SeedCompanySettings();
    SeedPayItem("1000", "2002", "001", "P00", "001", "");
    SeedPayItem("1000", "2002", "001", "P10", "002", "003");
    SeedPayItem("1000", "2002", "001", "P10", "001", "");  // a second definition: not used
    SeedPayItem("1000", "2002", "201", "V00", "001", "");  // another pay type
    SeedPayItem("1000", "2001", "001", "P20", "001", "");  // another year
    SeedExec(
        "INSERT INTO HPMPDFM (CO_CD, RVRS_YM, PYTP_FG, PYDD_FG, PYDD_CD, TAX_FG) VALUES "
        "('1000','2002','001','P3','T00','001')");  // a deduction item
    Record();
    ASSERT_EQ(engine_.init(&key_), 1);
    EXPECT_EQ(engine_.m_nRowCount[payroll::engine::kPayItemRows], 3);
    EXPECT_EQ(engine_.GetCode_INDEX("P00", 1), 0);
    int p10 = engine_.GetCode_INDEX("P10", 1);
    ASSERT_EQ(p10, 1);  // the first in result order
    EXPECT_EQ(engine_.m_HPMPDFM.at(1)->TXEX_FG.View(), "003");
    EXPECT_EQ(engine_.m_HPMPDFM.at(1)->TAX_FG.View(), "002");
    EXPECT_EQ(engine_.GetCode_INDEX("V00", 1), -1);
    EXPECT_EQ(engine_.GetCode_INDEX("P20", 1), -1);
    EXPECT_EQ(engine_.GetCode_INDEX("T00", 1), -1);
    EXPECT_EQ(engine_.GetCode_INDEX("P0", 1), -1);  // whole codes only
    EXPECT_EQ(engine_.GetCode_INDEX("", 1), -1);
    EXPECT_EQ(engine_.GetCode_INDEX("P00P00P00", 1), -1);
    EXPECT_EQ(engine_.GetCode_INDEX("P00", 0), -1);
    bool itemQuery = false;
    for (const std::string& text : sent_)
        if (text.find("from HPMPDFM WHERE   CO_CD='1000' AND RVRS_YM='2002' AND PYTP_FG='001' "
                      "AND  PYDD_FG='P2' ") != std::string::npos)
            itemQuery = true;
    EXPECT_TRUE(itemQuery);

    // No definitions at all: an empty table, and init still succeeds.
    SeedExec("DELETE FROM HPMPDFM");
    ASSERT_EQ(engine_.init(&key_), 1);
    EXPECT_EQ(engine_.m_nRowCount[payroll::engine::kPayItemRows], 0);
    EXPECT_TRUE(engine_.m_HPMPDFM.allocated());
    EXPECT_EQ(engine_.GetCode_INDEX("P00", 1), -1);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(SettingsTest, ItemDefinitionFailureShowsBothMessages) {
    SeedCompanySettings();
    SeedExec("DROP TABLE HPMPDFM");
    EXPECT_EQ(engine_.init(&key_), 0);
    std::vector<CString> shown = Messages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], "OpenHPMPDFM error");
    EXPECT_EQ(shown[1].str(), Lang(1008));
    EXPECT_EQ(engine_.m_nRowCount[payroll::engine::kPayItemRows], 0);
    EXPECT_EQ(engine_.GetCode_INDEX("P00", 1), -1);
}

TEST_F(SettingsTest, QuotesInTheKeyStayInsideTheirLiterals) {
    key_.CO_CD = "1'0";
    SeedCompanySettings("1'0");
    Record();
    ASSERT_EQ(engine_.init(&key_), 1);
    ASSERT_FALSE(sent_.empty());
    EXPECT_NE(sent_.front().find("CO_CD='1''0' "), std::string::npos) << sent_.front();
    EXPECT_EQ(engine_.m_nRowCount[payroll::engine::kLimitCodeRows], 1);
    EXPECT_NE(engine_.GetQueryString(2).Find("CO_CD='1''0' AND RVRS_YM ='200203' AND SQ='1' AND "
                                             "PYTP_FG like '2%' "),
              -1);
    EXPECT_EQ(engine_.GetQueryString(6), "");
    EXPECT_EQ(engine_.GetQueryString(-1), "");
}

}  // namespace
