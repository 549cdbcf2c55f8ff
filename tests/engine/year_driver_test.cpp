// The year driver: a whole year of a small company recalculated and every
// stored amount checked against hand arithmetic, then the driver's progress,
// its stops and the periods it skips.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "payroll/diagnostics.h"
#include "payroll/host.h"
#include "payroll/report.h"
#include "payroll/salary_calcurate.h"
#include "platform/db/connection.h"
#include "platform/lang/lang_util.h"
#include "platform/ui/dialog_ids.h"
#include "tests/engine/tax_road_fixture.h"

namespace {

using payroll::TransactionOutcome;
using namespace payroll::testing;
using payroll::ui::UiEvent;

class YearDriverTest : public TaxRoadTest {
  protected:
    void SetUp() override {
        TaxRoadTest::SetUp();
        payroll::ResetTransactionOutcome();
        payroll::ClearLastFailure();
    }

    int Run(const std::string& month, int mode = 1) {
        HPHONPD_YMD_FMT key = Key(month, "", "");
        return engine_.Call_AllSum1to12_Year(&key, mode, "", 0);
    }

    // The stored result of an employee and month: its organisation codes
    // joined by '|' and every amount that is not 0.
    struct Result {
        std::string codes;
        std::map<std::string, double> amounts;
        int excluded = 0;
    };
    void ExpectResult(const std::string& emp, const std::string& month, const Result& want) {
        std::vector<std::string> codes = Rows(
            "SELECT DIV_CD, DEPT_CD, PJT_CD, HTYP_CD, HRSP_CD, HCLS_CD, HOPR_CD, PYSP_FG, "
            "PRTY_CD FROM HPOMNPY WHERE EMP_CD='" +
            emp + "' AND RVRS_YM='" + month + "'");
        ASSERT_EQ(codes.size(), 1u) << emp << " " << month;
        EXPECT_EQ(codes[0], want.codes) << emp << " " << month;
        for (const char* column : kAmountColumns) {
            auto it = want.amounts.find(column);
            EXPECT_DOUBLE_EQ(Stored(emp, month, column), it == want.amounts.end() ? 0 : it->second)
                << emp << " " << month << " " << column;
        }
        EXPECT_EQ(Stored(emp, month, "EXCL_YN"), want.excluded) << emp << " " << month;
    }

    std::vector<UiEvent> Events(UiEvent::Kind kind) { return driver_.EventsOf(kind); }

