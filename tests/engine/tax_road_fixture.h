// A scratch payroll database for the tax road's tests: the company's
// settings, items, cut-offs and rate table, and helpers that add runs, pay
// and deduction rows and stored results, and that dump what the road wrote.
//
// SeedYearCompany() builds the three-employee, two-run company whose every
// stored amount the year-driver test works out by hand.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "payroll/company.h"
#include "payroll/host.h"
#include "payroll/salary_calcurate.h"
#include "platform/db/connection.h"
#include "support/engine_fixture.h"
#include "support/run_key_builder.h"

namespace payroll::testing {

inline double Amount(const std::string& text) {
    return std::atof(text.c_str());
}

// The 23 amounts of the result record, in column order.
inline constexpr double HPOMNPY_FMT::*kAmountFields[23] = {
    &HPOMNPY_FMT::TPAY_AM, &HPOMNPY_FMT::TBON_AM, &HPOMNPY_FMT::SALY_AM, &HPOMNPY_FMT::BONUS_AM,
    &HPOMNPY_FMT::FGTE_AM, &HPOMNPY_FMT::EWTE_AM, &HPOMNPY_FMT::AITE_AM, &HPOMNPY_FMT::ETTE_AM,
    &HPOMNPY_FMT::FEDD_AM, &HPOMNPY_FMT::TXST_AM, &HPOMNPY_FMT::CCTX_AM, &HPOMNPY_FMT::PFND_AM,
    &HPOMNPY_FMT::DEXT_AM, &HPOMNPY_FMT::SPIC_AM, &HPOMNPY_FMT::AGTX_AM, &HPOMNPY_FMT::INTX_AM,
    &HPOMNPY_FMT::RSTX_AM, &HPOMNPY_FMT::RTTF_AM, &HPOMNPY_FMT::ACBN_AM, &HPOMNPY_FMT::HIFE_AM,
    &HPOMNPY_FMT::NAPE_AM, &HPOMNPY_FMT::DDCT_AM, &HPOMNPY_FMT::ETIN_AM};

// Their column names.
inline constexpr const char* kAmountColumns[23] = {
    "TPAY_AM", "TBON_AM", "SALY_AM", "BONUS_AM", "FGTE_AM", "EWTE_AM", "AITE_AM", "ETTE_AM",
    "FEDD_AM", "TXST_AM", "CCTX_AM", "PFND_AM",  "DEXT_AM", "SPIC_AM", "AGTX_AM", "INTX_AM",
    "RSTX_AM", "RTTF_AM", "ACBN_AM", "HIFE_AM",  "NAPE_AM", "DDCT_AM", "ETIN_AM"};

class TaxRoadTest : public DatabaseFixture {
  protected:
    // The company's settings: the settings row, the exemption limits (PC
    // codes), the pay items of pay type 001 (P00 taxable base pay, P10 meal
    // allowance exempt up to the class-002 limit, P20 overtime of class 001),
    // the income-tax item T00 truncated to tens ("006"), the monthly cut-offs
    // (type 001: whole previous month; type 002: the 21st of the run month
    // to the 20th of the next), divisions, departments, and the rate table
    // of 2002: 0% below 1,000,000; 5% less 40,000 below 3,000,000; 10% less
    // 180,000 from 3,000,000 up.
    void SeedSettings() {
        Exec("INSERT INTO SHCFG (CO_CD) VALUES ('1000')");
        Exec(
            "INSERT INTO SCTRL_D (CO_CD, CTRL_CD, CTD_CD, RMK_DC) VALUES "
            "('1000','PC','001','2400000'), ('1000','PC','002','100000'), "
            "('1000','PC','003','100000'), ('1000','PC','007','1100000')");
        Exec(
            "INSERT INTO HPMPDFM (CO_CD, RVRS_YM, PYTP_FG, PYDD_FG, PYDD_CD, TAX_FG, TXEX_FG, "
            "CTOF_FG) VALUES ('1000','2002','001','P2','P00','001','',''), "
            "('1000','2002','001','P2','P10','002','002',''), "
            "('1000','2002','001','P2','P20','002','001',''), "
            "('1000','2002','001','P3','T00','','','006')");
        Exec(
            "INSERT INTO HHFAACC (CO_CD, HTYP_CD, MNLT_FG, TMST_DT) VALUES "
            "('1000','001','001','1'), ('1000','002','002','21')");
        Exec(
            "INSERT INTO SDIV (CO_CD, DIV_CD, DUMMY2, DUMMY3) VALUES "
            "('1000','DV1','10000','20000'), ('1000','DV2','','')");
        Exec(
            "INSERT INTO SDEPT (CO_CD, DEPT_CD, DIV_CD) VALUES ('1000','D01','DV1'), "
            "('1000','D02','DV2')");
        Exec(
            "INSERT INTO HPFTITC (CO_CD, RVRS_YY, TXSS_AM, TXSE_AM, TAX_RT, PRDA_AM) VALUES "
            "('0000','2002',0,1000000,0,0), ('0000','2002',1000000,3000000,0.05,40000), "
            "('0000','2002',3000000,0,0.1,180000)");
    }

