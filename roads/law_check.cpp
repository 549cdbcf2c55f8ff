// The law a tax road needs for a year: the rate brackets, the earned-income
// tax credit, the simplified table's cells, the year's deductions and the
// national pension grades, each a table of the common company "0000".
#include "payroll/datasource.h"
#include "roads/bonus_road.h"

namespace payroll::roads {
namespace {

struct LawTableName {
    const char* table;
    const char* what;
};

constexpr LawTableName kYearLaw[] = {
    {"HPFTITC", "rate brackets"},           {"HPFLICH", "earned-income tax credit"},
    {"HPFSTIA", "simplified table cells"},  {"HPMLBEC", "deductions and resident-tax rate"},
    {"HIFNPCT", "national pension grades"},
};

}  // namespace

bool MissingYearLaw(const std::string& year, std::string* missing, std::string* error) {
    missing->clear();
    for (const LawTableName& law : kYearLaw) {
        G_DataSource q;
        const std::string sql = "SELECT COUNT(*) N FROM " + std::string(law.table) +
                                " WHERE CO_CD='0000' AND RVRS_YY=" + SqlQuoted(year);
        if (!q.OnExecuteSQL(CString(sql))) {
            *error = std::string("the law of ") + year + " could not be read (" + law.table +
                     "): " + q.GetLastError().str();
            return false;
        }
        if (q.OnGetFieldValue("N", 0) != "0") continue;
        if (!missing->empty()) *missing += ", ";
        *missing += std::string(law.table) + " (" + law.what + ")";
    }
    return true;
}

bool YearLawComplete(const std::string& year, std::string* why) {
    std::string missing;
    if (!MissingYearLaw(year, &missing, why)) return false;
    if (missing.empty()) return true;
    *why = "the law of " + year + " is missing: " + missing +
           "; load it with `payroll schema` (resources/law/" + year + "/)";
    return false;
}

}  // namespace payroll::roads
