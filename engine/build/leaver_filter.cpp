// The roster refresh: leavers of the month are removed from the run (or,
// for a combined run, marked for the build driver), and the run's rows take
// over the current organisation attributes of their employees.
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/build/build_steps.h"
#include "engine/build/default_row_text.h"
#include "engine/build/refresh_text.h"
#include "engine/build/roster_statement.h"
#include "engine/build/row_index.h"
#include "engine/common/binding.h"
#include "engine/common/calendar.h"
#include "engine/common/messages.h"
#include "engine/common/record_layout.h"
#include "engine/common/run_key.h"
#include "engine/common/statements.h"
#include "platform/text/sql_text.h"

namespace {

// Day number of a YYYYMMDD text through the engine's calendar; no date (or
// a placeholder) gives a number of 0 or below.
int DayOf(CSalaryCalcurate& e, const std::string& text) {
    using payroll::calendar::AtoiSlice;
    return e.GetDayNumber(AtoiSlice(text, 0, 4), AtoiSlice(text, 4, 2), AtoiSlice(text, 6, 2));
}

}  // namespace

namespace payroll::build {

Status RefreshRun(CSalaryCalcurate& e, int table_set, int* result) {
    *result = 0;
    if (!run_key::Checked(e.m_HPHONPD)) return Status::Refused("", "");
    if (Status valid = CheckTableSet(table_set); !valid.ok()) return valid;
    e.m_nTableSet = table_set;
    *result = 1;
    bool committed = false;
    return RefreshRows(e, &committed);
}

Status RefreshRows(CSalaryCalcurate& e, bool* committed) {
    using namespace payroll::refresh;
    *committed = false;
    const auto key = run_key::Checked(e.m_HPHONPD);
    if (!key) return Status::Refused("", "");
    // The refresh goes on whatever the filter came to; its status does not.
    int filtered = 0;
    Status status = FilterLeavers(e, &filtered);

    CString prime;
    prime.Format("SELECT * FROM %s WHERE CO_CD='%s' ", TableOf(e, 1).c_str(),
                 payroll::sql::Escape(key->company.str()).c_str());
    if (Status read =
            engine::TracedQuery(e, e.m_dsMain, prime, "GetSempDataUpdate", "Load_SEMP error", 0);
        !read.ok()) {
        status.Keep(std::move(read));
        return status;
    }
    e.m_dsMain.OnBeginTrans();

    const std::string condition = PayTypeCondition(key->combined == "001", key->pay_type.str());
    struct Target {
        RefreshTable kind;
        std::string table;
    };
    std::vector<Target> targets = {{RefreshTable::kPay, TableOf(e, 1)},
                                   {RefreshTable::kDeduction, TableOf(e, 2)}};
    if (e.m_nTableSet != 0) targets.push_back({RefreshTable::kResults, "HPOMNPY"});
    for (const Target& t : targets) {
        CString sql(RefreshText(t.kind, t.table, key->company.str(), key->month.str(),
                                key->sq.str(), condition, key->month.str().substr(0, 4)));
        if (Status updated = engine::TracedExecute(e, sql, "GetSempDataUpdate_update",
                                                   "GetSempDataUpdate_update error", 0);
            !updated.ok()) {
            e.m_dsMain.OnRollbackTrans();
            status.Keep(std::move(updated));
            return status;
        }
    }
    if (!e.m_dsMain.OnCommitTrans()) {
        status.Keep(engine::FailedOn("commit", e.m_dsMain));
        return status;
    }
    *committed = true;
    return status;
}

Status FilterLeavers(CSalaryCalcurate& e, int* result) {
    using namespace payroll::refresh;
    *result = 0;
    const auto key = run_key::Checked(e.m_HPHONPD);
    if (!key) return Status::Refused("", "");
    // The run's pay types: its own, or every one of a combined run's pay
    // date, so that a leaver is judged against each window the run has.
    std::vector<std::string> pay_types;
    if (Status listed = RunPayTypes(e, &pay_types); !listed.ok()) return listed;
    const std::string run_rows = RunRowsCondition(key->sq.str(), pay_types);
    CString sql(
        LeaverQuery(TableOf(e, 1), TableOf(e, 2), key->company.str(), key->month.str(), run_rows));
    e.DspTRACE(sql, "FileterSempData", 1);

    e.m_nLeaverCnt = 0;
    long n = 0;
    if (Status counted = engine::Count(e.m_dsMain, sql, &n); !counted.ok()) {
        e.DspTRACE(sql, "FileterSempData error", 0);
        return counted.Named("FileterSempData error");
    }
    if (n == 0) return Status();
    e.m_nLeaverCnt = static_cast<int>(n);
    e.m_Leaver.Free();
    e.m_Leaver.Allocate(static_cast<std::size_t>(n));
    if (!e.OpenFile_Whole(&e.m_dsMain, sql, e.m_Leaver.data(), &e.m_nLeaverCnt,
                          engine::LayoutOf<LeaverRecord>())) {
        Status failed = engine::FailedOn("FileterSempData error", e.m_dsMain);
        e.DspTRACE(sql, "FileterSempData error", 0);
        return failed;
    }

    const std::size_t rows = row_index::UsableRows(e.m_Leaver, e.m_nLeaverCnt);
    const std::string key_pay_type = e.m_HPHONPD.PYTP_FG.Str();
    for (const std::string& pay_type : pay_types) {
        // The windows and the rules of this pay type, as its roster pass
        // judges them: nobody is a leaver here and a member there.
        e.m_HPHONPD.PYTP_FG = pay_type;
        const bool join_strict = RuleApplies(e.m_HPHONPD, e.m_HPHONPD.JNCM_FG.View());
        const bool retire_strict = RuleApplies(e.m_HPHONPD, e.m_HPHONPD.RTCM_FG.View());
        if (Status windows = engine::PayWindows(e); !windows.ok()) {
            // Without the run's windows every employee would count as a
            // leaver: nobody is marked or removed.
            e.m_HPHONPD.PYTP_FG = key_pay_type;
            windows.Keep(Status::Refused("FileterSempData",
                                         "the pay-period windows of the run could not be read"));
            return windows;
        }
        // The first window of each employee type, in table order.
        std::unordered_map<std::string, const BHHAFF_FMT*> window_of;
        const std::size_t windows = roster::WindowCount(e.m_BHHAFF);
        for (std::size_t w = 0; w < windows; ++w) {
            const BHHAFF_FMT* entry = e.m_BHHAFF.at(w);
            if (!entry->HTYP_CD.IsEmpty()) window_of.try_emplace(entry->HTYP_CD.Str(), entry);
        }
        for (std::size_t r = 0; r < rows; ++r) {
            LeaverRecord* row = e.m_Leaver.at(r);
            const auto it =
                row->HTYP_CD.IsEmpty() ? window_of.end() : window_of.find(row->HTYP_CD.Str());
            // An employee whose type this pay type does not pay has no
            // window to be judged against here.
            if (it == window_of.end() || row->CHK == "1") continue;
            row->nFROM = calendar::ZeroPad8(it->second->BNST_DT.Str());
            row->nTO = calendar::ZeroPad8(it->second->BNED_DT.Str());
            const int join = DayOf(e, row->JOIN_DT.Str());
            const int retire = DayOf(e, row->RTR_DT.Str());
            const int from = DayOf(e, row->nFROM.Str());
            const int to = DayOf(e, row->nTO.Str());
            if (IsLeaver(join, retire, from, to, join_strict, retire_strict)) row->CHK = "1";
        }
    }
    e.m_HPHONPD.PYTP_FG = key_pay_type;
    *result = 1;

    std::string list;
    for (std::size_t r = 0; r < rows; ++r)
        if (e.m_Leaver.at(r)->CHK == "1") AppendEmployee(&list, e.m_Leaver.at(r)->EMP_CD.View());
    if (list.empty()) return Status();

    // Only the rows of this run: its sequence and its pay types.
    CString deletes(
        LeaverDeleteText(key->company.str(), key->month.str(), run_rows, list, e.m_nTableSet));
    e.DspTRACE(deletes, "FileterSempData_DELETE", 1);
    // A combined run keeps the marks: the build driver removes whoever no
    // pay type of the run takes on.
    if (key->combined == "001") return Status();
    // One text, run whole or not at all: no table is left half cleaned.
    if (!e.m_DirectSQL.OnExecuteQuery(deletes)) {
        e.m_dsMain.OnRollbackTrans();
        Status failed =
            Status::Failed("FileterSempData_DELETE error", e.m_DirectSQL.GetLastError().str());
        e.DspTRACE(deletes, "FileterSempData_DELETE error", 0);
        *result = 0;
        return failed;
    }
    return Status();
}

}  // namespace payroll::build

