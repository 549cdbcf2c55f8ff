// The pay step: a built run's pay and deduction rows get their amounts from
// the pay-step table, the employees' fixed items and the month's variable
// pay. It reads what it needs in a few statements, works out every row's
// amount in memory, then writes only the rows whose amount changes and what
// it wrote into its own table (HPOMPSW), which is how a row a clerk changed
// afterwards is told apart from one the step filled.
#include "roads/pay_step.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/common/calendar.h"
#include "engine/common/messages.h"
#include "engine/common/status.h"
#include "payroll/datasource.h"
#include "payroll/diagnostics.h"
#include "payroll/host.h"
#include "platform/db/road_report.h"
#include "platform/text/sql_text.h"
#include "roads/road_transaction.h"

namespace payroll::pay {
namespace {

// Statements sent to the database in one text.
constexpr std::size_t kBatch = 2000;

// Where an amount came from, as HPOMPSW.SRC_FG keeps it.
constexpr const char* kFromSteps = "STP";
constexpr const char* kFromFixed = "FIX";
constexpr const char* kFromVariable = "VAR";

bool Read(G_DataSource& q, const std::string& sql, std::string* error) {
    if (q.OnExecuteSQL(CString(sql))) return true;
    *error = q.GetLastError().str();
    return false;
}

std::string Cell(const G_DataSource& q, int column, long row) {
    return std::string(q.OnGetCellText(column, row));
}

class Batch {
  public:
    bool Add(const std::string& statement, std::string* error) {
        text_ += statement;
        text_ += '\n';
        return ++pending_ < kBatch || Flush(error);
    }
    bool Flush(std::string* error) {
        if (pending_ == 0) return true;
        G_DirectSQL sql;
        const bool ok = sql.OnExecuteText(text_);
        if (!ok) *error = sql.GetLastError().str();
        text_.clear();
        pending_ = 0;
        return ok;
    }

