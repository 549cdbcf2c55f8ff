// The company record the papers print in their heads and employer blocks.
#include "papers/paper_source.h"
#include "payroll/reading.h"
#include "platform/text/sql_text.h"

namespace payroll::reading {

std::string CompanyDisplayName(const CompanyIdentity& company, bool english) {
    const std::string& first = english ? company.name_en : company.name;
    const std::string& second = english ? company.name : company.name_en;
    if (!first.empty()) return first;
    return second.empty() ? company.code : second;
}

bool ReadCompanyIdentity(const std::string& company, CompanyIdentity* out, std::string* error) {
    *out = CompanyIdentity{};
    out->code = company;
    G_DataSource rows;
    if (!papers::detail::Select("SELECT CO_NM, CO_NMK, CEO_NM, BIZR_NB, ADDR_DC FROM SCOINFO "
                                "WHERE CO_CD=" +
                                    SqlQuoted(company),
                                "the company record", &rows, error))
        return false;
    if (rows.OnGetRecordCount() <= 0) return true;
    out->name = rows.OnGetFieldValue("CO_NM", 0).str();
    out->name_en = rows.OnGetFieldValue("CO_NMK", 0).str();
    out->representative = rows.OnGetFieldValue("CEO_NM", 0).str();
    out->business_no = rows.OnGetFieldValue("BIZR_NB", 0).str();
    out->address = rows.OnGetFieldValue("ADDR_DC", 0).str();
    return true;
}

}  // namespace payroll::reading
