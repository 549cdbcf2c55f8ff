// Fault injection over the year recalculation: every statement the driver
// sends is failed in turn, and the database afterwards is checked against
// the state before and against a fault-free run. Either the year committed
// and every stored amount equals the fault-free year's, or nothing changed
// and the message names the step that failed.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "payroll/host.h"
#include "payroll/report.h"
#include "payroll/salary_calcurate.h"
#include "platform/db/connection.h"
#include "tests/engine/tax_road_fixture.h"

namespace {

using payroll::TransactionOutcome;
using namespace payroll::testing;

// What failing a statement must leave behind.
enum class Scope {
    kNoTransaction,  // the runs query: nothing begun, nothing written
    kYear,           // the driver stops: the whole year rolls back
    kRun,            // a run's settings or windows: stop, or go on for that run onwards
    kEmployee,       // a look-up of one employee: only that employee's rows differ
    kSummaryWrite,   // the employee's summary write: the year rolls back
    kDeductionWrite  // the employee's deduction rows: the year rolls back
};

struct Step {
    Scope scope;
    std::string month;     // the run the statement belongs to
    std::string employee;  // the employee, for the employee scopes
};

bool Has(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

std::string Between(const std::string& text, const std::string& before, char end) {
    std::size_t a = text.find(before);
    if (a == std::string::npos) return "";
    a += before.size();
    return text.substr(a, text.find(end, a) - a);
}

// Classifies the k-th text of the fault-free run, with the run and the
// employee it serves (from the texts before it).
Step Classify(const std::vector<std::string>& texts, std::size_t index) {
    std::string month, employee;
    for (std::size_t i = 0; i <= index; ++i) {
        const std::string& t = texts[i];
        if (Has(t, "SELECT A.* FROM ( SELECT H.CO_CD")) {
            month = Between(t, "H.RVRS_YM='", '\'');
            employee.clear();
        } else if (Has(t, "A.EMP_CD='") && Has(t, ") R ")) {
            employee = Between(t, "A.EMP_CD='", '\'');
        }
    }
    const std::string& t = texts[index];
    if (Has(t, "FROM HPHONPD A, HPHPYFQ B")) return {Scope::kNoTransaction, month, employee};
    if (Has(t, "SELECT A.* FROM ( SELECT H.CO_CD")) return {Scope::kYear, month, employee};
    if (Has(t, "SELECT * FROM HPOMPPD  WHERE")) return {Scope::kYear, month, employee};
    if (Has(t, "from SHCFG") || Has(t, "from HPFSTIA") || Has(t, "from HPMLBEC") ||
        Has(t, "FROM syscfg") || Has(t, "CTRL_CD='PC'") ||
        (Has(t, "from HPMPDFM") && Has(t, "PYDD_FG='P2'")) || Has(t, "HHFAACC"))
        return {Scope::kRun, month, employee};
    if (Has(t, "DELETE FROM HPOMNPY") || Has(t, "UPDATE HPOMNPY"))
        return {Scope::kSummaryWrite, month, employee};
    if (Has(t, "CONVERT(varchar(40), DDCT_CD)") || Has(t, "UPDATE HPOMPDD") ||
        Has(t, "INSERT INTO HPOMPDD"))
        return {Scope::kDeductionWrite, month, employee};
    if (!employee.empty() &&
        (Has(t, "A.EMP_CD='") || Has(t, "SUM(EWTE_AM)") || Has(t, "DDCT_CD LIKE 'R%'") ||
         Has(t, "HPFTITC") || Has(t, "SELECT CTOF_FG") || Has(t, "SELECT ROUND") ||
         Has(t, "SELECT DDCT_CD, DDCT_AM") || Has(t, "FROM HPOMNPY WHERE")))
        return {Scope::kEmployee, month, employee};
    ADD_FAILURE() << "a statement of the year driver that the test does not know:\n" << t;
    return {Scope::kYear, month, employee};
}

// The employee and month a dumped row belongs to.
std::pair<std::string, std::string> Owner(const std::string& row) {
    std::vector<std::string> cells;
    std::stringstream in(row);
    for (std::string cell; std::getline(in, cell, '|');) cells.push_back(cell);
    if (cells.size() < 6) return {};
    if (cells[0] == "HPOMNPY") return {cells[2], cells[3]};
    return {cells[5], cells[2]};
}

class YearFaultsTest : public TaxRoadTest {
  protected:
    // A fresh company in a fresh database, and a fresh engine.
    void Reset() {
        ASSERT_NO_FATAL_FAILURE(FreshDatabase());
        payroll::BeginRoadReport("recalc-tax");
        SeedYearCompany();
        driver_.Clear();
        sent_.clear();
        payroll::ResetTransactionOutcome();
        engine_ = std::make_unique<CSalaryCalcurate>();
    }

    void RunYear() {
        HPHONPD_YMD_FMT key = Key("200201", "", "");
        engine_->Call_AllSum1to12_Year(&key, 1, "", 0);
    }

    // No row is half written: every stored result survives, and each
    // employee's fixed deduction rows of a run are either as before or all
    // written from its stored result.
    void ExpectWhole(const std::vector<std::string>& before, const std::string& what) {
        std::vector<std::string> now = Dump();
        std::set<std::pair<std::string, std::string>> results, resultsBefore;
        for (const std::string& r : now)
            if (r.rfind("HPOMNPY|", 0) == 0) results.insert(Owner(r));
        for (const std::string& r : before)
            if (r.rfind("HPOMNPY|", 0) == 0) resultsBefore.insert(Owner(r));
        for (const auto& key : resultsBefore)
            EXPECT_TRUE(results.count(key))
                << what << ": lost the result of " << key.first << " " << key.second;

        for (const auto& [emp, month] : results) {
            std::string sql = "SELECT DDCT_CD, DDCT_AM, DUMMY1 FROM HPOMPDD WHERE EMP_CD='" + emp;
            sql += "' AND RVRS_YM='" + month +
                   "' AND DDCT_CD IN ('S00','S10','S20','T00') ORDER BY DDCT_CD";
            std::vector<std::string> fixedNow = Rows(sql);
            if (fixedNow == fixedBefore_[emp + month]) continue;
            const double tax = Stored(emp, month, "INTX_AM");
            bool incomeTax = false;
            for (const std::string& r : fixedNow) {
                std::string code = r.substr(0, 3);
                double amount = Amount(r.substr(4));
                if (code == "T00") {
                    incomeTax = true;
                    EXPECT_DOUBLE_EQ(amount, tax) << what << ": " << emp << " " << month;
                } else {
                    EXPECT_DOUBLE_EQ(amount, 0) << what << ": " << emp << " " << month << " " << r;
                }
            }
            EXPECT_TRUE(incomeTax) << what << ": " << emp << " " << month;
        }
    }

    std::unique_ptr<CSalaryCalcurate> engine_;
    std::map<std::string, std::vector<std::string>> fixedBefore_;
};

TEST_F(YearFaultsTest, EveryStatementFailingInTurn) {
    // The fault-free run: what it sends and what it leaves.
    Reset();
    const std::vector<std::string> before = Dump();
    for (const char* emp : {"E01", "E02", "E03"})
        for (const char* month : {"200203", "200204"})
            fixedBefore_[std::string(emp) + month] =
                Rows(std::string("SELECT DDCT_CD, DDCT_AM, DUMMY1 FROM HPOMPDD WHERE EMP_CD='") +
                     emp + "' AND RVRS_YM='" + month +
                     "' AND DDCT_CD IN ('S00','S10','S20','T00') ORDER BY DDCT_CD");
    Record();
    RunYear();
    ASSERT_EQ(payroll::LastTransactionOutcome(), TransactionOutcome::kCommitted);
    const std::vector<std::string> texts = sent_;
    const std::vector<std::string> reference = Dump();
    ASSERT_GT(texts.size(), 50u);
    ASSERT_NE(reference, before);

    std::map<Scope, int> seen;
    for (std::size_t k = 1; k <= texts.size() + 1; ++k) {
        Reset();
        FailAt(static_cast<long>(k));
        RunYear();
        FailAt(0);  // disarm a fault the year never reached
        const std::vector<std::string> after = Dump();
        if (k > texts.size()) {
            // No fault reached: the fault-free result again.
            EXPECT_EQ(after, reference);
            break;
        }
        const Step step = Classify(texts, k - 1);
        ++seen[step.scope];
        const std::string what = "statement " + std::to_string(k) + " (" + step.employee + " " +
                                 step.month + "): " + texts[k - 1].substr(0, 90);
        const TransactionOutcome outcome = payroll::LastTransactionOutcome();
        if (step.scope == Scope::kNoTransaction) {
            EXPECT_EQ(outcome, TransactionOutcome::kNone) << what;
            EXPECT_EQ(after, before) << what;
        } else if (outcome == TransactionOutcome::kCommitted) {
            // Whatever failed did not touch a stored amount.
            EXPECT_EQ(after, reference) << what;
        } else {
            // Nothing changed, and the user is told which step failed.
            EXPECT_EQ(outcome, TransactionOutcome::kRolledBack) << what;
            EXPECT_EQ(after, before) << what;
            const std::string failed = payroll::CurrentRoadReport().failed_step;
            EXPECT_FALSE(failed.empty()) << what;
            ASSERT_FALSE(Messages().empty()) << what;
            EXPECT_NE(Messages().back().str().find(failed), std::string::npos)
                << what << "\n  " << Messages().back();
            if (!step.employee.empty() && step.scope != Scope::kRun) {
                EXPECT_EQ(payroll::CurrentRoadReport().failed_employee, step.employee) << what;
            }
        }
        ExpectWhole(before, what);
        EXPECT_EQ(payroll::db::Connection::Current()->depth(), 0) << what;
    }
    // Every kind of statement was failed at least once.
    EXPECT_EQ(seen.size(), 6u);
}

}  // namespace