    // An employee of the master. refr "001" takes the division's DUMMY3.
    void AddEmployee(const std::string& emp, const std::string& dept, const std::string& project,
                     const std::string& type, const std::string& party, const std::string& refr) {
        Exec(
            "INSERT INTO SEMP (CO_CD, EMP_CD, KOR_NM, DEPT_CD, PJT_CD, HTYP_CD, PRTY_CD, PYSP_FG, "
            "REFR_YN, HRSP_CD, HCLS_CD, HOPR_CD, JOIN_DT) VALUES ('1000','" +
            emp + "','사원 " + emp + "','" + dept + "','" + project + "','" + type + "','" + party +
            "','001','" + refr + "','R1','C1','O1','20000101')");
    }

    // A run with its calendar row, pay type and the employee types it covers.
    // A combined run's further pay types pass calendar = false.
    void AddRun(const std::string& month, int sq, const std::string& payType,
                const std::string& combined = "002", bool calendar = true) {
        const std::string s = std::to_string(sq);
        if (calendar)
            Exec("INSERT INTO HPHPYFQ (CO_CD, RVRS_YM, SQ, PAY_DT, CCIS_YN) VALUES ('1000','" +
                 month + "'," + s + ",'" + month + "25','" + combined + "')");
        Exec("INSERT INTO HPHONPD (CO_CD, RVRS_YM, SQ, PYTP_FG) VALUES ('1000','" + month + "'," +
             s + ",'" + payType + "')");
        Exec(
            "INSERT INTO HPHWTPT (CO_CD, RVRS_YM, SQ, PYTP_FG, HTYP_CD, PYSP_FG) VALUES ('1000','" +
            month + "'," + s + ",'" + payType + "','001','001'), ('1000','" + month + "'," + s +
            ",'" + payType + "','002','001')");
    }

    void AddPay(const std::string& month, int sq, const std::string& payType,
                const std::string& emp, const std::string& code, double amount) {
        Exec(
            "INSERT INTO HPOMPPD (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PYDD_FG, PAY_CD, PAY_AM) "
            "VALUES ('1000','" +
            month + "'," + std::to_string(sq) + ",'" + payType + "','" + emp + "','P2','" + code +
            "'," + std::to_string(amount) + ")");
    }

    void AddDeduction(const std::string& month, int sq, const std::string& payType,
                      const std::string& emp, const std::string& code, double amount,
                      const std::string& div = "", const std::string& dept = "",
                      const std::string& party = "", const std::string& table = "HPOMPDD") {
        Exec("INSERT INTO " + table +
             " (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PYDD_FG, DDCT_CD, DDCT_AM, DIV_CD, DEPT_CD, "
             "PRTY_CD, DUMMY1) VALUES ('1000','" +
             month + "'," + std::to_string(sq) + ",'" + payType + "','" + emp + "','P3','" + code +
             "'," + std::to_string(amount) + ",'" + div + "','" + dept + "','" + party +
             "','old')");
    }