    CSalaryCalcurate engine_;
};

// Settings of the year company (tax_road_fixture.h): exemption limits 001
// (yearly overtime) 2,400,000, 002 (class 002) 100,000, 007 (monthly ceiling
// for the overtime exemption) 1,100,000; DV1 deducts 10,000 (DUMMY2) or
// 20,000 (DUMMY3, for REFR_YN 001); DV2 nothing; tax 0% below 1,000,000,
// 5% - 40,000 below 3,000,000, 10% - 180,000 from there; cut-off "006"
// truncates to tens. Windows: type 001 the previous calendar month, type 002
// the 21st of the run month to the 20th of the next.
TEST_F(YearDriverTest, YearOfAThreeEmployeeCompany) {
    SeedYearCompany();
    EXPECT_EQ(Run("200203"), 0);  // the driver always answers 0
    EXPECT_EQ(payroll::LastTransactionOutcome(), TransactionOutcome::kCommitted);
    EXPECT_TRUE(Messages().empty()) << Messages()[0].c_str();

    // March, E01 (type 001, DV1, REFR_YN 002). P00 2,000,000 taxable;
    // P10 150,000 of class 002 over its 100,000 limit: 50,000 taxable,
    // 100,000 exempt (ETTE); P20 overtime 100,000 taxable for type 001.
    // TPAY = 2,150,000. Base = 2,150,000 - R01 5,030 - DUMMY2 10,000
    // = 2,134,970; tax = 5% - 40,000 = 66,748.5, truncated to 66,740.
    // The stored row is updated (its codes stay); S30 7,000 is reloaded
    // into RTTF_AM; T10 is not reloaded in mode 1, so RSTX_AM is 0.
    ExpectResult("E01", "200203",
                 {"OLD|OLD|OLD|OLD|OLD|OLD|OLD|OLD|OLD",
                  {{"TPAY_AM", 2150000},
                   {"SALY_AM", 2000000},
                   {"ETTE_AM", 100000},
                   {"RTTF_AM", 7000},
                   {"INTX_AM", 66740}}});
    // March, E02 (type 002, DV1, REFR_YN 001). P00 900,000 taxable; P10
    // 80,000 within the limit: exempt. Class-002 pay plus taxable pay is
    // 980,000, within the 1,100,000 ceiling, and nothing was exempted this
    // year before (the March row does not exist yet): overtime 200,000 is
    // exempt (EWTE). Base = 900,000 - DUMMY3 20,000 = 880,000: tax 0. New row.
    ExpectResult(
        "E02", "200203",
        {"DV1|D01|J02|002|R1|C1|O1|001|P2",
         {{"TPAY_AM", 900000}, {"SALY_AM", 900000}, {"EWTE_AM", 200000}, {"ETTE_AM", 80000}}});
    // March, E03 (type 001, DV2). P00 3,456,789 all taxable; base the same;
    // top bracket: 345,678.9 - 180,000 = 165,678.9, truncated to 165,670.
    ExpectResult("E03", "200203",
                 {"DV2|D02|J03|001|R1|C1|O1|001|P3",
                  {{"TPAY_AM", 3456789}, {"SALY_AM", 3456789}, {"INTX_AM", 165670}}});
    // April, E01: P00 2,000,000; P10 100,000 exactly at the limit: exempt.
    // Base = 2,000,000 - R01 2,000 - 10,000 = 1,988,000; tax 99,400 - 40,000.
    ExpectResult(
        "E01", "200204",
        {"DV1|D01|J01|001|R1|C1|O1|001|P1",
         {{"TPAY_AM", 2000000}, {"SALY_AM", 2000000}, {"ETTE_AM", 100000}, {"INTX_AM", 59400}}});
    // April, E02: P00 950,000, P10 80,000 exempt, overtime 2,300,000.
    // 1,030,000 within the ceiling. Exempt overtime this year outside this
    // run: March's 200,000 + the stored April row's 150,000 - that row's
    // 150,000 = 200,000. 200,000 + 2,300,000 passes the 2,400,000 limit:
    // 2,200,000 exempt, 100,000 taxable. TPAY = 1,050,000; base = 1,030,000;
    // tax 51,500 - 40,000 = 11,500. The stored row is updated.
    ExpectResult("E02", "200204",
                 {"OLD|OLD|OLD|OLD|OLD|OLD|OLD|OLD|OLD",
                  {{"TPAY_AM", 1050000},
                   {"SALY_AM", 950000},
                   {"EWTE_AM", 2200000},
                   {"ETTE_AM", 80000},
                   {"INTX_AM", 11500}}});
    // April, E03: 3,000,000 is the top bracket's inclusive start: 300,000 -
    // 180,000 = 120,000. Its deduction rows carry PRTY_CD P9, which the
    // reload puts into the stored row.
    ExpectResult("E03", "200204",
                 {"DV2|D02|J03|001|R1|C1|O1|001|P9",
                  {{"TPAY_AM", 3000000}, {"SALY_AM", 3000000}, {"INTX_AM", 120000}}});
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM HPOMNPY"), "6");

    // Deduction rows: S00/S10/S20 zeroed, T00 the tax with the window, the
    // rest untouched; a missing T00 is inserted only next to other fixed
    // codes (E03 in April), never for E01 in April (an R code only) or for
    // employees without deduction rows.
    std::vector<std::string> rows = Rows(
        "SELECT EMP_CD, RVRS_YM, DDCT_CD, DDCT_AM, DUMMY1, DIV_CD, DEPT_CD, PJT_CD FROM "
        "HPOMPDD ORDER BY EMP_CD, RVRS_YM, DDCT_CD");
    for (std::string& r : rows) {  // amounts as whole won
        std::size_t a = r.find('|', r.find('|', r.find('|') + 1) + 1) + 1;
        std::size_t b = r.find('|', a);
        r.replace(a, b - a, std::to_string(static_cast<long long>(Amount(r.substr(a, b - a)))));
    }
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "E01|200203|R01|5030|old|DV1|D01|",
                        "E01|200203|S00|0| |DV1|D01|",
                        "E01|200203|S10|0| |DV1|D01|",
                        "E01|200203|S20|0| |DV1|D01|",
                        "E01|200203|S30|7000|old|DV1|D01|",
                        "E01|200203|T00|66740|2002020120020228|DV1|D01|",
                        "E01|200203|T10|100|old|DV1|D01|",
                        "E01|200204|R01|2000|old|DV1|D01|",
                        "E02|200203|S00|0| |DV1|D01|",
                        "E02|200203|S10|0| |DV1|D01|",
                        "E02|200203|T00|0|2002032120020420|DV1|D01|",
                        "E03|200204|S00|0| |DV2|D02|",
                        "E03|200204|S10|0| |DV2|D02|",
                        "E03|200204|T00|120000|2002030120020331|DV2|D02|J03",
                    }));
}

