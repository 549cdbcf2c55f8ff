// Taxable totals of one employee of a run: the employee's attributes, the
// pay rows of the run, and their split into taxable and exempt pay.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "engine/common/messages.h"
#include "engine/common/row_counts.h"
#include "engine/common/run_key.h"
#include "engine/common/statements.h"
#include "engine/tax/exemptions.h"
#include "engine/tax/tax_steps.h"
#include "payroll/salary_calcurate.h"
#include "platform/lang/lang_util.h"
#include "platform/text/number_parse.h"
#include "platform/text/sql_text.h"

namespace {

using payroll::sql::Esc;

constexpr int kEmployeeTitle = 1016;

// One column of the employee attribute query and the field it fills.
struct EmployeeColumn {
    const char* name;
    char* field;
    std::size_t width;
};

template <std::size_t N>
EmployeeColumn EmployeeCol(const char* name, payroll::FixedText<N>& field) {
    return {name, field.data, N};
}

void CopyEmployee(const G_DataSource& rows, long row, SEMP_FMT* e) {
    // DIV_TO_CD is not read here: only the load of all employees fills it.
    const EmployeeColumn columns[] = {
        EmployeeCol("EMP_CD", e->EMP_CD),   EmployeeCol("PRTY_CD", e->PRTY_CD),
        EmployeeCol("PYSP_FG", e->PYSP_FG), EmployeeCol("CDIV_CD", e->CDIV_CD),
        EmployeeCol("DEPT_CD", e->DEPT_CD), EmployeeCol("PJT_CD", e->PJT_CD),
        EmployeeCol("HTYP_CD", e->HTYP_CD), EmployeeCol("FESC_DT", e->FESC_DT),
        EmployeeCol("FESV_DT", e->FESV_DT), EmployeeCol("JOIN_DT", e->JOIN_DT),
        EmployeeCol("RTR_DT", e->RTR_DT),   EmployeeCol("SPUS_YN", e->SPUS_YN),
        EmployeeCol("TDFR_SN", e->TDFR_SN), EmployeeCol("SUFR_SN", e->SUFR_SN),
        EmployeeCol("EMIS_YN", e->EMIS_YN), EmployeeCol("REFR_YN", e->REFR_YN),
        EmployeeCol("NAPS_AM", e->NAPS_AM), EmployeeCol("HIFA_AM", e->HIFA_AM),
        EmployeeCol("HRSP_CD", e->HRSP_CD), EmployeeCol("HCLS_CD", e->HCLS_CD),
        EmployeeCol("HOPR_CD", e->HOPR_CD), EmployeeCol("RMK_DC", e->RMK_DC),
        EmployeeCol("DUMMY2", e->DUMMY2),   EmployeeCol("DUMMY3", e->DUMMY3),
    };
    for (const EmployeeColumn& c : columns)
        payroll::CopyToField(c.field, c.width,
                             rows.OnGetCellText(rows.OnGetColumnIndex(c.name), row));
}

// Rows of a table that a count says are loaded, never more than it holds.
template <typename Record>
std::size_t LoadedRows(const payroll::RecordTable<Record>& table, int count) {
    return count <= 0 ? 0 : std::min(static_cast<std::size_t>(count), table.capacity());
}

}  // namespace

