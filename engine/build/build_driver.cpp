// The roster build driver: one pass (roster, item lists, default rows) for a
// run, or one pass per pay type of a combined run followed by the removal of
// the leavers that no pay type took on.
#include "engine/build/build_steps.h"
#include "engine/build/refresh_text.h"
#include "engine/build/row_index.h"
#include "engine/common/messages.h"
#include "engine/common/row_counts.h"
#include "engine/common/run_key.h"
#include "payroll/diagnostics.h"
#include "platform/db/road_report.h"
#include "platform/lang/lang_util.h"

namespace payroll::build {
namespace {

void NoteLeaversKept() {
    const CString text = TheLangUtil().GetLangString(kLeaversKept);
    engine::NoteFailure("FileterSempData_DELETE", text);
    engine::ShowMessage(text);
}

}  // namespace

// The pay type, the run kind and the rule code written one after another.
bool RuleApplies(const HPHONPD_YMD_FMT& k, std::string_view rule) {
    std::string s = k.PYTP_FG.Str() + k.CCIS_YN.Str() + std::string(rule);
    return s.size() == 9 && s[0] == '2' && s.compare(6, 3, "000") == 0;
}

bool RunPayTypes(CSalaryCalcurate& e, std::vector<std::string>* pay_types) {
    pay_types->clear();
    if (!(e.m_HPHONPD.CCIS_YN == "001")) {
        pay_types->push_back(e.m_HPHONPD.PYTP_FG.Str());
        return true;
    }
    int types = 0;
    if (e.GetPYSP_MAX(&types) != 1) return false;
    const std::size_t n = row_index::UsableRows(e.m_PYTP_FG, types);
    for (std::size_t i = 0; i < n; ++i)
        if (!e.m_PYTP_FG.at(i)->PYTP_FG.IsEmpty())
            pay_types->push_back(e.m_PYTP_FG.at(i)->PYTP_FG.Str());
    return true;
}

int BuildPass(CSalaryCalcurate& e, bool* roster_known, bool* roster_empty) {
    *roster_known = false;
    if (roster_empty) *roster_empty = false;
    if (!run_key::Checked(e.m_HPHONPD)) return 0;
    BuildPassReport pass;
    pass.pay_type = e.m_HPHONPD.PYTP_FG.Str();
    ClearLastFailure();  // what the pass notes is about this pass
    e.m_nRetireStrict = RuleApplies(e.m_HPHONPD, e.m_HPHONPD.RTCM_FG.View()) ? 1 : 0;
    e.m_nJoinStrict = RuleApplies(e.m_HPHONPD, e.m_HPHONPD.JNCM_FG.View()) ? 1 : 0;

    int result = 0;
    const RosterLoad roster = LoadRoster(e, 1);
    *roster_known = roster != RosterLoad::kFailed;
    if (roster_empty) *roster_empty = roster == RosterLoad::kEmpty;
    if (roster == RosterLoad::kLoaded) {
        pass.employees =
            static_cast<long>(row_index::UsableRows(e.m_SEMP, e.m_nRowCount[engine::kRosterRows]));
        if (e.m_HPHONPD.CCIS_YN == "001") {
            // Leavers whom this pay type pays stay in the run.
            const row_index::RosterMembers members(e.m_SEMP, e.m_nRowCount[engine::kRosterRows]);
            const std::size_t rows = row_index::UsableRows(e.m_Leaver, e.m_nLeaverCnt);
            for (std::size_t r = 0; r < rows; ++r) {
                LeaverRecord* row = e.m_Leaver.at(r);
                if (row->CHK == "1" && members.Contains(row->EMP_CD.View())) row->CHK = " 0";
            }
        }
        const int items = e.Load_HPHPOYM();
        if (items == 1 && e.SetAllSempInsert() == 1) {
            result = 1;
            pass.committed = true;
        } else {
            pass.note = LastEngineFailure().step.empty()
                            ? TheLangUtil().GetLangString(items == 1 ? 1003 : 1004).str()
                            : LastEngineFailure().step;
            // The transaction the roster load began ends here as well when
            // no default row was attempted.
            e.m_dsRoster[0].OnRollbackTrans();
            engine::ShowMessage(TheLangUtil().GetLangString(items == 1 ? 1003 : 1004));
        }
    } else if (roster == RosterLoad::kEmpty) {
        pass.empty = true;
        pass.note = "no employee qualified";
    } else {
        pass.note = LastEngineFailure().step.empty() ? std::string("the roster could not be read")
                                                     : LastEngineFailure().step;
    }
    report::Current().passes.push_back(pass);
    e.FreeBuffer_PAY_LIST(0);
    e.FreeBuffer_PAY_LIST(1);
    return result;
}

}  // namespace payroll::build

