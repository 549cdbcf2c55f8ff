#include "tools/company/company.h"

#include <cstdio>
#include <cstdlib>
#include <map>

#include "payroll/company.h"
#include "payroll/datasource.h"
#include "tools/company/batch_writer.h"
#include "tools/company/people.h"
#include "tools/company/reference_data.h"

namespace payroll::company {
namespace {

constexpr const char* kCompanyTables[] = {
    "SEMP",    "H_SEMP",  "SDEPT",   "SDIV",    "SCTRL_D", "SHCFG",   "syscfg",  "HHFAACC",
    "HHCPYST", "HPHFXPD", "HPHPYFQ", "HPHONPD", "HPHWTPT", "HPHPOYM", "HPMPDFM", "HPITMPD",
    "HPITMDD", "HPOMPPD", "HPOMPDD", "HTOWTRT", "HTOWTDR", "HPOMNPY", "SCOINFO"};

void WritePeople(BatchWriter& w, const std::string& c, int year,
                 const std::vector<Person>& people) {
    for (const Person& p : people) {
        bool production = p.htyp_cd == "002";
        w.Add(
            "INSERT INTO SEMP (CO_CD, EMP_CD, KOR_NM, KOR_NMK, RSRG_NO, FORG_NO, PRTY_CD, DEPT_CD, "
            "PJT_CD, DIV_TO_CD, HTYP_CD, HRSP_CD, HCLS_CD, HOPR_CD, PYSP_FG, PYST_GR, NTPS_GR, "
            "HTIS_GR, ENRL_FG, EMPL_FG, RSDC_FG, JOIN_DT, RTR_DT, APED_YN, APED_DT, RPMC_DT, "
            "FESC_DT, FESV_DT, SPUS_YN, ABIN_YN, FEHR_YN, WMHH_YN, WKTG_YN, EMIS_YN, REFR_YN, "
            "TDFR_SN, SUFR_SN, CHRS_SN, AGCT_SN, HDCP_SN, NAPS_AM, HIFA_AM) VALUES ('%s','%s',"
            "'%s','%s','7001011000000','','A','%s','PJ01','','%s','%s','A','%s','001','%02d',"
            "'01','01','001','001','001','%s','%s','000','','','','','%s','000','000','000',"
            "'001','001','000',%d,%d,0,0,0,%.4f,%.4f)",
            c.c_str(), p.emp_cd.c_str(), Q(p.name).c_str(), Q(p.name_en).c_str(), p.dept_cd.c_str(),
            p.htyp_cd.c_str(), RankOf(p.grade), production ? "02" : "01", p.grade,
            p.join_dt.c_str(), p.rtr_dt.c_str(), p.spouse ? "001" : "000", p.dependants, p.elderly,
            p.pension, p.health);
        w.Add("INSERT INTO H_SEMP (CO_CD, EMP_CD) VALUES ('%s','%s')", c.c_str(), p.emp_cd.c_str());
        w.Add(
            "INSERT INTO HPHFXPD (CO_CD, EMP_CD, FIXP_CD, CTST_YM, CTED_YM, FIX_AM) VALUES "
            "('%s','%s','P00','%04d01','',%.4f)",
            c.c_str(), p.emp_cd.c_str(), year, p.base_pay);
    }
    for (int grade = 1; grade <= 9; ++grade)
        w.Add(
            "INSERT INTO HHCPYST (CO_CD, HCLS_CD, PYST_CD, APST_YM, APED_YM, PAY_AM) VALUES "
            "('%s','A','%02d','%04d01','',%.4f)",
            c.c_str(), grade, year, 1500000.0 + grade * 300000);
}

// One pay type of a run: its calendar row, its windows and its item list.
void WriteRunType(BatchWriter& w, const std::string& c, const std::string& ym, int sq,
                  const char* pytp, const char* rtcm, const std::vector<Item>& pay,
                  const std::vector<Item>& deductions, const std::string& from,
                  const std::string& to) {
    w.Add(
        "INSERT INTO HPHONPD (CO_CD, RVRS_YM, SQ, PYTP_FG, RTCM_FG, JNCM_FG) VALUES "
        "('%s','%s',%d,'%s','%s','100')",
        c.c_str(), ym.c_str(), sq, pytp, rtcm);
    for (const char* htyp : {"001", "002"})
        w.Add(
            "INSERT INTO HPHWTPT (CO_CD, RVRS_YM, SQ, PYTP_FG, HTYP_CD, PYSP_FG, BNST_DT, "
            "BNED_DT) VALUES ('%s','%s',%d,'%s','%s','001','%s','%s')",
            c.c_str(), ym.c_str(), sq, pytp, htyp, from.c_str(), to.c_str());
    for (const Item& i : pay)
        w.Add(
            "INSERT INTO HPHPOYM (CO_CD, RVRS_YM, SQ, PYTP_FG, PYDD_FG, PYDD_CD) VALUES "
            "('%s','%s',%d,'%s','P2','%s')",
            c.c_str(), ym.c_str(), sq, pytp, i.code.c_str());
    for (const Item& i : deductions)
        w.Add(
            "INSERT INTO HPHPOYM (CO_CD, RVRS_YM, SQ, PYTP_FG, PYDD_FG, PYDD_CD) VALUES "
            "('%s','%s',%d,'%s','P3','%s')",
            c.c_str(), ym.c_str(), sq, pytp, i.code.c_str());
}

bool IsStatutory(const std::string& code) {
    return code == "S00" || code == "S10" || code == "S20" || code == "T00" || code == "T10" ||
           code == "T20";
}

// The pay and deduction rows of one pay type of a run, with amounts. A
// combined run deducts once, under its head pay type (first_type): under the
// others the rows stand as a build leaves them, the month's deductions
// without the statutory ones, at 0.
void WriteRows(BatchWriter& w, const std::string& c, const std::string& ym, int month, int sq,
               const char* pytp, bool first_type, const std::vector<Item>& pay,
               const std::vector<Item>& deductions, const std::vector<Person>& people, int year,
               Summary* summary) {
    for (const Person& p : people) {
        if (!WorksIn(p, year, month)) continue;
        const char* div = p.htyp_cd == "002" ? "D20" : "D10";
        for (const Item& i : pay) {
            w.Add(
                "INSERT INTO HPOMPPD (CO_CD, PRTY_CD, DIV_CD, DEPT_CD, PJT_CD, EMP_CD, RVRS_YM, "
                "SQ, PYTP_FG, PYDD_FG, PAY_CD, PAY_AM, DUMMY1, DUMMY2, DUMMY3) VALUES ('%s','A',"
                "'%s','%s','PJ01','%s','%s',%d,'%s','P2','%s',%.4f,'  ','%s','%s')",
                c.c_str(), div, p.dept_cd.c_str(), p.emp_cd.c_str(), ym.c_str(), sq, pytp,
                i.code.c_str(), PayAmount(p, month, i.code, pytp), RankOf(p.grade),
                i.tax_fg.c_str());
            ++summary->pay_rows;
        }
        for (const Item& i : deductions) {
            if (!first_type && IsStatutory(i.code)) continue;
            w.Add(
                "INSERT INTO HPOMPDD (CO_CD, PRTY_CD, DIV_CD, DEPT_CD, PJT_CD, EMP_CD, RVRS_YM, "
                "SQ, PYTP_FG, PYDD_FG, DDCT_CD, DDCT_AM, DUMMY1, DUMMY2, DUMMY3) VALUES ('%s',"
                "'A','%s','%s','PJ01','%s','%s',%d,'%s','P3','%s',%.4f,'  ','%s','')",
                c.c_str(), div, p.dept_cd.c_str(), p.emp_cd.c_str(), ym.c_str(), sq, pytp,
                i.code.c_str(), first_type ? DeductionAmount(p, month, i.code) : 0.0,
                RankOf(p.grade));
            ++summary->deduction_rows;
        }
    }
}

void WriteRuns(BatchWriter& w, const Options& o, const std::string& c,
               const std::vector<Person>& people, Summary* summary) {
    std::vector<Item> pay = PayItems(o.pay_items);
    std::vector<Item> deductions = DeductionItems(o.deduction_items);
    std::vector<Item> special = SpecialItems();
    std::vector<Item> bonus_pay = {Item{"V00", "상여금", "Bonus", "001", ""}};
    std::vector<Item> bonus_deductions = DeductionItems(5);
    for (int m = 1; m <= 12 && o.monthly_runs; ++m) {
        std::string ym = YearMonth(o.year, m);
        bool combined = m == o.combined_month;
        w.Add(
            "INSERT INTO HPHPYFQ (CO_CD, RVRS_YM, SQ, PAY_DT, CCIS_YN) VALUES "
            "('%s','%s',1,'%s25','%s')",
            c.c_str(), ym.c_str(), ym.c_str(), combined ? "001" : "002");
        WriteRunType(w, c, ym, 1, "100", "100", pay, deductions, "", "");
        ++summary->runs;
        if (o.with_pay_rows)
            WriteRows(w, c, ym, m, 1, "100", true, pay, deductions, people, o.year, summary);
        if (combined) {
            WriteRunType(w, c, ym, 1, "110", "100", special, deductions, "", "");
            if (o.with_pay_rows)
                WriteRows(w, c, ym, m, 1, "110", false, special, deductions, people, o.year,
                          summary);
        }
    }
    int previous = 0;
    for (int bm : o.bonus_months) {
        if (bm < 1 || bm > 12) continue;
        std::string ym = YearMonth(o.year, bm);
        w.Add(
            "INSERT INTO HPHPYFQ (CO_CD, RVRS_YM, SQ, PAY_DT, CCIS_YN) VALUES "
            "('%s','%s',2,'%s28','002')",
            c.c_str(), ym.c_str(), ym.c_str());
        std::string from = YearMonth(o.year, previous + 1) + "01";
        WriteRunType(w, c, ym, 2, "200", "000", bonus_pay, bonus_deductions, from,
                     LastDayOf(o.year, bm));
        ++summary->runs;
        if (o.with_pay_rows)
            WriteRows(w, c, ym, bm, 2, "200", true, bonus_pay, bonus_deductions, people, o.year,
                      summary);
        previous = bm;
    }
}

}  // namespace

bool Generate(const Options& o, Summary* summary, std::string* error) {
    Summary local;
    Summary* s = summary ? summary : &local;
    *s = Summary{};
    if (o.employees < 0 || o.year < 1900 || o.year > 9999 || o.company.empty()) {
        *error = "a company needs a code, a year from 1900 and a number of employees";
        return false;
    }
    G_DataSource tx;
    if (!tx.OnBeginTrans()) {
        *error = tx.GetLastError().str();
        return false;
    }
    const std::string c = Q(o.company);
    BatchWriter w;
    for (const char* t : kCompanyTables) w.Add("DELETE FROM %s WHERE CO_CD='%s'", t, c.c_str());
    WriteCodeTables(w, o.company);
    WriteItemDefinitions(w, o.company, o.year, o.pay_items, o.deduction_items);
    ClearTaxTables(w, o.year);
    std::vector<Person> people = MakePeople(o.employees, o.year, o.seed);
    WritePeople(w, c, o.year, people);
    s->employees = o.employees;
    WriteRuns(w, o, c, people, s);
    if (!w.FlushAndCommit(tx, error)) return false;
    std::vector<folder::LawTable> law;
    return folder::LoadShippedLaw(&law, error);
}

bool ReloadYearLaw(int year, std::string* error) {
    G_DataSource tx;
    if (!tx.OnBeginTrans()) {
        *error = tx.GetLastError().str();
        return false;
    }
    BatchWriter w;
    ClearTaxTables(w, year);
    if (!w.FlushAndCommit(tx, error)) return false;
    std::vector<folder::LawTable> law;
    return folder::LoadShippedLaw(&law, error);
}

bool FillPayAmounts(const std::string& company, const std::string& month, int sq,
                    std::string* error) {
    if (month.size() != 6) {
        *error = "a month is six digits, YYYYMM";
        return false;
    }
    const std::string c = Q(company);
    const std::string ym = Q(month);
    int m = std::atoi(month.substr(4).c_str());
    CString sql;
    // A combined run deducts once, under its head pay type (the first, the
    // lowest code): the deduction rows of its other pay types stay at 0.
    G_DataSource run;
    sql.Format(
        "SELECT MIN(B.PYTP_FG) HEAD FROM HPHPYFQ A, HPHONPD B WHERE A.CO_CD='%s' AND "
        "A.RVRS_YM='%s' AND A.SQ=%d AND A.CCIS_YN='001' AND B.CO_CD=A.CO_CD AND "
        "B.RVRS_YM=A.RVRS_YM AND B.SQ=A.SQ",
        c.c_str(), ym.c_str(), sq);
    if (!run.OnExecuteSQL(sql)) {
        *error = run.GetLastError().str();
        return false;
    }
    const std::string head =
        run.OnGetRecordCount() > 0 ? run.OnGetFieldValue("HEAD", 0).str() : std::string();
    G_DataSource people;
    sql.Format(
        "SELECT A.EMP_CD, A.HTYP_CD, A.PYST_GR, A.TDFR_SN, A.SUFR_SN, A.SPUS_YN, A.JOIN_DT, "
        "A.NAPS_AM, A.HIFA_AM, F.FIX_AM FROM SEMP A LEFT OUTER JOIN HPHFXPD F ON "
        "F.CO_CD=A.CO_CD AND F.EMP_CD=A.EMP_CD AND F.FIXP_CD='P00' WHERE A.CO_CD='%s'",
        c.c_str());
    if (!people.OnExecuteSQL(sql)) {
        *error = people.GetLastError().str();
        return false;
    }
    std::map<std::string, Person> by_code;
    for (long r = 0; r < people.OnGetRecordCount(); ++r) {
        Person p;
        p.emp_cd = people.OnGetFieldValue("EMP_CD", r).str();
        p.htyp_cd = people.OnGetFieldValue("HTYP_CD", r).str();
        p.grade = std::atoi(people.OnGetFieldValue("PYST_GR", r));
        p.dependants = std::atoi(people.OnGetFieldValue("TDFR_SN", r));
        p.elderly = std::atoi(people.OnGetFieldValue("SUFR_SN", r));
        p.spouse = people.OnGetFieldValue("SPUS_YN", r) == "001";
        p.join_dt = people.OnGetFieldValue("JOIN_DT", r).str();
        p.pension = std::atof(people.OnGetFieldValue("NAPS_AM", r));
        p.health = std::atof(people.OnGetFieldValue("HIFA_AM", r));
        p.base_pay = std::atof(people.OnGetFieldValue("FIX_AM", r));
        by_code[p.emp_cd] = p;
    }
    G_DataSource tx;
    tx.OnBeginTrans();
    BatchWriter w;
    for (bool pay : {true, false}) {
        G_DataSource rows;
        sql.Format(
            "SELECT EMP_CD, PYTP_FG, %s CODE FROM %s WHERE CO_CD='%s' AND RVRS_YM='%s' "
            "AND SQ=%d",
            pay ? "PAY_CD" : "DDCT_CD", pay ? "HPOMPPD" : "HPOMPDD", c.c_str(), ym.c_str(), sq);
        if (!rows.OnExecuteSQL(sql)) {
            tx.OnRollbackTrans();
            *error = rows.GetLastError().str();
            return false;
        }
        for (long r = 0; r < rows.OnGetRecordCount(); ++r) {
            std::string emp = rows.OnGetFieldValue("EMP_CD", r).str();
            std::string pytp = rows.OnGetFieldValue("PYTP_FG", r).str();
            std::string code = rows.OnGetFieldValue("CODE", r).str();
            auto it = by_code.find(emp);
            if (it == by_code.end()) continue;
            double amount = 0;
            if (pay)
                amount = PayAmount(it->second, m, code, pytp);
            else if (head.empty() || pytp == head)
                amount = DeductionAmount(it->second, m, code);
            w.Add(
                "UPDATE %s SET %s=%.4f WHERE CO_CD='%s' AND RVRS_YM='%s' AND SQ=%d AND "
                "EMP_CD='%s' AND PYTP_FG='%s' AND %s='%s'",
                pay ? "HPOMPPD" : "HPOMPDD", pay ? "PAY_AM" : "DDCT_AM", amount, c.c_str(),
                ym.c_str(), sq, Q(emp).c_str(), Q(pytp).c_str(), pay ? "PAY_CD" : "DDCT_CD",
                Q(code).c_str());
        }
    }
    return w.FlushAndCommit(tx, error);
}

}  // namespace payroll::company