namespace payroll::engine {

Status OpenEmployee(CSalaryCalcurate& e, const CString& employee, bool* found) {
    *found = false;
    const auto key = run_key::Checked(e.m_HPHONPD);
    if (!key) return Status::Refused("", "");
    CString sql;
    sql.Format(
        "select R.* from  ( SELECT A.EMP_CD EMP_CD, A.PRTY_CD PRTY_CD, A.PYSP_FG PYSP_FG, "
        "C.DIV_CD  CDIV_CD , A.DEPT_CD DEPT_CD , A.PJT_CD PJT_CD , A.HTYP_CD HTYP_CD , A.FESC_DT "
        "FESC_DT , A.FESV_DT FESV_DT , A.JOIN_DT JOIN_DT ,A.RTR_DT RTR_DT , A.SPUS_YN SPUS_YN , "
        "A.TDFR_SN TDFR_SN , A.SUFR_SN SUFR_SN , A.EMIS_YN EMIS_YN , A.REFR_YN REFR_YN , A.NAPS_AM "
        "NAPS_AM , A.HIFA_AM HIFA_AM , A.HRSP_CD HRSP_CD , A.HCLS_CD HCLS_CD , A.HOPR_CD HOPR_CD , "
        "( SELECT RMK_DC FROM SCTRL_D WHERE CO_CD=A.CO_CD AND CTD_CD=A.HTYP_CD AND CTRL_CD='G2' ) "
        "RMK_DC, DIV_TO_CD, C.DUMMY2, C.DUMMY3 FROM  SEMP A LEFT OUTER JOIN SDEPT B  ON  B.CO_CD = "
        "A.CO_CD AND A.DEPT_CD = B.DEPT_CD LEFT OUTER JOIN SDIV  C  ON  C.CO_CD = B.CO_CD AND "
        "B.DIV_CD = C.DIV_CD WHERE   A.CO_CD='%s' AND  A.EMP_CD='%s' ) R ",
        Esc(key->company).c_str(), Esc(employee).c_str());

    // The buffer exists from construction; should a load have left none,
    // give it its five records again before writing.
    if (!e.m_SEMP_ALL.allocated()) e.m_SEMP_ALL.Allocate(0);
    long count = 0;
    Status counted = Count(e.m_dsMain, sql, &count).Named("사원등록 error");
    const std::size_t rows =
        count <= 0 ? 0 : std::min(static_cast<std::size_t>(count), e.m_SEMP_ALL.capacity());
    e.m_nRowCount[kEmployeeRows] = static_cast<int>(rows);
    if (rows == 0) {
        // No master row: the first record must not keep the previous
        // employee, or the next steps would tax and store this one under
        // that employee's type, division and department.
        std::memset(static_cast<void*>(e.m_SEMP_ALL.at(0)), 0, sizeof(SEMP_FMT));
        return counted;
    }
    for (std::size_t i = 0; i < rows; ++i)
        std::memset(static_cast<void*>(e.m_SEMP_ALL.at(i)), 0, sizeof(SEMP_FMT));

    const CString title = TheLangUtil().GetLangString(kEmployeeTitle);
    if (Status read = TracedQuery(e, e.m_dsMain, sql, title.c_str(), "사원등록 error", 0);
        !read.ok())
        return read;
    const std::size_t held =
        std::min(rows, static_cast<std::size_t>(std::max(0L, e.m_dsMain.OnGetRecordCount())));
    for (std::size_t i = 0; i < held; ++i)
        CopyEmployee(e.m_dsMain, static_cast<long>(i), e.m_SEMP_ALL.at(i));
    *found = true;
    return Status();
}

}  // namespace payroll::engine

int CSalaryCalcurate::OpenSEMP(CString employee) {
    bool found = false;
    payroll::engine::Publish(payroll::engine::OpenEmployee(*this, employee, &found));
    return found ? 1 : 0;
}

CString CSalaryCalcurate::QueryString(int kind, CString employee, int) {
    const auto key = payroll::run_key::Checked(m_HPHONPD);
    if (!key) return CString();
    CString payType;
    // By CCIS_YN; the default-row load and the pay-total check go by the division filter.
    if (key->combined != "001") payType.Format("AND PYTP_FG='%s' ", Esc(key->pay_type).c_str());
    const bool deductions = kind % 2 != 0;
    const int place = 2 * m_nTableSet + (deductions ? 1 : 0);
    // A table set outside the table-name array names no table.
    const CString table = place >= 0 && place < 8 ? m_strTable[place] : CString();
    CString sql;
    sql.Format(
        "SELECT * FROM %s WHERE CO_CD='%s' AND EMP_CD='%s' AND RVRS_YM='%s' AND PYDD_FG='%s' AND "
        "SQ=%s %s ",
        table.c_str(), Esc(key->company).c_str(), Esc(employee).c_str(), Esc(key->month).c_str(),
        deductions ? "P3" : "P2", key->sq.c_str(), payType.c_str());
    return sql;
}

