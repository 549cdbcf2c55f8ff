#include "engine/common/run_key.h"

#include <string>

namespace payroll::run_key {
namespace {

template <std::size_t N>
void Renew(FixedText<N>& field) {
    std::string value(field.View());
    field.Set(value);
}

}  // namespace

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
