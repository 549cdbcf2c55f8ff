// Hostile values in every text field of the run key and in the text columns
// the engine and the front read back from the database. For each value the
// roads run as a host drives them (build, year recalculation, bonus tax,
// picker and viewer) with every statement text recorded. Each must end
// without a crash and with no transaction left open; a canary table no
// statement names and every payroll table must still be there; and no
// hostile value may stand outside a string literal in any statement sent.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "payroll/imirak1.h"
#include "payroll/salary_calcurate.h"
#include "platform/db/connection.h"
#include "support/test_connection.h"
#include "tests/engine/tax_road_fixture.h"
#include "tests/reliability/hostile_values.h"
#include "tests/reliability/sql_exposure.h"

namespace payroll::reliability {
namespace {

using payroll::testing::TaxRoadTest;

struct KeyField {
    const char* name;
    std::function<void(HPHONPD_YMD_FMT&, const std::string&)> set;
    std::function<std::string(const HPHONPD_YMD_FMT&)> get;
};

#define PAYROLL_KEY_FIELD(F)                                                                       \
    KeyField {                                                                                     \
#F, [](HPHONPD_YMD_FMT & k,                                                                \
               const std::string& v) { k.F = v; },                                                 \
                                                [](const HPHONPD_YMD_FMT& k) { return k.F.Str(); } \
    }

const std::vector<KeyField>& KeyFields() {
    static const std::vector<KeyField> fields = {
        PAYROLL_KEY_FIELD(CO_CD),       PAYROLL_KEY_FIELD(RVRS_YM),
        PAYROLL_KEY_FIELD(SQ),          PAYROLL_KEY_FIELD(PAY_DT),
        PAYROLL_KEY_FIELD(CCIS_YN),     PAYROLL_KEY_FIELD(NM2),
        PAYROLL_KEY_FIELD(PYTP_FG),     PAYROLL_KEY_FIELD(PYTP_LIST),
        PAYROLL_KEY_FIELD(PYTP_HEAD),   PAYROLL_KEY_FIELD(NM1),
        PAYROLL_KEY_FIELD(DIV_FILTER),  PAYROLL_KEY_FIELD(DEPT_FILTER),
        PAYROLL_KEY_FIELD(PRTY_FILTER), PAYROLL_KEY_FIELD(RTCM_FG),
        PAYROLL_KEY_FIELD(JNCM_FG),
    };
    return fields;
}

// A text column read back by some step, and the rows to plant the value in.
struct Column {
    const char* table;
    const char* column;
    const char* where;
    const char* kind;  // code, name, date or amount
};

const std::vector<Column>& Columns() {
    static const std::vector<Column> columns = {
        {"SEMP", "KOR_NM", "EMP_CD='E01'", "name"},
        {"SEMP", "DEPT_CD", "EMP_CD='E01'", "code"},
        {"SEMP", "PRTY_CD", "EMP_CD='E01'", "code"},
        {"SEMP", "HTYP_CD", "EMP_CD='E01'", "code"},
        {"SEMP", "PJT_CD", "EMP_CD='E01'", "code"},
        {"SEMP", "JOIN_DT", "EMP_CD='E01'", "date"},
        {"SEMP", "RTR_DT", "EMP_CD='E01'", "date"},
        {"SEMP", "NAPS_AM", "EMP_CD='E01'", "amount"},
        {"SDEPT", "DIV_CD", "DEPT_CD='D01'", "code"},
        {"SDIV", "DUMMY3", "DIV_CD='DV1'", "amount"},
        {"HPOMPPD", "PAY_CD", "EMP_CD='E01' AND PAY_CD='P10'", "code"},
        {"HPOMPPD", "PAY_AM", "EMP_CD='E01' AND PAY_CD='P00'", "amount"},
        {"HPOMPDD", "DDCT_CD", "EMP_CD='E01' AND DDCT_CD='S00'", "code"},
        {"HPOMPDD", "DDCT_AM", "EMP_CD='E01' AND DDCT_CD='S10'", "amount"},
        {"HPMPDFM", "PYDD_CD", "PYDD_CD='P20'", "code"},
        {"HPMPDFM", "CTOF_FG", "PYDD_CD='T00'", "code"},
        {"HPMPDFM", "TXEX_FG", "PYDD_CD='P10'", "code"},
        {"HPHPYFQ", "PAY_DT", "RVRS_YM='200203'", "date"},
        {"HPHPYFQ", "CCIS_YN", "RVRS_YM='200203'", "code"},
        {"HPHONPD", "PYTP_FG", "RVRS_YM='200204'", "code"},
        {"HHFAACC", "TMST_DT", "HTYP_CD='001'", "amount"},
        {"SCTRL_D", "RMK_DC", "CTD_CD='002'", "amount"},
        {"HPFTITC", "TAX_RT", "TXSS_AM=1000000", "amount"},
        {"HPHPOYM", "PYDD_CD", "PYDD_CD='P00'", "code"},
    };
    return columns;
}

struct Tally {
    int tried = 0;
    int unescaped = 0;
    long statements = 0;
};

class HostileInputTest : public TaxRoadTest {
  protected:
    void SetUp() override {
        TaxRoadTest::SetUp();
        PAYROLL_SKIP_ON_POSTGRES();  // values are planted with SQLite's own SQL
    }