namespace payroll::engine {

Status LoadPayRows(CSalaryCalcurate& e, const CString& employee) {
    if (!run_key::Checked(e.m_HPHONPD)) return Status::Refused("", "");
    CString sql = e.QueryString(2, employee, 1);
    return TracedQuery(e, e.m_dsCalcB[0], sql, "QueryString", "QueryString error", 0);
}

}  // namespace payroll::engine

int CSalaryCalcurate::LoadDataIncom(CString employee, int) {
    return payroll::engine::Publish(payroll::engine::LoadPayRows(*this, employee)) ? 1 : 0;
}

int CSalaryCalcurate::GetCode_INDEX(CString code, int kind) {
    if (kind != 1) return -1;
    const payroll::HpmpdfmRecord* item = PayItem(code.str());
    return item ? static_cast<int>(item - m_HPMPDFM.at(0)) : -1;
}

const payroll::HpmpdfmRecord* CSalaryCalcurate::PayItem(std::string_view code) const {
    const std::size_t n = LoadedRows(m_HPMPDFM, m_nRowCount[payroll::engine::kPayItemRows]);
    // Codes differ mostly in their last character: it is compared first.
    const std::size_t last = code.size() - 1;
    const bool quick = !code.empty() && code.size() <= sizeof m_HPMPDFM.at(0)->PYDD_CD.data;
    for (std::size_t i = 0; i < n; ++i) {
        const payroll::HpmpdfmRecord* item = m_HPMPDFM.at(i);
        if (quick && item->PYDD_CD.data[last] != code[last]) continue;
        if (item->PYDD_CD.View() == code) return item;
    }
    return nullptr;
}

double CSalaryCalcurate::GetArrayCode_Pay(CString code, int kind) {
    if (kind != 1) return 0;
    const std::size_t n = LoadedRows(m_SCTRL_PC, m_nRowCount[payroll::engine::kLimitCodeRows]);
    for (std::size_t i = 0; i < n; ++i) {
        const payroll::SctrlPcRecord* r = m_SCTRL_PC.at(i);
        if (r->CTD_CD.View() == code.str()) return payroll::text::NumberOf(r->RMK_DC.View());
    }
    return 0;
}

