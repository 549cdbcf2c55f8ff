#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/common/calendar.h"
#include "payroll/salary_calcurate.h"
#include "platform/lang/lang_util.h"
#include "support/company_builder.h"
#include "support/engine_fixture.h"
#include "support/run_key_builder.h"

namespace {

using namespace payroll::testing;

class PayWindowsTest : public DatabaseFixture {
  protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        Bind("201001", "001");
    }
    void Bind(const std::string& month, const std::string& payType) {
        engine_.m_HPHONPD = RunKeyBuilder::Monthly("1000", month, "1", payType)
                                .PayList(payType)
                                .AllFilters()
                                .Build();
    }
    // A window row of the run (HPHWTPT) for an employee type.
    static void Window(const std::string& month, const std::string& payType,
                       const std::string& type, const std::string& from, const std::string& to) {
        SeedExec(
            "INSERT INTO HPHWTPT (CO_CD, RVRS_YM, SQ, PYTP_FG, HTYP_CD, PYSP_FG, BNST_DT, BNED_DT) "
            "VALUES ('1000', '" +
            month + "', 1, '" + payType + "', '" + type + "', '001', " +
            (from.empty() ? "NULL" : "'" + from + "'") + ", " +
            (to.empty() ? "NULL" : "'" + to + "'") + ")");
    }
    static void CutOff(const std::string& type, const std::string& kind, const std::string& day) {
        SeedExec("INSERT INTO HHFAACC (CO_CD, HTYP_CD, MNLT_FG, TMST_DT) VALUES ('1000', '" + type +
                 "', '" + kind + "', '" + day + "')");
    }
    // Puts an employee of the given type at position `at` of the employee table.
    void Employee(std::size_t at, const char* type) { engine_.m_SEMP_ALL.at(at)->HTYP_CD = type; }
    static std::string Lang(int id) { return TheLangUtil().GetLangString(id).str(); }

    ScopedRegistry registry_{""};
    CSalaryCalcurate engine_;
};

TEST_F(PayWindowsTest, MonthlyRunsDeriveTheirWindowsFromTheCutOff) {
    struct Case {
        const char *month, *kind, *day, *start, *end;
    } cases[] = {
        {"201001", "001", "25", "20091225", "20100124"},
        {"201012", "002", "21", "20101221", "20110120"},
        {"200802", "001", "31", "20080131", "20080229"},  // end clipped to the leap February
        {"200803", "001", "31", "20080231", "20080330"},  // the start is not clipped
        {"201003", "002", "1", "20100301", "20100331"},
        {"201001", "001", "1", "20091201", "20091231"},
        {"201003", "001", "0", "00000000", "00000000"},
        {"201003", "002", "", "00000000", "00000000"},
    };
    for (const Case& c : cases) {
        SeedExec("DELETE FROM HPHWTPT; DELETE FROM HHFAACC");
        Window(c.month, "001", "A1", "", "");
        CutOff("A1", c.kind, c.day);
        Bind(c.month, "001");
        ASSERT_EQ(engine_.SetYmdFromTo(), 1) << c.month << " " << c.kind << " " << c.day;
        const payroll::BHHAFF_FMT* e = engine_.m_BHHAFF.at(0);
        EXPECT_EQ(e->HTYP_CD.View(), "A1");
        EXPECT_EQ(e->PYSP_FG.View(), "001");
        EXPECT_EQ(e->MNLT_FG.View(), c.kind);
        EXPECT_EQ(e->TMST_DT.View(), c.day);
        EXPECT_EQ(e->BNST_DT.View(), c.start) << c.month << " " << c.kind << " " << c.day;
        EXPECT_EQ(e->BNED_DT.View(), c.end) << c.month << " " << c.kind << " " << c.day;
        EXPECT_TRUE(engine_.m_BHHAFF.at(1)->HTYP_CD.IsEmpty());
        Employee(0, "A1");
        EXPECT_EQ(engine_.GetYmdtoYmd(0), std::string(c.start) + c.end);
    }
    // The month table follows the year of the last window.
    EXPECT_EQ(engine_.m_nDaysOfMonth[2], 28);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PayWindowsTest, OneEntryPerTypeAndPaySystem) {
    // Two pay systems of one type and a type without a cut-off setting.
    Window("201001", "001", "A1", "", "");
    SeedExec(
        "INSERT INTO HPHWTPT (CO_CD, RVRS_YM, SQ, PYTP_FG, HTYP_CD, PYSP_FG) VALUES "
        "('1000','201001',1,'001','A1','002'), ('1000','201001',1,'001','A1','002'), "
        "('1000','201001',1,'001','Z9','001'), ('1000','201001',2,'001','B2','001')");
    CutOff("A1", "001", "25");
    CutOff("B2", "002", "10");
    ASSERT_EQ(engine_.SetYmdFromTo(), 1);
    std::vector<std::string> entries;
    for (std::size_t i = 0; i < engine_.m_BHHAFF.capacity(); ++i) {
        const payroll::BHHAFF_FMT* e = engine_.m_BHHAFF.at(i);
        if (!e->HTYP_CD.IsEmpty())
            entries.push_back(e->HTYP_CD.Str() + "/" + e->PYSP_FG.Str() + " " + e->BNST_DT.Str());
    }
    EXPECT_EQ(entries.size(), 2u);
    for (const std::string& e : entries) EXPECT_EQ(e.substr(0, 3), "A1/");
}

