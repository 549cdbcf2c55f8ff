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

int CSalaryCalcurate::GetSempDataUpdate__(int tableSet) {
    if (!payroll::run_key::Checked(m_HPHONPD)) return 0;
    if (!payroll::build::CheckTableSet(tableSet)) return 0;
    m_nTableSet = tableSet;
    GetSempDataUpdate();
    return 1;
}

int CSalaryCalcurate::GetSempDataUpdate() {
    using namespace payroll::refresh;
    const auto key = payroll::run_key::Checked(m_HPHONPD);
    if (!key) return 0;
    FileterSempData();

    CString prime;
    prime.Format("SELECT * FROM %s WHERE CO_CD='%s' ", payroll::build::TableOf(*this, 1).c_str(),
                 payroll::sql::Escape(key->company.str()).c_str());
    if (!payroll::engine::TracedQuery(*this, m_dsMain, prime, "GetSempDataUpdate",
                                      "Load_SEMP error", 0)
             .ok())
        return 0;
    m_dsMain.OnBeginTrans();

    const std::string condition = PayTypeCondition(key->combined == "001", key->pay_type.str());
    struct Target {
        RefreshTable kind;
        std::string table;
    };
    std::vector<Target> targets = {{RefreshTable::kPay, payroll::build::TableOf(*this, 1)},
                                   {RefreshTable::kDeduction, payroll::build::TableOf(*this, 2)}};
    if (m_nTableSet != 0) targets.push_back({RefreshTable::kResults, "HPOMNPY"});
    for (const Target& t : targets) {
        CString sql(RefreshText(t.kind, t.table, key->company.str(), key->month.str(),
                                key->sq.str(), condition, key->month.str().substr(0, 4)));
        if (!payroll::engine::TracedExecute(*this, sql, "GetSempDataUpdate_update",
                                            "GetSempDataUpdate_update error", 0)
                 .ok()) {
            m_dsMain.OnRollbackTrans();
            return 0;
        }
    }
    if (!m_dsMain.OnCommitTrans()) {
        payroll::engine::NoteFailure("commit", m_dsMain.GetLastError());
        return 0;
    }
    return 1;
}

int CSalaryCalcurate::FileterSempData() {
    using namespace payroll::refresh;
    const auto key = payroll::run_key::Checked(m_HPHONPD);
    if (!key) return 0;
    // The run's pay types: its own, or every one of a combined run's pay
    // date, so that a leaver is judged against each window the run has.
    std::vector<std::string> pay_types;
    if (!payroll::build::RunPayTypes(*this, &pay_types)) {
        payroll::engine::NoteFailure("FileterSempData error", m_dsMain.GetLastError());
        return 0;
    }
    const std::string run_rows = RunRowsCondition(key->sq.str(), pay_types);
    CString sql(LeaverQuery(payroll::build::TableOf(*this, 1), payroll::build::TableOf(*this, 2),
                            key->company.str(), key->month.str(), run_rows));
    DspTRACE(sql, "FileterSempData", 1);

    m_nLeaverCnt = 0;
    long n = m_dsMain.OnGetBulkRecordCount(sql);
    if (n == 0) {
        if (!m_dsMain.GetLastError().IsEmpty()) {
            payroll::engine::NoteFailure("FileterSempData error", m_dsMain.GetLastError());
            DspTRACE(sql, "FileterSempData error", 0);
        }
        return 0;
    }
    m_nLeaverCnt = static_cast<int>(n);
    m_Leaver.Free();
    m_Leaver.Allocate(static_cast<std::size_t>(n));
    if (!OpenFile_Whole(&m_dsMain, sql, m_Leaver.data(), &m_nLeaverCnt,
                        payroll::engine::LayoutOf<payroll::LeaverRecord>())) {
        payroll::engine::NoteFailure("FileterSempData error", m_dsMain.GetLastError());
        DspTRACE(sql, "FileterSempData error", 0);
        return 0;
    }

    const std::size_t rows = payroll::row_index::UsableRows(m_Leaver, m_nLeaverCnt);
    const std::string key_pay_type = m_HPHONPD.PYTP_FG.Str();
    for (const std::string& pay_type : pay_types) {
        // The windows and the rules of this pay type, as its roster pass
        // judges them: nobody is a leaver here and a member there.
        m_HPHONPD.PYTP_FG = pay_type;
        const bool join_strict = payroll::build::RuleApplies(m_HPHONPD, m_HPHONPD.JNCM_FG.View());
        const bool retire_strict = payroll::build::RuleApplies(m_HPHONPD, m_HPHONPD.RTCM_FG.View());
        if (!SetYmdFromTo()) {
            // Without the run's windows every employee would count as a
            // leaver: nobody is marked or removed.
            m_HPHONPD.PYTP_FG = key_pay_type;
            payroll::engine::NoteFailure("FileterSempData",
                                         "the pay-period windows of the run could not be read");
            return 0;
        }
        // The first window of each employee type, in table order.
        std::unordered_map<std::string, const payroll::BHHAFF_FMT*> window_of;
        const std::size_t windows = payroll::roster::WindowCount(m_BHHAFF);
        for (std::size_t w = 0; w < windows; ++w) {
            const payroll::BHHAFF_FMT* entry = m_BHHAFF.at(w);
            if (!entry->HTYP_CD.IsEmpty()) window_of.try_emplace(entry->HTYP_CD.Str(), entry);
        }
        for (std::size_t r = 0; r < rows; ++r) {
            payroll::LeaverRecord* row = m_Leaver.at(r);
            const auto it =
                row->HTYP_CD.IsEmpty() ? window_of.end() : window_of.find(row->HTYP_CD.Str());
            // An employee whose type this pay type does not pay has no
            // window to be judged against here.
            if (it == window_of.end() || row->CHK == "1") continue;
            row->nFROM = payroll::calendar::ZeroPad8(it->second->BNST_DT.Str());
            row->nTO = payroll::calendar::ZeroPad8(it->second->BNED_DT.Str());
            const int join = DayOf(*this, row->JOIN_DT.Str());
            const int retire = DayOf(*this, row->RTR_DT.Str());
            const int from = DayOf(*this, row->nFROM.Str());
            const int to = DayOf(*this, row->nTO.Str());
            if (IsLeaver(join, retire, from, to, join_strict, retire_strict)) row->CHK = "1";
        }
    }
    m_HPHONPD.PYTP_FG = key_pay_type;

    std::string list;
    for (std::size_t r = 0; r < rows; ++r)
        if (m_Leaver.at(r)->CHK == "1") AppendEmployee(&list, m_Leaver.at(r)->EMP_CD.View());
    if (list.empty()) return 1;

    // Only the rows of this run: its sequence and its pay types.
    CString deletes(
        LeaverDeleteText(key->company.str(), key->month.str(), run_rows, list, m_nTableSet));
    DspTRACE(deletes, "FileterSempData_DELETE", 1);
    // A combined run keeps the marks: the build driver removes whoever no
    // pay type of the run takes on.
    if (key->combined == "001") return 1;
    // One text, run whole or not at all: no table is left half cleaned.
    if (!m_DirectSQL.OnExecuteQuery(deletes)) {
        m_dsMain.OnRollbackTrans();
        payroll::engine::NoteFailure("FileterSempData_DELETE error", m_DirectSQL.GetLastError());
        DspTRACE(deletes, "FileterSempData_DELETE error", 0);
        return 0;
    }
    return 1;
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