  private:
    std::string text_;
    std::size_t pending_ = 0;
};

// A row of the run: employee, pay type, class (P2 pay, P3 deduction), code.
struct RowKey {
    std::string employee, pay_type, kind, code;
    bool operator<(const RowKey& o) const {
        return std::tie(employee, pay_type, kind, code) <
               std::tie(o.employee, o.pay_type, o.kind, o.code);
    }
};

// What the step wrote into a row, or means to write.
struct Written {
    std::string amount;
    std::string source;
    int days = 0;         // days employed, when prorated
    int window_days = 0;  // days of the window, when prorated
    std::string hours;
    std::string note;
    bool Same(const Written& o) const {
        return amount == o.amount && source == o.source && days == o.days &&
               window_days == o.window_days && hours == o.hours && note == o.note;
    }
};

struct Employee {
    std::string type, pay_class, step, join, retire;
};

// A span of months and its amount (a pay-step row or a fixed item).
struct Span {
    std::string from;
    std::string amount;
};

// The run as the step sees it.
struct Run {
    std::string company, month, sq, set;  // set: the table set's digit
    std::string pay_table, deduction_table;
    std::vector<std::string> pay_types;  // the head first
};

bool InForce(const std::string& from, const std::string& to, const std::string& month) {
    return !from.empty() && from <= month && (to.empty() || to >= month);
}

std::string Where(const Run& run) {
    return " WHERE CO_CD=" + SqlQuoted(run.company) + " AND RVRS_YM=" + SqlQuoted(run.month) +
           " AND SQ=" + run.sq;
}

bool ReadPayTypes(const HPHONPD_YMD_FMT& key, Run* run, std::string* error) {
    G_DataSource q;
    if (!Read(q, "SELECT PYTP_FG FROM HPHONPD" + Where(*run) + " ORDER BY PYTP_FG", error))
        return false;
    const std::string head = key.PYTP_FG.Str();
    for (long r = 0; r < q.OnGetRecordCount(); ++r) {
        std::string type = q.OnGetFieldValue("PYTP_FG", r).str();
        if (type == head)
            run->pay_types.insert(run->pay_types.begin(), type);
        else
            run->pay_types.push_back(type);
    }
    if (run->pay_types.empty()) {
        *error = "company " + run->company + " has no run " + run->month + " SQ " + run->sq;
        return false;
    }
    return true;
}

// The run's rows of both tables, their amounts in plain form.
// The run's rows of the items the step may fill (`codes`): the others are
// never its, and a run has many.
bool ReadRows(const Run& run, const std::set<std::string>& codes,
              std::map<RowKey, std::string>* rows, std::string* error) {
    if (codes.empty()) return true;
    const std::set<std::string> types(run.pay_types.begin(), run.pay_types.end());
    std::string listed;
    for (const std::string& c : codes) listed += (listed.empty() ? "" : ",") + SqlQuoted(c);
    for (const bool pay : {true, false}) {
        const char* code = pay ? "PAY_CD" : "DDCT_CD";
        std::string sql = "SELECT EMP_CD, PYTP_FG, ";
        sql.append(code).append(pay ? ", PAY_AM FROM " : ", DDCT_AM FROM ");
        sql.append(pay ? run.pay_table : run.deduction_table).append(Where(run));
        sql.append(pay ? " AND PYDD_FG='P2' AND " : " AND PYDD_FG='P3' AND ").append(code);
        sql.append(" IN (").append(listed).append(")");
        G_DataSource q;
        if (!Read(q, sql, error)) return false;
        for (long r = 0; r < q.OnGetRecordCount(); ++r) {
            RowKey k{Cell(q, 0, r), Cell(q, 1, r), pay ? "P2" : "P3", Cell(q, 2, r)};
            if (types.count(k.pay_type)) (*rows)[std::move(k)] = PlainNumber(Cell(q, 3, r));
        }
    }
    return true;
}

bool ReadWritten(const Run& run, std::map<RowKey, Written>* written, std::string* error) {
    G_DataSource q;
    if (!Read(q,
              std::string("SELECT EMP_CD, PYTP_FG, PYDD_FG, PYDD_CD, SET_AM, SRC_FG, WORK_DN, "
                          "WNDW_DN, WKHR_TM, CALC_DC FROM ") +
                  kWrittenTable + Where(run) + " AND TBST_FG=" + SqlQuoted(run.set),
              error))
        return false;
    for (long r = 0; r < q.OnGetRecordCount(); ++r) {
        Written w{PlainNumber(Cell(q, 4, r)),
                  Cell(q, 5, r),
                  std::atoi(Cell(q, 6, r).c_str()),
                  std::atoi(Cell(q, 7, r).c_str()),
                  IsAmount(PlainNumber(Cell(q, 8, r))) && !Cell(q, 8, r).empty()
                      ? PlainNumber(Cell(q, 8, r))
                      : "",
                  Cell(q, 9, r)};
        (*written)[{Cell(q, 0, r), Cell(q, 1, r), Cell(q, 2, r), Cell(q, 3, r)}] = std::move(w);
    }
    return true;
}

bool ReadEmployees(const Run& run, std::unordered_map<std::string, Employee>* employees,
                   std::string* error) {
    G_DataSource q;
    if (!Read(q,
              "SELECT EMP_CD, HTYP_CD, HCLS_CD, PYST_GR, JOIN_DT, RTR_DT FROM SEMP WHERE CO_CD=" +
                  SqlQuoted(run.company),
              error))
        return false;
    for (long r = 0; r < q.OnGetRecordCount(); ++r)
        (*employees)[Cell(q, 0, r)] = {Cell(q, 1, r), Cell(q, 2, r), Cell(q, 3, r), Cell(q, 4, r),
                                       Cell(q, 5, r)};
    return true;
}

// The latest span in force in the month of each key, from a query whose
// first columns are the key's, then from, to and the amount.
bool ReadInForce(const std::string& sql, int key_columns, const std::string& month,
                 std::map<std::pair<std::string, std::string>, Span>* out, std::string* error) {
    G_DataSource q;
    if (!Read(q, sql, error)) return false;
    for (long r = 0; r < q.OnGetRecordCount(); ++r) {
        const std::string from = Cell(q, key_columns, r), to = Cell(q, key_columns + 1, r);
        if (!InForce(from, to, month)) continue;
        std::pair<std::string, std::string> key{Cell(q, 0, r),
                                                key_columns > 1 ? Cell(q, 1, r) : ""};
        Span& span = (*out)[key];
        if (span.from.empty() || from > span.from)
            span = {from, PlainNumber(Cell(q, key_columns + 2, r))};
    }
    return true;
}

// Each employee type's pay window in the run's month, as the engine draws
// it: from the type's cut-off day (HHFAACC); the calendar month without one.
bool ReadWindows(const Run& run, std::map<std::string, std::pair<std::string, std::string>>* out,
                 std::string* error) {
    G_DataSource q;
    if (!Read(q,
              "SELECT HTYP_CD, MNLT_FG, TMST_DT FROM HHFAACC WHERE CO_CD=" + SqlQuoted(run.company),
              error))
        return false;
    const int year = std::atoi(run.month.substr(0, 4).c_str());
    const int month = std::atoi(run.month.substr(4, 2).c_str());
    for (long r = 0; r < q.OnGetRecordCount(); ++r) {
        const std::string kind = Cell(q, 1, r);
        const int cutoff = std::atoi(Cell(q, 2, r).c_str());
        std::string start, end;
        calendar::PayWindow(kind == "001"   ? 1
                            : kind == "002" ? 2
                                            : 0,
                            cutoff, year, month, &start, &end);
        if (DaysBetween(start, end) > 0) (*out)[Cell(q, 0, r)] = {start, end};
    }
    std::string start, end;
    calendar::PayWindow(2, 1, year, month, &start, &end);
    (*out)[""] = {start, end};
    return true;
}

// The run's rows of one employee by class and code, in the order of the
// run's pay types: where an item of his goes.
class Places {
  public:
    explicit Places(const Run& run) : run_(run) {}
    void Add(const RowKey& k) { codes_[k.employee + '\x1f' + k.code].insert(k); }
    // The row of the employee's item in the first pay type of the run that
    // has it (salary pay types only when `salary`), pay rows before
    // deduction rows; false when there is none.
    bool Find(const std::string& employee, const std::string& code, bool salary,
              RowKey* out) const {
        auto it = codes_.find(employee + '\x1f' + code);
        if (it == codes_.end()) return false;
        for (const char* kind : {"P2", "P3"})
            for (const std::string& type : run_.pay_types) {
                if (salary && type.rfind('2', 0) == 0) continue;
                RowKey k{employee, type, kind, code};
                if (it->second.count(k)) {
                    *out = std::move(k);
                    return true;
                }
            }
        return false;
    }