TEST_F(PayWindowsTest, BonusRunsTakeTheirWindowsAsStored) {
    Window("201006", "201", "B1", "20100101", "20100630");
    Window("201006", "201", "B2", "", "");
    Window("201006", "202", "B3", "20090101", "20091231");  // another bonus type
    CutOff("B1", "003", "25");                              // cut-offs play no part in bonus runs
    Bind("201006", "201");
    ASSERT_EQ(engine_.SetYmdFromTo(), 1);
    Employee(0, "B2");
    Employee(1, "B1");
    Employee(2, "B3");
    Employee(3, "");
    EXPECT_EQ(engine_.GetYmdtoYmd(0), "0000000000000000");
    EXPECT_EQ(engine_.GetYmdtoYmd(1), "2010010120100630");
    EXPECT_EQ(engine_.GetYmdtoYmd(2), "  ");
    EXPECT_EQ(engine_.GetYmdtoYmd(3), "  ");  // no type matches nothing
    EXPECT_TRUE(engine_.m_BHHAFF.at(0)->MNLT_FG.IsEmpty());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PayWindowsTest, AWindowKindOtherThan001Or002StopsTheBuild) {
    Window("201001", "001", "A1", "", "");
    Window("201001", "001", "A2", "", "");
    Window("201001", "001", "A3", "", "");
    CutOff("A1", "001", "25");
    CutOff("A2", "003", "25");
    CutOff("A3", "002", "25");
    EXPECT_EQ(engine_.SetYmdFromTo(), 0);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].str(), Lang(1020));
    EXPECT_EQ(engine_.m_strTrace.str(), Lang(1020));
    // The rows before it keep their windows, this one has none, the rest
    // stay empty.
    const payroll::BHHAFF_FMT* first = engine_.m_BHHAFF.at(0);
    const payroll::BHHAFF_FMT* bad = engine_.m_BHHAFF.at(1);
    ASSERT_EQ(first->HTYP_CD.View(), "A1");
    EXPECT_EQ(first->BNST_DT.View(), "20091225");
    EXPECT_EQ(bad->HTYP_CD.View(), "A2");
    EXPECT_EQ(bad->MNLT_FG.View(), "003");
    EXPECT_TRUE(bad->BNST_DT.IsEmpty());
    EXPECT_TRUE(engine_.m_BHHAFF.at(2)->HTYP_CD.IsEmpty());
    Employee(0, "A2");
    EXPECT_EQ(engine_.GetYmdtoYmd(0), "0000000000000000");
}

TEST_F(PayWindowsTest, NoWindowRowsOrAFailedQuery) {
    EXPECT_EQ(engine_.SetYmdFromTo(), 0);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].str(), Lang(1021));
    EXPECT_TRUE(engine_.m_BHHAFF.allocated());
    Employee(0, "A1");
    EXPECT_EQ(engine_.GetYmdtoYmd(0), "  ");

    struct Case {
        const char* payType;
        const char* table;
        const char* title;
    } cases[] = {
        {"001", "HHFAACC", "SetYmdFromTo 2 error"},
        {"201", "HPHWTPT", "SetYmdFromTo 1 error"},
    };
    for (const Case& c : cases) {
        driver_.Clear();
        Window("201001", c.payType, "A1", "20100101", "20100131");
        CutOff("A1", "001", "25");
        Bind("201001", c.payType);
        ASSERT_EQ(engine_.SetYmdFromTo(), 1);
        SeedExec(std::string("DROP TABLE ") + c.table);
        EXPECT_EQ(engine_.SetYmdFromTo(), 0);
        ASSERT_EQ(Messages().size(), 1u);
        EXPECT_EQ(Messages()[0], c.title);
        // The old table is gone: no window is left to read.
        EXPECT_FALSE(engine_.m_BHHAFF.allocated());
        EXPECT_EQ(engine_.GetYmdtoYmd(0), "  ");
        SeedExec(
            "CREATE TABLE IF NOT EXISTS HHFAACC (CO_CD VARCHAR(10), HTYP_CD VARCHAR(5), MNLT_FG "
            "VARCHAR(3), TMST_DT VARCHAR(8)); DELETE FROM HHFAACC");
    }
}

