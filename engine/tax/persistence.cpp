// Result persistence: stores the employee's result record as the summary row
// of HPOMNPY and writes back the fixed deduction rows of the run, after
// reloading what the mode keeps from earlier runs.
#include <cstdlib>

#include "engine/common/messages.h"
#include "engine/common/record_layout.h"
#include "engine/common/run_key.h"
#include "engine/common/statements.h"
#include "engine/tax/result_record.h"
#include "engine/tax/tax_steps.h"
#include "payroll/salary_calcurate.h"
#include "platform/db/connection.h"
#include "platform/lang/lang_util.h"
#include "platform/text/number_parse.h"
#include "platform/text/sql_text.h"
#include "platform/ui/afx.h"

using payroll::engine::LayoutOf;
using payroll::run_key::Fields;
using payroll::sql::Esc;

namespace {

constexpr int kAmountPrecision = 4;

// The condition naming the employee's deduction rows of the run other than
// the R codes.
CString DeductionRowCondition(const Fields& key, const CString& employee, const CString& payType) {
    CString w;
    w.Format(
        "CO_CD='%s' AND EMP_CD='%s' AND RVRS_YM='%s' AND PYTP_FG='%s' AND SQ=%s  AND "
        "SUBSTRING(ddct_cd, 1,1) <> 'R'",
        Esc(key.company).c_str(), Esc(employee).c_str(), Esc(key.month).c_str(),
        Esc(payType).c_str(), key.sq.c_str());
    return w;
}

// The employee's attributes loaded by OpenSEMP; an empty record when the
// employee table has been released.
const SEMP_FMT& EmployeeOf(const CSalaryCalcurate& e) {
    static const SEMP_FMT kNone{};
    const SEMP_FMT* r = e.m_SEMP_ALL.at(0);
    return r ? *r : kNone;
}

// The deduction table of the engine's table set; empty (a statement that
// cannot run) for a selector outside the table list.
CString DeductionTable(const CSalaryCalcurate& e) {
    long index = 2L * e.m_nTableSet + 1;
    return index >= 0 && index < 8 ? e.m_strTable[index] : CString();
}

// The summary replace: the run's old row (or rows, for a combined run) of the
// employee out and the record in, as one text that runs whole or not at all,
// so a failing INSERT leaves the old row in place.
CString SummaryReplaceText(const CSalaryCalcurate& e, const Fields& key, const CString& employee,
                           const CString& payType) {
    const HPOMNPY_FMT& r = e.m_HPOMNPY;
    const SEMP_FMT& s = EmployeeOf(e);
    payroll::result::Filters filters = payroll::result::FiltersOf(e.m_HPHONPD, payType.str());
    CString sql;
    sql.Format(
        "DELETE FROM HPOMNPY WHERE   CO_CD='%s' AND EMP_CD='%s' AND RVRS_YM='%s' AND SQ=%s  %s "
        "%s %s %s INSERT INTO HPOMNPY( CO_CD,   EMP_CD,  RVRS_YM, SQ, PYTP_FG, DIV_CD, DEPT_CD, "
        "PJT_CD, HTYP_CD, HRSP_CD, HCLS_CD, HOPR_CD, PYSP_FG, PRTY_CD, TPAY_AM, TBON_AM, "
        "SALY_AM, BONUS_AM, FGTE_AM, EWTE_AM, AITE_AM, ETTE_AM,  \nFEDD_AM, TXST_AM, CCTX_AM, "
        "PFND_AM,  DEXT_AM, SPIC_AM, AGTX_AM, INTX_AM,  \nRSTX_AM, RTTF_AM, ACBN_AM, HIFE_AM,  "
        "NAPE_AM, DDCT_AM, ETIN_AM, EXCL_YN ) \nVALUES ( '%s',  '%s',  '%s',  %s,  '%s', '%s', "
        "'%s', '%s', '%s', '%s', '%s', '%s', '%s', '%s', %1.4f, %1.4f, %1.4f, %1.4f, \n%1.4f, "
        "%1.4f, %1.4f, %1.4f, %1.4f, %1.4f, %1.4f, %1.4f, \n%1.4f, %1.4f, %1.4f, %1.4f, %1.4f, "
        "%1.4f, %1.4f, %1.4f, \n%1.4f, %1.4f, %1.4f, %03d ) \n ",
        Esc(key.company).c_str(), Esc(employee).c_str(), Esc(key.month).c_str(), key.sq.c_str(),
        filters.pay_type.c_str(), filters.division.c_str(), filters.department.c_str(),
        filters.party.c_str(), Esc(key.company).c_str(), Esc(employee).c_str(),
        Esc(key.month).c_str(), key.sq.c_str(), Esc(payType).c_str(), Esc(s.CDIV_CD.View()).c_str(),
        Esc(s.DEPT_CD.View()).c_str(), Esc(s.PJT_CD.View()).c_str(), Esc(s.HTYP_CD.View()).c_str(),
        Esc(s.HRSP_CD.View()).c_str(), Esc(s.HCLS_CD.View()).c_str(), Esc(s.HOPR_CD.View()).c_str(),
        Esc(s.PYSP_FG.View()).c_str(), Esc(s.PRTY_CD.View()).c_str(), r.TPAY_AM, r.TBON_AM,
        r.SALY_AM, r.BONUS_AM, r.FGTE_AM, r.EWTE_AM, r.AITE_AM, r.ETTE_AM, r.FEDD_AM, r.TXST_AM,
        r.CCTX_AM, r.PFND_AM, r.DEXT_AM, r.SPIC_AM, r.AGTX_AM, r.INTX_AM, r.RSTX_AM, r.RTTF_AM,
        r.ACBN_AM, r.HIFE_AM, r.NAPE_AM, r.DDCT_AM, r.ETIN_AM, static_cast<int>(r.EXCL_YN));
    return sql;
}

// The summary update of the run's existing row of the employee.
CString SummaryUpdateText(const CSalaryCalcurate& e, const Fields& key, const CString& employee,
                          const CString& payType) {
    const HPOMNPY_FMT& r = e.m_HPOMNPY;
    CString sql;
    sql.Format(
        "UPDATE HPOMNPY SET TPAY_AM=%1.4f, TBON_AM=%1.4f, SALY_AM=%1.4f, BONUS_AM=%1.4f, "
        "\nFGTE_AM=%1.4f, EWTE_AM=%1.4f, AITE_AM=%1.4f, ETTE_AM=%1.4f,  FEDD_AM=%1.4f, "
        "TXST_AM=%1.4f, CCTX_AM=%1.4f, PFND_AM=%1.4f,  \nDEXT_AM=%1.4f, SPIC_AM=%1.4f, "
        "AGTX_AM=%1.4f, INTX_AM=%1.4f,  RSTX_AM=%1.4f, RTTF_AM=%1.4f, ACBN_AM=%1.4f, "
        "HIFE_AM=%1.4f,  \nNAPE_AM=%1.4f, DDCT_AM=%1.4f, ETIN_AM=%1.4f, EXCL_YN=%03d    \nWHERE "
        "  CO_CD='%s' AND EMP_CD='%s' AND RVRS_YM='%s' AND SQ=%s AND PYTP_FG='%s' \n",
        r.TPAY_AM, r.TBON_AM, r.SALY_AM, r.BONUS_AM, r.FGTE_AM, r.EWTE_AM, r.AITE_AM, r.ETTE_AM,
        r.FEDD_AM, r.TXST_AM, r.CCTX_AM, r.PFND_AM, r.DEXT_AM, r.SPIC_AM, r.AGTX_AM, r.INTX_AM,
        r.RSTX_AM, r.RTTF_AM, r.ACBN_AM, r.HIFE_AM, r.NAPE_AM, r.DDCT_AM, r.ETIN_AM,
        static_cast<int>(r.EXCL_YN), Esc(key.company).c_str(), Esc(employee).c_str(),
        Esc(key.month).c_str(), key.sq.c_str(), Esc(payType).c_str());
    return sql;
}

// Writes S00, S10, S20 and T00 back into the employee's deduction rows of the
// run: an update of each row that exists, an insert of a missing T00 row. All
// in one text, so the rows change together or not at all. Nothing is written
// for an employee without any such row.
payroll::engine::Status WriteDeductionRows(CSalaryCalcurate& e, const Fields& key,
                                           const CString& employee, const CString& payType) {
    using payroll::result::DeductionCodeRecord;
    const CString table = DeductionTable(e);
    const CString where = DeductionRowCondition(key, employee, payType);
    CString read;
    read.Format("Select DDCT_CD,  CONVERT(varchar(40), DDCT_CD) RMK_DC from %s where ",
                table.c_str());
    read += where;
    e.DspTRACE(read, "all_save:read", 1);

    CString batch;
    long counted = 0;
    // A read that fails leaves the rows unwritten, and the step fails.
    payroll::engine::Status status =
        payroll::engine::Count(e.m_dsMain, read, &counted).Named("all_save error");
    int rows = status.ok() ? static_cast<int>(counted) : 0;
    payroll::RecordTable<DeductionCodeRecord> present;
    if (rows > 0) {
        present.Allocate(static_cast<std::size_t>(rows));
        if (!e.OpenFile_Whole(&e.m_dsMain, read, present.data(), &rows,
                              LayoutOf<DeductionCodeRecord>())) {
            status = payroll::engine::FailedOn("all_save error", e.m_dsMain);
            rows = 0;
        }
    } else {
        rows = 0;
    }
    const SEMP_FMT& s = EmployeeOf(e);
    for (const char* code : payroll::result::kWrittenCodes) {
        if (rows == 0) break;
        const CString amount = [&] {
            CString a;
            a.Format("%1.*f", kAmountPrecision, e.m_HPOMNPY.*payroll::result::DeductionField(code));
            return a;
        }();
        const bool incomeTax = CString(code) == "T00";
        // The income-tax row of table set 1 carries the employee's pay-period
        // window.
        const CString dummy1 = incomeTax && e.m_nTableSet == 1 ? e.GetYmdtoYmd(0) : CString(" ");
        bool found = false;
        for (int i = 0; i < rows && !found; ++i) {
            const DeductionCodeRecord* row = present.at(static_cast<std::size_t>(i));
            found = row && row->DDCT_CD == code;
        }
        if (found) {
            batch.AppendFormat("UPDATE %s SET DDCT_AM='%s', DUMMY1='%s' WHERE ", table.c_str(),
                               amount.c_str(), Esc(dummy1).c_str());
            batch += where;
            batch.AppendFormat(" and DDCT_CD='%s' ", code);
            batch += "\n";
        } else if (incomeTax) {
            batch.AppendFormat(
                "INSERT INTO %s (CO_CD, DIV_CD, DEPT_CD, PJT_CD, EMP_CD, RVRS_YM, SQ, PYTP_FG, "
                "PYDD_FG, DDCT_CD, DDCT_AM , DUMMY1 ) VALUES ('%s','%s','%s','%s','%s','%s',%s,"
                "'%s','%s','%s','%s', '%s' )",
                table.c_str(), Esc(key.company).c_str(), Esc(s.CDIV_CD.View()).c_str(),
                Esc(s.DEPT_CD.View()).c_str(), Esc(s.PJT_CD.View()).c_str(), Esc(employee).c_str(),
                Esc(key.month).c_str(), key.sq.c_str(), Esc(payType).c_str(), "P3", "T00",
                amount.c_str(), Esc(dummy1).c_str());
            batch += "\n";
        }
    }
    present.Free();
    if (!batch.IsEmpty())
        status.Keep(payroll::engine::TracedExecute(e, batch, "all_save", "all_save error"));
    return status;
}

}  // namespace