  private:
    const Run& run_;
    std::unordered_map<std::string, std::set<RowKey>> codes_;
};

std::string Matching(const Run& run, const RowKey& k, bool written) {
    const std::string code = written ? "PYDD_CD" : k.kind == "P2" ? "PAY_CD" : "DDCT_CD";
    std::string s = Where(run) + " AND PYTP_FG=" + SqlQuoted(k.pay_type) +
                    " AND EMP_CD=" + SqlQuoted(k.employee) + " AND PYDD_FG=" + SqlQuoted(k.kind) +
                    " AND " + code + "=" + SqlQuoted(k.code);
    if (written) s += " AND TBST_FG=" + SqlQuoted(run.set);
    return s;
}

std::string SetAmount(const Run& run, const RowKey& k, const std::string& amount) {
    const bool pay = k.kind == "P2";
    return "UPDATE " + (pay ? run.pay_table : run.deduction_table) + " SET " +
           (pay ? "PAY_AM=" : "DDCT_AM=") + amount + Matching(run, k, false);
}

std::string NumberOrNull(int value) {
    return value > 0 ? std::to_string(value) : "NULL";
}

std::string Remember(const Run& run, const RowKey& k, const Written& w, bool known) {
    const std::string hours = w.hours.empty() ? "NULL" : w.hours;
    if (known)
        return std::string("UPDATE ") + kWrittenTable + " SET SET_AM=" + w.amount +
               ", SRC_FG=" + SqlQuoted(w.source) + ", WORK_DN=" + NumberOrNull(w.days) +
               ", WNDW_DN=" + NumberOrNull(w.window_days) + ", WKHR_TM=" + hours +
               ", CALC_DC=" + SqlQuoted(w.note) + Matching(run, k, true);
    return std::string("INSERT INTO ") + kWrittenTable +
           " (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, TBST_FG, PYDD_FG, PYDD_CD, SET_AM, SRC_FG, "
           "WORK_DN, WNDW_DN, WKHR_TM, CALC_DC) VALUES (" +
           SqlQuoted(run.company) + "," + SqlQuoted(run.month) + "," + run.sq + "," +
           SqlQuoted(k.pay_type) + "," + SqlQuoted(k.employee) + "," + SqlQuoted(run.set) + "," +
           SqlQuoted(k.kind) + "," + SqlQuoted(k.code) + "," + w.amount + "," +
           SqlQuoted(w.source) + "," + NumberOrNull(w.days) + "," + NumberOrNull(w.window_days) +
           "," + hours + "," + SqlQuoted(w.note) + ")";
}

std::string Forget(const Run& run, const RowKey& k) {
    return std::string("DELETE FROM ") + kWrittenTable + Matching(run, k, true);
}

// Every row's amount by the step's sources: the pay-step table, then the
// fixed items over it, then the variable pay over both.
class Targets {
  public:
    Targets(const Run& run, const Places& places) : run_(run), places_(places) {}