TEST_F(PayWindowsTest, WindowLookUpStaysInsideBothTables) {
    EXPECT_EQ(engine_.GetYmdtoYmd(0), "  ");  // no table built yet
    engine_.m_BHHAFF.Allocate(2);
    engine_.m_BHHAFF.at(0)->BNST_DT = "20100101";  // an entry without a type never matches
    engine_.m_BHHAFF.at(1)->HTYP_CD = "A1";
    engine_.m_BHHAFF.at(1)->BNST_DT = "1231";
    Employee(4, "A1");
    EXPECT_EQ(engine_.GetYmdtoYmd(4), "0000123100000000");
    EXPECT_EQ(engine_.GetYmdtoYmd(5), "  ");  // past the five records
    EXPECT_EQ(engine_.GetYmdtoYmd(-1), "  ");
    EXPECT_EQ(engine_.GetYmdtoYmd(1 << 30), "  ");
    engine_.Free_m_BHHAFF();
    EXPECT_EQ(engine_.GetYmdtoYmd(4), "  ");
}

TEST_F(PayWindowsTest, WindowTextsAndMonthTable) {
    CString start = "x", end = "y";
    engine_.GetPriceYearSelete(1, 31, 2008, 3, &start, &end);
    EXPECT_EQ(start, "20080231");
    EXPECT_EQ(end, "20080330");
    engine_.GetPriceYearSelete(2, 25, 2007, 12, &start, &end);
    EXPECT_EQ(start, "20071225");
    EXPECT_EQ(end, "20080124");
    EXPECT_EQ(engine_.m_nDaysOfMonth[2], 29);  // last year asked: 2008
    engine_.GetPriceYearSelete(3, 25, 2008, 3, &start, &end);
    EXPECT_EQ(start, "00000000");
    EXPECT_EQ(end, "00000000");
    engine_.GetPriceYearSelete(1, 25, 2008, 3, nullptr, nullptr);  // no outputs: no harm
    EXPECT_EQ(engine_.GetBonusYmd(), 1);
}

TEST_F(PayWindowsTest, DateTexts) {
    struct Case {
        const char* text;
        int year, month, day, dayNumber;
    } cases[] = {
        {"201003", 2010, 3, 0, 0},
        {"2010031", 0, 0, 0, 0},
        {"", 0, 0, 0, 0},
        {"20100315", 2010, 3, 15, payroll::calendar::DayNumber(2010, 3, 15)},
        {"00010101", 1, 1, 1, 1},
        {"00000000", 0, 0, 0, -366},
        {"2010a315", 2010, 0, 15, payroll::calendar::DayNumber(2010, 0, 15)},
        {"201003150", 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        YMD_FMT out{7, 7, 7, 7};
        engine_.GetStringToYMD_FMT(c.text, &out);
        EXPECT_EQ(out.year, c.year) << c.text;
        EXPECT_EQ(out.month, c.month) << c.text;
        EXPECT_EQ(out.day, c.day) << c.text;
        EXPECT_EQ(out.day_number, c.dayNumber) << c.text;
    }
    YMD_FMT a{}, b{};
    engine_.GetStringToYMD_FMT("20000229", &a);
    EXPECT_EQ(engine_.m_nDaysOfMonth[2], 29);
    engine_.GetStringToYMD_FMT("20000301", &b);
    EXPECT_EQ(b.day_number - a.day_number, 1);
    engine_.GetStringToYMD_FMT("19000228", &a);
    engine_.GetStringToYMD_FMT("19000301", &b);
    EXPECT_EQ(b.day_number - a.day_number, 1);
    EXPECT_EQ(engine_.m_nDaysOfMonth[2], 28);
    engine_.GetStringToYMD_FMT("20100315", nullptr);
}

}  // namespace
