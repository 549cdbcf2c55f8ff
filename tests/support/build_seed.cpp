#include "support/build_seed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string_view>

#include "payroll/datasource.h"
#include "platform/db/connection.h"
#include "platform/db/result_set.h"

namespace payroll::testing::build {
namespace {

std::string Quote(const std::string& v) {
    if (v.empty()) return "NULL";
    std::string out = "'";
    for (char c : v) {
        if (c == '\'') out += '\'';
        out += c;
    }
    return out + "'";
}

// Adds the pieces to the end of out, without a temporary for each join.
void Append(std::string* out, std::initializer_list<std::string_view> pieces) {
    for (std::string_view piece : pieces) *out += piece;
}

std::vector<std::vector<std::string>> Query(const std::string& sql) {
    std::vector<std::vector<std::string>> out;
    ResultSet rows;
    std::string error;
    db::Connection* c = db::Connection::Current();
    EXPECT_TRUE(c && c->Query(sql, &rows, &error)) << error << "\n" << sql;
    for (std::size_t r = 0; r < rows.RowCount(); ++r) {
        out.emplace_back();
        for (std::size_t col = 0; col < rows.ColumnCount(); ++col)
            out.back().emplace_back(rows.Cell(r, col));
    }
    return out;
}

}  // namespace

void SeedExec(const std::string& sql) {
    G_DirectSQL direct;
    EXPECT_TRUE(direct.OnExecuteQuery(sql.c_str())) << direct.GetLastError().c_str() << "\n"
                                                    << sql.substr(0, 400);
}

std::string SeedScalar(const std::string& sql) {
    auto rows = Query(sql);
    return rows.empty() || rows[0].empty() ? "" : rows[0][0];
}

long SeedCount(const std::string& table, const std::string& where) {
    return std::atol(
        SeedScalar("SELECT COUNT(*) FROM " + table + (where.empty() ? "" : " WHERE " + where))
            .c_str());
}

void SeedCompany(const std::string& co) {
    const std::string c = Quote(co);
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
    constexpr const char* kRunItem =
        "INSERT INTO HPHPOYM (CO_CD, RVRS_YM, SQ, PYTP_FG, PYDD_FG, PYDD_CD) VALUES (";
    constexpr const char* kYearItem =
        "INSERT INTO HPMPDFM (CO_CD, RVRS_YM, PYTP_FG, PYDD_FG, PYDD_CD, TAX_FG, TXEX_FG) VALUES (";
    const std::string c = Quote(run.company), ym = Quote(run.month);
    const std::string sq = std::to_string(run.sq), year = Quote(run.month.substr(0, 4));
    std::string sql = "INSERT INTO HPHPYFQ (CO_CD, RVRS_YM, SQ, PAY_DT, CCIS_YN) VALUES (" + c +
                      ", " + ym + ", " + sq + ", " + Quote(run.pay_date) + ", " +
                      Quote(run.combined) + ") ";
    std::vector<std::string> all_types = run.types;
    for (const auto& [pt, type] : run.extra_types)
        if (std::find(all_types.begin(), all_types.end(), type) == all_types.end())
            all_types.push_back(type);
    for (const std::string& type : all_types)
        Append(&sql,
               {"INSERT INTO HHFAACC (CO_CD, HTYP_CD, MNLT_FG, TMST_DT) VALUES (", c, ", ",
                Quote(type), ", ", Quote(run.cutoff_kind), ", ", Quote(run.cutoff_day), ") "});
    for (const std::string& pt : run.pay_types) {
        const std::string p = Quote(pt);
        Append(&sql,
               {"INSERT INTO HPHONPD (CO_CD, RVRS_YM, SQ, PYTP_FG, RTCM_FG, JNCM_FG) VALUES (", c,
                ", ", ym, ", ", sq, ", ", p, ", '001', '001') "});
        std::vector<std::string> covered = run.types;
        for (const auto& [extra_pt, type] : run.extra_types)
            if (extra_pt == pt) covered.push_back(type);
        for (const std::string& type : covered)
            Append(
                &sql,
                {"INSERT INTO HPHWTPT (CO_CD, RVRS_YM, SQ, PYTP_FG, HTYP_CD, PYSP_FG) VALUES (", c,
                 ", ", ym, ", ", sq, ", ", p, ", ", Quote(type), ", ", Quote(run.pysp), ") "});
        for (int kind = 0; kind < 2; ++kind) {
            const auto& items = kind == 0 ? run.pay_items : run.deduction_items;
            const std::string cls = kind == 0 ? "'P2'" : "'P3'";
            for (const std::string& item : items) {
                Append(&sql, {kRunItem, c, ", ", ym, ", ", sq, ", ", p, ", ", cls, ", ",
                              Quote(item), ") "});
                Append(&sql, {kYearItem, c, ", ", year, ", ", p, ", ", cls, ", ", Quote(item), ", ",
                              kind == 0 ? "'001'" : "'002'", ", '000') "});
            }
        }
    }
    SeedExec(sql);
}

void SeedEmployees(const std::string& company, const std::vector<SeedEmployee>& people) {
    std::string sql;
    for (const SeedEmployee& e : people)
        sql +=
            "INSERT INTO SEMP (CO_CD, EMP_CD, KOR_NM, KOR_NMK, PRTY_CD, DEPT_CD, PJT_CD, "
            "HTYP_CD, HRSP_CD, HCLS_CD, HOPR_CD, PYSP_FG, JOIN_DT, RTR_DT, ENRL_FG, EMPL_FG, "
            "NAPS_AM, HIFA_AM) VALUES (" +
            Quote(company) + ", " + Quote(e.emp) + ", " + Quote("name " + e.emp) + ", " +
            Quote("k " + e.emp) + ", " + Quote(e.prty) + ", " + Quote(e.dept) + ", " +
            Quote(e.pjt) + ", " + Quote(e.htyp) + ", " + Quote(e.hrsp) + ", 'C01', 'O01', " +
            Quote(e.pysp) + ", " + Quote(e.join) + ", " + Quote(e.retire) + ", '001', " +
            Quote(e.empl_fg) + ", " + (e.naps.empty() ? "NULL" : e.naps) + ", " +
            (e.hifa.empty() ? "NULL" : e.hifa) + ") ";
    if (!sql.empty()) SeedExec(sql);
}

std::vector<SeedEmployee> NumberedEmployees(int count, int first) {
    std::vector<SeedEmployee> out;
    for (int i = first; i < first + count; ++i) {
        char code[16];
        std::snprintf(code, sizeof code, "E%04d", i);
        SeedEmployee e;
        e.emp = code;
        out.push_back(e);
    }
    return out;
}

HPHONPD_YMD_FMT SeedKey(const SeedRun& run, const std::string& pay_type) {
    HPHONPD_YMD_FMT k;
    std::memset(&k, 0, sizeof k);
    k.SEL_NO = 1;
    k.CO_CD = run.company;
    k.RVRS_YM = run.month;
    k.SQ = std::to_string(run.sq);
    k.PAY_DT = run.pay_date;
    k.CCIS_YN = run.combined;
    k.PYTP_FG = pay_type;
    std::string list;
    for (const std::string& pt : run.pay_types) list += (list.empty() ? "" : ",") + pt;
    k.PYTP_LIST = list;
    k.PYTP_HEAD = run.pay_types.empty() ? pay_type : run.pay_types.front();
    k.RTCM_FG = "001";
    k.JNCM_FG = "001";
    return k;
}

std::vector<std::string> TableSnapshot(const std::string& table) {
    std::vector<std::string> out;
    for (const auto& row : Query("SELECT * FROM " + table)) {
        std::string line;
        for (const std::string& cell : row) line += cell + "|";
        out.push_back(line);
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> WrittenTablesSnapshot() {
    std::vector<std::string> out;
    for (const char* t :
         {"HPITMPD", "HPITMDD", "HPOMPPD", "HPOMPDD", "HTOWTRT", "HTOWTDR", "HPOMNPY"}) {
        for (std::string& line : TableSnapshot(t)) out.push_back(std::string(t) + ":" + line);
    }
    return out;
}

}  // namespace payroll::testing::build
