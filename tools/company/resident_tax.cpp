// The host's resident-tax step after the tax road: the monthly road stores
// the income tax only, so the host writes each run's resident tax, the
// year's rate (HPMLBEC RSTX_RT) of the income tax cut to tens, into the
// run's T10 deduction rows, as its own pay step would. The road itself
// never rewrites T10 rows, so recalculating the year again leaves them be.
#include <cmath>
#include <cstdlib>

#include "tools/company/batch_writer.h"
#include "tools/company/company.h"

namespace payroll::company {

bool FillResidentTax(const std::string& company, int year, std::string* error) {
    const std::string c = Q(company);
    G_DataSource rate, taxed;
    CString sql;
    sql.Format("SELECT RSTX_RT FROM HPMLBEC WHERE CO_CD='0000' AND RVRS_YY='%04d'", year);
    if (!rate.OnExecuteSQL(sql)) {
        *error = rate.GetLastError().str();
        return false;
    }
    const double resident_rate =
        rate.OnGetRecordCount() > 0 ? std::atof(rate.OnGetFieldValue("RSTX_RT", 0)) : 0.1;
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
    for (long r = 0; r < taxed.OnGetRecordCount(); ++r) {
        double tax = std::atof(taxed.OnGetFieldValue("INTX_AM", r));
        double resident = std::floor(tax * resident_rate / 10 + 1e-9) * 10;
        w.Add(
            "UPDATE HPOMPDD SET DDCT_AM=%.4f WHERE CO_CD='%s' AND RVRS_YM='%s' AND SQ=%d AND "
            "EMP_CD='%s' AND PYTP_FG='%s' AND DDCT_CD='T10'",
            resident, c.c_str(), Q(taxed.OnGetFieldValue("RVRS_YM", r).str()).c_str(),
            std::atoi(taxed.OnGetFieldValue("SQ", r)),
            Q(taxed.OnGetFieldValue("EMP_CD", r).str()).c_str(),
            Q(taxed.OnGetFieldValue("PYTP_FG", r).str()).c_str());
    }
    return w.FlushAndCommit(tx, error);
}

}  // namespace payroll::company