int CSalaryCalcurate::GetSalaryPepleList() {
    bool roster_known = false;
    return payroll::build::BuildPass(*this, &roster_known, nullptr);
}

int CSalaryCalcurate::_GetSalaryPepleList(int tableSet) {
    using namespace payroll::build;
    if (!payroll::run_key::Checked(m_HPHONPD)) return 0;
    if (!CheckTableSet(tableSet)) return 0;
    m_nTableSet = tableSet;
    if (!(m_HPHONPD.CCIS_YN == "001")) return GetSalaryPepleList();

    // A combined run: one pass per pay type of the pay date.
    int types = 0;
    const bool listed = GetPYSP_MAX(&types) == 1;
    if (!listed) types = 0;
    int passes = 0, failed = 0;
    bool rosters_known = listed;
    std::vector<std::string> built;
    const std::size_t n = payroll::row_index::UsableRows(m_PYTP_FG, types);
    for (std::size_t i = 0; i < n; ++i) {
        const std::string pay_type = m_PYTP_FG.at(i)->PYTP_FG.Str();
        if (pay_type.empty()) continue;
        m_HPHONPD.PYTP_FG = pay_type;
        built.push_back(pay_type);
        bool known = false, empty = false;
        // A pay type that pays nobody on this date is no failed pass.
        if (BuildPass(*this, &known, &empty) != 1 && !empty) ++failed;
        if (!known) rosters_known = false;
        if (!empty) ++passes;
    }

    std::string list;
    const std::size_t rows = payroll::row_index::UsableRows(m_Leaver, m_nLeaverCnt);
    for (std::size_t r = 0; r < rows; ++r)
        if (m_Leaver.at(r)->CHK == "1")
            payroll::refresh::AppendEmployee(&list, m_Leaver.at(r)->EMP_CD.View());
    int result = passes > 0 && failed == 0 ? 1 : 0;
    if (!list.empty()) {
        if (!rosters_known) {
            // Whom a pay type pays is not known: removing the marked
            // employees could remove people the run does pay.
            NoteLeaversKept();
            result = 0;
        } else {
            // The key as the passes left it (each pass set its own pay type).
            const payroll::run_key::Fields key = payroll::run_key::Read(m_HPHONPD);
            // Only this run's rows: its sequence and the pay types it built.
            CString deletes(payroll::refresh::LeaverDeleteText(
                key.company.str(), key.month.str(),
                payroll::refresh::RunRowsCondition(key.sq.str(), built), list, m_nTableSet));
            DspTRACE(deletes, "FileterSempData_DELETE", 1);
            if (!m_DirectSQL.OnExecuteQuery(deletes)) {
                m_dsMain.OnRollbackTrans();
                payroll::engine::NoteFailure("FileterSempData_DELETE error",
                                             m_DirectSQL.GetLastError());
                DspTRACE(deletes, "FileterSempData_DELETE error", 0);
                FreeBuffer_PYTP_FG();
                return 0;
            }
        }
    }
    FreeBuffer_PYTP_FG();
    return result;
}