    // The usual deduction rows of E01 in March, run 1 of pay type 001: S00,
    // S10, S20, S30, T00, T10 and an R01 of `r01` won.
    void AddMarchDeductions(double r01) {
        for (auto [code, amount] : {std::pair<const char*, double>{"S00", 50000},
                                    {"S10", 40000},
                                    {"S20", 3000},
                                    {"S30", 7000},
                                    {"T00", 1000},
                                    {"T10", 100},
                                    {"R01", r01}})
            AddDeduction("200203", 1, "001", "E01", code, amount, "DV1", "D01", "P1");
    }

    // A stored result row with every amount `amount` (EWTE_AM `overtime`),
    // EXCL_YN 1 and organisation codes "OLD".
    void AddSummary(const std::string& month, int sq, const std::string& payType,
                    const std::string& emp, double amount, double overtime = -1) {
        std::string a = std::to_string(amount);
        std::string values;
        for (int i = 0; i < 23; ++i)
            values += "," + (i == 5 && overtime >= 0 ? std::to_string(overtime) : a);
        Exec(
            "INSERT INTO HPOMNPY (CO_CD, EMP_CD, RVRS_YM, SQ, PYTP_FG, DIV_CD, DEPT_CD, PJT_CD, "
            "HTYP_CD, HRSP_CD, HCLS_CD, HOPR_CD, PYSP_FG, PRTY_CD, TPAY_AM, TBON_AM, SALY_AM, "
            "BONUS_AM, FGTE_AM, EWTE_AM, AITE_AM, ETTE_AM, FEDD_AM, TXST_AM, CCTX_AM, PFND_AM, "
            "DEXT_AM, SPIC_AM, AGTX_AM, INTX_AM, RSTX_AM, RTTF_AM, ACBN_AM, HIFE_AM, NAPE_AM, "
            "DDCT_AM, ETIN_AM, EXCL_YN) VALUES ('1000','" +
            emp + "','" + month + "'," + std::to_string(sq) + ",'" + payType +
            "','OLD','OLD','OLD','OLD','OLD','OLD','OLD','OLD','OLD'" + values + ",1)");
    }

    // The run key a host would pass for a run of company 1000.
    static HPHONPD_YMD_FMT Key(const std::string& month, const std::string& sq,
                               const std::string& payType, const std::string& combined = "002") {
        return RunKeyBuilder::Monthly("1000", month, sq, payType)
            .Combined(combined)
            .AllFilters()
            .Build();
    }

    // Runs SQLite's own SQL (triggers, dropped tables) past the dialect layer.
    void Native(const std::string& sql) {
        std::string error;
        ASSERT_TRUE(payroll::db::Connection::Current()->backend().RunNative(sql, &error))
            << error << "\n"
            << sql;
    }

    // Makes the database refuse those writes (RefuseWrites); the test fails
    // when it cannot.
    void Refuse(const std::string& table, const std::string& event, const std::string& when,
                const std::string& message) {
        std::string error;
        ASSERT_TRUE(RefuseWrites(table, event, when, message, &error)) << error;
    }

    // One column of one stored result row, as a number.
    double Stored(const std::string& emp, const std::string& month, const std::string& column,
                  const std::string& payType = "001") {
        return Amount(Scalar("SELECT " + column + " FROM HPOMNPY WHERE CO_CD='1000' AND EMP_CD='" +
                             emp + "' AND RVRS_YM='" + month + "' AND PYTP_FG='" + payType + "'"));
    }