    bool Load(std::string* error) {
        if (!ReadEmployees(run_, &employees_, error) || !ReadWindows(run_, &windows_, error))
            return false;
        const std::string c = SqlQuoted(run_.company);
        return ReadInForce(
                   "SELECT HCLS_CD, PYST_CD, APST_YM, APED_YM, PAY_AM FROM HHCPYST WHERE "
                   "CO_CD=" +
                       c,
                   2, run_.month, &steps_, error) &&
               ReadInForce(
                   "SELECT EMP_CD, FIXP_CD, CTST_YM, CTED_YM, FIX_AM FROM HPHFXPD WHERE "
                   "CO_CD=" +
                       c,
                   2, run_.month, &fixed_, error);
    }

    // The base pay and fixed items of every employee with rows in the run.
    // False with *error when a source holds something else than an amount:
    // it would go into a statement unquoted.
    bool FillMonthly(const std::set<std::string>& people, std::string* error) {
        std::map<std::string, std::vector<std::pair<std::string, std::string>>> items;
        for (const auto& [key, span] : fixed_)
            if (people.count(key.first)) items[key.first].emplace_back(key.second, span.amount);
        for (const std::string& employee : people) {
            auto e = employees_.find(employee);
            if (e == employees_.end()) continue;
            auto mine = items.find(employee);
            bool fixed_base = false;
            if (mine != items.end())
                for (const auto& [code, amount] : mine->second) {
                    if (IsComputedDeduction(code)) continue;
                    fixed_base = fixed_base || code == "P00";
                    Set(e->second, employee, code, amount, kFromFixed);
                }
            if (fixed_base) continue;
            auto step = steps_.find({e->second.pay_class, e->second.step});
            if (step != steps_.end())
                Set(e->second, employee, "P00", step->second.amount, kFromSteps);
        }
        *error = bad_;
        return bad_.empty();
    }

