// The engine object: construction, the in-memory tables' release, and the
// small helpers every step uses (run-key check, traced queries, trace).
#include <cstring>

#include "engine/common/calendar.h"
#include "engine/common/messages.h"
#include "engine/common/run_key.h"
#include "engine/common/statements.h"
#include "payroll/salary_calcurate.h"
#include "platform/lang/lang_util.h"
#include "platform/registry/app_settings.h"
#include "platform/text/utf8_pieces.h"

namespace {

constexpr std::int16_t kDaysOfMonth[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr const char* kTableNames[8] = {"HPITMPD ", "HPITMDD ", "HPOMPPD ", "HPOMPDD ",
                                        "HTOWTRT ", "HTOWTDR ", "",         ""};

}  // namespace

CSalaryCalcurate::CSalaryCalcurate() {
    std::memcpy(m_nDaysOfMonth, kDaysOfMonth, sizeof m_nDaysOfMonth);
    std::memset(&m_HPHONPD, 0, sizeof m_HPHONPD);
    std::memset(&m_HPOMNPY, 0, sizeof m_HPOMNPY);
    std::memset(m_nPayListCnt, 0, sizeof m_nPayListCnt);
    std::memset(m_nDfmListCnt, 0, sizeof m_nDfmListCnt);
    std::memset(m_nRowCount, 0, sizeof m_nRowCount);
    m_nLeaverCnt = 0;
    m_nTableSet = 0;
    m_nJoinStrict = 0;
    m_nRetireStrict = 0;
    m_nWithholding = 0;
    for (int i = 0; i < 8; ++i) m_strTable[i] = kTableNames[i];
    // Room for five employee records before any load: the single-employee
    // load writes into the first of them.
    m_SEMP_ALL.Allocate(0);

    payroll::config::AppSettings settings = payroll::config::ReadAppSettings();
    m_bLangDefault = settings.use_main_names ? 1 : 0;
    TheLangUtil().ReadLangString(settings.lang_kind, settings.folder.c_str(), kLangModule);
}

CSalaryCalcurate::~CSalaryCalcurate() {
    for (int place = 0; place < 2; ++place) {
        m_PAY_LIST[place].Free();
        m_DFM_LIST[place].Free();
    }
    m_ChkPay.Free();
    m_SEMP.Free();
    m_SEMP_ALL.Free();
    m_HPMPDFM.Free();
    m_PYTP_FG.Free();
    FreeBuffer();
    m_BHHAFF.Free();
    m_Leaver.Free();
}

void CSalaryCalcurate::FreeBuffer() {
    m_HPFSTIA.Free();
    m_SCTRL_PC.Free();
}

void CSalaryCalcurate::FreeBuffer_DFM_LIST(int place) {
    if (place == 0 || place == 1) m_DFM_LIST[place].Free();
}

void CSalaryCalcurate::FreeBuffer_PAY_LIST(int place) {
    if (place == 0 || place == 1) m_PAY_LIST[place].Free();
}

void CSalaryCalcurate::FreeBuffer_PYTP_FG() {
    m_PYTP_FG.Free();
}

void CSalaryCalcurate::Free_m_BHHAFF() {
    m_BHHAFF.Free();
}

void CSalaryCalcurate::Delete() {}

void CSalaryCalcurate::Ontest2() {}

int CSalaryCalcurate::GetNOTNULLField(CString* fields) {
    const payroll::run_key::Fields key = payroll::run_key::Read(m_HPHONPD);
    if (fields) {
        const CString* values[11] = {
            &key.company,           &key.month,           &key.sq,
            &key.pay_type,          &key.pay_date,        &key.division_filter,
            &key.combined,          &key.pay_head,        &key.pay_type_list,
            &key.department_filter, &key.job_group_filter};
        for (int i = 0; i < 11; ++i) fields[i] = *values[i];
    }
    return payroll::run_key::IsComplete(key) ? 1 : 0;
}

int CSalaryCalcurate::GetSearchField(G_DataSource* source, CString column, CString value) {
    return source ? static_cast<int>(source->OnFieldSearch(column, value, 0)) : -1;
}

CString CSalaryCalcurate::SearchString(CString first, CString second) {
    CString head = first.Left(1);
    if (head != "2" && second.Find(",2") >= 0) return CString("2");
    return head;
}

void CSalaryCalcurate::DspTRACE(const CString& text, const CString& title, int quiet) {
    TraceText(text, title, quiet);
}

void CSalaryCalcurate::TraceText(const CString& text, const CString& title, int quiet) {
    if (text.str().size() > payroll::text::kTracePiece) {
        // Traces are written nowhere: of the pieces only the last line stays.
        const std::string_view last =
            payroll::text::LastUtf8Piece(text.str(), payroll::text::kTracePiece);
        std::string line;
        line.reserve(last.size() + title.str().size() + 20);
        line.append("--[select ").append(title.str()).append(" ]--- ").append(last).append("\n");
        m_strTrace = CString(std::move(line));
    }
    payroll::engine::Trace(title, text);
    if (quiet == 0) payroll::engine::ShowMessage(title);
}

int CSalaryCalcurate::QueryOpen(G_DataSource* source, const CString& sql) {
    const bool ran = payroll::engine::Publish(
        payroll::engine::QueryOpen(*this, source ? *source : m_dsMain, sql));
    return ran && source ? static_cast<int>(source->OnGetRecordCount()) : 0;
}

int CSalaryCalcurate::OpenFile_Whole(G_DataSource* source, const CString& sql, void* buffer,
                                     int* rowCount, const payroll::RecordLayout& layout) {
    if (!rowCount) return 0;
    if (*rowCount == 0) return 1;
    if (!source || !buffer || *rowCount < 0) return 0;
    return source->OnWholeDataRead(sql, buffer, *rowCount, layout) ? 1 : 0;
}

void CSalaryCalcurate::SetYear(int year) {
    m_nDaysOfMonth[2] = static_cast<std::int16_t>(payroll::calendar::MonthDays(year, 2));
}

int CSalaryCalcurate::GetMonthDays(int year, int month) {
    SetYear(year);
    return month >= 1 && month <= 12 ? m_nDaysOfMonth[month] : 0;
}

int CSalaryCalcurate::GetDayNumber(int year, int month, int day) {
    SetYear(static_cast<std::int16_t>(year));
    return payroll::calendar::DayNumber(year, month, day);
}
