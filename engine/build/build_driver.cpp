// The roster build driver: one pass (roster, item lists, default rows) for a
// run, or one pass per pay type of a combined run followed by the removal of
// the leavers that no pay type took on.
#include "engine/build/build_steps.h"
#include "engine/build/refresh_text.h"
#include "engine/build/row_index.h"
#include "engine/common/messages.h"
#include "engine/common/row_counts.h"
#include "engine/common/run_key.h"
#include "engine/common/statements.h"
#include "platform/db/road_report.h"
#include "platform/lang/lang_util.h"

namespace payroll::build {
namespace {

Status LeaversKept() {
    const CString text = TheLangUtil().GetLangString(kLeaversKept);
    engine::ShowMessage(text);
    return Status::Refused("FileterSempData_DELETE", text.str());
}

}  // namespace

// The pay type, the run kind and the rule code written one after another.
bool RuleApplies(const HPHONPD_YMD_FMT& k, std::string_view rule) {
    std::string s = k.PYTP_FG.Str() + k.CCIS_YN.Str() + std::string(rule);
    return s.size() == 9 && s[0] == '2' && s.compare(6, 3, "000") == 0;
}

Status RunPayTypes(CSalaryCalcurate& e, std::vector<std::string>* pay_types) {
    pay_types->clear();
    if (!(e.m_HPHONPD.CCIS_YN == "001")) {
        pay_types->push_back(e.m_HPHONPD.PYTP_FG.Str());
        return Status();
    }
    int types = 0;
    if (Status listed = PayTypesOfPayDate(e, &types); !listed.ok()) return listed;
    const std::size_t n = row_index::UsableRows(e.m_PYTP_FG, types);
    for (std::size_t i = 0; i < n; ++i)
        if (!e.m_PYTP_FG.at(i)->PYTP_FG.IsEmpty())
            pay_types->push_back(e.m_PYTP_FG.at(i)->PYTP_FG.Str());
    return Status();
}

Status BuildPass(CSalaryCalcurate& e, bool* roster_known, bool* roster_empty, int* result) {
    *roster_known = false;
    *result = 0;
    if (roster_empty) *roster_empty = false;
    if (!run_key::Checked(e.m_HPHONPD)) return Status::Refused("", "");
    BuildPassReport pass;
    pass.pay_type = e.m_HPHONPD.PYTP_FG.Str();
    e.m_nRetireStrict = RuleApplies(e.m_HPHONPD, e.m_HPHONPD.RTCM_FG.View()) ? 1 : 0;
    e.m_nJoinStrict = RuleApplies(e.m_HPHONPD, e.m_HPHONPD.JNCM_FG.View()) ? 1 : 0;

    RosterLoad roster = RosterLoad::kFailed;
    Status status = LoadRoster(e, 1, &roster);
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
        bool items = false;
        status.Keep(LoadItemLists(e, &items));
        bool committed = false;
        if (items) status.Keep(InsertDefaultRows(e, &committed));
        if (committed) {
            *result = 1;
            pass.committed = true;
        } else {
            pass.note = status.step().empty()
                            ? TheLangUtil().GetLangString(items ? 1003 : 1004).str()
                            : status.step();
            // The transaction the roster load began ends here as well when
            // no default row was attempted.
            e.m_dsRoster[0].OnRollbackTrans();
            engine::ShowMessage(TheLangUtil().GetLangString(items ? 1003 : 1004));
        }
    } else if (roster == RosterLoad::kEmpty) {
        pass.empty = true;
        pass.note = "no employee qualified";
    } else {
        pass.note =
            status.step().empty() ? std::string("the roster could not be read") : status.step();
    }
    report::Current().passes.push_back(pass);
    e.FreeBuffer_PAY_LIST(0);
    e.FreeBuffer_PAY_LIST(1);
    return status;
}

Status BuildRun(CSalaryCalcurate& e, int table_set, int* result) {
    *result = 0;
    if (!run_key::Checked(e.m_HPHONPD)) return Status::Refused("", "");
    if (Status valid = CheckTableSet(table_set); !valid.ok()) return valid;
    e.m_nTableSet = table_set;
    if (!(e.m_HPHONPD.CCIS_YN == "001")) {
        bool roster_known = false;
        return BuildPass(e, &roster_known, nullptr, result);
    }

    // A combined run: one pass per pay type of the pay date.
    int types = 0;
    Status status = PayTypesOfPayDate(e, &types);
    const bool listed = status.ok();
    if (!listed) types = 0;
    int passes = 0, failed = 0;
    bool rosters_known = listed;
    std::vector<std::string> built;
    const std::size_t n = row_index::UsableRows(e.m_PYTP_FG, types);
    for (std::size_t i = 0; i < n; ++i) {
        const std::string pay_type = e.m_PYTP_FG.at(i)->PYTP_FG.Str();
        if (pay_type.empty()) continue;
        e.m_HPHONPD.PYTP_FG = pay_type;
        built.push_back(pay_type);
        bool known = false, empty = false;
        int pass = 0;
        status.Keep(BuildPass(e, &known, &empty, &pass));
        // A pay type that pays nobody on this date is no failed pass.
        if (pass != 1 && !empty) ++failed;
        if (!known) rosters_known = false;
        if (!empty) ++passes;
    }

    std::string list;
    const std::size_t rows = row_index::UsableRows(e.m_Leaver, e.m_nLeaverCnt);
    for (std::size_t r = 0; r < rows; ++r)
        if (e.m_Leaver.at(r)->CHK == "1")
            refresh::AppendEmployee(&list, e.m_Leaver.at(r)->EMP_CD.View());
    *result = passes > 0 && failed == 0 ? 1 : 0;
    if (!list.empty()) {
        if (!rosters_known) {
            // Whom a pay type pays is not known: removing the marked
            // employees could remove people the run does pay.
            status.Keep(LeaversKept());
            *result = 0;
        } else {
            // The key as the passes left it (each pass set its own pay type).
            const run_key::Fields key = run_key::Read(e.m_HPHONPD);
            // Only this run's rows: its sequence and the pay types it built.
            CString deletes(refresh::LeaverDeleteText(
                key.company.str(), key.month.str(), refresh::RunRowsCondition(key.sq.str(), built),
                list, e.m_nTableSet));
            e.DspTRACE(deletes, "FileterSempData_DELETE", 1);
            if (!e.m_DirectSQL.OnExecuteQuery(deletes)) {
                e.m_dsMain.OnRollbackTrans();
                status.Keep(Status::Failed("FileterSempData_DELETE error",
                                           e.m_DirectSQL.GetLastError().str()));
                e.DspTRACE(deletes, "FileterSempData_DELETE error", 0);
                e.FreeBuffer_PYTP_FG();
                *result = 0;
                return status;
            }
        }
    }
    e.FreeBuffer_PYTP_FG();
    return status;
}

}  // namespace payroll::build

int CSalaryCalcurate::GetSalaryPepleList() {
    bool roster_known = false;
    int result = 0;
    payroll::engine::Publish(payroll::build::BuildPass(*this, &roster_known, nullptr, &result));
    return result;
}

int CSalaryCalcurate::_GetSalaryPepleList(int tableSet) {
    int result = 0;
    payroll::engine::Publish(payroll::build::BuildRun(*this, tableSet, &result));
    return result;
}
