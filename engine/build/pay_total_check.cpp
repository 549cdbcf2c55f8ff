// Pay totals per employee of a run and the default pension and health
// deduction texts of one grid row: two services the host calls directly.
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "engine/build/build_steps.h"
#include "engine/common/messages.h"
#include "engine/common/record_layout.h"
#include "engine/common/row_counts.h"
#include "engine/common/run_key.h"
#include "engine/common/statements.h"
#include "engine/tax/tax_steps.h"
#include "payroll/salary_calcurate.h"
#include "platform/text/number_parse.h"
#include "platform/text/sql_text.h"

namespace {

using payroll::sql::Esc;

// A filter clause, or an empty text when the filter is "ALL".
CString FilterClause(const char* format, const CString& filter) {
    CString clause;
    if (filter != "ALL") clause.Format(format, Esc(filter).c_str());
    return clause;
}

}  // namespace

namespace payroll::build {

Status PayTotals(CSalaryCalcurate& e, int kind, const CString& employee, bool* loaded) {
    *loaded = false;
    const auto key = run_key::Checked(e.m_HPHONPD);
    if (!key) return Status::Refused("", "");

    // By the division filter, not by CCIS_YN as the tax and bonus steps do.
    CString payType;
    if (key->division_filter != "001")
        payType.Format("and PYTP_FG='%s' ", Esc(key->pay_type).c_str());
    const CString division = FilterClause("and DIV_CD='%s'  ", key->division_filter);
    const CString department = FilterClause("and DEPT_CD='%s'  ", key->department_filter);
    const CString jobGroup = FilterClause("and PRTY_CD='%s'  ", key->job_group_filter);
    // An odd kind names a deduction table and set 2 with kind 2 an empty
    // name; such a statement fails in the database and is reported as a
    // failed load. A place outside the array names no table at all.
    const long long place = 2LL * e.m_nTableSet + kind;
    const CString table = place >= 0 && place < 8 ? e.m_strTable[place] : CString();

    const std::string company = Esc(key->company);
    CString sql;
    if (employee.IsEmpty()) {
        sql.Format(
            "SELECT A.EMP_CD, CAST( SUM(PAY_AM)  AS char(17)) PAY_AM  FROM   (   SELECT EMP_CD, "
            "PAY_AM FROM %s   WHERE   CO_CD='%s' AND  RVRS_YM='%s' AND  SQ=%s AND  PYDD_FG='P2'   "
            "%s %s %s %s )A,  (  SELECT EMP_CD FROM H_SEMP WHERE CO_CD='%s'  )B WHERE  "
            "A.EMP_CD=*B.EMP_CD   GROUP BY A.EMP_CD ",
            table.c_str(), company.c_str(), Esc(key->month).c_str(), key->sq.c_str(),
            payType.c_str(), division.c_str(), department.c_str(), jobGroup.c_str(),
            company.c_str());
    } else {
        sql.Format(
            "SELECT EMP_CD, CAST( SUM(PAY_AM)  AS char(17)) PAY_AM FROM %s WHERE   CO_CD='%s' AND  "
            "EMP_CD='%s' AND  RVRS_YM='%s' AND  SQ=%s AND  PYDD_FG='P2'  %s %s %s %s GROUP BY "
            "EMP_CD ",
            table.c_str(), company.c_str(), Esc(employee).c_str(), Esc(key->month).c_str(),
            key->sq.c_str(), payType.c_str(), division.c_str(), department.c_str(),
            jobGroup.c_str());
    }

    e.DspTRACE(sql, "ChkTotalPay", 1);
    int& payRows = e.m_nRowCount[engine::kPayCheckRows];
    long count = 0;
    if (Status counted = engine::Count(e.m_dsMain, sql, &count); !counted.ok()) {
        // The statement did not run: that is a failed load, not a run
        // without pay.
        payRows = 0;
        e.DspTRACE(sql, "ChkTotalPay error", 0);
        return counted.Named("ChkTotalPay error");
    }
    payRows = static_cast<int>(std::clamp<long>(count, 0, INT_MAX - 16));
    *loaded = true;
    if (payRows == 0) return Status();

    e.m_ChkPay.Free();
    e.m_ChkPay.Allocate(static_cast<std::size_t>(payRows));
    if (!e.OpenFile_Whole(&e.m_dsMain, sql, e.m_ChkPay.data(), &payRows,
                          engine::LayoutOf<ChkPayRecord>())) {
        *loaded = false;
        Status failed = engine::FailedOn("ChkTotalPay error", e.m_dsMain);
        e.DspTRACE(sql, "ChkTotalPay error", 0);
        return failed;
    }
    return Status();
}

}  // namespace payroll::build

int CSalaryCalcurate::ChkTotalPay(int kind, CString employee) {
    bool loaded = false;
    payroll::engine::Publish(payroll::build::PayTotals(*this, kind, employee, &loaded));
    return loaded ? 1 : 0;
}

int CSalaryCalcurate::GetSempValue(int row, G_DataSource* gridRows, G_DataSource* deductionRows,
                                   CString* pensionText, CString* healthText, int* pensionRow,
                                   int* healthRow) {
    if (!gridRows) return 0;
    const CString employee = gridRows->OnGetFieldValue("EMP_CD", row);
    if (employee.IsEmpty()) return 0;

    struct Target {
        const char* code;
        bool pension;
        CString* text;
        int* row;
    };
    const Target targets[] = {{"S00", true, pensionText, pensionRow},
                              {"S10", false, healthText, healthRow}};
    auto find = [&](const char* code) -> long {
        return deductionRows ? deductionRows->OnFieldSearch("DDCT_CD", code, 0) : -1;
    };

    // A total that could not be read counts as no pay.
    bool totalled = false;
    payroll::engine::Status status = payroll::build::PayTotals(*this, 2, employee, &totalled);
    if (!totalled) {
        for (const Target& t : targets) {
            long at = find(t.code);
            if (at < 0) continue;
            if (t.row) *t.row = static_cast<int>(at);
            if (t.text) *t.text = "0";
        }
        payroll::engine::Publish(status);
        return 1;
    }

    bool found = false;
    status.Keep(payroll::engine::OpenEmployee(*this, employee, &found));
    payroll::engine::Publish(status);
    if (!found) return 0;
    const SEMP_FMT* e = m_SEMP_ALL.at(0);
    bool set = false;
    for (const Target& t : targets) {
        long at = find(t.code);
        if (at < 0) continue;
        if (payroll::text::NumberOf(deductionRows->OnGetFieldValue("DDCT_AM", at).str()) > 0)
            continue;
        if (t.row) *t.row = static_cast<int>(at);
        if (t.text) *t.text = t.pension ? e->NAPS_AM.Str() : e->HIFA_AM.Str();
        set = true;
    }
    return set ? 1 : 0;
}