    // A deduction row's amount and DUMMY1 as "amount|dummy1"; "" when absent.
    std::string DeductionRow(const std::string& emp, const std::string& month,
                             const std::string& code, const std::string& table = "HPOMPDD") {
        std::vector<std::string> rows =
            Rows("SELECT DDCT_AM, DUMMY1 FROM " + table + " WHERE CO_CD='1000' AND EMP_CD='" + emp +
                 "' AND RVRS_YM='" + month + "' AND DDCT_CD='" + code + "'");
        if (rows.empty()) return "";
        std::string amount = rows[0].substr(0, rows[0].find('|'));
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.4f", Amount(amount));
        return buf + rows[0].substr(rows[0].find('|'));
    }

    // Every row of the tables the tax road writes, sorted, as text.
    std::vector<std::string> Dump() {
        std::vector<std::string> all;
        for (const char* table : {"HPOMNPY", "HPOMPDD", "HPOMPPD"}) {
            for (std::string& row : Rows(std::string("SELECT * FROM ") + table))
                all.push_back(std::string(table) + "|" + row);
        }
        std::sort(all.begin(), all.end());
        return all;
    }

    // The law tables shipped with the resources that the database does not
    // hold yet.
    static void SeedShippedLaw() {
        std::vector<folder::LawTable> tables;
        std::string error;
        ASSERT_TRUE(folder::LoadLaw(PAYROLL_SOURCE_DIR "/resources/law", &tables, &error)) << error;
        payroll::ResetTransactionOutcome();
    }

    // The three-employee, two-run company of the year-driver test (the test
    // works every stored amount out from these rows).
    void SeedYearCompany() {
        SeedSettings();
        AddEmployee("E01", "D01", "J01", "001", "P1", "002");
        AddEmployee("E02", "D01", "J02", "002", "P2", "001");
        AddEmployee("E03", "D02", "J03", "001", "P3", "002");
        AddRun("200203", 1, "001");
        AddRun("200204", 1, "001");

        AddPay("200203", 1, "001", "E01", "P00", 2000000);
        AddPay("200203", 1, "001", "E01", "P10", 150000);
        AddPay("200203", 1, "001", "E01", "P20", 100000);
        AddPay("200203", 1, "001", "E02", "P00", 900000);
        AddPay("200203", 1, "001", "E02", "P10", 80000);
        AddPay("200203", 1, "001", "E02", "P20", 200000);
        AddPay("200203", 1, "001", "E03", "P00", 3456789);
        AddPay("200204", 1, "001", "E01", "P00", 2000000);
        AddPay("200204", 1, "001", "E01", "P10", 100000);
        AddPay("200204", 1, "001", "E02", "P00", 950000);
        AddPay("200204", 1, "001", "E02", "P10", 80000);
        AddPay("200204", 1, "001", "E02", "P20", 2300000);
        AddPay("200204", 1, "001", "E03", "P00", 3000000);

        AddMarchDeductions(5030);
        AddDeduction("200203", 1, "001", "E02", "S00", 30000, "DV1", "D01", "P2");
        AddDeduction("200203", 1, "001", "E02", "S10", 20000, "DV1", "D01", "P2");
        AddDeduction("200203", 1, "001", "E02", "T00", 5000, "DV1", "D01", "P2");
        AddDeduction("200204", 1, "001", "E01", "R01", 2000, "DV1", "D01", "P1");
        AddDeduction("200204", 1, "001", "E03", "S00", 25000, "DV2", "D02", "P9");
        AddDeduction("200204", 1, "001", "E03", "S10", 15000, "DV2", "D02", "P9");

        // The resident-tax rate of the year, which the month's close reads;
        // the rest of the year's law as shipped (this rate table and these
        // deductions stay: the law never overwrites a year's table).
        Exec("INSERT INTO HPMLBEC (CO_CD, RVRS_YY, RSTX_RT) VALUES ('0000', '2002', 0.1)");
        SeedShippedLaw();

        // Results of an earlier calculation.
        AddSummary("200203", 1, "001", "E01", 9);
        AddSummary("200204", 1, "001", "E02", 9, 150000);
    }

    ScopedRegistry registry_{""};
};

}  // namespace payroll::testing