    // The year company with the items a build inserts, and the canary.
    void SeedCase() {
        FreshDatabase();
        SeedYearCompany();
        Exec(
            "INSERT INTO HPHPOYM (CO_CD, RVRS_YM, SQ, PYTP_FG, PYDD_FG, PYDD_CD) VALUES "
            "('1000','200203',1,'001','P2','P00'), ('1000','200203',1,'001','P3','T00')");
        Exec("CREATE TABLE CANARY (N INTEGER)");
        Exec("INSERT INTO CANARY VALUES (7)");
        tables_ = Scalar("SELECT count(*) FROM sqlite_master WHERE type='table'");
        driver_.Clear();
    }

    // The roads a host drives with this key, for employee `emp`.
    void RunRoads(const HPHONPD_YMD_FMT& key, const std::string& emp) {
        {  // Build: refresh, then roster and default rows into table set 0.
            CSalaryCalcurate e;
            HPHONPD_YMD_FMT k = key;
            if (e.init(&k) == 1) {
                e.SetYmdFromTo();
                e.GetSempDataUpdate__(0);
                e._GetSalaryPepleList(0);
            }
            ExpectNoOpenTransaction("build");
        }
        {  // Year recalculation of the key's company and year.
            CSalaryCalcurate e;
            HPHONPD_YMD_FMT k = key;
            e.Call_AllSum1to12_Year(&k, 1, CString(), 0);
            ExpectNoOpenTransaction("year");
        }
        {  // Bonus tax of one employee of the run.
            CSalaryCalcurate e;
            HPHONPD_YMD_FMT k = key;
            if (e.init(&k) == 1 && e.SetYmdFromTo() == 1) {
                e.m_nTableSet = 1;
                const CString code{std::string_view(emp)};
                if (e.OpenSEMP(code) == 1 && e.LoadDataIncom(code, 1) == 1) {
                    std::memset(static_cast<void*>(&e.m_HPOMNPY), 0, sizeof e.m_HPOMNPY);
                    e.GetSalaryTotalCalc(code, 2002, &e.m_HPOMNPY);
                    e.GetCalcBonus(code, 1, CString());
                }
            }
            ExpectNoOpenTransaction("bonus");
        }
        {  // The front: pick the first run, view the employee.
            CIMirak1 front;
            HPHONPD_YMD_FMT k = key;
            front.SearchMirak(&k, 0, 1);
            HPHONPD_YMD_FMT v = key;
            front.CallSempSubject(&v, CString(std::string_view(emp)));
            front.GetPay_integrity(CString(std::string_view(emp)), 2);
            ExpectNoOpenTransaction("front");
        }
    }

    void ExpectNoOpenTransaction(const char* road) {
        db::Connection* c = db::Connection::Current();
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->depth(), 0) << "the " << road << " road left a transaction open";
        c->Rollback();
    }

    // Runs the roads with every text recorded and checks what they left.
    // `hostile` is the value as it stood in the field or column.
    void Check(const HPHONPD_YMD_FMT& key, const std::string& emp, const std::string& hostile,
               Tally* tally) {
        std::vector<std::string> sent;
        payroll::testing::TestConnection::Current()->SetRecorder(
            [&sent](std::string_view text) { sent.emplace_back(text); });
        RunRoads(key, emp);
        payroll::testing::TestConnection::Current()->SetRecorder(nullptr);

        ++tally->tried;
        tally->statements += static_cast<long>(sent.size());
        bool exposed = false;
        for (const std::string& text : sent) {
            const std::string found = Exposure(text, hostile);
            if (!found.empty() && !exposed) {
                exposed = true;
                ADD_FAILURE() << found << " in: " << text.substr(0, 400);
            }
        }
        if (exposed) ++tally->unescaped;
        EXPECT_EQ(Scalar("SELECT N FROM CANARY"), "7");
        EXPECT_EQ(Scalar("SELECT count(*) FROM sqlite_master WHERE type='table'"), tables_);
        last_sent_ = std::move(sent);
    }