TEST_F(YearDriverTest, ProgressAndClosingNotice) {
    SeedYearCompany();
    AddRun("200205", 1, "001");  // a run without any employee rows
    Run("200201");
    EXPECT_EQ(payroll::LastTransactionOutcome(), TransactionOutcome::kCommitted);

    ASSERT_EQ(Events(UiEvent::Kind::kDialogOpened).size(), 1u);
    EXPECT_EQ(Events(UiEvent::Kind::kDialogOpened)[0].dialog_id, 1004);
    ASSERT_EQ(Events(UiEvent::Kind::kDialogClosed).size(), 1u);

    // The text line: the running count, the run's year and month, the employee.
    std::vector<std::string> lines;
    for (const UiEvent& e : Events(UiEvent::Kind::kText))
        if (e.control_id == payroll::ui::kProgressTextId) lines.push_back(e.text.str());
    std::vector<std::string> want;
    want.reserve(7);
    const char* employees[] = {"E01", "E02", "E03"};
    for (int i = 0; i < 6; ++i)
        want.push_back(payroll::lang::FormatLangText(
                           1024, {static_cast<long long>(i + 1), std::string("2002"),
                                  std::string(i < 3 ? "03" : "04"), std::string(employees[i % 3])})
                           .str());
    want.push_back(
        payroll::lang::FormatLangText(1023, {6LL, std::string("2002"), std::string("05")}).str());
    EXPECT_EQ(lines, want);

    // Bars: runs 0..4 with the run bar at 1, 2, 3; employees 0..4 per run,
    // and a full bar for the run without employees.
    std::vector<UiEvent> bars = Events(UiEvent::Kind::kProgress);
    ASSERT_FALSE(bars.empty());
    const UiEvent* lastRun = nullptr;
    const UiEvent* lastEmployee = nullptr;
    for (const UiEvent& e : bars) {
        if (e.control_id == payroll::ui::kProgressBar1Id) lastRun = &e;
        if (e.control_id == payroll::ui::kProgressBar2Id) lastEmployee = &e;
    }
    ASSERT_TRUE(lastRun && lastEmployee);
    EXPECT_EQ(lastRun->progress.upper, 4);
    EXPECT_EQ(lastRun->progress.pos, 3);
    EXPECT_TRUE(lastRun->progress.show_percent);
    EXPECT_EQ(lastRun->progress.start_color, 0x80DC00u);
    EXPECT_EQ(lastRun->progress.end_color, 0x800000u);
    EXPECT_EQ(lastEmployee->progress.upper, 100);
    EXPECT_EQ(lastEmployee->progress.pos, 100);
    EXPECT_TRUE(lastEmployee->progress.show_percent);
    bool sawEmployeeRange = false;
    for (const UiEvent& e : bars)
        sawEmployeeRange |= e.control_id == payroll::ui::kProgressBar2Id && e.progress.upper == 4 &&
                            e.progress.pos == 3;
    EXPECT_TRUE(sawEmployeeRange);

    // The closing notice after the dialog closed, for 600 ms of the clock.
    ASSERT_EQ(Events(UiEvent::Kind::kSplashShown).size(), 1u);
    EXPECT_EQ(Events(UiEvent::Kind::kSplashShown)[0].text, TheLangUtil().GetLangString(1025));
    EXPECT_EQ(Events(UiEvent::Kind::kSplashHidden).size(), 1u);
    EXPECT_EQ(clock_.total_ms(), 600u);
    std::vector<UiEvent> all = driver_.events();
    auto closed = std::find_if(all.begin(), all.end(), [](const UiEvent& e) {
        return e.kind == UiEvent::Kind::kDialogClosed;
    });
    auto shown = std::find_if(all.begin(), all.end(), [](const UiEvent& e) {
        return e.kind == UiEvent::Kind::kSplashShown;
    });
    EXPECT_LT(closed - all.begin(), shown - all.begin());
}

TEST_F(YearDriverTest, PeriodWithoutRunsOpensNothing) {
    SeedYearCompany();
    Record();
    EXPECT_EQ(Run("200301"), 0);
    EXPECT_EQ(sent_.size(), 1u);  // the runs query only
    EXPECT_EQ(payroll::LastTransactionOutcome(), TransactionOutcome::kNone);
    EXPECT_TRUE(driver_.events().empty());
    EXPECT_EQ(payroll::db::Connection::Current()->depth(), 0);
}