namespace payroll::engine {

Status OpenSummary(CSalaryCalcurate& e, G_DataSource& source, const CString& employee,
                   const CString& payType, long* rows) {
    *rows = 0;
    const auto key = run_key::Checked(e.m_HPHONPD);
    if (!key) return Status::Refused("", "");
    CString sql;
    sql.Format(
        "SELECT CO_CD, EMP_CD, RVRS_YM, SQ, PYTP_FG,DIV_CD, DEPT_CD,PJT_CD, HTYP_CD, "
        "HRSP_CD,HCLS_CD,HOPR_CD, PYSP_FG,PRTY_CD, TPAY_AM,TBON_AM,SALY_AM, BONUS_AM,FGTE_AM,"
        "EWTE_AM, AITE_AM,ETTE_AM,FEDD_AM, TXST_AM,CCTX_AM,PFND_AM, DEXT_AM,SPIC_AM,AGTX_AM, "
        "INTX_AM,RSTX_AM,RTTF_AM, ACBN_AM,HIFE_AM,NAPE_AM, DDCT_AM,ETIN_AM,EXCL_YN  FROM "
        "HPOMNPY WHERE   CO_CD='%s' AND EMP_CD='%s' AND RVRS_YM='%s' AND SQ=%s AND "
        "PYTP_FG='%s' ",
        Esc(key->company).c_str(), Esc(employee).c_str(), Esc(key->month).c_str(), key->sq.c_str(),
        Esc(payType).c_str());
    if (Status read = QueryOpen(e, source, sql); !read.ok()) return read;
    *rows = source.OnGetRecordCount();
    return Status();
}

Status ReloadSummary(CSalaryCalcurate& e, const CString& employee, const CString& payType,
                     int kind) {
    if (!run_key::Checked(e.m_HPHONPD)) return Status::Refused("", "");
    long rows = 0;
    Status status = OpenSummary(e, e.m_dsMain, employee, payType, &rows);
    if (rows <= 0) return status;
    for (const result::SummaryColumn& c : result::ReloadedColumns(kind))
        e.m_HPOMNPY.*c.field = text::NumberOf(e.m_dsMain.OnGetFieldValue(c.name, 0).str());
    e.m_HPOMNPY.EXCL_YN = std::atoi(e.m_dsMain.OnGetFieldValue("EXCL_YN", 0).c_str());
    return Status();
}

Status ReloadDeductions(CSalaryCalcurate& e, const CString& employee, HPOMNPY_FMT* record,
                        int mode) {
    using result::DeductionAmountRecord;
    const auto key = run_key::Checked(e.m_HPHONPD);
    if (!record || !key) return Status::Refused("", "");
    // The reload reads the run's own pay type, also for a combined run's
    // filter-less form.
    result::Filters filters = result::FiltersOf(e.m_HPHONPD, key->pay_type.str());
    CString sql;
    sql.Format(
        "SELECT DDCT_CD, DDCT_AM, DIV_CD, DEPT_CD,PRTY_CD  FROM HPOMPDD WHERE CO_CD='%s' AND "
        "EMP_CD='%s' AND RVRS_YM='%s' AND SQ=%s AND PYDD_FG='%s' %s %s %s %s ",
        Esc(key->company).c_str(), Esc(employee).c_str(), Esc(key->month).c_str(), key->sq.c_str(),
        "P3", filters.pay_type.c_str(), filters.division.c_str(), filters.department.c_str(),
        filters.party.c_str());
    e.DspTRACE(sql, "GetHPOMDDdata", 1);
    long counted = 0;
    if (Status count = Count(e.m_dsMain, sql, &counted); !count.ok())
        return count.Named("GetHPOMDDdata error");
    int rows = static_cast<int>(counted);
    if (rows <= 0) return Status();

    RecordTable<DeductionAmountRecord> stored;
    stored.Allocate(static_cast<std::size_t>(rows));
    if (!e.OpenFile_Whole(&e.m_dsMain, sql, stored.data(), &rows,
                          LayoutOf<DeductionAmountRecord>())) {
        Status failed = FailedOn("GetHPOMDDdata error", e.m_dsMain);
        AfxMessageBox(TheLangUtil().GetLangString(1005).c_str());
        return failed;
    }
    SEMP_FMT* emp = e.m_SEMP_ALL.at(0);
    for (int i = 0; i < rows; ++i) {
        const DeductionAmountRecord* row = stored.at(static_cast<std::size_t>(i));
        if (!row) break;
        // The run's rows carry the organisation the summary row is stored under.
        if (emp) {
            if (!row->DIV_CD.IsEmpty()) emp->CDIV_CD = row->DIV_CD.View();
            if (!row->DEPT_CD.IsEmpty()) emp->DEPT_CD = row->DEPT_CD.View();
            if (!row->PRTY_CD.IsEmpty()) emp->PRTY_CD = row->PRTY_CD.View();
        }
        if (result::LoadsDeduction(row->DDCT_CD.View(), mode))
            record->*result::DeductionField(row->DDCT_CD.View()) =
                text::NumberOf(row->DDCT_AM.View());
    }
    return Status();
}

Status StoreResult(CSalaryCalcurate& e, const CString& employee, int mode, bool* stored) {
    *stored = false;
    const auto key = run_key::Checked(e.m_HPHONPD);
    if (!key) return Status::Refused("", "");
    // An employee without a master row is stored with empty attributes.
    bool found = false;
    Status status = OpenEmployee(e, employee, &found);
    const CString payType = result::StoredPayType(e.m_HPHONPD);

    switch (mode) {
        case 3:
        case 4:
            status.Keep(ReloadSummary(e, employee, payType, 0));
            status.Keep(ReloadDeductions(e, employee, &e.m_HPOMNPY, mode));
            break;
        case 2:
            result::Clear(&e.m_HPOMNPY);
            status.Keep(ReloadSummary(e, employee, payType, 2));
            status.Keep(ReloadDeductions(e, employee, &e.m_HPOMNPY, 2));
            break;
        case 1:
        case 11:
            status.Keep(ReloadDeductions(e, employee, &e.m_HPOMNPY, mode));
            break;
        default:
            break;
    }

    bool replace = true;
    if (mode != 3 && mode != 4) {
        e.m_HPOMNPY.HIFE_AM = 0;
        e.m_HPOMNPY.NAPE_AM = 0;
        e.m_HPOMNPY.DDCT_AM = 0;
        long rows = 0;
        status.Keep(OpenSummary(e, e.m_dsMain, employee, payType, &rows));
        replace = rows <= 0;
    }
    Status saved = TracedExecute(e,
                                 replace ? SummaryReplaceText(e, *key, employee, payType)
                                         : SummaryUpdateText(e, *key, employee, payType),
                                 "sum save", "sum save error");
    if (!saved.ok()) {
        status.Keep(std::move(saved));
        return status;
    }
    if (db::Connection* c = db::Connection::Current()) c->NoteResultStored();
    *stored = true;
    status.Keep(WriteDeductionRows(e, *key, employee, payType));
    return status;
}

}  // namespace payroll::engine

int CSalaryCalcurate::OpenHPOMNPY(G_DataSource* source, CString employee, CString payType) {
    if (!source) return 0;
    long rows = 0;
    payroll::engine::Publish(
        payroll::engine::OpenSummary(*this, *source, employee, payType, &rows));
    return static_cast<int>(rows);
}

int CSalaryCalcurate::Get_NO_FIXED_CODE(CString employee, CString payType, int kind) {
    if (!payroll::run_key::Checked(m_HPHONPD)) return 0;
    payroll::engine::Publish(payroll::engine::ReloadSummary(*this, employee, payType, kind));
    return 1;
}

void CSalaryCalcurate::GetHPOMDDdata(CString employee, HPOMNPY_FMT* record, int mode) {
    payroll::engine::Publish(payroll::engine::ReloadDeductions(*this, employee, record, mode));
}

CString CSalaryCalcurate::OldDataPayLoad(int, CString, CString) {
    return CString();
}

int CSalaryCalcurate::AppendData(CString employee, int mode, CString) {
    bool stored = false;
    payroll::engine::Publish(payroll::engine::StoreResult(*this, employee, mode, &stored));
    return stored ? 1 : 0;
}