    // The month's variable pay: what was imported before for the items the
    // new list does not name, then the list. False when an amount has no
    // row in the run.
    bool FillVariable(const std::vector<VariablePay>& variable,
                      const std::map<RowKey, Written>& written, std::string* error) {
        std::set<std::string> named;
        for (const VariablePay& v : variable) named.insert(v.item);
        for (const auto& [k, w] : written)
            if (w.source == kFromVariable && !named.count(k.code) && IsAmount(w.amount))
                targets_[k] = {w.amount, kFromVariable, 0, 0, w.hours, w.note};
        for (const VariablePay& v : variable) {
            RowKey k;
            if (!places_.Find(v.employee, v.item, false, &k) || IsComputedDeduction(v.item)) {
                *error = "employee " + v.employee + " has no row of item " + v.item + " in run " +
                         run_.month + " SQ " + run_.sq;
                return false;
            }
            if (!IsAmount(PlainNumber(v.amount)) || (!v.hours.empty() && !IsAmount(v.hours))) {
                *error = "the amount " + v.amount + " of employee " + v.employee + ", item " +
                         v.item + " is not a number";
                return false;
            }
            targets_[k] = {PlainNumber(v.amount),
                           kFromVariable,
                           0,
                           0,
                           v.hours.empty() ? "" : PlainNumber(v.hours),
                           v.note};
        }
        return true;
    }

    // The items a source of the month names (the base pay among them).
    std::set<std::string> Codes() const {
        std::set<std::string> codes{"P00"};
        for (const auto& [key, span] : fixed_) codes.insert(key.second);
        return codes;
    }

    const std::map<RowKey, Written>& all() const { return targets_; }

  private:
    void Set(const Employee& e, const std::string& employee, const std::string& code,
             const std::string& amount, const char* source) {
        RowKey k;
        if (!places_.Find(employee, code, true, &k)) return;
        if (!IsAmount(amount)) {
            if (bad_.empty())
                bad_ = std::string(source == kFromSteps ? "the pay step" : "the fixed item") +
                       " of employee " + employee + ", item " + code + " holds " + amount +
                       ", not an amount";
            return;
        }
        Written w{amount, source, 0, 0, "", ""};
        if (k.kind == "P2") {
            auto window = windows_.find(e.type);
            if (window == windows_.end()) window = windows_.find("");
            const auto& [start, end] = window->second;
            const int all = DaysBetween(start, end);
            const int days = DaysEmployed(e.join, e.retire, start, end);
            if (days < all) {
                w.amount = Prorate(amount, days, all);
                w.days = days;
                w.window_days = all;
            }
        }
        targets_[k] = std::move(w);
    }

