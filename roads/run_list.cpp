// The runs of a month the way the picker lists them.
#include <cstring>

#include "payroll/host.h"
#include "payroll/imirak1.h"
#include "payroll/roads.h"

namespace payroll {
namespace {

// SEL_NO of a key SearchMirak has not touched (its runs could not be read).
constexpr std::int32_t kUntouchedPlace = -1;
// More runs than any month holds; SearchMirak is asked at most this often.
constexpr int kMostRunsOfMonth = 10000;

}  // namespace

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
    CIMirak1 front;
    for (int place = 1; place <= kMostRunsOfMonth; ++place) {
        HPHONPD_YMD_FMT key = MonthKey(company, month);
        key.SEL_NO = kUntouchedPlace;
        front.SearchMirak(&key, 0, place);
        if (key.SEL_NO == kUntouchedPlace) {
            runs->clear();
            if (error)
                *error = LastDatabaseError().empty() ? "the query failed" : LastDatabaseError();
            return false;
        }
        if (key.SEL_NO == 0) break;  // past the last run: the key was cleared
        runs->push_back(key);
    }
    return true;
}

}  // namespace payroll