TEST_F(YearDriverTest, YearBefore1900IsRefusedBeforeAnyStatement) {
    SeedYearCompany();
    Record();
    for (const char* month : {"189912", "000012", "ABCD01", "", "19"}) {
        EXPECT_EQ(Run(month), 0) << month;
        ASSERT_FALSE(Messages().empty());
        EXPECT_EQ(Messages().back(), TheLangUtil().GetLangString(1022)) << month;
    }
    // A month that is not six digits cannot name the month of mode 3.
    EXPECT_EQ(Run("2002", 3), 0);
    EXPECT_EQ(Run("2002%_", 3), 0);
    EXPECT_EQ(Messages().size(), 7u);
    EXPECT_TRUE(sent_.empty());
}

TEST_F(YearDriverTest, CombinedRunIsCalculatedOnceWithoutPayType) {
    SeedSettings();
    AddEmployee("E01", "D01", "J01", "001", "P1", "002");
    AddRun("200203", 1, "001", "001");
    AddRun("200203", 1, "002", "001", false);
    AddRun("200203", 1, "003", "001", false);
    AddPay("200203", 1, "001", "E01", "P00", 1000000);
    AddPay("200203", 1, "002", "E01", "P00", 500000);
    Record();
    Run("200203", 3);
    EXPECT_EQ(payroll::LastTransactionOutcome(), TransactionOutcome::kCommitted);

    std::vector<std::string> employeeQueries = SentWith("SELECT A.* FROM ( SELECT H.CO_CD");
    ASSERT_EQ(employeeQueries.size(), 1u);
    EXPECT_EQ(employeeQueries[0].find("PYTP_FG"), std::string::npos);
    std::vector<std::string> payRows =
        SentWith("FROM HPOMPPD  WHERE CO_CD='1000' AND EMP_CD='E01'");
    ASSERT_EQ(payRows.size(), 1u);
    EXPECT_EQ(payRows[0].find("PYTP_FG"), std::string::npos);
    // Both pay types' rows count; the row is stored under the first pay type.
    EXPECT_EQ(Rows("SELECT PYTP_FG, TPAY_AM FROM HPOMNPY"),
              (std::vector<std::string>{"001|1500000"}));
}

TEST_F(YearDriverTest, MonthModeCoversOneMonthAndKeepsTheStoredTaxes) {
    SeedYearCompany();
    std::vector<std::string> march =
        Rows("SELECT * FROM HPOMNPY WHERE RVRS_YM='200203' ORDER BY EMP_CD");
    Record();
    Run("200204", 3);
    EXPECT_EQ(payroll::LastTransactionOutcome(), TransactionOutcome::kCommitted);
    ASSERT_FALSE(sent_.empty());
    EXPECT_NE(sent_[0].find("A.RVRS_YM LIKE '200204%'"), std::string::npos) << sent_[0];
    EXPECT_TRUE(SentWith("HPFTITC").empty());  // no tax is computed in mode 3
    EXPECT_EQ(Rows("SELECT * FROM HPOMNPY WHERE RVRS_YM='200203' ORDER BY EMP_CD"), march);
    // E02's stored April row is replaced: its taxes kept, its totals fresh.
    EXPECT_EQ(Stored("E02", "200204", "INTX_AM"), 9);
    // Without March's result, no overtime was exempted before: all 2,300,000
    // of it is, within the 2,400,000 limit.
    EXPECT_EQ(Stored("E02", "200204", "TPAY_AM"), 950000);
    EXPECT_EQ(Stored("E02", "200204", "EWTE_AM"), 2300000);
    EXPECT_EQ(Scalar("SELECT DIV_CD FROM HPOMNPY WHERE EMP_CD='E02' AND RVRS_YM='200204'"), "DV1");
}

