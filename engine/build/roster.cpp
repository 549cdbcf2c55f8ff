// The pay-run roster: the employees paid in the run (Load_SEMP), the run's
// pay and deduction item lists (Load_HPHPOYM) and the pay types sharing its
// pay date (GetPYSP_MAX).
#include <algorithm>

#include "engine/build/build_steps.h"
#include "engine/build/roster_statement.h"
#include "engine/common/binding.h"
#include "engine/common/messages.h"
#include "engine/common/row_counts.h"
#include "engine/common/run_key.h"
#include "engine/common/statements.h"
#include "platform/lang/lang_util.h"
#include "platform/text/sql_text.h"

namespace payroll::build {
namespace {

// Field widths of a roster record, in the statement's column order.
const RecordLayout& RosterLayout() {
    static const RecordLayout layout = {5, 11, 31, 4, 5, 11, 4, 4, 4, 4, 4, 9, 9, 4, 18, 18};
    return layout;
}

Status RefuseLargeRun(long employees) {
    const CString text =
        lang::FormatLangText(kRunTooLarge, {employees, CSalaryCalcurate::kMaxRosterEmployees});
    engine::ShowMessage(text);
    return Status::Refused("Load_SEMP", text.str());
}

}  // namespace

Status LoadRoster(CSalaryCalcurate& e, int execute, RosterLoad* load) {
    *load = RosterLoad::kFailed;
    if (!run_key::Checked(e.m_HPHONPD)) return Status::Refused("", "");
    if (Status windows = engine::PayWindows(e); !windows.ok()) return windows;

    const HPHONPD_YMD_FMT& k = e.m_HPHONPD;
    roster::RosterFilter filter;
    filter.name_column = e.m_bLangDefault ? "S.KOR_NM" : "S.KOR_NMK";
    filter.company = k.CO_CD.Str();
    filter.division = k.DIV_FILTER.Str();
    filter.department = k.DEPT_FILTER.Str();
    filter.job_group = k.PRTY_FILTER.Str();
    filter.join_strict = e.m_nJoinStrict != 0;
    filter.retire_strict = e.m_nRetireStrict != 0;
    e.m_strSempQuery = roster::RosterStatement(filter, roster::WindowsOf(e.m_BHHAFF));
    e.DspTRACE(e.m_strSempQuery, "Load_SEMP", 1);
    if (execute == 0) {
        *load = RosterLoad::kLoaded;
        return Status();
    }

    long n = 0;
    if (Status counted = engine::Count(e.m_dsMain, e.m_strSempQuery, &n); !counted.ok()) {
        e.DspTRACE(e.m_strSempQuery, "Load_SEMP error", 0);
        return counted.Named("Load_SEMP error");
    }
    if (n > CSalaryCalcurate::kMaxRosterEmployees) {
        // Refused before anything is written: the statement texts of a run
        // have room for this many employees only.
        e.m_nRowCount[engine::kRosterRows] = 0;
        return RefuseLargeRun(n);
    }
    e.m_nRowCount[engine::kRosterRows] = static_cast<int>(n);
    if (n == 0) {
        *load = RosterLoad::kEmpty;
        return Status();
    }
    e.m_SEMP.Free();
    e.m_SEMP.Allocate(static_cast<std::size_t>(n));
    int rows = static_cast<int>(n);
    static_assert(sizeof(RosterRecord) == 145);
    if (!e.OpenFile_Whole(&e.m_dsMain, e.m_strSempQuery, e.m_SEMP.data(), &rows, RosterLayout())) {
        Status failed = engine::FailedOn("Load_SEMP error", e.m_dsMain);
        e.DspTRACE(e.m_strSempQuery, "Load_SEMP error", 0);
        return failed;
    }

    // The build's transaction: begun here, ended by the default-row step.
    G_DataSource& tx = e.m_dsRoster[0];
    if (!tx.OnExecuteSQL("select * from semp where co_cd='x' ")) {
        Status failed = engine::FailedOn("begintrans", tx);
        e.DspTRACE(e.m_strSempQuery, "begintrans", 0);
        return failed;
    }
    tx.OnBeginTrans();
    *load = RosterLoad::kLoaded;
    return Status();
}

Status LoadItemLists(CSalaryCalcurate& e, bool* loaded) {
    using payroll::sql::Esc;
    *loaded = false;
    const auto key = run_key::Checked(e.m_HPHONPD);
    if (!key) return Status::Refused("", "");
    const char* classes[2] = {"P2", "P3"};
    for (int place = 0; place < 2; ++place) {
        CString sql;
        sql.Format(
            "SELECT  UPPER(CAST( A.PYDD_CD AS CHAR(3))) PYDD_CD, CAST( B.TAX_FG AS CHAR(3) ) "
            "TAX_FG, CAST( '.' AS CHAR(98) ) DUMMY1 FROM HPHPOYM A LEFT OUTER JOIN HPMPDFM B ON "
            "A.CO_CD=B.CO_CD AND A.PYTP_FG=B.PYTP_FG AND A.PYDD_FG=B.PYDD_FG AND "
            "A.PYDD_CD=B.PYDD_CD WHERE  A.CO_CD='%s' AND  A.PYTP_FG='%s' AND A.PYDD_FG='%s' AND "
            "A.RVRS_YM='%s' AND A.SQ='%s' AND B.RVRS_YM LIKE '%s%%' ",
            Esc(key->company).c_str(), Esc(key->pay_type).c_str(), classes[place],
            Esc(key->month).c_str(), Esc(key->sq).c_str(), Esc(key->month.Left(4)).c_str());
        e.DspTRACE(sql, "Load_HPHPOYM", 1);
        long n = 0;
        Status read = engine::Count(e.m_dsMain, sql, &n);
        e.m_nDfmListCnt[place] = static_cast<int>(n);
        e.FreeBuffer_DFM_LIST(place);
        e.m_DFM_LIST[place].Allocate(static_cast<std::size_t>(n));
        if (n == 0 && read.ok()) return Status();
        if (read.ok() && !e.m_dsMain.OnExecuteSQL(sql)) read = engine::FailedOn("", e.m_dsMain);
        if (!read.ok()) {
            e.FreeBuffer_DFM_LIST(place);
            e.m_nDfmListCnt[place] = 0;
            engine::ShowMessage("ERROR 종료후 다시 실행하세요!");
            return read.Named("Load_HPHPOYM error");
        }
        const long held = std::min(n, e.m_dsMain.OnGetRecordCount());
        for (long r = 0; r < held; ++r) {
            DfmListRecord* item = e.m_DFM_LIST[place].at(static_cast<std::size_t>(r));
            item->PYDD_CD = e.m_dsMain.OnGetFieldValue("PYDD_CD", r).str();
            item->TAX_FG = e.m_dsMain.OnGetFieldValue("TAX_FG", r).str();
            item->DUMMY1 = e.m_dsMain.OnGetFieldValue("DUMMY1", r).str();
        }
    }
    *loaded = true;
    return Status();
}

Status PayTypesOfPayDate(CSalaryCalcurate& e, int* count) {
    using payroll::sql::Esc;
    const auto key = run_key::Checked(e.m_HPHONPD);
    if (!key) return Status::Refused("", "");
    CString sql;
    sql.Format(
        "select PYTP_FG, CONVERT(VARCHAR(40), CO_CD) AS RMK_DC from HPHONPD where CO_CD='%s' and "
        "RVRS_YM='%s' AND SQ=%s ",
        Esc(key->company).c_str(), Esc(key->month).c_str(), key->sq.c_str());
    e.DspTRACE(sql, "GetPYSP_MAX ", 1);
    long n = 0;
    Status read = engine::Count(e.m_dsMain, sql, &n);
    if (n == 0 && read.ok()) {
        if (count) *count = 0;
        return Status();
    }
    e.FreeBuffer_PYTP_FG();
    e.m_PYTP_FG.Allocate(static_cast<std::size_t>(n));
    if (read.ok() && !e.m_dsMain.OnExecuteSQL(sql)) read = engine::FailedOn("", e.m_dsMain);
    if (!read.ok()) {
        e.FreeBuffer_PYTP_FG();
        engine::ShowMessage(TheLangUtil().GetLangString(1006));
        return read.Named("GetPYSP_MAX");
    }
    const long held = std::min(n, e.m_dsMain.OnGetRecordCount());
    for (long r = 0; r < held; ++r) {
        PytpRecord* type = e.m_PYTP_FG.at(static_cast<std::size_t>(r));
        type->PYTP_FG = e.m_dsMain.OnGetFieldValue("PYTP_FG", r).str();
        type->RMK_DC = e.m_dsMain.OnGetFieldValue("RMK_DC", r).str();
    }
    if (count) *count = static_cast<int>(held);
    return Status();
}

}  // namespace payroll::build

int CSalaryCalcurate::Load_SEMP(int execute) {
    payroll::build::RosterLoad load = payroll::build::RosterLoad::kFailed;
    payroll::engine::Publish(payroll::build::LoadRoster(*this, execute, &load));
    return load == payroll::build::RosterLoad::kLoaded ? 1 : 0;
}

int CSalaryCalcurate::Load_HPHPOYM() {
    bool loaded = false;
    payroll::engine::Publish(payroll::build::LoadItemLists(*this, &loaded));
    return loaded ? 1 : 0;
}

int CSalaryCalcurate::GetPYSP_MAX(int* count) {
    return payroll::engine::Publish(payroll::build::PayTypesOfPayDate(*this, count)) ? 1 : 0;
}
