// The host's deduction step after the tax road: the tax recalculation
// stores the income tax and clears the insurance rows it does not compute,
// so the host writes back the national pension, health and employment
// insurance of each run and the resident tax, a tenth of the income tax
// (the year's rate) cut to tens, as its own pay step would.
#include <cmath>
#include <cstdlib>
#include <map>

#include "tools/company/batch_writer.h"
#include "tools/company/company.h"
#include "tools/company/people.h"

namespace payroll::company {
namespace {

bool ReadInsured(const std::string& c, std::map<std::string, Person>* out, std::string* error) {
    G_DataSource rows;
    CString sql;
    sql.Format(
        "SELECT A.EMP_CD, A.HTYP_CD, A.NAPS_AM, A.HIFA_AM, F.FIX_AM FROM SEMP A LEFT OUTER JOIN "
        "HPHFXPD F ON F.CO_CD=A.CO_CD AND F.EMP_CD=A.EMP_CD AND F.FIXP_CD='P00' WHERE "
        "A.CO_CD='%s'",
        c.c_str());
    if (!rows.OnExecuteSQL(sql)) {
        *error = rows.GetLastError().str();
        return false;
    }
    for (long r = 0; r < rows.OnGetRecordCount(); ++r) {
        Person p;
        p.emp_cd = rows.OnGetFieldValue("EMP_CD", r).str();
        p.htyp_cd = rows.OnGetFieldValue("HTYP_CD", r).str();
        p.pension = std::atof(rows.OnGetFieldValue("NAPS_AM", r));
        p.health = std::atof(rows.OnGetFieldValue("HIFA_AM", r));
        p.base_pay = std::atof(rows.OnGetFieldValue("FIX_AM", r));
        (*out)[p.emp_cd] = p;
    }
    return true;
}

}  // namespace

bool FillTaxDeductions(const std::string& company, int year, std::string* error) {
    const std::string c = Q(company);
    std::map<std::string, Person> people;
    if (!ReadInsured(c, &people, error)) return false;
    G_DataSource rate, insured, taxed;
    CString sql;
    sql.Format("SELECT RSTX_RT FROM HPMLBEC WHERE CO_CD='0000' AND RVRS_YY='%04d'", year);
    if (!rate.OnExecuteSQL(sql)) {
        *error = rate.GetLastError().str();
        return false;
    }
    const double resident_rate =
        rate.OnGetRecordCount() > 0 ? std::atof(rate.OnGetFieldValue("RSTX_RT", 0)) : 0.1;
    sql.Format(
        "SELECT EMP_CD, RVRS_YM, SQ, PYTP_FG, DDCT_CD FROM HPOMPDD WHERE CO_CD='%s' AND "
        "RVRS_YM LIKE '%04d%%' AND DDCT_CD IN ('S00','S10','S20')",
        c.c_str(), year);
    if (!insured.OnExecuteSQL(sql)) {
        *error = insured.GetLastError().str();
        return false;
    }
    sql.Format(
        "SELECT EMP_CD, RVRS_YM, SQ, PYTP_FG, INTX_AM FROM HPOMNPY WHERE CO_CD='%s' AND "
        "RVRS_YM LIKE '%04d%%'",
        c.c_str(), year);
    if (!taxed.OnExecuteSQL(sql)) {
        *error = taxed.GetLastError().str();
        return false;
    }
    G_DataSource tx;
    tx.OnBeginTrans();
    BatchWriter w;
    for (long r = 0; r < insured.OnGetRecordCount(); ++r) {
        auto p = people.find(insured.OnGetFieldValue("EMP_CD", r).str());
        if (p == people.end()) continue;
        const std::string ym = insured.OnGetFieldValue("RVRS_YM", r).str();
        const std::string code = insured.OnGetFieldValue("DDCT_CD", r).str();
        if (insured.OnGetFieldValue("PYTP_FG", r).Left(1) != "1") continue;  // monthly runs only
        w.Add(
            "UPDATE HPOMPDD SET DDCT_AM=%.4f WHERE CO_CD='%s' AND RVRS_YM='%s' AND SQ=%d AND "
            "EMP_CD='%s' AND PYTP_FG='%s' AND DDCT_CD='%s'",
            DeductionAmount(p->second, std::atoi(ym.c_str() + 4), code), c.c_str(), Q(ym).c_str(),
            std::atoi(insured.OnGetFieldValue("SQ", r)), Q(p->first).c_str(),
            Q(insured.OnGetFieldValue("PYTP_FG", r).str()).c_str(), code.c_str());
    }
    for (long r = 0; r < taxed.OnGetRecordCount(); ++r) {
        double tax = std::atof(taxed.OnGetFieldValue("INTX_AM", r));
        double resident = std::floor(tax * resident_rate / 10 + 1e-9) * 10;
        const std::string where =
            "CO_CD='" + c + "' AND RVRS_YM='" + Q(taxed.OnGetFieldValue("RVRS_YM", r).str()) +
            "' AND SQ=" + std::to_string(std::atoi(taxed.OnGetFieldValue("SQ", r))) +
            " AND EMP_CD='" + Q(taxed.OnGetFieldValue("EMP_CD", r).str()) + "' AND PYTP_FG='" +
            Q(taxed.OnGetFieldValue("PYTP_FG", r).str()) + "'";
        w.Add("UPDATE HPOMNPY SET RSTX_AM=%.4f WHERE %s", resident, where.c_str());
        w.Add("UPDATE HPOMPDD SET DDCT_AM=%.4f WHERE %s AND DDCT_CD='T10'", resident,
              where.c_str());
    }
    if (!w.Flush()) {
        tx.OnRollbackTrans();
        *error = w.error();
        return false;
    }
    if (!tx.OnCommitTrans()) {
        *error = tx.GetLastError().str();
        return false;
    }
    return true;
}

}  // namespace payroll::company