namespace payroll::engine {

Status NightTotal(CSalaryCalcurate& e, const CString& employee, double* total) {
    *total = 0;
    const auto key = run_key::Checked(e.m_HPHONPD);
    if (!key) return Status::Refused("", "");
    CString payType;
    // By CCIS_YN; the default-row load and the pay-total check go by the division filter.
    if (key->combined != "001") payType.Format("AND PYTP_FG='%s' ", Esc(key->pay_type).c_str());
    const std::string company = Esc(key->company);
    const std::string emp = Esc(employee);
    CString sql;
    sql.Format(
        "select a.EWTE_AM-b.EWTE_AM SUM_AM from  ( select SUM(EWTE_AM) EWTE_AM from HPOMNPY WHERE "
        "CO_CD='%s' AND EMP_CD='%s' AND RVRS_YM LIKE '%s%%' )a, ( select EWTE_AM from HPOMNPY "
        "WHERE CO_CD='%s' AND EMP_CD='%s' AND RVRS_YM='%s' AND SQ=%s  %s )b ",
        company.c_str(), emp.c_str(), Esc(key->month.Left(4)).c_str(), company.c_str(), emp.c_str(),
        Esc(key->month).c_str(), key->sq.c_str(), payType.c_str());
    e.DspTRACE(sql, "GetNightTotal", 1);
    if (Status read = QueryOpen(e, e.m_dsMain, sql); !read.ok()) return read;
    if (e.m_dsMain.OnGetRecordCount() > 0) {
        *total = text::NumberOf(e.m_dsMain.OnGetFieldValue("SUM_AM", 0).str());
        return Status();
    }
    // Before the run's own row exists the subtraction has nothing to subtract
    // and yields no row: what the year granted so far is then the whole sum.
    sql.Format(
        "select SUM(EWTE_AM) SUM_AM from HPOMNPY WHERE CO_CD='%s' AND EMP_CD='%s' AND RVRS_YM "
        "LIKE '%s%%' ",
        company.c_str(), emp.c_str(), Esc(key->month.Left(4)).c_str());
    e.DspTRACE(sql, "GetNightTotal", 1);
    if (Status read = QueryOpen(e, e.m_dsMain, sql); !read.ok()) return read;
    if (e.m_dsMain.OnGetRecordCount() > 0)
        *total = text::NumberOf(e.m_dsMain.OnGetFieldValue("SUM_AM", 0).str());
    return Status();
}

Status SalaryTotals(CSalaryCalcurate& e, const CString& employee, HPOMNPY_FMT* record,
                    double* total) {
    *total = 0;
    if (!record || !run_key::Checked(e.m_HPHONPD)) return Status::Refused("", "");

    std::vector<exemptions::PayRow> rows;
    const G_DataSource& cursor = e.m_dsCalcB[0];
    const long count = cursor.OnGetRecordCount();
    rows.reserve(static_cast<std::size_t>(std::max(0L, count)));
    const int codeColumn = cursor.OnGetColumnIndex("PAY_CD");
    const int amountColumn = cursor.OnGetColumnIndex("PAY_AM");
    for (long r = 0; r < count; ++r) {
        exemptions::PayRow row;
        row.code = cursor.OnGetCellText(codeColumn, r);
        row.amount = text::NumberOf(cursor.OnGetCellText(amountColumn, r));
        if (const HpmpdfmRecord* def = e.PayItem(row.code)) {
            row.pay_type = def->PYTP_FG.View();
            row.tax_flag = def->TAX_FG.View();
            row.exempt_class = def->TXEX_FG.View();
        }
        rows.push_back(row);
    }

    exemptions::Limits limits;
    double* fields[] = {&limits.overtime_yearly, &limits.class002, &limits.class003,
                        &limits.class004,        &limits.class005, &limits.overtime_ceiling};
    for (std::size_t i = 0; i < std::size(fields); ++i)
        *fields[i] = e.GetArrayCode_Pay(exemptions::kLimitCodes[i], 1);

    // The employee loaded by OpenSEMP sits in the first record.
    const SEMP_FMT* first = e.m_SEMP_ALL.at(0);
    const std::string type = first ? first->HTYP_CD.Str() : std::string();
    // The year's exempt overtime so far is read only when a row needs it.
    Status status;
    exemptions::Totals t = exemptions::Classify(rows, limits, type, [&] {
        double night = 0;
        status.Keep(NightTotal(e, employee, &night));
        return night;
    });

    record->TPAY_AM = t.taxable;
    record->TBON_AM += t.bonus_taxable;
    record->SALY_AM = t.salary;
    record->BONUS_AM = t.bonus;
    record->EWTE_AM = t.exempt_overtime;
    record->AITE_AM = t.class006;
    record->ETTE_AM = t.other_exempt;
    *total = record->TPAY_AM + record->TBON_AM;
    return status;
}

}  // namespace payroll::engine

double CSalaryCalcurate::GetNightTotal(CString employee) {
    double total = 0;
    payroll::engine::Publish(payroll::engine::NightTotal(*this, employee, &total));
    return total;
}

double CSalaryCalcurate::GetSalaryTotalCalc(CString employee, int, HPOMNPY_FMT* record) {
    double total = 0;
    payroll::engine::Publish(payroll::engine::SalaryTotals(*this, employee, record, &total));
    return total;
}
