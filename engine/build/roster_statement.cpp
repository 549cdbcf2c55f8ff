#include "engine/build/roster_statement.h"

#include "payroll/cstring.h"
#include "platform/text/sql_text.h"

namespace payroll::roster {
namespace {

// The four clause templates, by join rule (first index) and retirement rule.
constexpr const char* kClause[2][2] = {
    {"(   S.HTYP_CD='%s' AND  S.PYSP_FG='%s' AND  LEN(JOIN_DT) = 8 AND S.JOIN_DT IS NOT NULL "
     "AND S.JOIN_DT >'00000000' AND ( (S.JOIN_DT<='%s' AND S.RTR_DT >= '%s' )  OR "
     "(S.JOIN_DT<='%s' AND S.RTR_DT IS NULL ) OR (S.JOIN_DT<='%s' AND S.RTR_DT ='' ) OR "
     "(S.JOIN_DT<='%s' AND S.RTR_DT ='00000000') ) ) ",
     "(   S.HTYP_CD='%s' AND  S.PYSP_FG='%s' AND  LEN(JOIN_DT) = 8 AND S.JOIN_DT IS NOT NULL "
     "AND S.JOIN_DT >'00000000' AND ( (S.JOIN_DT<= '%s' AND S.RTR_DT > '%s' )  OR "
     "(S.JOIN_DT<= '%s' AND S.RTR_DT IS NULL ) OR (S.JOIN_DT<= '%s' AND S.RTR_DT ='' ) OR "
     "(S.JOIN_DT<= '%s' AND S.RTR_DT ='00000000') ) ) "},
    {"(   S.HTYP_CD='%s' AND S.PYSP_FG='%s' AND  LEN(JOIN_DT) = 8 AND S.JOIN_DT IS NOT NULL "
     "AND S.JOIN_DT >'00000000' AND ( (S.JOIN_DT< '%s' AND S.RTR_DT >= '%s' )  OR "
     "(S.JOIN_DT< '%s' AND S.RTR_DT IS NULL ) OR (S.JOIN_DT< '%s' AND S.RTR_DT ='' ) OR "
     "(S.JOIN_DT< '%s' AND S.RTR_DT ='00000000') ) ) ",
     "(   S.HTYP_CD='%s' AND S.PYSP_FG='%s' AND  LEN(JOIN_DT) = 8 AND S.JOIN_DT IS NOT NULL "
     "AND S.JOIN_DT >'00000000' AND ( (S.JOIN_DT< '%s' AND S.RTR_DT > '%s' )  OR "
     "(S.JOIN_DT< '%s' AND S.RTR_DT IS NULL ) OR (S.JOIN_DT< '%s' AND S.RTR_DT ='' ) OR "
     "(S.JOIN_DT< '%s' AND S.RTR_DT ='00000000') ) ) "},
};

constexpr const char* kEveryDivision =
    "SELECT S.CO_CD, S.EMP_CD, %s KOR_NM, S.PRTY_CD, S.DEPT_CD , S.PJT_CD , S.HTYP_CD, "
    "S.HRSP_CD, S.HCLS_CD, S.HOPR_CD , S.PYSP_FG, S.JOIN_DT,  S.RTR_DT, S.ENRL_FG , S.NAPS_AM, "
    "S.HIFA_AM FROM SEMP S WHERE   S.CO_CD='%s' AND S.EMPL_FG !='002' %s %s ";

constexpr const char* kOneDivision =
    "SELECT S.CO_CD, S.EMP_CD, %s KOR_NM, S.PRTY_CD, S.DEPT_CD , S.PJT_CD , S.HTYP_CD, "
    "S.HRSP_CD, S.HCLS_CD, S.HOPR_CD , S.PYSP_FG, S.JOIN_DT,  S.RTR_DT, S.ENRL_FG , S.NAPS_AM, "
    "S.HIFA_AM FROM SEMP S, SDEPT T WHERE   S.CO_CD='%s' AND S.EMPL_FG !='002' AND "
    "S.CO_CD=T.CO_CD AND S.DEPT_CD=T.DEPT_CD AND T.DIV_CD='%s'  %s %s ";

using sql::Escape;

}  // namespace

std::string JoinLimit(const Window& w, bool join_strict) {
    return join_strict ? w.start : w.end;
}

std::string RetireLimit(const Window& w, bool retire_strict) {
    return retire_strict ? w.end : w.start;
}

std::string WindowClause(const Window& w, bool join_strict, bool retire_strict) {
    const std::string j = Escape(JoinLimit(w, join_strict));
    const std::string r = Escape(RetireLimit(w, retire_strict));
    CString text;
    text.Format(kClause[join_strict ? 1 : 0][retire_strict ? 1 : 0], Escape(w.htyp_cd).c_str(),
                Escape(w.pysp_fg).c_str(), j.c_str(), r.c_str(), j.c_str(), j.c_str(), j.c_str());
    return text.str();
}

std::string DepartmentCondition(const std::string& department) {
    if (department == "ALL") return "";
    CString text;
    text.Format("and S.DEPT_CD='%s'  ", Escape(department).c_str());
    return text.str();
}

std::string JobGroupCondition(const std::string& job_group) {
    if (job_group == "ALL") return "";
    CString text;
    text.Format("and S.PRTY_CD='%s'  ", Escape(job_group).c_str());
    return text.str();
}

std::string RosterStatement(const RosterFilter& f, const std::vector<Window>& windows) {
    // The base statement takes its filters as arguments; the window clauses
    // are appended as plain text afterwards, so nothing a window holds is
    // ever read as a format.
    const std::string dept = DepartmentCondition(f.department);
    const std::string prty = JobGroupCondition(f.job_group);
    CString text;
    if (f.division == "ALL")
        text.Format(kEveryDivision, f.name_column.c_str(), Escape(f.company).c_str(), dept.c_str(),
                    prty.c_str());
    else
        text.Format(kOneDivision, f.name_column.c_str(), Escape(f.company).c_str(),
                    Escape(f.division).c_str(), dept.c_str(), prty.c_str());
    std::string out = text.str();
    if (!windows.empty()) {
        out += "AND (  ";
        for (std::size_t i = 0; i < windows.size(); ++i) {
            if (i) out += " OR ";
            out += WindowClause(windows[i], f.join_strict, f.retire_strict);
        }
        out += " ) ";
    }
    out += " ORDER BY EMP_CD";
    return out;
}

std::size_t WindowCount(const RecordTable<BHHAFF_FMT>& table) {
    return table.allocated() && table.capacity() >= RecordTable<BHHAFF_FMT>::kSpare
               ? table.capacity() - RecordTable<BHHAFF_FMT>::kSpare
               : 0;
}

std::vector<Window> WindowsOf(const RecordTable<BHHAFF_FMT>& table) {
    std::vector<Window> out;
    const std::size_t n = WindowCount(table);
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const BHHAFF_FMT* e = table.at(i);
        if (!e) break;
        out.push_back({e->HTYP_CD.Str(), e->PYSP_FG.Str(), e->BNST_DT.Str(), e->BNED_DT.Str()});
    }
    return out;
}

}  // namespace payroll::roster
