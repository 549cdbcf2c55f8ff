#include "support/tax_seed.h"

#include <gtest/gtest.h>

#include <cstring>

#include "payroll/datasource.h"
#include "platform/text/sql_text.h"

namespace payroll::testing {
namespace {

// A quoted, escaped text literal.
std::string Q(const std::string& text) {
    return "'" + sql::Escape(text) + "'";
}

}  // namespace

HPHONPD_YMD_FMT TaxRunKey(const std::string& company, const std::string& month,
                          const std::string& payType, const std::string& sq) {
    HPHONPD_YMD_FMT k;
    std::memset(&k, 0, sizeof k);
    k.CO_CD = company;
    k.RVRS_YM = month;
    k.SQ = sq;
    k.PAY_DT = month + "25";
    k.CCIS_YN = "002";
    k.PYTP_FG = payType;
    k.PYTP_LIST = payType;
    k.PYTP_HEAD = payType;
    k.DIV_FILTER = "ALL";
    k.DEPT_FILTER = "ALL";
    k.PRTY_FILTER = "ALL";
    return k;
}

void SeedExec(const std::string& sql) {
    G_DirectSQL direct;
    if (!direct.OnExecuteQuery(sql.c_str()))
        ADD_FAILURE() << direct.GetLastError().c_str() << "\n" << sql;
}

void SeedCompanySettings(const std::string& company) {
    SeedExec("INSERT INTO SHCFG (CO_CD, JNCM_FG, RTCM_FG) VALUES (" + Q(company) +
             ", '000', '000')");
    SeedLimit(company, "099", "0");
}

void SeedLimit(const std::string& company, const std::string& code, const std::string& amount) {
    SeedExec("INSERT INTO SCTRL_D (CO_CD, CTRL_CD, CTD_CD, CTD_NM, RMK_DC) VALUES (" + Q(company) +
             ", 'PC', " + Q(code) + ", 'limit', " + Q(amount) + ")");
}

void SeedPayItem(const std::string& company, const std::string& year, const std::string& payType,
                 const std::string& code, const std::string& taxFlag,
                 const std::string& exemptClass) {
    SeedExec(
        "INSERT INTO HPMPDFM (CO_CD, RVRS_YM, PYTP_FG, PYDD_FG, PYDD_CD, TAX_FG, TXEX_FG) "
        "VALUES (" +
        Q(company) + ", " + Q(year) + ", " + Q(payType) + ", 'P2', " + Q(code) + ", " + Q(taxFlag) +
        ", " + Q(exemptClass) + ")");
}

void SeedEmployee(const std::string& company, const std::string& employee, const std::string& type,
                  const std::string& department) {
    SeedExec(
        "INSERT INTO SEMP (CO_CD, EMP_CD, KOR_NM, DEPT_CD, HTYP_CD, PYSP_FG, JOIN_DT, RTR_DT, "
        "SPUS_YN, TDFR_SN, SUFR_SN, NAPS_AM, HIFA_AM) VALUES (" +
        Q(company) + ", " + Q(employee) + ", 'name', " + Q(department) + ", " + Q(type) +
        ", '001', '20000101', '', '001', 2, 1, 90000, 45000)");
    if (department.empty()) return;
    SeedExec("INSERT INTO SDEPT (CO_CD, DEPT_CD, DIV_CD) SELECT " + Q(company) + ", " +
             Q(department) + ", " + Q("DV" + department) +
             " WHERE NOT EXISTS (SELECT 1 FROM SDEPT WHERE CO_CD=" + Q(company) +
             " AND DEPT_CD=" + Q(department) + ")");
    SeedExec("INSERT INTO SDIV (CO_CD, DIV_CD, DUMMY2, DUMMY3) SELECT " + Q(company) + ", " +
             Q("DV" + department) +
             ", 'd2', 'd3' WHERE NOT EXISTS (SELECT 1 FROM SDIV WHERE "
             "CO_CD=" +
             Q(company) + " AND DIV_CD=" + Q("DV" + department) + ")");
}

void SeedPayRow(const std::string& table, const std::string& company, const std::string& month,
                int sq, const std::string& payType, const std::string& employee,
                const std::string& code, const std::string& amount) {
    SeedExec("INSERT INTO " + table +
             " (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PYDD_FG, PAY_CD, PAY_AM) VALUES (" +
             Q(company) + ", " + Q(month) + ", " + std::to_string(sq) + ", " + Q(payType) + ", " +
             Q(employee) + ", 'P2', " + Q(code) + ", " + amount + ")");
}

}  // namespace payroll::testing
