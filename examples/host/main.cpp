// A host of the payroll library, as small as one can be: it opens a database,
// applies the schema, picks a pay run the way the front does, builds the run,
// recalculates its employees' income tax in one transaction and prints the
// run's totals. It includes only the installed public headers and links only
// libpayroll.so.
//
//   payroll --db sqlite:demo.db demo --employees 20     (a company to work on)
//   payroll-example-host sqlite:demo.db 1000 200203 1
#include <payroll/datasource.h>
#include <payroll/diagnostics.h>
#include <payroll/host.h>
#include <payroll/imirak1.h>
#include <payroll/records.h>
#include <payroll/salary_calcurate.h>
#include <payroll/ui.h>
#include <payroll/version.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Table set 1: the run's pay rows in HPOMPPD, its deductions in HPOMPDD.
constexpr int kTableSet = 1;
// Mode 1: recompute the income tax and store the results.
constexpr int kRecalculate = 1;

// Company codes and months go between quotes in the statements below.
std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') out += '\'';
        out += c;
    }
    return out + "'";
}

// Why the last road failed, from what the library noted.
std::string Why(const payroll::ui::HeadlessDriver& driver) {
    payroll::EngineFailure failure = payroll::LastEngineFailure();
    std::string why = failure.step;
    if (!failure.detail.empty()) why += (why.empty() ? "" : ": ") + failure.detail;
    if (why.empty() && !driver.Messages().empty()) why = driver.Messages().back().str();
    return why.empty() ? "no reason given" : why;
}

// The employees with rows in the run (the ones the year driver would
// calculate): pay rows or deduction rows of its sequence and pay type.
bool RunEmployees(const HPHONPD_YMD_FMT& key, std::vector<std::string>* employees) {
    std::string filter;
    if (key.CCIS_YN != "001") filter = " AND PYTP_FG=" + Quoted(key.PYTP_FG.Str());
    std::string where = " WHERE CO_CD=" + Quoted(key.CO_CD.Str()) +
                        " AND RVRS_YM=" + Quoted(key.RVRS_YM.Str()) + " AND SQ=" + key.SQ.Str() +
                        filter;
    G_DataSource query;
    std::string sql = "SELECT EMP_CD FROM HPOMPPD" + where + " UNION SELECT EMP_CD FROM HPOMPDD" +
                      where + " ORDER BY EMP_CD";
    if (!query.OnExecuteSQL(sql.c_str())) return false;
    for (long row = 0; row < query.OnGetRecordCount(); ++row)
        employees->push_back(query.OnGetFieldValue("EMP_CD", row).str());
    return true;
}

int Fail(const char* what, const std::string& why) {
    std::fprintf(stderr, "payroll-example-host: %s: %s\n", what, why.c_str());
    payroll::CloseDatabase();
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 5) {
        std::fprintf(stderr, "usage: %s DATABASE_URL [COMPANY MONTH RUN]\n", argv[0]);
        return 2;
    }
    const std::string url = argv[1];
    const std::string company = argc == 5 ? argv[2] : "1000";
    const std::string month = argc == 5 ? argv[3] : "200203";
    const int run = argc == 5 ? std::atoi(argv[4]) : 1;

    // Nothing is shown on a screen: messages and progress are recorded.
    payroll::ui::HeadlessDriver driver;
    payroll::ui::ScopedUiDriver scoped_driver(&driver);

    std::printf("libpayroll %s, resources in %s\n", PAYROLL_VERSION_STRING,
                payroll::ResourceDirectory().c_str());
    std::string error;
    if (!payroll::OpenDatabase(url, &error)) return Fail("opening the database", error);
    std::vector<std::string> created;
    if (!payroll::ApplySchema(&created, &error)) return Fail("applying the schema", error);
    std::printf("database %s: %zu tables created\n", payroll::DatabaseDisplayName().c_str(),
                created.size());

    // 1. The run key, filled as the front fills it for run N of the month.
    HPHONPD_YMD_FMT key;
    std::memset(static_cast<void*>(&key), 0, sizeof key);
    key.CO_CD = company;
    key.RVRS_YM = month;
    CIMirak1 front;
    front.SearchMirak(&key, 0, run);
    if (key.SEL_NO != run || key.CO_CD.IsEmpty())
        return Fail("picking the run", "company " + company + " has no run " + std::to_string(run) +
                                           " in " + month + " (create one with: payroll demo)");
    std::printf("run %d of %s %s: SQ %s, pay type %s, paid %s\n", run, company.c_str(),
                month.c_str(), key.SQ.c_str(), key.PYTP_FG.c_str(), key.PAY_DT.c_str());

    // 2. Build the run: roster and default pay rows, in the build's own
    //    transaction.
    CSalaryCalcurate engine;
    payroll::ResetTransactionOutcome();
    payroll::ClearLastFailure();
    if (engine.init(&key) != 1) return Fail("binding the engine to the run", Why(driver));
    if (engine._GetSalaryPepleList(kTableSet) != 1 ||
        payroll::LastTransactionOutcome() == payroll::TransactionOutcome::kRolledBack)
        return Fail("building the run", Why(driver));
    std::printf("build: committed\n");

    // 3. Recalculate every employee's income tax in one transaction: the
    //    first failure rolls all of it back.
    std::vector<std::string> employees;
    if (!RunEmployees(key, &employees))
        return Fail("listing the run's employees", payroll::LastDatabaseError());
    if (engine.init(&key) != 1) return Fail("binding the engine to the run", Why(driver));
    G_DataSource transaction;
    if (!transaction.OnBeginTrans())
        return Fail("beginning the transaction", transaction.GetLastError().str());
    if (engine.SetYmdFromTo() != 1) {
        transaction.OnRollbackTrans();
        return Fail("setting the pay-period windows", Why(driver));
    }
    // A step may go on after a failure it noted (a result row that could not
    // be stored still returns 1): the noted failure decides.
    payroll::ClearLastFailure();
    for (const std::string& employee : employees) {
        if (engine.SumIncomTax(employee.c_str(), kTableSet, kRecalculate, 0, CString()) != 1 ||
            !payroll::LastEngineFailure().step.empty()) {
            transaction.OnRollbackTrans();
            return Fail(("recalculating " + employee).c_str(), Why(driver));
        }
    }
    if (!transaction.OnCommitTrans())
        return Fail("committing the transaction", transaction.GetLastError().str());
    std::printf("tax: %zu employees recalculated, committed\n", employees.size());

    // 4. The run's totals as stored.
    G_DataSource totals;
    std::string sql =
        "SELECT COUNT(*) N, SUM(TPAY_AM) PAY, SUM(INTX_AM) TAX FROM HPOMNPY WHERE CO_CD=" +
        Quoted(company) + " AND RVRS_YM=" + Quoted(month) + " AND SQ=" + key.SQ.Str();
    if (!totals.OnExecuteSQL(sql.c_str()) || totals.OnGetRecordCount() != 1)
        return Fail("reading the totals", totals.GetLastError().str());
    std::printf("totals: %s employees, taxable pay %.0f won, income tax %.0f won\n",
                totals.OnGetFieldValue("N", 0).c_str(),
                std::atof(totals.OnGetFieldValue("PAY", 0).c_str()),
                std::atof(totals.OnGetFieldValue("TAX", 0).c_str()));
    payroll::CloseDatabase();
    return 0;
}
