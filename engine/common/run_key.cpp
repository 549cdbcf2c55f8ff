#include "engine/common/run_key.h"

#include <cstring>
#include <string>

#include "platform/text/sql_text.h"

namespace payroll::run_key {
namespace {

template <std::size_t N>
void Renew(FixedText<N>& field) {
    std::string value(field.View());
    field.Set(value);
}

}  // namespace

Fields Read(const HPHONPD_YMD_FMT& k) {
    return Fields{
        CString(k.CO_CD.View()),       CString(k.RVRS_YM.View()),     CString(k.SQ.View()),
        CString(k.PYTP_FG.View()),     CString(k.PAY_DT.View()),      CString(k.DIV_FILTER.View()),
        CString(k.CCIS_YN.View()),     CString(k.PYTP_HEAD.View()),   CString(k.PYTP_LIST.View()),
        CString(k.DEPT_FILTER.View()), CString(k.PRTY_FILTER.View()),
    };
}

bool IsComplete(const Fields& f) {
    return !f.company.IsEmpty() && f.month.GetLength() == 6 && sql::IsSequence(f.sq.str()) &&
           !f.pay_type.IsEmpty() && !f.pay_date.IsEmpty() && !f.division_filter.IsEmpty();
}

std::shared_ptr<const Fields> Checked(const HPHONPD_YMD_FMT& key) {
    // The fields of the last key checked are kept, and found again by its
    // bytes. A caller's fields stay as they were when another key is checked.
    struct Last {
        HPHONPD_YMD_FMT key;
        std::shared_ptr<const Fields> fields;
        bool valid = false;
    };
    thread_local Last last;
    if (!last.valid || std::memcmp(&last.key, &key, sizeof key) != 0) {
        Fields fields = Read(key);
        last.fields =
            IsComplete(fields) ? std::make_shared<const Fields>(std::move(fields)) : nullptr;
        std::memcpy(&last.key, &key, sizeof key);
        last.valid = true;
    }
    return last.fields;
}

void Normalize(HPHONPD_YMD_FMT* k) {
    Renew(k->CO_CD);
    Renew(k->RVRS_YM);
    Renew(k->SQ);
    Renew(k->PAY_DT);
    Renew(k->CCIS_YN);
    Renew(k->NM2);
    Renew(k->PYTP_FG);
    Renew(k->PYTP_LIST);
    Renew(k->PYTP_HEAD);
    Renew(k->NM1);
    Renew(k->DIV_FILTER);
    Renew(k->DEPT_FILTER);
    Renew(k->PRTY_FILTER);
    Renew(k->RTCM_FG);
    Renew(k->JNCM_FG);
}

}  // namespace payroll::run_key
