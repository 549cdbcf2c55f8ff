#include "support/company_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string_view>

#include "payroll/datasource.h"
#include "platform/text/sql_text.h"
#include "support/run_key_builder.h"
#include "support/scratch_db.h"

namespace payroll::testing {
namespace {

constexpr const char* kRunItemInsert =
    "INSERT INTO HPHPOYM (CO_CD, RVRS_YM, SQ, PYTP_FG, PYDD_FG, PYDD_CD) VALUES (";
constexpr const char* kItemDefinitionInsert =
    "INSERT INTO HPMPDFM (CO_CD, RVRS_YM, PYTP_FG, PYDD_FG, PYDD_CD, TAX_FG, TXEX_FG) VALUES (";

// Adds the pieces to the end of *out, without a temporary for each join.
void Append(std::string* out, std::initializer_list<std::string_view> pieces) {
    for (std::string_view piece : pieces) out->append(piece);
}

// A quoted, escaped text literal; the empty text is NULL.
std::string Nullable(const std::string& v) {
    if (v.empty()) return "NULL";
    return "'" + sql::Escape(v) + "'";
}

// A quoted, escaped text literal.
std::string Text(const std::string& text) {
    return "'" + sql::Escape(text) + "'";
}

}  // namespace

void SeedExec(const std::string& sql) {
    G_DirectSQL direct;
    EXPECT_TRUE(direct.OnExecuteQuery(sql.c_str())) << direct.GetLastError().c_str() << "\n"
                                                    << sql.substr(0, 400);
}

long SeedCount(const std::string& table, const std::string& where) {
    return std::atol(
        QueryValue("SELECT COUNT(*) FROM " + table + (where.empty() ? "" : " WHERE " + where))
            .c_str());
}

void SeedCompany(const std::string& co) {
    const std::string c = Nullable(co);
    SeedExec("INSERT INTO SHCFG (CO_CD, JNCM_FG, RTCM_FG, MNDC_CD) VALUES (" + c +
             ", '001', '001', '001')");
    SeedExec("INSERT INTO SCTRL_D (CO_CD, CTRL_CD, CTD_CD, CTD_NM, RMK_DC) VALUES (" + c +
             ", 'PC', '001', 'meals', '100000')");
    SeedExec("INSERT INTO SDIV (CO_CD, DIV_CD, DIV_NM) VALUES (" + c + ", 'DV1', 'one') " +
             "INSERT INTO SDIV (CO_CD, DIV_CD, DIV_NM) VALUES (" + c + ", 'DV2', 'two')");
    SeedExec("INSERT INTO SDEPT (CO_CD, DEPT_CD, DIV_CD) VALUES (" + c + ", 'D01', 'DV1') " +
             "INSERT INTO SDEPT (CO_CD, DEPT_CD, DIV_CD) VALUES (" + c + ", 'D02', 'DV2')");
}

void SeedRunCalendar(const SeedRun& run) {
    const std::string c = Nullable(run.company), ym = Nullable(run.month);
    const std::string sq = std::to_string(run.sq), year = Nullable(run.month.substr(0, 4));
    std::string sql = "INSERT INTO HPHPYFQ (CO_CD, RVRS_YM, SQ, PAY_DT, CCIS_YN) VALUES (" + c +
                      ", " + ym + ", " + sq + ", " + Nullable(run.pay_date) + ", " +
                      Nullable(run.combined) + ") ";
    std::vector<std::string> all_types = run.types;
    for (const auto& [pt, type] : run.extra_types)
        if (std::find(all_types.begin(), all_types.end(), type) == all_types.end())
            all_types.push_back(type);
    for (const std::string& type : all_types)
        Append(&sql, {"INSERT INTO HHFAACC (CO_CD, HTYP_CD, MNLT_FG, TMST_DT) VALUES (", c, ", ",
                      Nullable(type), ", ", Nullable(run.cutoff_kind), ", ",
                      Nullable(run.cutoff_day), ") "});
    for (const std::string& pt : run.pay_types) {
        const std::string p = Nullable(pt);
        Append(&sql,
               {"INSERT INTO HPHONPD (CO_CD, RVRS_YM, SQ, PYTP_FG, RTCM_FG, JNCM_FG) VALUES (", c,
                ", ", ym, ", ", sq, ", ", p, ", '001', '001') "});
        std::vector<std::string> covered = run.types;
        for (const auto& [extra_pt, type] : run.extra_types)
            if (extra_pt == pt) covered.push_back(type);
        for (const std::string& type : covered)
            Append(&sql,
                   {"INSERT INTO HPHWTPT (CO_CD, RVRS_YM, SQ, PYTP_FG, HTYP_CD, PYSP_FG) VALUES (",
                    c, ", ", ym, ", ", sq, ", ", p, ", ", Nullable(type), ", ", Nullable(run.pysp),
                    ") "});
        for (int kind = 0; kind < 2; ++kind) {
            const auto& items = kind == 0 ? run.pay_items : run.deduction_items;
            const std::string cls = kind == 0 ? "'P2'" : "'P3'";
            for (const std::string& item : items) {
                const std::string code = Nullable(item);
                Append(&sql, {kRunItemInsert, c, ", ", ym, ", ", sq, ", ", p, ", ", cls, ", ", code,
                              ") "});
                Append(&sql, {kItemDefinitionInsert, c, ", ", year, ", ", p, ", ", cls, ", ", code,
                              ", ", kind == 0 ? "'001'" : "'002'", ", '000') "});
            }
        }
    }
    SeedExec(sql);
}

void SeedEmployees(const std::string& company, const std::vector<EmployeeSeed>& people) {
    std::string sql;
    for (const EmployeeSeed& e : people)
        sql +=
            "INSERT INTO SEMP (CO_CD, EMP_CD, KOR_NM, KOR_NMK, PRTY_CD, DEPT_CD, PJT_CD, "
            "HTYP_CD, HRSP_CD, HCLS_CD, HOPR_CD, PYSP_FG, JOIN_DT, RTR_DT, ENRL_FG, EMPL_FG, "
            "NAPS_AM, HIFA_AM) VALUES (" +
            Nullable(company) + ", " + Nullable(e.emp) + ", " + Nullable("name " + e.emp) + ", " +
            Nullable("k " + e.emp) + ", " + Nullable(e.prty) + ", " + Nullable(e.dept) + ", " +
            Nullable(e.pjt) + ", " + Nullable(e.htyp) + ", " + Nullable(e.hrsp) +
            ", 'C01', 'O01', " + Nullable(e.pysp) + ", " + Nullable(e.join) + ", " +
            Nullable(e.retire) + ", '001', " + Nullable(e.empl_fg) + ", " +
            (e.naps.empty() ? "NULL" : e.naps) + ", " + (e.hifa.empty() ? "NULL" : e.hifa) + ") ";
    if (!sql.empty()) SeedExec(sql);
}

std::vector<EmployeeSeed> NumberedEmployees(int count, int first) {
    std::vector<EmployeeSeed> out;
    for (int i = first; i < first + count; ++i) {
        char code[16];
        std::snprintf(code, sizeof code, "E%04d", i);
        EmployeeSeed e;
        e.emp = code;
        out.push_back(e);
    }
    return out;
}

HPHONPD_YMD_FMT SeedKey(const SeedRun& run, const std::string& pay_type) {
    std::string list;
    for (const std::string& pt : run.pay_types) list += (list.empty() ? "" : ",") + pt;
    return RunKeyBuilder()
        .Selected(1)
        .Company(run.company)
        .Month(run.month)
        .Sequence(std::to_string(run.sq))
        .PayDate(run.pay_date)
        .Combined(run.combined)
        .PayType(pay_type)
        .PayList(list)
        .PayHead(run.pay_types.empty() ? pay_type : run.pay_types.front())
        .Rules("001", "001")
        .Build();
}

void SeedCompanySettings(const std::string& company) {
    SeedExec("INSERT INTO SHCFG (CO_CD, JNCM_FG, RTCM_FG) VALUES (" + Text(company) +
             ", '000', '000')");
    SeedLimit(company, "099", "0");
}

void SeedLimit(const std::string& company, const std::string& code, const std::string& amount) {
    SeedExec("INSERT INTO SCTRL_D (CO_CD, CTRL_CD, CTD_CD, CTD_NM, RMK_DC) VALUES (" +
             Text(company) + ", 'PC', " + Text(code) + ", 'limit', " + Text(amount) + ")");
}

void SeedPayItem(const std::string& company, const std::string& year, const std::string& payType,
                 const std::string& code, const std::string& taxFlag,
                 const std::string& exemptClass) {
    SeedExec(
        "INSERT INTO HPMPDFM (CO_CD, RVRS_YM, PYTP_FG, PYDD_FG, PYDD_CD, TAX_FG, TXEX_FG) "
        "VALUES (" +
        Text(company) + ", " + Text(year) + ", " + Text(payType) + ", 'P2', " + Text(code) + ", " +
        Text(taxFlag) + ", " + Text(exemptClass) + ")");
}

void SeedEmployeeRow(const std::string& company, const std::string& employee,
                     const std::string& type, const std::string& department) {
    SeedExec(
        "INSERT INTO SEMP (CO_CD, EMP_CD, KOR_NM, DEPT_CD, HTYP_CD, PYSP_FG, JOIN_DT, RTR_DT, "
        "SPUS_YN, TDFR_SN, SUFR_SN, NAPS_AM, HIFA_AM) VALUES (" +
        Text(company) + ", " + Text(employee) + ", 'name', " + Text(department) + ", " +
        Text(type) + ", '001', '20000101', '', '001', 2, 1, 90000, 45000)");
    if (department.empty()) return;
    SeedExec("INSERT INTO SDEPT (CO_CD, DEPT_CD, DIV_CD) SELECT " + Text(company) + ", " +
             Text(department) + ", " + Text("DV" + department) +
             " WHERE NOT EXISTS (SELECT 1 FROM SDEPT WHERE CO_CD=" + Text(company) +
             " AND DEPT_CD=" + Text(department) + ")");
    SeedExec("INSERT INTO SDIV (CO_CD, DIV_CD, DUMMY2, DUMMY3) SELECT " + Text(company) + ", " +
             Text("DV" + department) +
             ", 'd2', 'd3' WHERE NOT EXISTS (SELECT 1 FROM SDIV WHERE "
             "CO_CD=" +
             Text(company) + " AND DIV_CD=" + Text("DV" + department) + ")");
}

void SeedPayRow(const std::string& table, const std::string& company, const std::string& month,
                int sq, const std::string& payType, const std::string& employee,
                const std::string& code, const std::string& amount) {
    SeedExec("INSERT INTO " + table +
             " (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PYDD_FG, PAY_CD, PAY_AM) VALUES (" +
             Text(company) + ", " + Text(month) + ", " + std::to_string(sq) + ", " + Text(payType) +
             ", " + Text(employee) + ", 'P2', " + Text(code) + ", " + amount + ")");
}

void SeedDeductionRow(const std::string& table, const std::string& company,
                      const std::string& month, int sq, const std::string& payType,
                      const std::string& employee, const std::string& code,
                      const std::string& amount) {
    SeedExec("INSERT INTO " + table +
             " (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PYDD_FG, DDCT_CD, DDCT_AM) VALUES (" +
             Text(company) + ", " + Text(month) + ", " + std::to_string(sq) + ", " + Text(payType) +
             ", " + Text(employee) + ", 'P3', " + Text(code) + ", " + amount + ")");
}

}  // namespace payroll::testing
