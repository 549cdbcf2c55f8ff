// The runs of a month the way the picker lists them.
#include <cstring>

#include "front/front_settings.h"
#include "front/pay_run_list.h"
#include "payroll/datasource.h"
#include "payroll/roads.h"

namespace payroll {
namespace {}  // namespace

HPHONPD_YMD_FMT MonthKey(const std::string& company, const std::string& month) {
    HPHONPD_YMD_FMT key;
    std::memset(static_cast<void*>(&key), 0, sizeof key);
    key.CO_CD.Set(company);
    key.RVRS_YM.Set(month);
    return key;
}

bool ListPayRuns(const std::string& company, const std::string& month,
                 std::vector<HPHONPD_YMD_FMT>* runs, std::string* error) {
    runs->clear();
    // The picker's own statement and rows, read once: the runs in its order
    // with the keys it would copy out, without a dialog per position.
    bool use_main_names = false;
    front::MergeNameChoice(front::ReadFrontSettings(), &use_main_names);
    front::PayRunList list;
    G_DataSource query;
    if (!front::QueryPayRuns(
            query, front::PayRunStatement(use_main_names, CString(company), CString(month)),
            &list)) {
        if (error)
            *error =
                query.GetLastError().IsEmpty() ? "the query failed" : query.GetLastError().str();
        return false;
    }
    for (int place = 0; place < list.size(); ++place) {
        HPHONPD_YMD_FMT key = MonthKey(company, month);
        list.CopyTo(place, &key);
        runs->push_back(key);
    }
    return true;
}

}  // namespace payroll