    // True when some statement carried `value` whole as a literal.
    bool ReachedAsLiteral(const std::string& value) const {
        for (const std::string& text : last_sent_)
            for (const std::string& literal : Literals(text))
                if (literal == value) return true;
        return false;
    }

    static void Report(const char* what, const Tally& t) {
        std::printf(
            "[ hostile  ] %s: %d hostile inputs tried, %ld statement texts checked, %d reached "
            "the database unescaped\n",
            what, t.tried, t.statements, t.unescaped);
    }

    std::string tables_;
    std::vector<std::string> last_sent_;
};

TEST_F(HostileInputTest, RunKeyFields) {
    Tally tally;
    for (const KeyField& field : KeyFields()) {
        for (const HostileValue& value : HostileValues()) {
            SCOPED_TRACE(std::string(field.name) + " = " + value.label);
            SeedCase();
            HPHONPD_YMD_FMT key = Key("200203", "1", "001");
            field.set(key, value.text);
            const std::string held = field.get(key);
            Check(key, "E01", held, &tally);
            // The company goes into the first statement of every road: a
            // printf conversion or a quote in it must arrive there as it is.
            if (std::string(field.name) == "CO_CD" && !held.empty()) {
                EXPECT_TRUE(ReachedAsLiteral(held)) << "the company code was altered on the way";
            }
        }
    }
    Report("run key", tally);
    EXPECT_EQ(tally.unescaped, 0);
}

TEST_F(HostileInputTest, ColumnsReadBack) {
    Tally tally;
    for (const Column& column : Columns()) {
        for (const HostileValue& value : HostileValues()) {
            SCOPED_TRACE(std::string(column.table) + "." + column.column + " (" + column.kind +
                         ") = " + value.label);
            SeedCase();
            Native(std::string("UPDATE ") + column.table + " SET " + column.column + " = " +
                   HexText(value.text) + " WHERE " + column.where);
            Check(Key("200203", "1", "001"), "E01", AsCText(value.text), &tally);
        }
    }
    Report("database columns", tally);
    EXPECT_EQ(tally.unescaped, 0);
}

// The employee code itself: the engine reads it from the run's rows and
// writes it back into the statements of every later step.
TEST_F(HostileInputTest, EmployeeCodes) {
    Tally tally;
    for (const HostileValue& value : HostileValues()) {
        SCOPED_TRACE(std::string("EMP_CD = ") + value.label);
        SeedCase();
        for (const char* table : {"SEMP", "HPOMPPD", "HPOMPDD", "HPOMNPY"})
            Native(std::string("UPDATE ") + table + " SET EMP_CD = " + HexText(value.text) +
                   " WHERE EMP_CD = 'E01'");
        Check(Key("200203", "1", "001"), AsCText(value.text), AsCText(value.text), &tally);
    }
    Report("employee codes", tally);
    EXPECT_EQ(tally.unescaped, 0);
}

// The detector itself: the benign roads pass it, and a value put into a
// statement without escaping is caught.
TEST_F(HostileInputTest, TheDetectorSeesAnUnescapedValue) {
    SeedCase();
    Tally tally;
    Check(Key("200203", "1", "001"), "E01", "E01", &tally);
    EXPECT_EQ(tally.unescaped, 0);
    EXPECT_GT(last_sent_.size(), 20u);
    for (const HostileValue& value : HostileValues()) {
        // Only an odd number of quotes breaks out of the literal; an even
        // number changes the value but keeps it inside.
        const std::string v = AsCText(value.text);
        if (std::count(v.begin(), v.end(), '\'') % 2 == 0) continue;
        SCOPED_TRACE(value.label);
        const std::string raw = "SELECT * FROM SEMP WHERE EMP_CD='" + v + "'";
        EXPECT_FALSE(Exposure(raw, v).empty()) << raw;
        std::string escaped = "SELECT * FROM SEMP WHERE EMP_CD='";
        for (char c : v) escaped += c == '\'' ? std::string("''") : std::string(1, c);
        escaped += "'";
        EXPECT_EQ(Exposure(escaped, v), "") << escaped;
    }
}

}  // namespace
}  // namespace payroll::reliability