int CSalaryCalcurate::GetSempDataUpdate__(int tableSet) {
    int result = 0;
    payroll::engine::Publish(payroll::build::RefreshRun(*this, tableSet, &result));
    return result;
}

int CSalaryCalcurate::GetSempDataUpdate() {
    bool committed = false;
    payroll::engine::Publish(payroll::build::RefreshRows(*this, &committed));
    return committed ? 1 : 0;
}

int CSalaryCalcurate::FileterSempData() {
    int result = 0;
    payroll::engine::Publish(payroll::build::FilterLeavers(*this, &result));
    return result;
}

int CSalaryCalcurate::UpdateData(int position, int kind, int amountFlag, CString employee,
                                 CString code, int /*unused*/) {
    const auto key = payroll::run_key::Checked(m_HPHONPD);
    if (!key) return 0;
    if ((kind != 1 && kind != 2) || !payroll::build::ReserveRowText(*this, position)) return 0;
    const payroll::RosterRecord* person = m_SEMP.at(position);
    const std::string amount =
        person ? payroll::default_rows::DefaultAmount(
                     code.str(), amountFlag, person->NAPS_AM.View(), person->HIFA_AM.View())
               : std::string("0");
    m_strRowSQL[kind - 1][position] += payroll::default_rows::DefaultAmountUpdate(
        payroll::build::TableOf(*this, kind), amount, key->company.str(), employee.str(),
        key->month.str(), key->pay_type.str(), key->sq.str(), code.str());
    return 1;
}

int CSalaryCalcurate::DataDelete_Copy(CString /*unused*/) {
    return 1;
}