    const Run& run_;
    const Places& places_;
    std::unordered_map<std::string, Employee> employees_;
    std::map<std::string, std::pair<std::string, std::string>> windows_;
    std::map<std::pair<std::string, std::string>, Span> steps_;
    std::map<std::pair<std::string, std::string>, Span> fixed_;
    std::map<RowKey, Written> targets_;
    std::string bad_;  // the first source that is not an amount
};

const char* kTables[][2] = {{"HPITMPD", "HPITMDD"}, {"HPOMPPD", "HPOMPDD"}, {"HTOWTRT", "HTOWTDR"}};

}  // namespace

bool FillPay(const HPHONPD_YMD_FMT& key, const PayChoices& choices, PayStepReport* done,
             std::string* error) {
    *done = PayStepReport{};
    done->ran = true;
    if (choices.table_set < 0 || choices.table_set > 2) {
        *error = "no table set " + std::to_string(choices.table_set);
        return false;
    }
    Run run;
    run.company = key.CO_CD.Str();
    run.month = key.RVRS_YM.Str();
    run.sq = key.SQ.Str();
    run.set = std::to_string(choices.table_set);
    run.pay_table = kTables[choices.table_set][0];
    run.deduction_table = kTables[choices.table_set][1];
    if (!sql::IsSequence(run.sq) || run.month.size() != 6) {
        *error = "the run's key is incomplete (month " + run.month + ", SQ " + run.sq + ")";
        return false;
    }
    std::map<RowKey, std::string> rows;
    std::map<RowKey, Written> written;
    Places places(run);
    Targets targets(run, places);
    if (!ReadPayTypes(key, &run, error) || !ReadWritten(run, &written, error) ||
        !targets.Load(error))
        return false;
    std::set<std::string> codes = targets.Codes();
    for (const VariablePay& v : choices.variable) codes.insert(v.item);
    for (const auto& [k, w] : written) codes.insert(k.code);
    for (auto c = codes.begin(); c != codes.end();)
        c = IsComputedDeduction(*c) ? codes.erase(c) : std::next(c);
    if (!ReadRows(run, codes, &rows, error)) return false;
    std::set<std::string> people;
    for (const auto& [k, amount] : rows) {
        places.Add(k);
        people.insert(k.employee);
    }
    if (!targets.FillMonthly(people, error)) return false;
    if (!targets.FillVariable(choices.variable, written, error)) return false;

    Batch batch;
    // What the step remembers of rows the run no longer has goes first.
    for (const auto& [k, w] : written)
        if (!rows.count(k) && !batch.Add(Forget(run, k), error)) return false;
    for (const auto& [k, current] : rows) {
        if (IsComputedDeduction(k.code)) continue;
        auto t = targets.all().find(k);
        auto w = written.find(k);
        const bool known = w != written.end();
        // A row is the clerk's when it no longer holds what the step wrote
        // (or, never written by the step, holds anything but 0).
        const std::string expected = known ? w->second.amount : "0";
        if (t == targets.all().end()) {
            if (!known) continue;
            if (current != expected && !choices.reset) {
                ++done->kept;
            } else {
                ++done->cleared;
                if (current != "0" && !batch.Add(SetAmount(run, k, "0"), error)) return false;
            }
            if (!batch.Add(Forget(run, k), error)) return false;
            continue;
        }
        const Written& target = t->second;
        if (current != expected && current != target.amount && !choices.reset) {
            ++done->kept;
            continue;
        }
        ++done->filled;
        if (target.window_days > 0) ++done->prorated;
        if (target.source == kFromVariable) ++done->variable;
        if (current != target.amount && !batch.Add(SetAmount(run, k, target.amount), error))
            return false;
        if ((!known || !w->second.Same(target)) &&
            !batch.Add(Remember(run, k, target, known), error))
            return false;
    }
    return batch.Flush(error);
}

}  // namespace payroll::pay

namespace payroll {

RoadResult FillRunPay(const HPHONPD_YMD_FMT& run, const PayChoices& choices) {
    ResetTransactionOutcome();
    ClearLastFailure();
    BeginRoadReport("pay");
    RoadResult result;
    auto ended = [&result](RoadOutcome outcome, std::string reason) {
        report::Current().outcome = outcome;
        result.outcome = outcome;
        result.reason = std::move(reason);
        result.report = CurrentRoadReport();
        return result;
    };
    if (choices.table_set < 0 || choices.table_set > 2)
        return ended(RoadOutcome::kNotEnded, "no table set " + std::to_string(choices.table_set));
    if (!sql::IsSequence(run.SQ.View()))
        return ended(RoadOutcome::kNotEnded, "the run's SQ " + run.SQ.Str() + " is not a number");
    std::string why;
    roads::RoadTransaction tx;
    if (!tx.Begin({roads::YearLock(run.CO_CD.Str(), run.RVRS_YM.Str().substr(0, 4))},
                  {roads::RunLock(run)}, &why))
        return ended(RoadOutcome::kNotEnded, why);
    const bool filled = pay::FillPay(run, choices, &result.pay, &why);
    if (!filled || tx.Lost() || !tx.Commit(&why)) {
        tx.RollBack();
        const engine::Status stopped =
            engine::Status::Failed(filled ? "commit" : "pay step", why).At(roads::RunName(run), "");
        engine::ReportStop(stopped);
        engine::Publish(stopped);
        // Nothing of the step stays: neither do its figures.
        result.pay = PayStepReport{};
        result.pay.ran = true;
        return ended(RoadOutcome::kRolledBack, DescribeFailure(CurrentRoadReport()));
    }
    return ended(RoadOutcome::kCommitted, "");
}

}  // namespace payroll
