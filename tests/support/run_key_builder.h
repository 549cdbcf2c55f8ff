// The run key (HPHONPD_YMD_FMT) a test hands to the engine or the front,
// filled as a host fills it: every byte zero, then only the fields the test
// names. A field never set stays empty.
//
//   HPHONPD_YMD_FMT key =
//       RunKeyBuilder::Monthly("1000", "200203", "1", "001").AllFilters().Build();
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "payroll/records.h"

namespace payroll::testing {

class RunKeyBuilder {
  public:
    RunKeyBuilder() { std::memset(static_cast<void*>(&key_), 0, sizeof key_); }

    // A run of `company` in `month` (YYYYMM): sequence `sq`, pay type
    // `pay_type` (also the head of the run's pay types), pay date the 25th of
    // the month, run kind "002" (pay types handled one by one). No filters.
    static RunKeyBuilder Monthly(std::string_view company, std::string_view month,
                                 std::string_view sq, std::string_view pay_type) {
        RunKeyBuilder b;
        b.Company(company).Month(month).Sequence(sq).PayDate(std::string(month) + "25");
        b.Combined("002").PayType(pay_type).PayHead(pay_type);
        return b;
    }

    RunKeyBuilder& Selected(std::int32_t place) {
        key_.SEL_NO = place;
        return *this;
    }
    RunKeyBuilder& Company(std::string_view v) { return Set(key_.CO_CD, v); }
    RunKeyBuilder& Month(std::string_view v) { return Set(key_.RVRS_YM, v); }
    RunKeyBuilder& Sequence(std::string_view v) { return Set(key_.SQ, v); }
    RunKeyBuilder& PayDate(std::string_view v) { return Set(key_.PAY_DT, v); }
    // CCIS_YN: "001" handles the run's pay types together.
    RunKeyBuilder& Combined(std::string_view v) { return Set(key_.CCIS_YN, v); }
    RunKeyBuilder& PayType(std::string_view v) { return Set(key_.PYTP_FG, v); }
    RunKeyBuilder& PayHead(std::string_view v) { return Set(key_.PYTP_HEAD, v); }
    // The run's pay types joined by ",".
    RunKeyBuilder& PayList(std::string_view v) { return Set(key_.PYTP_LIST, v); }
    RunKeyBuilder& DivFilter(std::string_view v) { return Set(key_.DIV_FILTER, v); }
    // Division, department and party filters all "ALL" (no filter).
    RunKeyBuilder& AllFilters() {
        Set(key_.DIV_FILTER, "ALL");
        Set(key_.DEPT_FILTER, "ALL");
        return Set(key_.PRTY_FILTER, "ALL");
    }
    // RTCM_FG and JNCM_FG: the retire-month and join-month rules.
    RunKeyBuilder& Rules(std::string_view retire, std::string_view join) {
        Set(key_.RTCM_FG, retire);
        return Set(key_.JNCM_FG, join);
    }

    HPHONPD_YMD_FMT Build() const { return key_; }

  private:
    template <typename Field>
    RunKeyBuilder& Set(Field& field, std::string_view v) {
        field.Set(v);
        return *this;
    }

    HPHONPD_YMD_FMT key_;
};

}  // namespace payroll::testing
