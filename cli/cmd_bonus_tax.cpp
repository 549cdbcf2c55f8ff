// payroll bonus-tax: the bonus road. Picks a run the way the front does,
// binds the engine to it and taxes the bonus of each employee of the run (or
// of each one named) in one transaction, which commits whole or rolls back
// whole; prints each employee's figures and one closing line.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/host_common.h"
#include "payroll/datasource.h"
#include "payroll/diagnostics.h"
#include "payroll/host.h"
#include "payroll/records.h"
#include "payroll/salary_calcurate.h"

namespace payroll::cli {
namespace {

// The road's default kind: compute the tax (11 computes too; other kinds
// store the record as it stands).
constexpr int kComputeKind = 1;
// The bonus road writes the run's result tables.
constexpr int kResultTableSet = 1;
// Field sizes of the run key and the employee record, terminators included.
constexpr std::size_t kCompanyRoom = decltype(HPHONPD_YMD_FMT::CO_CD)::capacity();
constexpr std::size_t kEmployeeRoom = decltype(SEMP_FMT::EMP_CD)::capacity();

struct BonusOptions {
    std::string company;
    std::string month;
    int run = 0;
    std::vector<std::string> employees;
    int kind = kComputeKind;
};

// Checks what the parser cannot; throws the parser's own error (exit code 2).
void Validate(const BonusOptions& o) {
    if (o.company.empty() || o.company.size() >= kCompanyRoom)
        throw CLI::ValidationError("--company", "a company code of 1 to 5 characters");
    const int m = o.month.size() == 6 && AllDigits(o.month) ? std::atoi(o.month.c_str() + 4) : 0;
    if (m < 1 || m > 12) throw CLI::ValidationError("--month", "the month is YYYYMM");
    if (o.run < 1) throw CLI::ValidationError("--run", "runs are numbered from 1");
    for (const std::string& e : o.employees)
        if (e.empty() || e.size() >= kEmployeeRoom)
            throw CLI::ValidationError("--employee", "an employee code of 1 to 11 characters");
}

// Why the engine failed, for a closing line.
std::string Why() {
    const std::string why = FailureText();
    return why.empty() ? "an unnamed step" : why;
}

// The employees with pay or deduction rows in the run, as the year driver
// lists them; false when the statement fails.
bool RunEmployees(G_DataSource& rows, const HPHONPD_YMD_FMT& key, std::vector<std::string>* out) {
    if (!AllDigits(key.SQ.Str())) return false;
    std::string payType;
    if (key.CCIS_YN != "001") payType = "and H.PYTP_FG=" + SqlText(key.PYTP_FG.Str()) + " ";
    const std::string where = "H.CO_CD=" + SqlText(key.CO_CD.Str()) +
                              " and    H.RVRS_YM=" + SqlText(key.RVRS_YM.Str()) +
                              " and   H.SQ=" + key.SQ.Str() + "     " + payType;
    const std::string sql =
        "SELECT A.* FROM ( SELECT H.CO_CD CO_CD , H.EMP_CD  EMP_CD FROM HPOMPPD H WHERE   " +
        where + " UNION  SELECT H.CO_CD CO_CD , H.EMP_CD   EMP_CD FROM HPOMPDD H WHERE   " + where +
        ") A ";
    if (!rows.OnExecuteSQL(CString(sql))) return false;
    for (long i = 0; i < rows.OnGetRecordCount(); ++i)
        out->push_back(rows.OnGetFieldValue("EMP_CD", i).str());
    return true;
}

// One employee's figures as stored for the run (the engine's record when
// the stored row cannot be read back).
struct Figures {
    int months = 0;
    double bonus = 0, base = 0, income = 0, resident = 0;
};

Figures ReadBack(CSalaryCalcurate& engine, const HPHONPD_YMD_FMT& key, const std::string& emp,
                 int months) {
    Figures f;
    f.months = months;
    const std::string payType = key.CCIS_YN == "001" ? key.PYTP_HEAD.Str() : key.PYTP_FG.Str();
    G_DataSource row;
    if (engine.OpenHPOMNPY(&row, CString(emp), CString(payType)) > 0) {
        auto amount = [&row](const char* column) {
            return std::atof(row.OnGetFieldValue(column, 0).c_str());
        };
        f.bonus = amount("TBON_AM") + amount("TPAY_AM");
        f.base = amount("TXST_AM");
        f.income = amount("INTX_AM");
        f.resident = amount("RSTX_AM");
        return f;
    }
    const HPOMNPY_FMT& r = engine.m_HPOMNPY;
    f.bonus = r.TBON_AM + r.TPAY_AM;
    f.base = r.TXST_AM;
    f.income = r.INTX_AM;
    f.resident = r.RSTX_AM;
    return f;
}

// Taxes one employee's bonus. Empty on success, else why it failed.
std::string TaxOne(CSalaryCalcurate& engine, const HPHONPD_YMD_FMT& key, const std::string& emp,
                   int kind, Figures* figures) {
    ClearLastFailure();
    const CString code(emp);
    if (!engine.OpenSEMP(code)) return "the employee has no master record";
    if (!engine.LoadDataIncom(code, 1)) return Why();
    std::memset(static_cast<void*>(&engine.m_HPOMNPY), 0, sizeof engine.m_HPOMNPY);
    engine.GetSalaryTotalCalc(code, std::atoi(key.RVRS_YM.Str().substr(0, 4).c_str()),
                              &engine.m_HPOMNPY);
    // The period as the bonus step will see it (its own call reads the same
    // stored rows, and this run's row is never part of its period).
    HPOMNPY_FMT record = engine.m_HPOMNPY;
    SALARY_TOTAL_x totals{};
    int months = 0;
    engine.GetYmdTotalBones(code, &months, &totals, &record);
    if (!engine.GetCalcBonus(code, kind, CString())) return Why();
    // A step that failed on the way computed with zeros: that is no result.
    if (!LastEngineFailure().step.empty()) return Why();
    *figures = ReadBack(engine, key, emp, months);
    return std::string();
}

int TaxBonuses(const GlobalOptions& options, const BonusOptions& o) {
    if (!OpenDatabaseFor(options)) return kFailed;
    HPHONPD_YMD_FMT key;
    if (!PickRun(o.company, o.month, o.run, &key)) return kFailed;
    const std::string label = "bonus-tax " + o.company + " " + o.month + " run " +
                              std::to_string(o.run) + " (SQ " + key.SQ.Str() + ", pay type " +
                              key.PYTP_FG.Str() + ", kind " + std::to_string(o.kind) + ")";
    if (key.PYTP_FG.View().substr(0, 1) != "2" && !options.quiet)
        std::fprintf(stderr, "payroll: note: pay type %s is not a bonus pay type\n",
                     key.PYTP_FG.c_str());

    ResetTransactionOutcome();
    ClearLastFailure();
    CSalaryCalcurate engine;
    if (!engine.init(&key))
        return Conclude(options, label, Outcome::kFailed,
                        "the run's settings could not be loaded (" + Why() + ")");
    engine.SetYmdFromTo();

    G_DataSource tx;
    std::vector<std::string> employees;
    if (o.employees.empty()) {
        if (!RunEmployees(tx, engine.m_HPHONPD, &employees))
            return Conclude(options, label, Outcome::kFailed,
                            "the run's employees could not be read: " + LastDatabaseError());
    } else {
        for (const std::string& e : o.employees)
            if (std::find(employees.begin(), employees.end(), e) == employees.end())
                employees.push_back(e);
    }

    const bool table = !options.quiet && !options.json;
    tx.OnBeginTrans();
    engine.m_nTableSet = kResultTableSet;
    if (table)
        std::printf("%-12s %6s %16s %16s %14s %14s\n", "EMP_CD", "MONTHS", "TAXABLE BONUS",
                    "TAX BASE", "INCOME TAX", "RESIDENT TAX");
    double income = 0, resident = 0;
    for (const std::string& emp : employees) {
        Figures f;
        const std::string failure = TaxOne(engine, engine.m_HPHONPD, emp, o.kind, &f);
        if (!failure.empty()) {
            tx.OnRollbackTrans();
            return Conclude(options, label, Outcome::kRolledBack,
                            "rolled back at employee " + emp + " (" + failure + ")",
                            {{"employee", emp}});
        }
        if (table)
            std::printf("%-12s %6d %16s %16s %14s %14s\n", emp.c_str(), f.months,
                        Won(f.bonus).c_str(), Won(f.base).c_str(), Won(f.income).c_str(),
                        Won(f.resident).c_str());
        income += f.income;
        resident += f.resident;
    }
    tx.OnCommitTrans();
    if (LastTransactionOutcome() != TransactionOutcome::kCommitted)
        return Conclude(options, label, Outcome::kRolledBack,
                        "the transaction did not commit: " + LastDatabaseError());
    const std::size_t n = employees.size();
    return Conclude(options, label, Outcome::kCommitted,
                    "committed, " + std::to_string(n) + " employee" + (n == 1 ? "" : "s") +
                        ", income tax " + Won(income) + ", resident tax " + Won(resident),
                    {{"employees", n},
                     {"income_tax", std::llround(income)},
                     {"resident_tax", std::llround(resident)}});
}

void AddBonusTaxCommand(CLI::App& app, const GlobalOptions& options, int* exit_code) {
    auto opts = std::make_shared<BonusOptions>();
    CLI::App* cmd = app.add_subcommand("bonus-tax", "tax the bonus of a bonus run's employees");
    cmd->add_option("--company", opts->company, "company code")->required();
    cmd->add_option("--month", opts->month, "attribution month YYYYMM")->required();
    cmd->add_option("--run", opts->run, "the run's place in the month's list (payroll runs)")
        ->required();
    cmd->add_option("--employee", opts->employees,
                    "an employee to tax (repeatable); default: every employee of the run");
    cmd->add_option("--kind", opts->kind,
                    "1 computes the tax (default), 11 too; other kinds store the result record "
                    "as it stands");
    cmd->footer(
        "Example: payroll bonus-tax --company 1000 --month 200206 --run 2\n"
        "Exit code 0 only when the transaction committed; 1 when it rolled back.");
    cmd->callback([opts, &options, exit_code] {
        Validate(*opts);
        *exit_code = TaxBonuses(options, *opts);
    });
}

const bool bonus_tax_registered = RegisterCommand(52, AddBonusTaxCommand);

}  // namespace
}  // namespace payroll::cli