// A refused result write would leave the year half stored, the other
// employees' results committed beside the old row: the year rolls back whole
// at the first refusal, with its one message.
TEST_F(YearDriverTest, FailingSummaryInsertRollsTheYearBack) {
    SeedYearCompany();
    ASSERT_NO_FATAL_FAILURE(Refuse("HPOMNPY", "INSERT", "NEW.EMP_CD='E01'", "E01 refused"));
    const std::vector<std::string> before = Dump();
    Run("200203", 3);
    EXPECT_EQ(payroll::LastTransactionOutcome(), TransactionOutcome::kRolledBack);
    // The step's own message, then why the year was rolled back.
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[0], "sum save error");
    EXPECT_NE(Messages()[1].str().find("sum save error"), std::string::npos) << Messages()[1];
    EXPECT_NE(Messages()[1].str().find("E01"), std::string::npos) << Messages()[1];
    EXPECT_NE(Messages()[1].str().find("200203"), std::string::npos) << Messages()[1];
    EXPECT_EQ(payroll::LastEngineFailure().step, "sum save error");
    EXPECT_NE(payroll::LastEngineFailure().detail.find("E01 refused"), std::string::npos);
    EXPECT_EQ(Dump(), before);
    EXPECT_EQ(payroll::db::Connection::Current()->depth(), 0);
}

// A refused deduction batch is as much a lost write as a refused summary.
TEST_F(YearDriverTest, FailingDeductionBatchRollsTheYearBack) {
    SeedYearCompany();
    ASSERT_NO_FATAL_FAILURE(Refuse("HPOMPDD", "UPDATE", "NEW.EMP_CD='E02'", "E02 refused"));
    const std::vector<std::string> before = Dump();
    Run("200203", 3);
    EXPECT_EQ(payroll::LastTransactionOutcome(), TransactionOutcome::kRolledBack);
    EXPECT_EQ(payroll::LastEngineFailure().step, "all_save error");
    EXPECT_EQ(Dump(), before);
}

TEST_F(YearDriverTest, SettingsThatCannotLoadRollTheYearBack) {
    SeedYearCompany();
    Exec("DELETE FROM SCTRL_D");
    const std::vector<std::string> before = Dump();
    Run("200203");
    EXPECT_EQ(payroll::LastTransactionOutcome(), TransactionOutcome::kRolledBack);
    EXPECT_EQ(Dump(), before);
    EXPECT_EQ(Events(UiEvent::Kind::kDialogClosed).size(), 1u);
    EXPECT_TRUE(Events(UiEvent::Kind::kSplashShown).empty());
    EXPECT_EQ(payroll::db::Connection::Current()->depth(), 0);
    // The settings' own messages, then why the year was rolled back.
    const std::vector<CString> messages = Messages();
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages[messages.size() - 2], TheLangUtil().GetLangString(1009));
    EXPECT_NE(messages.back().str().find("200203"), std::string::npos) << messages.back();
}

// A run without pay-period windows is calculated without them, as it always
// was: the refusal is shown, and the year goes on and commits. Only a
// statement that fails stops a year.
TEST_F(YearDriverTest, ARunWithoutWindowsIsCalculatedWithoutThem) {
    SeedYearCompany();
    Exec("DELETE FROM HHFAACC");
    payroll::BeginRoadReport("year");
    Run("200201");
    EXPECT_EQ(payroll::LastTransactionOutcome(), TransactionOutcome::kCommitted);
    const std::vector<CString> messages = Messages();
    EXPECT_NE(std::find(messages.begin(), messages.end(), TheLangUtil().GetLangString(1021)),
              messages.end());
    EXPECT_TRUE(payroll::CurrentRoadReport().failed_step.empty());
    EXPECT_EQ(payroll::CurrentRoadReport().employees, 6);
    EXPECT_DOUBLE_EQ(Stored("E01", "200203", "INTX_AM"), 66740);
}

// A statement no step names (the count that only sizes the year's tax-table
// cells) stops the year all the same: its report and its message call it a
// database statement, in the run it was reading for.
TEST_F(YearDriverTest, AnUnnamedStatementStopsTheYearAsADatabaseStatement) {
    SeedYearCompany();
    // Where the first run counts the cells, in a year the host's own
    // transaction then takes back.
    G_DataSource host;
    ASSERT_TRUE(host.OnBeginTrans());
    Record();
    Run("200201");
    ASSERT_TRUE(host.OnRollbackTrans());
    const auto cells = std::find_if(sent_.begin(), sent_.end(), [](const std::string& text) {
        return text.find("from HPFSTIA") != std::string::npos;
    });
    ASSERT_NE(cells, sent_.end());
    const std::vector<std::string> before = Dump();
    driver_.Clear();
    payroll::BeginRoadReport("year");
    payroll::ResetTransactionOutcome();
    FailAt(static_cast<long>(cells - sent_.begin()) + 1);
    Run("200201");
    EXPECT_EQ(payroll::LastTransactionOutcome(), TransactionOutcome::kRolledBack);
    EXPECT_EQ(Dump(), before);
    const payroll::RoadReport report = payroll::CurrentRoadReport();
    EXPECT_EQ(report.failed_step, "a database statement");
    EXPECT_TRUE(report.detail.empty()) << report.detail;
    EXPECT_EQ(report.failed_run, "200203 SQ 1 pay type 001");
    EXPECT_TRUE(report.failed_employee.empty());
    EXPECT_EQ(payroll::LastEngineFailure().step, "a database statement");
    ASSERT_FALSE(Messages().empty());
    EXPECT_NE(Messages().back().str().find("a database statement"), std::string::npos)
        << Messages().back();
}

// A run whose sequence is no number cannot be put into a statement: the year
// is rolled back, and the user is told why and where.
TEST_F(YearDriverTest, ARunWithoutANumericSequenceRollsBackWithItsReason) {
    // Only SQLite keeps a text in the integer column.
    if (std::getenv("PAYROLL_TEST_DB")) GTEST_SKIP() << "PostgreSQL refuses such a sequence";
    SeedYearCompany();
    Exec(
        "INSERT INTO HPHPYFQ (CO_CD, RVRS_YM, SQ, PAY_DT, CCIS_YN) VALUES "
        "('1000','200205','2x','20020525','002')");
    Exec("INSERT INTO HPHONPD (CO_CD, RVRS_YM, SQ, PYTP_FG) VALUES ('1000','200205','2x','001')");
    const std::vector<std::string> before = Dump();
    Run("200201");
    EXPECT_EQ(payroll::LastTransactionOutcome(), TransactionOutcome::kRolledBack);
    EXPECT_EQ(Dump(), before);
    ASSERT_FALSE(Messages().empty());
    EXPECT_NE(Messages().back().str().find("200205"), std::string::npos) << Messages().back();
    EXPECT_EQ(payroll::LastEngineFailure().detail, TheLangUtil().GetLangString(1204).str());
    // No closing notice for a year that was not stored.
    EXPECT_TRUE(Events(UiEvent::Kind::kSplashShown).empty());
}

// Inside a host's transaction the year is only stored when the host
// commits, so the driver shows no closing notice of its own.
TEST_F(YearDriverTest, NoClosingNoticeInsideTheHostsTransaction) {
    SeedYearCompany();
    G_DataSource host;
    ASSERT_TRUE(host.OnBeginTrans());
    Run("200201");
    EXPECT_EQ(payroll::db::Connection::Current()->depth(), 1);
    EXPECT_TRUE(Events(UiEvent::Kind::kSplashShown).empty());
    ASSERT_TRUE(host.OnCommitTrans());
    EXPECT_EQ(payroll::LastTransactionOutcome(), TransactionOutcome::kCommitted);
    EXPECT_DOUBLE_EQ(Stored("E01", "200203", "INTX_AM"), 66740);
}

// The yearly overtime limit holds on the first calculation of a year, when
// no month has its own stored row yet: January to March with 1,000,000 of
// overtime each against a limit of 2,400,000 exempt 1,000,000, 1,000,000
// and 400,000. A second calculation of the same year changes no row.
TEST_F(YearDriverTest, OvertimeLimitHoldsOnTheFirstCalculationAndAgain) {
    SeedSettings();
    AddEmployee("E02", "D01", "J02", "002", "P2", "001");  // type 002: overtime may be exempt
    for (const char* month : {"200201", "200202", "200203"}) {
        AddRun(month, 1, "001");
        AddPay(month, 1, "001", "E02", "P00", 500000);   // under the 1,100,000 ceiling
        AddPay(month, 1, "001", "E02", "P20", 1000000);  // overtime, class 001
    }
    Run("200201");
    ASSERT_EQ(payroll::LastTransactionOutcome(), TransactionOutcome::kCommitted);
    EXPECT_DOUBLE_EQ(Stored("E02", "200201", "EWTE_AM"), 1000000);
    EXPECT_DOUBLE_EQ(Stored("E02", "200202", "EWTE_AM"), 1000000);
    EXPECT_DOUBLE_EQ(Stored("E02", "200203", "EWTE_AM"), 400000);
    EXPECT_DOUBLE_EQ(Stored("E02", "200203", "TPAY_AM"), 500000 + 600000);

    const std::vector<std::string> first = Dump();
    payroll::ResetTransactionOutcome();
    Run("200201");
    ASSERT_EQ(payroll::LastTransactionOutcome(), TransactionOutcome::kCommitted);
    EXPECT_EQ(Dump(), first);
}

}  // namespace
